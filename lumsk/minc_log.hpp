#pragma once
// The run log "minc.log": every MINC call rewrites it, so it tells how the
// last grid was made. MINC writes the parameter lines; the block loop adds a
// table line per solved block. Lines end in CR LF, which belong to the layout.
#include <cstdint>
#include <string>
#include <string_view>

#include "common/platform.hpp"

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

// The eleven lines that open the log of a call, in the order written.
struct LogParameters {
    float X0 = 0.0f;
    float Y0 = 0.0f;
    float DX = 0.0f;
    float DY = 0.0f;
    std::int32_t NCOL = 0;
    std::int32_t NROW = 0;
    std::int32_t ZCHAN = 0;
    std::int32_t MAXCHN = 0;
    float RADIUS = 0.0f;
    float ANGLE = 0.0f;
    float DNULL = 0.0f;
};
std::string callParameterLines(const LogParameters& parameters);

// Writes one line, as one write, to the log handle.
bool writeLogLine(common::RawFile& log, std::string_view line);

}  // namespace lumsk
