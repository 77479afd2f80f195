#pragma once
// Fw.d fields of float32 values at the speed a CDI file of many millions of
// rows needs. The text is the same as common::appendF gives, character for
// character; only the common case takes a shorter road. The short road is
// inline so that a call with a constant width and decimal count compiles to
// straight code.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "common/float_to_int.hpp"

namespace draymoor {

namespace fixed_detail {

inline constexpr int kMostDecimals = 8;
inline constexpr std::array<double, kMostDecimals + 1> kPowersOfTen = {1.0, 1e1, 1e2, 1e3, 1e4,
                                                                        1e5, 1e6, 1e7, 1e8};
inline constexpr std::array<std::uint32_t, kMostDecimals + 1> kDecimalUnits = {
    1U, 10U, 100U, 1000U, 10000U, 100000U, 1000000U, 10000000U, 100000000U};
// Scaled values up to this become an int32 digit string exactly.
inline constexpr double kLargestScaled = 2147483647.0;
// Adding and taking away 2^52 rounds a smaller non-negative double to an
// integer, ties to even, in the default rounding mode.
inline constexpr double kRoundingShift = 4503599627370496.0;

// 10^room for the whole-part check; a whole part below 2^31 / 10 fits any
// room of ten digits or more.
inline constexpr std::array<std::uint32_t, 10> kRoomLimits = {
    1U, 10U, 100U, 1000U, 10000U, 100000U, 1000000U, 10000000U, 100000000U, 1000000000U};

// Whether a whole part fits `room` digits (the "0" of a zero whole part is
// optional and not counted).
inline bool wholeFits(std::uint32_t whole, int room) {
    if (room < 0) return false;
    return whole == 0U || room >= static_cast<int>(kRoomLimits.size()) ||
           whole < kRoomLimits[static_cast<std::size_t>(room)];
}

// Blanks over field[0, width): two overlapping 8-byte stores for the widths
// of 8 to 16 that rows use, rather than a library call per field.
inline void fillBlanks(char* field, int width) {
    constexpr char kBlanks[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    if (width >= 8 && width <= 16) {
        std::memcpy(field, kBlanks, sizeof kBlanks);
        std::memcpy(field + width - 8, kBlanks, sizeof kBlanks);
        return;
    }
    for (int k = 0; k < width; ++k) field[k] = ' ';
}

}  // namespace fixed_detail

// Writes `value` as an Fw.d field into field[0, width) (1 <= decimals <= 8)
// and returns true; returns false, writing nothing, for a value the short
// road does not take (not finite, or more than 2^31 - 1 units of the last
// decimal), which common::appendF handles.
inline bool writeFixedField(char* field, float value, int width, int decimals) {
    using namespace fixed_detail;
    // A float has 24 significant bits and 10^d = 2^d * 5^d with 5^8 < 2^19,
    // so the scaled value is exact in double; rounding it to an integer with
    // ties to even is then the rounding of the exact binary value.
    const double scaled = std::fabs(static_cast<double>(value)) * kPowersOfTen[static_cast<std::size_t>(decimals)];
    if (!(scaled <= kLargestScaled)) return false;  // also NaN and infinity
    const double rounded = (scaled + kRoundingShift) - kRoundingShift;
    auto digits = static_cast<std::uint32_t>(common::truncateToInt32(rounded));
    const std::uint32_t whole = digits / kDecimalUnits[static_cast<std::size_t>(decimals)];
    const bool negative = std::signbit(value);

    // The "0" before the point is written only when the field has room.
    const int fractionLength = decimals + 1 + (negative ? 1 : 0);
    if (!wholeFits(whole, width - fractionLength)) {
        for (int k = 0; k < width; ++k) field[k] = '*';
        return true;
    }
    fillBlanks(field, width);
    // Right to left: decimals, point, whole digits, sign.
    char* at = field + width;
    for (int k = 0; k < decimals; ++k) {
        *--at = static_cast<char>('0' + digits % 10U);
        digits /= 10U;
    }
    *--at = '.';
    if (whole != 0U || fractionLength < width) {
        do {
            *--at = static_cast<char>('0' + digits % 10U);
            digits /= 10U;
        } while (digits != 0U);
    }
    if (negative) *--at = '-';
    return true;
}

// Appends `value` as an Fw.d field (1 <= decimals <= 8), by either road.
void appendFixed(std::string& out, float value, int width, int decimals);

}  // namespace draymoor
