#include "lumsk/minc_log.hpp"

#include "lumsk/number_text.hpp"

namespace lumsk {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
// The number of a parameter line ends in column 28.
constexpr std::size_t kNumberEnd = 28;
constexpr std::int32_t kNumberWidth = 12;
constexpr std::int32_t kWideNumberWidth = 14;  // the y origin's

// The first `width` characters of the number's text, as the log takes them.
std::string numberText(float value, std::int32_t width, std::int32_t decimals) {
    std::string text(static_cast<std::size_t>(width), ' ');
    REAL2CHAR(value, width, decimals, text);
    return text.substr(0, static_cast<std::size_t>(width));
}

// Label from column 1, the number ending in column 28; blanks between.
std::string labelAndNumber(std::string_view label, const std::string& number) {
    std::string line(kNumberEnd, ' ');
    line.replace(0, label.size(), label);
    line.replace(kNumberEnd - number.size(), number.size(), number);
    return line;
}

}  // namespace

std::string parameterLine(std::string_view label, float value, std::int32_t decimals) {
    return labelAndNumber(label, numberText(value, kNumberWidth, decimals)).append(kLineEnd);
}

std::string yOriginLine(float Y0) {
    return labelAndNumber(" y origin ", numberText(Y0, kWideNumberWidth, 2)).append(kLineEnd);
}

std::string rotationAngleLine(float ANGLE) {
    return labelAndNumber(" rotation angle ", numberText(ANGLE, kNumberWidth, 3)).append(" ").append(kLineEnd);
}

std::string callParameterLines(const MincRequest& p) {
    std::string lines;
    lines += parameterLine(" x origin ", p.X0, 2);
    lines += yOriginLine(p.Y0);
    lines += parameterLine(" x cell size ", p.DX, 4);
    lines += parameterLine(" y cell size ", p.DY, 4);
    lines += parameterLine(" num columns  ", static_cast<float>(p.NCOL), 0);
    lines += parameterLine(" num rows ", static_cast<float>(p.NROW), 0);
    lines += parameterLine(" z channel ", static_cast<float>(p.ZCHAN), 0);
    lines += parameterLine(" max chan ", static_cast<float>(p.MAXCHN), 0);
    lines += parameterLine(" search radius ", p.RADIUS, 3);
    lines += rotationAngleLine(p.ANGLE);
    lines += parameterLine(" null data ", p.DNULL, 3);
    return lines;
}

bool writeLogLine(common::RawFile& log, std::string_view line) {
    const std::int64_t bytes = static_cast<std::int64_t>(line.size());
    return log.write(line.data(), bytes) == bytes;
}

}  // namespace lumsk
