#pragma once
// One survey sample and the three kinds of sample line it is read from.
#include <array>
#include <cstdint>
#include <string_view>

namespace haverel {

inline constexpr int kEmChannels = 15;

// The fields of a sample line; those a line does not carry keep what they
// held. Integers are 32-bit, reals double precision, as the survey files
// are read.
struct Sample {
    std::int32_t field1 = 0;
    std::int32_t emFlag = 0;  // 1: the sample has em file and EM data file rows
    std::array<std::int32_t, kEmChannels> channels{};
    std::int32_t field18 = 0;
    std::int32_t field19 = 0;
    double TC = 0.0;
    double radAlt = 0.0;
    double barAlt = 0.0;
    std::int32_t magFlag = 0;  // 1: the sample has a mag file row
    double finalMag = 0.0;
    double field25 = 0.0;
    double field26 = 0.0;
    double field27 = 0.0;
    std::int32_t field28 = 0;
    std::int32_t field29 = 0;
    double east = 0.0;
    double north = 0.0;
};

// Short sample line: fields 1 to 20 (EM channels only).
void readShortSampleLine(std::string_view line, Sample& sample);
// Middle sample line: fields 1 to 25 (adds altitudes and magnetics).
void readMiddleSampleLine(std::string_view line, Sample& sample);
// Full sample line: fields 1 to 31 (adds the position).
void readFullSampleLine(std::string_view line, Sample& sample);

// A full sample line with a dummy easting or northing carries no position.
bool hasDummyPosition(const Sample& sample);

}  // namespace haverel
