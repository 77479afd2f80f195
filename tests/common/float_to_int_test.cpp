#include "common/float_to_int.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

using common::kIntegerIndefinite;
using common::roundToInt32;
using common::truncateToInt32;

TEST(FloatToInt, TruncatesTowardZero) {
    EXPECT_EQ(truncateToInt32(2.9f), 2);
    EXPECT_EQ(truncateToInt32(-2.9f), -2);
    EXPECT_EQ(truncateToInt32(-0.5), 0);
    EXPECT_EQ(truncateToInt32(2147483647.0), 2147483647);
    EXPECT_EQ(truncateToInt32(-2147483648.0), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(truncateToInt32(-2147483648.9), std::numeric_limits<std::int32_t>::min());
}

TEST(FloatToInt, UnrepresentableValuesGiveTheIndefiniteInteger) {
    EXPECT_EQ(truncateToInt32(std::numeric_limits<float>::quiet_NaN()), kIntegerIndefinite);
    EXPECT_EQ(truncateToInt32(std::numeric_limits<float>::infinity()), kIntegerIndefinite);
    EXPECT_EQ(truncateToInt32(-std::numeric_limits<double>::infinity()), kIntegerIndefinite);
    EXPECT_EQ(truncateToInt32(2147483648.0f), kIntegerIndefinite);  // 2^31 is one past the range
    EXPECT_EQ(truncateToInt32(-1.0E32f), kIntegerIndefinite);
}

TEST(FloatToInt, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(roundToInt32(2.5f), 3);
    EXPECT_EQ(roundToInt32(-2.5f), -3);
    EXPECT_EQ(roundToInt32(2.4999998f), 2);
    EXPECT_EQ(roundToInt32(std::nanf("")), kIntegerIndefinite);
}

// Every float, sampled across all bit patterns (signs, tiny, huge, not a
// number), rounds as std::round and the range guard do.
TEST(FloatToInt, RoundingAgreesWithTheLibraryRoundOverTheBitPatterns) {
    for (std::uint64_t bits = 0; bits <= 0xFFFFFFFFu; bits += 997) {
        const float value = std::bit_cast<float>(static_cast<std::uint32_t>(bits));
        ASSERT_EQ(roundToInt32(value), truncateToInt32(static_cast<double>(std::round(value)))) << value;
    }
}

}  // namespace
