#pragma once
// One line of the station list file: the station token (also the suffix of
// the station's folder name), its number and the station's position.
#include <string>
#include <string_view>

#include "lumsk/grid_file.hpp"
#include "vosklar/run_settings.hpp"

namespace vosklar {

// Splits off the text up to the first blank; the rest is what follows that
// blank, so tokens are separated by exactly one blank and two blanks in a
// row give an empty token.
struct TokenSplit {
    std::string_view token;
    std::string_view rest;
};
TokenSplit splitToken(std::string_view text);

struct StationEntry {
    std::string token;
    float station = 0.0f;
    float east = 0.0f;  // AIRBEO only; GRENDL stations lie at 0.0
    float north = 0.0f;
    float RL = lumsk::kNullValue;  // surface elevation, the null value when not given
};

// Reads the list lines in order. East and north carry over to a line that
// gives only a station (AIRBEO); the station itself carries over when its
// token is a bare list-input terminator ("/"), as a read into the same
// variable would leave it.
class ListLineReader {
public:
    ListLineReader(InversionMethod method, std::string fileName) : method_(method), fileName_(std::move(fileName)) {}

    // Stops the run (RunStop naming file, line and text) on an empty token or
    // a field that is not a number.
    StationEntry read(std::string_view line, long lineNumber);

private:
    float readReal(std::string_view text, float current, long lineNumber) const;

    InversionMethod method_;
    std::string fileName_;
    float station_ = 0.0f;
    float east_ = 0.0f;
    float north_ = 0.0f;
};

// The station's result file: "Station_<token>/output.out" (GRENDL) or
// "Station_<token>/airbeo.out" (AIRBEO).
std::string resultFileName(InversionMethod method, std::string_view stationToken);

}  // namespace vosklar
