#include "draymoor/cdi_text.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <string>

namespace draymoor {
namespace {

const std::string kFile = "survey.cdi";

std::uint32_t bitsOf(float value) { return std::bit_cast<std::uint32_t>(value); }

// The value the field scanner reads from a line holding just `field`.
float scanned(const std::string& field) {
    FieldScanner fields(field);
    float value = -777.0f;
    EXPECT_TRUE(fields.readReal(value, FieldSource{&kFile, 3}));
    return value;
}

// The correctly rounded float of a plain decimal, from the library's own
// exact conversion.
float correctlyRounded(const std::string& text) {
    float value = 0.0f;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

TEST(FieldScanner, WalksFieldsSeparatedByBlanksAndTabs) {
    FieldScanner fields("  12\t\t-0.5 x  3.25\t");
    float first = 0.0f;
    float second = 0.0f;
    EXPECT_TRUE(fields.readReal(first, FieldSource{&kFile, 1}));
    EXPECT_TRUE(fields.readReal(second, FieldSource{&kFile, 1}));
    EXPECT_TRUE(fields.skip());
    float third = 0.0f;
    EXPECT_TRUE(fields.readReal(third, FieldSource{&kFile, 1}));
    EXPECT_EQ(first, 12.0f);
    EXPECT_EQ(second, -0.5f);
    EXPECT_EQ(third, 3.25f);
    float untouched = 9.0f;
    EXPECT_FALSE(fields.readReal(untouched, FieldSource{&kFile, 1}));
    EXPECT_FALSE(fields.skip());
    EXPECT_EQ(untouched, 9.0f);
}

TEST(FieldScanner, ReadsHandWorkedDecimalsBitForBit) {
    EXPECT_EQ(bitsOf(scanned("0.1")), 0x3DCCCCCDU);    // 0.1 rounds up in float
    EXPECT_EQ(bitsOf(scanned("-0.0")), 0x80000000U);   // the sign of zero stays
    EXPECT_EQ(bitsOf(scanned("-1.00000")), 0xBF800000U);
    EXPECT_EQ(scanned("5."), 5.0f);
    EXPECT_EQ(scanned(".5"), 0.5f);
    // 2^24 + 1 is a tie between 2^24 and 2^24 + 2: ties go to the even 2^24.
    EXPECT_EQ(bitsOf(scanned("16777217")), bitsOf(16777216.0f));
    // Trailing decimal zeros do not count: 6760000.000 is the integer.
    EXPECT_EQ(scanned("6760000.000"), 6760000.0f);
    // Nineteen characters whose last digit matters: 10^-17 is no zero.
    EXPECT_EQ(bitsOf(scanned("0.00000000000000001")), bitsOf(correctlyRounded("1e-17")));
}

TEST(FieldScanner, FieldsBeyondTheShortRoadReadAsListItems) {
    EXPECT_EQ(scanned("+7"), 7.0f);
    EXPECT_EQ(scanned("1.5D2"), 150.0f);
    EXPECT_EQ(bitsOf(scanned("6760000.4")), bitsOf(correctlyRounded("6760000.4")));
    EXPECT_EQ(bitsOf(scanned("123456789012345678901")), bitsOf(correctlyRounded("123456789012345678901")));
}

TEST(FieldScanner, AgreesWithCorrectRoundingOverManyDecimals) {
    // Digit strings of every length up to nine, with the point anywhere:
    // the scanner must give the correctly rounded float each time.
    std::uint32_t seed = 12345U;
    for (int trial = 0; trial < 20000; ++trial) {
        seed = seed * 1664525U + 1013904223U;
        std::uint32_t draw = seed;
        const int digits = 1 + static_cast<int>(draw % 9U);
        const int pointAfter = static_cast<int>((draw >> 4) % static_cast<std::uint32_t>(digits + 1));
        std::string field = (draw & 1U) != 0U ? "-" : "";
        for (int k = 0; k < digits; ++k) {
            if (k == pointAfter) field += '.';
            seed = seed * 1664525U + 1013904223U;
            field += static_cast<char>('0' + (seed >> 16) % 10U);
        }
        ASSERT_EQ(bitsOf(scanned(field)), bitsOf(correctlyRounded(field))) << field;
    }
}

}  // namespace
}  // namespace draymoor
