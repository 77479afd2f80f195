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
    const int lastField = kFirstConductivityField - 1 + (depthCount > 0 ? depthCount : 0);
    std::string_view rest = text;
    for (int number = 1; number <= lastField; ++number) {
        const std::string_view field = nextField(rest);
        if (field.empty()) return;
        switch (number) {
            case kEastField:
                readRealField(field, values.station.east, source);
                break;
            case kNorthField:
                readRealField(field, values.station.north, source);
                break;
            case kLevelField:
                readRealField(field, values.station.level, source);
                break;
            case kDistField:
                readRealField(field, values.station.dist, source);
                break;
            default:
                if (number >= kFirstConductivityField) {
                    readRealField(field, values.conductivities[static_cast<std::size_t>(number - kFirstConductivityField)],
                                  source);
                }
                break;
        }
    }
}

}  // namespace draymoor
