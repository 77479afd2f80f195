#include "draymoor/cdi_body.hpp"

namespace draymoor {

BodyLineKind classifyBodyLine(std::string_view line) {
    if (isBlankText(line) || line.front() == '/') return BodyLineKind::skipped;
    if (line.find("Line") != std::string_view::npos) return BodyLineKind::lineHeader;
    return BodyLineKind::data;
}

void readLineHeader(std::string_view text, LineHeader& header, const FieldSource& source) {
    constexpr std::size_t kDroppedCharacters = 4;
    const std::string_view rest =
        skipLeadingBlanks(text.size() > kDroppedCharacters ? text.substr(kDroppedCharacters) : std::string_view{});
    readIntegerField(rest, header.lineNumber, source);
    header.fileName.assign(trimTrailingBlanks(rest));
    header.fileName += ".dat";
}

void readDataLine(std::string_view text, std::int32_t depthCount, DataValues& values,
                  const FieldSource& source) {
    // Fields 1 to 14 hold the station; field 1, 5 and 7 to 14 are not used.
    static_assert(kEastField == 2 && kNorthField == 3 && kLevelField == 4 && kDistField == 6,
                  "the station fields are read in this order");
    FieldScanner fields(text);
    if (!fields.skip()) return;
    if (!fields.readReal(values.station.east, source)) return;
    if (!fields.readReal(values.station.north, source)) return;
    if (!fields.readReal(values.station.level, source)) return;
    if (!fields.skip()) return;
    if (!fields.readReal(values.station.dist, source)) return;
    for (int number = kDistField + 1; number < kFirstConductivityField; ++number) {
        if (!fields.skip()) return;
    }
    for (std::int32_t k = 0; k < depthCount; ++k) {
        if (!fields.readReal(values.conductivities[static_cast<std::size_t>(k)], source)) return;
    }
}

}  // namespace draymoor
