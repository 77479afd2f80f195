#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <string>

#include "haverel/token_reader.hpp"

namespace haverel {
namespace {

std::uint64_t bitsOf(double value) { return std::bit_cast<std::uint64_t>(value); }

double correctlyRounded(const std::string& text) {
    double value = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

TEST(PlainRealField, HandWorkedFieldsAndTheirNeighbours) {
    SampleLine line("0.1 -0.0 +2.5 6760000.4 1.5E2 12345678901234567890.5 7");
    EXPECT_EQ(bitsOf(line.GET_RVAL()), 0x3FB999999999999AULL);  // 0.1 in double
    EXPECT_EQ(bitsOf(line.GET_RVAL()), 0x8000000000000000ULL);  // the sign of zero stays
    EXPECT_EQ(line.GET_RVAL(), 2.5);
    EXPECT_EQ(bitsOf(line.GET_RVAL()), bitsOf(correctlyRounded("6760000.4")));
    EXPECT_EQ(line.GET_RVAL(), 150.0);  // an exponent goes the general road
    EXPECT_EQ(bitsOf(line.GET_RVAL()), bitsOf(correctlyRounded("12345678901234567890.5")));
    EXPECT_EQ(line.GET_IVAL(), 7);  // the fields after it are still in step
}

TEST(PlainRealField, AgreesWithCorrectRoundingOverManyDecimals) {
    std::uint32_t seed = 777U;
    for (int trial = 0; trial < 20000; ++trial) {
        seed = seed * 1664525U + 1013904223U;
        const std::uint32_t draw = seed;
        const int digits = 1 + static_cast<int>(draw % 18U);
        const int pointAfter = static_cast<int>((draw >> 5) % static_cast<std::uint32_t>(digits + 1));
        std::string field = (draw & 1U) != 0U ? "-" : "";
        for (int k = 0; k < digits; ++k) {
            if (k == pointAfter) field += '.';
            seed = seed * 1664525U + 1013904223U;
            field += static_cast<char>('0' + (seed >> 16) % 10U);
        }
        const std::string text = field + " 1";  // the line views it
        SampleLine line(text);
        ASSERT_EQ(bitsOf(line.GET_RVAL()), bitsOf(correctlyRounded(field))) << field;
        ASSERT_EQ(line.GET_IVAL(), 1) << field;
    }
}

}  // namespace
}  // namespace haverel
