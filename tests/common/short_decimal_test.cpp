// Plain decimals ("12.75", "-.5", "300.") are read by the shortest road when
// their digits fit the significand; the result must be the correctly rounded
// value all the same. The reference is the C++ library's own correctly
// rounded conversion, std::from_chars.
#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

#include "common/list_input.hpp"

namespace {

template <typename Real>
Real reference(const std::string& text) {
    Real value{};
    const std::size_t start = text.front() == '+' ? 1 : 0;  // from_chars takes no plus sign
    std::from_chars(text.data() + start, text.data() + text.size(), value);
    return value;
}

TEST(ShortDecimal, SignsPointsAndZeros) {
    double value = 1.0;
    ASSERT_TRUE(common::parseListDouble("-0.0", value));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(value), std::bit_cast<std::uint64_t>(-0.0));
    ASSERT_TRUE(common::parseListDouble("+.5", value));
    EXPECT_EQ(value, 0.5);
    ASSERT_TRUE(common::parseListDouble("300.", value));
    EXPECT_EQ(value, 300.0);
    ASSERT_TRUE(common::parseListDouble("-12", value));
    EXPECT_EQ(value, -12.0);
    // 0.1 is not a binary fraction: the nearest double, not 1/10 rounded twice.
    ASSERT_TRUE(common::parseListDouble("0.1", value));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(value), 0x3FB999999999999AULL);
    float real = 0.0f;
    ASSERT_TRUE(common::parseListReal("0.1", real));
    EXPECT_EQ(std::bit_cast<std::uint32_t>(real), 0x3DCCCCCDU);
    // Not numbers, whatever road they take.
    for (const char* text : {".", "-", "+", "1.2.3", "1-", "--1", "1 2", ""}) {
        EXPECT_FALSE(common::parseListDouble(text, value)) << '|' << text << '|';
    }
}

TEST(ShortDecimal, EveryLengthRoundsLikeTheExactConversion) {
    // Up to 18 digits: the short road takes what the type holds exactly and
    // hands longer ones to the general conversion; both must agree with it.
    std::mt19937_64 random(7);
    int failures = 0;
    for (int trial = 0; trial < 100000 && failures < 10; ++trial) {
        const int digits = 1 + trial % 18;
        const int point = static_cast<int>(random() % static_cast<std::uint64_t>(digits + 1));
        std::string text = trial % 2 == 0 ? "-" : "";
        for (int k = 0; k < digits; ++k) {
            if (k == point) text += '.';
            text += static_cast<char>('0' + random() % 10);
        }
        double wide = 0.0;
        float narrow = 0.0f;
        const bool wideRead = common::parseListDouble(text, wide);
        const bool narrowRead = common::parseListReal(text, narrow);
        if (!wideRead || !narrowRead ||
            std::bit_cast<std::uint64_t>(wide) != std::bit_cast<std::uint64_t>(reference<double>(text)) ||
            std::bit_cast<std::uint32_t>(narrow) != std::bit_cast<std::uint32_t>(reference<float>(text))) {
            ++failures;
            ADD_FAILURE() << '|' << text << "| read as " << wide << " / " << narrow;
        }
    }
}

TEST(ShortDecimal, ExponentFormsRoundLikeTheExactConversion) {
    // "1.23456E-02", "-5d3", "120.000e+8": digits with an exponent, some
    // within the exact short road and some just beyond it (long mantissas,
    // powers beyond 10^10 or 10^22), every one against the exact conversion.
    std::mt19937_64 random(11);
    const char letters[] = {'E', 'e', 'D', 'd'};
    int failures = 0;
    for (int trial = 0; trial < 200000 && failures < 10; ++trial) {
        const int digits = 1 + static_cast<int>(random() % 12);
        const int point = static_cast<int>(random() % static_cast<std::uint64_t>(digits + 1));
        std::string text = trial % 3 == 0 ? "-" : "";
        for (int k = 0; k < digits; ++k) {
            if (k == point) text += '.';
            text += static_cast<char>('0' + random() % 10);
        }
        if (trial % 5 == 0) text += "000";  // trailing zeros that do not count
        const int exponent = static_cast<int>(random() % 45) - 22;  // within the float range
        std::string referenceText = text + 'e' + std::to_string(exponent);
        text += letters[trial % 4];
        if (exponent >= 0 && trial % 2 == 0) text += '+';
        text += std::to_string(exponent);
        double wide = 0.0;
        float narrow = 0.0f;
        const bool read = common::parseListDouble(text, wide) && common::parseListReal(text, narrow);
        if (!read ||
            std::bit_cast<std::uint64_t>(wide) != std::bit_cast<std::uint64_t>(reference<double>(referenceText)) ||
            std::bit_cast<std::uint32_t>(narrow) != std::bit_cast<std::uint32_t>(reference<float>(referenceText))) {
            ++failures;
            ADD_FAILURE() << '|' << text << "| read as " << wide << " / " << narrow;
        }
    }
    // Exponents without digits are no numbers, whatever road they take.
    double value = 0.0;
    for (const char* text : {"1e", "1.5E+", "2d-", "e5", ".e1"}) {
        EXPECT_FALSE(common::parseListDouble(text, value)) << '|' << text << '|';
    }
}

TEST(ShortDecimal, IntegersOfNineDigitsAndBeyond) {
    std::int32_t value = 0;
    ASSERT_TRUE(common::parseListInteger("999999999", value));
    EXPECT_EQ(value, 999999999);
    ASSERT_TRUE(common::parseListInteger("-000000007", value));  // ten characters of digits
    EXPECT_EQ(value, -7);
    ASSERT_TRUE(common::parseListInteger("2147483647", value));
    EXPECT_EQ(value, 2147483647);
    ASSERT_TRUE(common::parseListInteger("-2147483648", value));
    EXPECT_EQ(value, -2147483647 - 1);
    EXPECT_FALSE(common::parseListInteger("2147483648", value));
    EXPECT_FALSE(common::parseListInteger("12a", value));
    EXPECT_FALSE(common::parseListInteger("+", value));
}

}  // namespace
