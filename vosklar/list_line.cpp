#include "vosklar/list_line.hpp"

#include "common/list_input.hpp"
#include "common/platform.hpp"
#include "common/run_stop.hpp"

namespace vosklar {

namespace {

bool isBlank(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

}  // namespace

TokenSplit splitToken(std::string_view text) {
    const std::size_t blank = text.find(' ');
    if (blank == std::string_view::npos) return {text, {}};
    return {text.substr(0, blank), text.substr(blank + 1)};
}

float ListLineReader::readReal(std::string_view text, float current, long lineNumber) const {
    common::InputError error;
    const common::ReadStatus status = common::readListFromText(text, {&current}, &error, fileName_, lineNumber);
    if (status != common::ReadStatus::ok) {
        // An empty token holds no value at all: the read runs out of input.
        error.fileName = fileName_;
        error.lineNumber = lineNumber;
        error.text = std::string(text);
        if (error.reason.empty() || text.empty()) error.reason = text.empty() ? "empty field" : "not a number";
        throw common::RunStop(error.describe());
    }
    return current;
}

StationEntry ListLineReader::read(std::string_view line, long lineNumber) {
    StationEntry entry;
    const TokenSplit first = splitToken(line);
    entry.token = std::string(first.token);
    station_ = readReal(first.token, station_, lineNumber);
    entry.station = station_;

    if (method_ == InversionMethod::grendl) {
        if (!isBlank(first.rest)) entry.RL = readReal(splitToken(first.rest).token, entry.RL, lineNumber);
        return entry;
    }
    if (!isBlank(first.rest)) {
        const TokenSplit eastSplit = splitToken(first.rest);
        east_ = readReal(eastSplit.token, east_, lineNumber);
        const TokenSplit northSplit = splitToken(eastSplit.rest);
        north_ = readReal(northSplit.token, north_, lineNumber);
        if (!isBlank(northSplit.rest)) entry.RL = readReal(northSplit.rest, entry.RL, lineNumber);
    }
    entry.east = east_;
    entry.north = north_;
    return entry;
}

std::string resultFileName(InversionMethod method, std::string_view stationToken) {
    const std::string folder = "Station_" + std::string(stationToken);
    return common::joinPath(folder, method == InversionMethod::grendl ? "output.out" : "airbeo.out");
}

}  // namespace vosklar
