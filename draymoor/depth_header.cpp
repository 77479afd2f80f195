#include "draymoor/depth_header.hpp"

#include <string>
#include <string_view>

#include "common/run_stop.hpp"
#include "draymoor/cdi_text.hpp"

namespace draymoor {

namespace {

constexpr std::string_view kDepthCountMark = "Depths (m)";

// The line without its first character (a comment mark in these files).
std::string_view afterFirstCharacter(std::string_view line) {
    return line.empty() ? line : line.substr(1);
}

// Finds the depth count line and reads the count, which stands right after
// the line's first character. A count line with nothing after the count does
// not count: the search goes on.
bool readDepthCount(common::LineReader& lines, std::int32_t& count, std::string& text) {
    std::string_view line;
    while (lines.next(line)) {
        if (line.find(kDepthCountMark) == std::string_view::npos) continue;
        tabsToBlanks(afterFirstCharacter(line), text);
        const std::string_view whole = text;
        const std::size_t blank = whole.find(' ');
        const std::string_view field = whole.substr(0, blank);
        const std::string_view rest = blank == std::string_view::npos ? std::string_view{} : whole.substr(blank + 1);
        readIntegerField(field, count, FieldSource{&lines.name(), lines.lineNumber()});
        if (!isBlankText(rest)) return true;
    }
    return false;
}

// Depth k is the next field of the depth lines, which may hold any number of
// depths each; of every depth line the first character is dropped.
bool readDepths(common::LineReader& lines, DepthList& list, std::string& text) {
    std::string_view rest;
    for (std::int32_t k = 0; k < list.count; ++k) {
        if (isBlankText(rest)) {
            std::string_view line;
            if (!lines.next(line)) return false;
            tabsToBlanks(afterFirstCharacter(line), text);
            rest = text;
        }
        const std::string_view field = nextField(rest);
        if (field.empty()) {
            throw common::RunStop(lines.name() + ", line " + std::to_string(lines.lineNumber()) +
                                  ": the depth line holds no depth");
        }
        readRealField(field, list.depths[static_cast<std::size_t>(k)],
                      FieldSource{&lines.name(), lines.lineNumber()});
    }
    return true;
}

}  // namespace

HeaderResult readDepthHeader(common::LineReader& lines, DepthList& list, common::Console& console) {
    std::string text;
    if (!readDepthCount(lines, list.count, text)) return HeaderResult::endedEarly;
    if (list.count < 1) {
        console.listLine("The number of depths is invalid");
        return HeaderResult::complete;
    }
    if (list.count > kMaxDepths) {
        throw common::RunStop(lines.name() + ", line " + std::to_string(lines.lineNumber()) + ": " +
                              std::to_string(list.count) + " depths, more than the " +
                              std::to_string(kMaxDepths) + " a CDI data file may hold");
    }
    return readDepths(lines, list, text) ? HeaderResult::complete : HeaderResult::endedEarly;
}

}  // namespace draymoor
