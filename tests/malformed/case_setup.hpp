#pragma once
// Prepares the working folder of one malformed-input case from its setup
// actions. Inputs come from the corpus folder; the big ones (lines of
// 100 000 characters) are written at run time from "{{repeat:N:TEXT}}"
// markers, and other line ends are made from the stored LF files, so that the
// corpus stays small and readable.
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "malformed/case_manifest.hpp"
#include "support/temp_folder.hpp"

namespace malformed {

// Replaces every "{{repeat:N:TEXT}}" by N copies of TEXT.
inline std::string expandRepeats(const std::string& text) {
    static const std::string opening = "{{repeat:";
    std::string result;
    std::size_t start = 0;
    for (std::size_t found; (found = text.find(opening, start)) != std::string::npos;) {
        const std::size_t countEnd = text.find(':', found + opening.size());
        const std::size_t closing = text.find("}}", countEnd == std::string::npos ? found : countEnd);
        if (countEnd == std::string::npos || closing == std::string::npos) {
            throw std::invalid_argument("unfinished repeat marker");
        }
        const std::size_t count = std::stoul(text.substr(found + opening.size(), countEnd - found - opening.size()));
        const std::string unit = text.substr(countEnd + 1, closing - countEnd - 1);
        result.append(text, start, found - start);
        result.reserve(result.size() + count * unit.size());
        for (std::size_t copy = 0; copy < count; ++copy) result += unit;
        start = closing + 2;
    }
    result.append(text, start, std::string::npos);
    return result;
}

// Every LF becomes `lineEnd` ("\r\n" or a lone "\r").
inline std::string withLineEnds(const std::string& text, const std::string& lineEnd) {
    std::string result;
    for (const char c : text) {
        if (c == '\n') {
            result += lineEnd;
        } else {
            result += c;
        }
    }
    return result;
}

inline void writeInto(const std::string& target, const std::string& bytes) {
    const std::filesystem::path parent = std::filesystem::path(target).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent);
    tests::writeFileBytes(target, bytes);
}

inline std::string corpusBytes(const std::string& program, const std::string& name) {
    const std::string path = corpusFolder(program) + "/" + name;
    if (!std::filesystem::is_regular_file(path)) throw std::invalid_argument("no corpus file " + path);
    return expandRepeats(tests::readFileBytes(path));
}

// Actions: "copy SOURCE [TARGET]", "crlf SOURCE TARGET", "cr SOURCE TARGET"
// (the source with CR LF or lone CR line ends), "mkdir FOLDER" and
// "touch FILE" (an empty file). Targets are relative to the working folder.
inline void runSetupAction(const std::string& program, const std::string& action) {
    const std::vector<std::string> words = splitAt(action, " ");
    const std::string& verb = words.empty() ? action : words[0];
    if (verb == "copy" && (words.size() == 2 || words.size() == 3)) {
        writeInto(words.back(), corpusBytes(program, words[1]));
    } else if ((verb == "crlf" || verb == "cr") && words.size() == 3) {
        writeInto(words[2], withLineEnds(corpusBytes(program, words[1]), verb == "crlf" ? "\r\n" : "\r"));
    } else if (verb == "mkdir" && words.size() == 2) {
        std::filesystem::create_directories(words[1]);
    } else if (verb == "touch" && words.size() == 2) {
        writeInto(words[1], "");
    } else {
        throw std::invalid_argument("unknown setup action '" + action + "'");
    }
}

inline void prepareFolder(const Case& brokenCase) {
    for (const std::string& action : brokenCase.setup) runSetupAction(brokenCase.program, action);
}

}  // namespace malformed
