#pragma once
// Builders of survey sample lines for the haverel tests: fields separated by
// one blank, in the order of the survey files.
#include <string>

namespace haverel_tests {

struct LineValues {
    int emFlag = 1;
    int magFlag = 1;
    int channelBase = 10;  // Ch1..Ch15 = base, base+1, ...
    std::string TC = "1.25";
    std::string radAlt = "30.0";
    std::string barAlt = "130.0";
    std::string finalMag = "57000.5";
    std::string east = "1000.0";
    std::string north = "5000.0";
};

inline std::string emFields(const LineValues& v) {
    std::string line = "7";
    line.append(" ").append(std::to_string(v.emFlag));
    for (int k = 0; k < 15; ++k) line.append(" ").append(std::to_string(v.channelBase + k));
    return line.append(" 0 0 ").append(v.TC);
}

inline std::string shortLine(const LineValues& v) { return emFields(v); }

inline std::string middleLine(const LineValues& v) {
    std::string line = emFields(v);
    line.append(" ").append(v.radAlt).append(" ").append(v.barAlt);
    line.append(" ").append(std::to_string(v.magFlag)).append(" ").append(v.finalMag);
    return line.append(" 0.0");
}

inline std::string fullLine(const LineValues& v) {
    std::string line = middleLine(v);
    return line.append(" 0.0 0.0 0 0 ").append(v.east).append(" ").append(v.north);
}

}  // namespace haverel_tests
