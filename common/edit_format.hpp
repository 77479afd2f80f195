#pragma once
// Fortran-style fixed-width numbers: the Fw.d, Ew.d and Iw edit descriptors.
//
// Every numeric field that the suite writes into a text row or the gridding
// log goes through these functions, so that texts agree with what the
// producers and consumers of these files expect, digit for digit:
//   Fw.d  fixed point, rounded (ties to even) to d decimals, right-justified;
//         "0" before the point only when the field has room; d = 0 still ends
//         in "."; a set sign bit always shows "-" (so -0.0 gives "-0.00").
//   Ew.d  "0." + d significant digits + "E" + sign + two exponent digits.
//   Iw    right-justified integer.
// A value that does not fit its field is written as w asterisks. NaN and
// infinity are written as "NaN", "Inf"/"Infinity" right-justified (or
// asterisks when the field is too narrow), never by undefined behaviour.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "common/float_to_int.hpp"

namespace common {

// Append the field to `out`. A float32 value is passed widened to double,
// which is exact, so the same functions serve REAL and DOUBLE PRECISION.
void appendF(std::string& out, double value, int width, int decimals);
void appendE(std::string& out, double value, int width, int decimals);
void appendI(std::string& out, std::int64_t value, int width);

// Write the field into field[0, width) in place, exactly the text the
// append functions give: rows are formatted straight into their buffer.
void writeF(char* field, double value, int width, int decimals);
void writeE(char* field, double value, int width, int decimals);
void writeI(char* field, std::int64_t value, int width);

// The Fw.d field of a REAL (float32) value, the same text as writeF; the
// common case is formed inline (see writeShortRealF below), so that rows of
// many fields with constant widths compile to straight code.
inline void writeRealF(char* field, float value, int width, int decimals);

std::string formatF(double value, int width, int decimals);
std::string formatE(double value, int width, int decimals);
std::string formatI(std::int64_t value, int width);


// ---------------------------------------------------------------------------
// The short road of Fw.d for REAL values (1 to 8 decimals, at most 2^31 - 1
// units of the last decimal): the value scaled by 10^d is exact in double,
// because a float has 24 significant bits and 10^d = 2^d * 5^d with
// 5^8 < 2^19; rounding it to an integer with ties to even is then the
// rounding of the exact binary value, which is what every road gives.
namespace edit_detail {

inline constexpr int kMostRealDecimals = 8;
inline constexpr std::array<double, kMostRealDecimals + 1> kRealScales = {1.0, 1e1, 1e2, 1e3, 1e4,
                                                                         1e5, 1e6, 1e7, 1e8};
inline constexpr std::array<std::uint32_t, 10> kDecimalUnits = {
    1U, 10U, 100U, 1000U, 10000U, 100000U, 1000000U, 10000000U, 100000000U, 1000000000U};
// Scaled values up to this become an int32 digit string exactly.
inline constexpr double kLargestScaledReal = 2147483647.0;
// Adding and taking away 2^52 rounds a smaller non-negative double to an
// integer, ties to even, in the default rounding mode.
inline constexpr double kRoundingShift = 4503599627370496.0;

// Whether a whole part fits `room` digits (the "0" of a zero whole part is
// optional and not counted).
inline bool wholeFitsRoom(std::uint32_t whole, int room) {
    if (room < 0) return false;
    return whole == 0U || room >= static_cast<int>(kDecimalUnits.size()) ||
           whole < kDecimalUnits[static_cast<std::size_t>(room)];
}

// Blanks over field[0, width): two overlapping 4- or 8-byte stores for the
// usual widths of 4 to 16 rather than a library call per field.
inline void fillShortBlanks(char* field, int width) {
    constexpr char kBlanks[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    if (width >= 8 && width <= 16) {
        std::memcpy(field, kBlanks, 8);
        std::memcpy(field + width - 8, kBlanks, 8);
        return;
    }
    if (width >= 4 && width < 8) {
        std::memcpy(field, kBlanks, 4);
        std::memcpy(field + width - 4, kBlanks, 4);
        return;
    }
    for (int k = 0; k < width; ++k) field[k] = ' ';
}

// Writes `value` as an Fw.d field into field[0, width) and returns true;
// returns false, writing nothing, for a value or a decimal count the short
// road does not take (not finite, or too many units), which writeF handles.
inline bool writeShortRealF(char* field, float value, int width, int decimals) {
    if (decimals < 1 || decimals > kMostRealDecimals) return false;
    const auto places = static_cast<std::size_t>(decimals);
    const double scaled = std::fabs(static_cast<double>(value)) * kRealScales[places];
    if (!(scaled <= kLargestScaledReal)) return false;  // also NaN and infinity
    const double rounded = (scaled + kRoundingShift) - kRoundingShift;
    auto digits = static_cast<std::uint32_t>(truncateToInt32(rounded));
    const std::uint32_t whole = digits / kDecimalUnits[places];
    const bool negative = std::signbit(value);

    // The "0" before the point is written only when the field has room.
    const int fractionLength = decimals + 1 + (negative ? 1 : 0);
    if (!wholeFitsRoom(whole, width - fractionLength)) {
        for (int k = 0; k < width; ++k) field[k] = '*';
        return true;
    }
    fillShortBlanks(field, width);
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

}  // namespace edit_detail

inline void writeRealF(char* field, float value, int width, int decimals) {
    if (width > 0 && edit_detail::writeShortRealF(field, value, width, decimals)) return;
    writeF(field, static_cast<double>(value), width, decimals);
}

}  // namespace common
