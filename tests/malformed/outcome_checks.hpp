#pragma once
// What a program run on a broken input must show: checks that each return the
// faults found (empty when the check passes), so that one run reports every
// difference at once and the checks themselves can be tested.
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "common/platform.hpp"
#include "malformed/case_manifest.hpp"
#include "support/temp_folder.hpp"

namespace malformed {

using Faults = std::vector<std::string>;

// The process ended by itself, with 0 or 1, and nothing on standard error
// comes from a sanitizer or the C++ run-time's last resort.
inline Faults checkCleanEnd(const tests::ProcessResult& run) {
    Faults faults;
    if (run.timedOut) faults.push_back("killed after the time limit (a hang?)");
    if (run.terminatingSignal != 0) {
        faults.push_back("ended by signal " + std::to_string(run.terminatingSignal));
    } else if (run.exitStatus != 0 && run.exitStatus != 1) {
        faults.push_back("exit status " + std::to_string(run.exitStatus) + " is neither 0 nor 1");
    }
    for (const char* marker : {"Sanitizer", "runtime error:", "terminate called", "Segmentation fault"}) {
        if (run.standardError.find(marker) != std::string::npos) {
            faults.push_back(std::string("standard error holds '") + marker + "'");
        }
    }
    return faults;
}

// Fragments separated by " | ": each must occur in `text`, or, written with a
// leading "!", must not occur.
inline Faults checkFragments(const std::string& what, const std::string& text, const std::string& fragments) {
    Faults faults;
    for (const std::string& fragment : listColumn(fragments, " | ")) {
        const bool absent = !fragment.empty() && fragment[0] == '!';
        const std::string wanted = absent ? fragment.substr(1) : fragment;
        const bool found = text.find(wanted) != std::string::npos;
        if (found == absent) faults.push_back(what + (absent ? " holds '" : " lacks '") + wanted + "'");
    }
    return faults;
}

// The standard error column: "-" nothing at all, "*" any text, otherwise
// fragments. A failed run (status 1) always explains itself there.
inline Faults checkStandardError(const std::string& text, const std::string& column, int exitStatus) {
    if (column == "-") return text.empty() ? Faults{} : Faults{"standard error is not empty"};
    Faults faults = column == "*" ? Faults{} : checkFragments("standard error", text, column);
    if (exitStatus == 1 && text.empty()) faults.push_back("a failed run left standard error empty");
    return faults;
}

inline std::vector<std::string> textLines(const std::string& bytes) {
    std::vector<std::string> lines = splitAt(bytes, "\n");
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

// Every 4-byte value behind the 512-byte header of a grid file is a number
// (the null value included), never a NaN or an infinity.
inline bool gridValuesFinite(const std::string& bytes) {
    if (bytes.size() < 512) return false;
    for (std::size_t offset = 512; offset + 4 <= bytes.size(); offset += 4) {
        float value = 0.0f;
        std::memcpy(&value, bytes.data() + offset, 4);
        if (!std::isfinite(value)) return false;
    }
    return true;
}

// One file check: "NAME" exists, "!NAME" does not, "NAME:lines=N" has N
// lines, "NAME:lineK=TEXT" has TEXT as its K-th line, "NAME:has=TEXT" has a
// line TEXT, "NAME:finite" is a grid file without NaN or infinity.
inline Faults checkFile(const std::string& check) {
    if (!check.empty() && check[0] == '!') {
        const std::string name = check.substr(1);
        std::error_code error;
        if (std::filesystem::exists(std::filesystem::symlink_status(name, error))) return {name + " exists"};
        return {};
    }
    const std::size_t colon = check.find(':');
    const std::string name = check.substr(0, colon);
    if (!std::filesystem::is_regular_file(name)) return {name + " does not exist"};
    if (colon == std::string::npos) return {};
    const std::string condition = check.substr(colon + 1);
    const std::string bytes = tests::readFileBytes(name);
    const std::vector<std::string> lines = textLines(bytes);
    if (condition == "finite") return gridValuesFinite(bytes) ? Faults{} : Faults{name + " holds a NaN or an infinity"};
    const std::size_t equals = condition.find('=');
    const std::string key = condition.substr(0, equals);
    const std::string value = equals == std::string::npos ? "" : condition.substr(equals + 1);
    if (key == "lines") {
        if (std::to_string(lines.size()) == value) return {};
        return {name + " has " + std::to_string(lines.size()) + " lines, not " + value};
    }
    if (key == "has") {
        for (const std::string& line : lines) {
            if (line == value) return {};
        }
        return {name + " lacks the line '" + value + "'"};
    }
    if (key.rfind("line", 0) == 0 && key.size() > 4) {
        const std::size_t number = std::stoul(key.substr(4));
        if (number >= 1 && number <= lines.size() && lines[number - 1] == value) return {};
        return {name + " line " + std::to_string(number) + " is '" +
                (number >= 1 && number <= lines.size() ? lines[number - 1] : std::string("(none)")) + "', not '" +
                value + "'"};
    }
    return {"unknown file check '" + check + "'"};
}

inline Faults checkFiles(const std::string& column) {
    Faults faults;
    for (const std::string& check : listColumn(column, " | ")) {
        for (std::string& fault : checkFile(check)) faults.push_back(std::move(fault));
    }
    return faults;
}

// Temporary files that must be gone after every run, however it ended: the
// gridding library's "~minc" files always, and vosklar's own two.
inline Faults checkNoTemporaryFiles(const std::string& program) {
    Faults faults;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file()) continue;
        const bool library = common::matchWildcard("~minc*.tmp", name);
        const bool vosklar = program == "vosklar" && (name == "tmpdat.tmp" || name == "tmpmod.tmp");
        if (library || vosklar) faults.push_back("temporary file " + name + " left behind");
    }
    return faults;
}

}  // namespace malformed
