#pragma once
// The fixed-width rows of the mag file, the em file and an EM data file, and
// their header lines.
#include <cstdint>
#include <string>
#include <string_view>

#include "haverel/sample.hpp"

namespace haverel {

inline constexpr std::string_view kMagHeader =
    "    Line Dir      East      North    RadAlt    BarAlt       DTM    FinalMag";
inline constexpr std::string_view kEmHeader =
    "    Line Dir      East      North    RadAlt    BarAlt       DTM    TC      Ch1    Ch2    Ch3    Ch4    Ch5"
    "    Ch6    Ch7    Ch8    Ch9   Ch10   Ch11   Ch12   Ch13   Ch14   Ch15";
inline constexpr std::string_view kEmDataColumnHeader =
    "   STATION      EAST      NORTH    RadAlt    BarAlt       DTM    TC      Ch1    Ch2    Ch3    Ch4    Ch5"
    "    Ch6    Ch7    Ch8    Ch9   Ch10   Ch11   Ch12   Ch13   Ch14   Ch15";

// Each appends one row and its line end to `out`.
void appendMagRow(std::string& out, std::int32_t lineNumber, std::int32_t direction, const Sample& sample);
void appendEmRow(std::string& out, std::int32_t lineNumber, std::int32_t direction, const Sample& sample);
void appendEmDataRow(std::string& out, double stationDistance, const Sample& sample);

}  // namespace haverel
