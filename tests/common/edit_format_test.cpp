// The edit formats against the reference tables in data/fortran (every row of
// the F, F double precision, E and I tables), plus the cases the tables do
// not reach: exponents beyond two digits, very wide fields, degenerate
// descriptors.
#include "common/edit_format.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cstdint>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

namespace {

struct FormatRow {
    std::string valueHex;
    char letter = ' ';
    int width = 0;
    int decimals = 0;
    std::string descriptor;
    std::string expected;
};

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string::npos) {
            return fields;
        }
        start = tab + 1;
    }
}

// Reads value_hex, descriptor ("F10.1", "E12.4", "I4") and |text|.
std::vector<FormatRow> loadTable(const std::string& name) {
    std::ifstream file(std::string(TEST_DATA_DIR) + "/fortran/" + name);
    EXPECT_TRUE(file.good()) << name;
    std::vector<FormatRow> rows;
    std::string line;
    std::getline(file, line);  // header
    while (std::getline(file, line)) {
        const std::vector<std::string> fields = splitTabs(line);
        FormatRow row;
        row.valueHex = fields.at(0);
        row.descriptor = fields.at(2);
        row.letter = row.descriptor.at(0);
        const char* cursor = row.descriptor.data() + 1;
        const char* end = row.descriptor.data() + row.descriptor.size();
        cursor = std::from_chars(cursor, end, row.width).ptr;
        if (cursor != end && *cursor == '.') {
            std::from_chars(cursor + 1, end, row.decimals);
        }
        const std::string& text = fields.at(3);
        row.expected = text.substr(1, text.size() - 2);
        rows.push_back(row);
    }
    return rows;
}

std::uint64_t parseHex(const std::string& hex) {
    std::uint64_t bits = 0;
    std::from_chars(hex.data(), hex.data() + hex.size(), bits, 16);
    return bits;
}

// The value a row stands for: float32 or float64 by the number of hex
// digits, widened exactly to double.
double rowReal(const FormatRow& row) {
    const std::uint64_t bits = parseHex(row.valueHex);
    if (row.valueHex.size() == 8) {
        return static_cast<double>(std::bit_cast<float>(static_cast<std::uint32_t>(bits)));
    }
    return std::bit_cast<double>(bits);
}

std::string formatRow(const FormatRow& row) {
    switch (row.letter) {
        case 'F':
            return common::formatF(rowReal(row), row.width, row.decimals);
        case 'E':
            return common::formatE(rowReal(row), row.width, row.decimals);
        default: {
            const auto bits = static_cast<std::uint32_t>(parseHex(row.valueHex));
            return common::formatI(std::bit_cast<std::int32_t>(bits), row.width);
        }
    }
}

// One failing row fails the test; each is named by its bits and descriptor.
void expectEveryRow(const std::string& table, std::size_t expectedRows) {
    const std::vector<FormatRow> rows = loadTable(table);
    EXPECT_EQ(rows.size(), expectedRows) << table << " is incomplete";
    int failures = 0;
    for (const FormatRow& row : rows) {
        const std::string actual = formatRow(row);
        if (actual != row.expected) {
            ++failures;
            ADD_FAILURE() << table << ": " << row.valueHex << " " << row.descriptor << " gives |"
                          << actual << "|, expected |" << row.expected << "|";
        }
    }
    EXPECT_EQ(failures, 0);
}

TEST(EditFormatTables, EveryFixedPointRowOfFloat32) { expectEveryRow("format_F.tsv", 10676); }

TEST(EditFormatTables, EveryFixedPointRowOfFloat64) { expectEveryRow("format_F_real8.tsv", 2316); }

TEST(EditFormatTables, EveryExponentRow) { expectEveryRow("format_E.tsv", 6990); }

TEST(EditFormatTables, EveryIntegerRow) { expectEveryRow("format_I.tsv", 2297); }

TEST(EditFormat, FixedPointWritesEveryExactDigitOfAWideValue) {
    // 1.0E30f is exactly 1000000015047466219876688855040.
    EXPECT_EQ(common::formatF(static_cast<double>(1.0E30f), 34, 1), " 1000000015047466219876688855040.0");
    // 2^-20 = 0.00000095367431640625 exactly, so every one of 20 decimals shows.
    EXPECT_EQ(common::formatF(0x1p-20, 23, 20), " 0.00000095367431640625");
}

TEST(EditFormat, ManyDecimalsStillExact) {
    // 2^-200 has 200 decimals; all of them are written, the last being 5.
    const std::string field = common::formatF(0x1p-200, 205, 200);
    ASSERT_EQ(field.size(), 205U);
    EXPECT_EQ(field.substr(0, 6), "   0.0");
    EXPECT_EQ(field.back(), '5');
}

TEST(EditFormat, ExponentBeyondTwoDigitsDropsTheLetter) {
    EXPECT_EQ(common::formatE(1e100, 12, 4), "  0.1000+101");
    EXPECT_EQ(common::formatE(1e-300, 12, 4), "  0.1000-299");
    EXPECT_EQ(common::formatE(-1e100, 10, 4), "-.1000+101");
    // The largest double: 1.797...E308 is 0.1798E+309.
    EXPECT_EQ(common::formatE(std::numeric_limits<double>::max(), 10, 4), "0.1798+309");
}

TEST(EditFormat, ExponentFieldWithOneDigit) {
    // E8.1 of 0.96: one significant digit, rounding 9.6 up carries into 10.
    EXPECT_EQ(common::formatE(0.96, 8, 1), " 0.1E+01");
    EXPECT_EQ(common::formatE(-7.0, 8, 1), "-0.7E+01");
}

TEST(EditFormat, DegenerateFieldsNeverFail) {
    EXPECT_EQ(common::formatF(1.5, 0, 1), "");
    EXPECT_EQ(common::formatE(1.5, -3, 4), "");
    EXPECT_EQ(common::formatI(7, 0), "");
    // Without significant digits an E field cannot show the value.
    EXPECT_EQ(common::formatE(1.5, 6, 0), "******");
    // A negative decimal count is taken as none.
    EXPECT_EQ(common::formatF(2.0, 4, -1), "  2.");
    // More decimals than the width holds: asterisks, without building the digits.
    EXPECT_EQ(common::formatF(2.0, 5, 1'000'000'000), "*****");
    EXPECT_EQ(common::formatE(2.0, 9, 5), "*********");
}

TEST(EditFormat, IntegersBeyondInt32) {
    EXPECT_EQ(common::formatI(std::numeric_limits<std::int64_t>::min(), 20), "-9223372036854775808");
    EXPECT_EQ(common::formatI(std::numeric_limits<std::int64_t>::min(), 19), "*******************");
    EXPECT_EQ(common::formatI(4294967296LL, 11), " 4294967296");
}

TEST(EditFormat, AppendKeepsWhatIsThere) {
    std::string row = "x";
    common::appendF(row, 1.25, 6, 2);
    common::appendE(row, 1.25, 11, 4);
    common::appendI(row, -3, 3);
    EXPECT_EQ(row, "x  1.25 0.1250E+01 -3");
}

}  // namespace

namespace {

// The Ew.d field built from the standard library's exact conversion
// (precision-based scientific printing); empty for a three-digit exponent,
// which drops the letter.
std::string printedExponentField(double value, int width, int decimals) {
    char exact[96];
    const double magnitude = std::fabs(value);
    const int printed = std::snprintf(exact, sizeof exact, "%.*e", decimals - 1, magnitude);
    if (printed <= 0) return "snprintf failed";
    // "d.ddde+XX" -> "0.dddd" with the exponent one higher (zero stays 0).
    std::string digits(1, exact[0]);
    if (decimals > 1) digits.append(exact + 2, static_cast<std::size_t>(decimals - 1));
    const int exponent = std::atoi(std::strchr(exact, 'e') + 1) + (magnitude == 0.0 ? 0 : 1);
    if (exponent > 99 || exponent < -99) return {};
    char tail[8];
    std::snprintf(tail, sizeof tail, "E%c%02d", exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
    std::string body = "0." + digits + tail;
    const bool negative = std::signbit(value);
    if (static_cast<int>(body.size()) + (negative ? 1 : 0) > width) body.erase(0, 1);
    if (static_cast<int>(body.size()) + (negative ? 1 : 0) > width) {
        return std::string(static_cast<std::size_t>(width), '*');
    }
    std::string expected(static_cast<std::size_t>(width) - body.size() - (negative ? 1 : 0), ' ');
    if (negative) expected += '-';
    return expected + body;
}

// Row fields take a short road for Ew.d; the exact conversion must agree with
// it for any float32 value, whatever its size, sign and field, and for double
// values across the short road's range.
TEST(EditFormat, ExponentFieldsMatchTheExactConversion) {
    std::uint32_t state = 12345;
    auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    for (int trial = 0; trial < 400000; ++trial) {
        double value = 0.0;
        if (trial % 2 == 0) {
            value = static_cast<double>(std::bit_cast<float>(next()));
        } else {
            // A random 52-bit fraction, sign and a power of two from 2^-50 to 2^105.
            const std::uint64_t fraction = (std::uint64_t{next()} << 20) ^ next();
            const std::uint64_t biased = 1023 - 50 + next() % 156;
            value = std::bit_cast<double>((std::uint64_t{next() & 1U} << 63) | (biased << 52) |
                                          (fraction & ((std::uint64_t{1} << 52) - 1)));
        }
        if (!std::isfinite(value)) continue;
        const int decimals = 1 + static_cast<int>(next() % 9);
        const int width = decimals + 5 + static_cast<int>(next() % 4);
        const std::string expected = printedExponentField(value, width, decimals);
        if (expected.empty()) continue;
        ASSERT_EQ(common::formatE(value, width, decimals), expected)
            << std::hexfloat << value << " E" << width << "." << decimals;
    }
}

}  // namespace
