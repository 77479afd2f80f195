#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "common/edit_format.hpp"

namespace {

// The REAL road of Fw.d, written in place.
std::string fixed(float value, int width, int decimals) {
    std::string out(static_cast<std::size_t>(width), '?');
    common::writeRealF(out.data(), value, width, decimals);
    return out;
}

TEST(RealFixedField, HandlesWhatTheShortRoadLeavesToTheGeneralOne) {
    EXPECT_EQ(fixed(110.0f, 8, 2), "  110.00");
    EXPECT_EQ(fixed(-0.0001f, 6, 2), " -0.00");  // the sign of a value rounding to zero stays
    EXPECT_EQ(fixed(30000000.0f, 12, 2), " 30000000.00");
    EXPECT_EQ(fixed(1.0e9f, 12, 2), "************");
    EXPECT_EQ(fixed(std::bit_cast<float>(0x7FC00000U), 8, 2), "     NaN");
}

// Every Fw.d row (1 to 8 decimals) of the Fortran run-time reference table.
TEST(RealFixedField, MatchesTheFortranReferenceTable) {
    std::ifstream table(TEST_DATA_DIR "/draymoor/format_F_float32.tsv");
    ASSERT_TRUE(table.is_open());
    std::string line;
    std::getline(table, line);  // column names
    int rows = 0;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string hex, decimal, descriptor, text;
        std::getline(fields, hex, '\t');
        std::getline(fields, decimal, '\t');
        std::getline(fields, descriptor, '\t');
        std::getline(fields, text, '\t');
        const float value = std::bit_cast<float>(static_cast<std::uint32_t>(std::stoul(hex, nullptr, 16)));
        const std::size_t point = descriptor.find('.');
        const int width = std::stoi(descriptor.substr(1, point - 1));
        const int decimals = std::stoi(descriptor.substr(point + 1));
        // The text stands between "|" marks.
        EXPECT_EQ(fixed(value, width, decimals), text.substr(1, text.size() - 2)) << decimal << " in " << descriptor;
        ++rows;
    }
    EXPECT_GT(rows, 8000);
}

// An oracle independent of the edit format: the C library's exact digits
// ("%.*f" rounds the exact binary value, ties to even), placed by the field
// rules (sign, optional "0" before the point, asterisks when too wide).
std::string printedField(float value, int width, int decimals) {
    char digits[64];
    std::snprintf(digits, sizeof digits, "%.*f", decimals, std::fabs(static_cast<double>(value)));
    std::string body = digits;
    const std::size_t sign = std::signbit(value) ? 1 : 0;
    const auto room = static_cast<std::size_t>(width);
    if (body.size() + sign > room && body.rfind("0.", 0) == 0) body.erase(0, 1);
    if (body.size() + sign > room) return std::string(room, '*');
    return std::string(room - body.size() - sign, ' ') + (sign != 0 ? "-" : "") + body;
}

// The short road must agree with the oracle everywhere in the ranges rows
// hold: positions, depths, conductivities and their reciprocals.
TEST(RealFixedField, AgreesWithThePrintedDigits) {
    std::mt19937 random(20240601U);
    std::uniform_int_distribution<std::uint32_t> bits;
    const float scales[] = {1.0e-5f, 1.0e-2f, 1.0f, 100.0f, 1.0e4f, 1.0e6f, 1.0e7f, 3.0e7f};
    for (int trial = 0; trial < 200000; ++trial) {
        // Random mantissa and sign, magnitude around one of the scales.
        const std::uint32_t raw = bits(random);
        const float unit = std::bit_cast<float>((raw & 0x807FFFFFU) | 0x3F800000U);  // +-[1, 2)
        const float value = unit * scales[trial % 8];
        for (const auto& [width, decimals] :
             {std::pair{8, 2}, std::pair{12, 2}, std::pair{12, 4}, std::pair{10, 1}, std::pair{9, 2}}) {
            ASSERT_EQ(fixed(value, width, decimals), printedField(value, width, decimals))
                << value << " as F" << width << '.' << decimals;
        }
    }
}

}  // namespace
