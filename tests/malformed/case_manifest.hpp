#pragma once
// The manifest of the malformed-input corpus: one broken-input case per line
// of tests/data/malformed/<program>/cases.tsv, so that adding a case is adding
// a line. The columns are described in tests/malformed/README.md.
#include <cstddef>
#include <fstream>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace malformed {

struct Case {
    std::string program;
    std::string name;
    std::size_t manifestLine = 0;
    std::vector<std::string> setup;      // actions that prepare the folder
    std::vector<std::string> arguments;  // command-line arguments
    std::string standardInput;           // console replies
    int exitStatus = 0;
    std::string standardOutput;  // fragments, "-" for none
    std::string standardError;   // fragments, "-" for an empty standard error, "*" for any text
    std::string files;           // file checks, "-" for none
};

// Splits at every occurrence of `separator`; an empty text gives no piece.
inline std::vector<std::string> splitAt(const std::string& text, const std::string& separator) {
    std::vector<std::string> pieces;
    if (text.empty()) return pieces;
    std::size_t start = 0;
    for (std::size_t found; (found = text.find(separator, start)) != std::string::npos;
         start = found + separator.size()) {
        pieces.push_back(text.substr(start, found - start));
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

// The pieces of a " | " (checks) or " ; " (setup) list; "-" is the empty list.
inline std::vector<std::string> listColumn(const std::string& column, const std::string& separator) {
    return column == "-" ? std::vector<std::string>{} : splitAt(column, separator);
}

// Arguments are separated by single blanks; "" stands for an empty argument
// and "-" for a start without any argument.
inline std::vector<std::string> argumentColumn(const std::string& column) {
    std::vector<std::string> arguments;
    for (const std::string& piece : listColumn(column, " ")) arguments.push_back(piece == "\"\"" ? "" : piece);
    return arguments;
}

// Console replies with "\n" written as a backslash and an n.
inline std::string inputColumn(const std::string& column) {
    if (column == "-") return {};
    std::string text;
    for (std::size_t index = 0; index < column.size(); ++index) {
        if (column[index] == '\\' && index + 1 < column.size() && column[index + 1] == 'n') {
            text += '\n';
            ++index;
        } else {
            text += column[index];
        }
    }
    return text;
}

inline bool isCaseName(const std::string& name) {
    if (name.empty()) return false;
    for (const char c : name) {
        const bool letterOrDigit = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letterOrDigit && c != '_') return false;
    }
    return true;
}

// One manifest row; throws std::invalid_argument naming the fault.
inline Case parseCase(const std::string& program, const std::string& row, std::size_t lineNumber) {
    const std::vector<std::string> columns = splitAt(row, "\t");
    const std::string where = program + "/cases.tsv line " + std::to_string(lineNumber);
    if (columns.size() != 8) {
        throw std::invalid_argument(where + ": 8 columns expected, " + std::to_string(columns.size()) + " found");
    }
    Case parsed;
    parsed.program = program;
    parsed.name = columns[0];
    parsed.manifestLine = lineNumber;
    if (!isCaseName(parsed.name)) throw std::invalid_argument(where + ": case name '" + parsed.name + "'");
    parsed.setup = listColumn(columns[1], " ; ");
    parsed.arguments = argumentColumn(columns[2]);
    parsed.standardInput = inputColumn(columns[3]);
    if (columns[4] != "0" && columns[4] != "1") {
        throw std::invalid_argument(where + ": exit status must be 0 or 1, not '" + columns[4] + "'");
    }
    parsed.exitStatus = columns[4] == "1" ? 1 : 0;
    parsed.standardOutput = columns[5];
    parsed.standardError = columns[6];
    parsed.files = columns[7];
    return parsed;
}

// Every case of a manifest text, in file order. Blank lines, "#" comments and
// the column header line are skipped.
inline std::vector<Case> parseManifest(const std::string& program, const std::string& text) {
    std::vector<Case> cases;
    std::size_t lineNumber = 0;
    for (std::string line : splitAt(text, "\n")) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#' || line.rfind("case\t", 0) == 0) continue;
        cases.push_back(parseCase(program, line, lineNumber));
    }
    return cases;
}

// gtest shows a case by its place in the manifest, not by its bytes.
inline void PrintTo(const Case& shown, std::ostream* out) {
    *out << shown.program << "/cases.tsv line " << shown.manifestLine << " (" << shown.name << ")";
}

inline std::string corpusFolder(const std::string& program) {
    return std::string(TEST_DATA_DIR) + "/malformed/" + program;
}

inline std::vector<Case> loadManifest(const std::string& program) {
    std::ifstream in(corpusFolder(program) + "/cases.tsv", std::ios::binary);
    if (!in) throw std::runtime_error("no manifest " + corpusFolder(program) + "/cases.tsv");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parseManifest(program, text);
}

}  // namespace malformed
