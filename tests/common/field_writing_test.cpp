// Fields written in place (writeF, writeI) and the two roads of Fw.d: the
// short one for the few decimals and moderate values that rows are made of,
// the general one for the rest. Expected texts are worked out by hand or
// come from the C library's own exact conversion (printf "%.*f", which rounds
// the exact binary value half to even like the edit formats).
#include "common/edit_format.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

namespace {

// Fw.d by its rules, from printf's digits: sign of a set sign bit, "0"
// before the point dropped when only that makes the field fit, asterisks
// when nothing does.
std::string referenceF(double value, int width, int decimals) {
    char digits[400];
    std::snprintf(digits, sizeof digits, "%.*f", decimals, std::fabs(value));
    std::string body = digits;
    if (decimals == 0) body += '.';
    const std::string sign = std::signbit(value) ? "-" : "";
    if (static_cast<int>(sign.size() + body.size()) > width && decimals > 0 && body.rfind("0.", 0) == 0) {
        body.erase(0, 1);
    }
    const std::string text = sign + body;
    if (static_cast<int>(text.size()) > width) return std::string(static_cast<std::size_t>(width), '*');
    return std::string(static_cast<std::size_t>(width) - text.size(), ' ') + text;
}

TEST(FieldWriting, WrittenInPlaceWithoutTouchingTheNeighbours) {
    std::string row = "[..........][....]";
    common::writeF(row.data() + 1, -3.25, 10, 3);
    common::writeI(row.data() + 13, 42, 4);
    EXPECT_EQ(row, "[    -3.250][  42]");
    // Overflow and the general road stay inside the field too.
    common::writeF(row.data() + 1, 1.0e30, 10, 3);
    common::writeI(row.data() + 13, -1000, 4);
    EXPECT_EQ(row, "[**********][****]");
    common::writeF(row.data() + 1, std::nan(""), 10, 3);
    EXPECT_EQ(row, "[       NaN][****]");
}

TEST(FieldWriting, IntegerFieldsAtTheirLimits) {
    EXPECT_EQ(common::formatI(0, 1), "0");
    EXPECT_EQ(common::formatI(-1, 1), "*");
    EXPECT_EQ(common::formatI(-1, 2), "-1");
    EXPECT_EQ(common::formatI(99, 2), "99");
    EXPECT_EQ(common::formatI(100, 2), "**");
    EXPECT_EQ(common::formatI(-99999, 7), " -99999");
    EXPECT_EQ(common::formatI(2147483647, 10), "2147483647");
    EXPECT_EQ(common::formatI(-2147483648LL, 11), "-2147483648");
    EXPECT_EQ(common::formatI(-2147483648LL, 10), "**********");
    // Wider than the stack field: built in the row itself.
    EXPECT_EQ(common::formatI(-12, 70), std::string(67, ' ') + "-12");
}

TEST(FieldWriting, RoundingAtTheEdgeOfEachDecimalCount) {
    // Exact binary ties round to even; values just off a tie do not.
    EXPECT_EQ(common::formatF(0.125, 6, 2), "  0.12");
    EXPECT_EQ(common::formatF(0.375, 6, 2), "  0.38");
    EXPECT_EQ(common::formatF(2.5, 3, 0), " 2.");
    EXPECT_EQ(common::formatF(3.5, 3, 0), " 4.");
    EXPECT_EQ(common::formatF(static_cast<double>(0.15f), 4, 1), " 0.2");  // 0.150000006
    EXPECT_EQ(common::formatF(0.05, 4, 1), " 0.1");                          // 0.05000000000000000277
    // A carry through every digit widens the whole part.
    EXPECT_EQ(common::formatF(99.995, 7, 2), " 100.00");  // 99.99500000000000454747
    EXPECT_EQ(common::formatF(9.9999, 5, 3), "*****");    // 10.000 needs six
    // The "0" before the point goes before the field overflows.
    EXPECT_EQ(common::formatF(-0.5, 4, 2), "-.50");
    EXPECT_EQ(common::formatF(-0.0, 5, 2), "-0.00");
    EXPECT_EQ(common::formatF(0.001, 3, 2), ".00");
    // Four decimals and nine: beyond the 64-bit shortcut.
    EXPECT_EQ(common::formatF(0.00005, 8, 4), "  0.0001");  // 5.000000000000000409e-05
    EXPECT_EQ(common::formatF(0x1p-30, 12, 9), " 0.000000001");  // 9.31e-10
}

TEST(FieldWriting, ShortRoadAgreesWithTheExactConversion) {
    std::mt19937_64 random(20240611);
    std::uniform_int_distribution<int> decimalsOf(0, 9);
    std::uniform_int_distribution<int> exponentOf(-12, 20);
    std::uniform_real_distribution<double> mantissaOf(-1.0, 1.0);
    int failures = 0;
    for (int trial = 0; trial < 200000 && failures < 10; ++trial) {
        const int decimals = decimalsOf(random);
        double value = std::ldexp(mantissaOf(random), exponentOf(random) * 3);
        if (trial % 3 == 0) value = static_cast<double>(static_cast<float>(value));  // REAL fields
        if (trial % 5 == 0) value = std::round(value * 1000.0) / 1000.0 + 0.0005;    // near ties
        const int width = 1 + decimals + (trial % 23);
        const std::string expected = referenceF(value, width, decimals);
        const std::string actual = common::formatF(value, width, decimals);
        if (actual != expected) {
            ++failures;
            ADD_FAILURE() << std::hexfloat << value << " F" << width << "." << decimals << ": |" << actual
                          << "| expected |" << expected << "|";
        }
    }
}

TEST(FieldWriting, BothRoadsMeetAtTheirBoundaries) {
    // 2^53 and 2^64 units are where the short road hands over; the digits
    // on either side must run on without a seam.
    const double justBelow = 9007199254740991.0;  // 2^53 - 1
    EXPECT_EQ(common::formatF(justBelow, 20, 1), "  9007199254740991.0");
    EXPECT_EQ(common::formatF(9007199254740992.0, 20, 1), "  9007199254740992.0");
    // 18446744073.709552764892578125: more than 2^64 units of 10^-9.
    EXPECT_EQ(common::formatF(1.8446744073709552e10, 21, 9), "18446744073.709552765");
    EXPECT_EQ(common::formatF(1.8446744073709552e10, 24, 9), "   18446744073.709552765");
    EXPECT_EQ(common::formatF(1.8446744073709552e10, 20, 9), "********************");
    // A field wider than the stack buffer holds the same text.
    EXPECT_EQ(common::formatF(-1234.5678, 70, 3), std::string(61, ' ') + "-1234.568");
}

}  // namespace
