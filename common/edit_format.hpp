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
#include <bit>
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
// The Ew.d field of a REAL value, the same text as writeE, likewise.
inline void writeRealE(char* field, float value, int width, int decimals);

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

// "00" to "99", for writing digits two at a time.
inline constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes the two digits of `pair` (below 100) to the left of `end`; returns
// the first.
template <typename Unsigned>
inline char* writeDigitPair(char* end, Unsigned pair) {
    const auto at = static_cast<std::size_t>(pair) * 2;
    *--end = kDigitPairs[at + 1];
    *--end = kDigitPairs[at];
    return end;
}

// Writes the digits of `value` (at least one) to the left of `end`; returns
// the first.
template <typename Unsigned>
inline char* writeDigitsBefore(char* end, Unsigned value) {
    while (value >= 100U) {
        end = writeDigitPair(end, value % 100U);
        value /= 100U;
    }
    if (value >= 10U) return writeDigitPair(end, value);
    *--end = static_cast<char>('0' + value);
    return end;
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
    // Right to left: decimals (two at a time), point, whole digits, sign.
    char* at = field + width;
    int decimalsLeft = decimals;
    for (; decimalsLeft >= 2; decimalsLeft -= 2) {
        at = writeDigitPair(at, digits % 100U);
        digits /= 100U;
    }
    if (decimalsLeft != 0) {
        *--at = static_cast<char>('0' + digits % 10U);
        digits /= 10U;
    }
    *--at = '.';
    if (whole != 0U || fractionLength < width) at = writeDigitsBefore(at, digits);
    if (negative) *--at = '-';
    return true;
}

// "0.dd...dE+xx" right-justified in field[0, width), which has room for it:
// `units` holds the `decimals` significant digits, the point stands before
// the first of them, and the shown exponent has two digits at most.
inline void placeShortExponent(char* field, int width, int decimals, bool negative, std::uint64_t units,
                               int shownExponent) {
    const auto exponentSize = static_cast<unsigned>(shownExponent < 0 ? -shownExponent : shownExponent);
    char* at = writeDigitPair(field + width, exponentSize);
    *--at = shownExponent < 0 ? '-' : '+';
    *--at = 'E';
    int digitsLeft = decimals;
    for (; digitsLeft >= 2; digitsLeft -= 2) {
        at = writeDigitPair(at, units % 100U);
        units /= 100U;
    }
    if (digitsLeft != 0) *--at = static_cast<char>('0' + units % 10U);
    *--at = '.';
    *--at = '0';
    if (negative) *--at = '-';
    fillShortBlanks(field, static_cast<int>(at - field));
}

// The short road of Ew.d for REAL values, on the same ground as the Fw.d one:
// with d significant digits and the first of them at 10^e, the value scaled
// by 10^(d-1-e) is exact in double while that power is at most 10^12
// (24 bits times 5^12 < 2^28), and its rounding to an integer, ties to even,
// gives the digits. Values that need another power (below 10^-12 or at
// least 10^d) and subnormals go to writeE's general road.
inline constexpr int kMostRealExponentDigits = 8;
inline constexpr std::array<double, 13> kExactDecimalScales = {1e0, 1e1, 1e2, 1e3,  1e4,  1e5, 1e6,
                                                               1e7, 1e8, 1e9, 1e10, 1e11, 1e12};

inline bool writeShortRealE(char* field, float value, int width, int decimals) {
    constexpr int kZeroPointAndExponent = 6;  // "0." and "E+dd"
    const bool negative = std::signbit(value);
    if (decimals < 1 || decimals > kMostRealExponentDigits ||
        decimals + kZeroPointAndExponent + (negative ? 1 : 0) > width) {
        return false;
    }
    const double magnitude = std::fabs(static_cast<double>(value));
    if (magnitude == 0.0) {
        placeShortExponent(field, width, decimals, negative, 0U, 0);  // 0.000E+00
        return true;
    }
    const auto biasedExponent = static_cast<int>((std::bit_cast<std::uint32_t>(value) >> 23) & 0xFFU);
    if (biasedExponent == 0 || biasedExponent == 0xFF) return false;  // subnormal, infinity, NaN
    // floor(log10(2^e)) for the binary exponent e (78913 / 2^18 is log10(2)
    // to six digits): the decimal exponent or one below it; the loop settles it.
    int exponent = ((biasedExponent - 127) * 78913) >> 18;
    const auto places = static_cast<std::size_t>(decimals);
    for (;;) {
        const int scale = decimals - 1 - exponent;
        if (scale < 0 || scale >= static_cast<int>(kExactDecimalScales.size())) return false;
        const double scaled = magnitude * kExactDecimalScales[static_cast<std::size_t>(scale)];
        const auto units = static_cast<std::uint64_t>((scaled + kRoundingShift) - kRoundingShift);
        if (units >= kDecimalUnits[places]) {
            ++exponent;  // one digit too many: the estimate was low, or rounding carried
        } else if (units < kDecimalUnits[places - 1]) {
            --exponent;
        } else {
            placeShortExponent(field, width, decimals, negative, units, exponent + 1);
            return true;
        }
    }
}

}  // namespace edit_detail

inline void writeRealE(char* field, float value, int width, int decimals) {
    if (width > 0 && edit_detail::writeShortRealE(field, value, width, decimals)) return;
    writeE(field, static_cast<double>(value), width, decimals);
}

inline void writeRealF(char* field, float value, int width, int decimals) {
    if (width > 0 && edit_detail::writeShortRealF(field, value, width, decimals)) return;
    writeF(field, static_cast<double>(value), width, decimals);
}

}  // namespace common
