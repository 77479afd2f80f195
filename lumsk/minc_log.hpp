#pragma once
// The run log "minc.log": every MINC call rewrites it, so it tells how the
// last grid was made. MINC writes the parameter lines; the block loop adds a
// table line per solved block. Lines end in CR LF, which belong to the layout.
#include <cstdint>
#include <string>
#include <string_view>

#include "common/platform.hpp"
#include "lumsk/minc.hpp"

namespace lumsk {

inline constexpr const char* kMincLogName = "minc.log";

// A parameter line of 30 bytes: the label from column 1, the value written
// fixed-point with `decimals` decimals in columns 17 to 28, CR LF.
std::string parameterLine(std::string_view label, float value, std::int32_t decimals);
// The y origin's line: as parameterLine, but the number fills columns 15 to
// 28.
std::string yOriginLine(float Y0);
// The rotation angle's line of 31 bytes: the number ends in column 28, then a
// blank, then CR LF.
std::string rotationAngleLine(float ANGLE);

// The eleven lines that open the log of a call, in the order written: the
// origin, cells, size, channels, radius, angle and null of the request.
std::string callParameterLines(const MincRequest& request);

// Writes one line, as one write, to the log handle.
bool writeLogLine(common::RawFile& log, std::string_view line);

}  // namespace lumsk
