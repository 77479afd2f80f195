#include "haverel/survey_rows.hpp"

#include "common/edit_format.hpp"

namespace haverel {

namespace {

// East, North, RadAlt, BarAlt and DTM: the position and altitude columns
// that all three rows share. DTM is the terrain height under the aircraft.
void appendPositionAndAltitudes(std::string& out, const Sample& sample) {
    common::appendF(out, sample.east, 10, 1);
    common::appendF(out, sample.north, 11, 1);
    common::appendF(out, sample.radAlt, 10, 1);
    common::appendF(out, sample.barAlt, 10, 1);
    common::appendF(out, sample.barAlt - sample.radAlt, 10, 1);
}

void appendTimeConstantAndChannels(std::string& out, const Sample& sample) {
    common::appendF(out, sample.TC, 8, 2);
    for (const std::int32_t channel : sample.channels) common::appendI(out, channel, 7);
}

}  // namespace

void appendMagRow(std::string& out, std::int32_t lineNumber, std::int32_t direction, const Sample& sample) {
    common::appendI(out, lineNumber, 8);
    common::appendI(out, direction, 4);
    appendPositionAndAltitudes(out, sample);
    common::appendF(out, sample.finalMag, 12, 2);
    out.push_back('\n');
}

void appendEmRow(std::string& out, std::int32_t lineNumber, std::int32_t direction, const Sample& sample) {
    common::appendI(out, lineNumber, 8);
    common::appendI(out, direction, 4);
    appendPositionAndAltitudes(out, sample);
    appendTimeConstantAndChannels(out, sample);
    out.push_back('\n');
}

void appendEmDataRow(std::string& out, double stationDistance, const Sample& sample) {
    common::appendF(out, stationDistance, 10, 1);
    appendPositionAndAltitudes(out, sample);
    appendTimeConstantAndChannels(out, sample);
    out.push_back('\n');
}

}  // namespace haverel
