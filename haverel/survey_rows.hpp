#pragma once
// The fixed-width rows of the mag file, the em file and an EM data file, and
// their header lines.
#include <cstddef>
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

// The em file row and the EM data file row of one sample, the same texts as
// the two calls above give. The rows share every column after their first
// one or two, so those are formatted once and copied. Returns where the em
// file row starts in `em`.
std::size_t appendEmRows(std::string& em, std::string& emData, std::int32_t lineNumber, std::int32_t direction,
                  double stationDistance, const Sample& sample);

// The mag file row of the sample whose em file row starts at em[emRowAt],
// the same text as appendMagRow() gives: the two rows share their columns
// up to DTM.
void appendMagRowAfterEmRow(std::string& mag, const std::string& em, std::size_t emRowAt, const Sample& sample);

}  // namespace haverel
