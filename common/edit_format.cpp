// Fw.d, Ew.d and Iw fields.
//
// The digits come from the standard library's exact conversion of the binary
// value: the exact value rounded to nearest, ties to even (0.125 to two
// decimals is 0.12, and 0.15f, being 0.150000006, is 0.2 to one). This file
// only adds the field rules around them: the sign, the optional "0" before
// the point, right-justification and the asterisks of a field that is too
// narrow.
#include "common/edit_format.hpp"

#include <array>
#include <bit>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <cmath>
#include <string_view>
#include <vector>

namespace common {
namespace {

// Room for a double's 309 integer digits and many decimals before a field
// falls back to a heap buffer.
constexpr std::size_t kStackDigits = 512;

void appendBlanks(std::string& out, std::size_t count) { out.append(count, ' '); }

void appendAsterisks(std::string& out, int width) {
    if (width > 0) {
        out.append(static_cast<std::size_t>(width), '*');
    }
}

// Right-justify `sign` + `body` in `width`; the caller has checked the fit.
void appendJustified(std::string& out, int width, bool negative, std::string_view body) {
    const std::size_t used = body.size() + (negative ? 1U : 0U);
    const std::size_t fieldWidth = static_cast<std::size_t>(width);
    char field[64];
    if (fieldWidth <= sizeof field) {
        // Built whole and appended in one step: rows are made of many fields.
        std::memset(field, ' ', fieldWidth - used);
        if (negative) field[fieldWidth - used] = '-';
        std::memcpy(field + fieldWidth - body.size(), body.data(), body.size());
        out.append(field, fieldWidth);
        return;
    }
    out.append(fieldWidth - used, ' ');
    if (negative) out.push_back('-');
    out.append(body);
}

// NaN and infinity have no digits: they are spelled out when the field has
// room, and the sign of a NaN is never shown.
void appendSpecial(std::string& out, double value, int width) {
    std::string_view text;
    if (std::isnan(value)) {
        text = "NaN";
    } else if (value > 0.0) {
        text = width >= 8 ? "Infinity" : "Inf";
    } else {
        text = width >= 9 ? "-Infinity" : "-Inf";
    }
    if (static_cast<int>(text.size()) > width) {
        appendAsterisks(out, width);
        return;
    }
    appendBlanks(out, static_cast<std::size_t>(width) - text.size());
    out.append(text);
}

// The fixed-point fields that rows are made of (a few decimals, values below
// about 10^18) are formed exactly without the general conversion: the binary
// value m * 2^e is scaled by 10^d in 128-bit integers and rounded half to
// even, which is what the general conversion does for every value. The
// whole field is then written right to left into `field` in one pass, so a
// row of many fields costs one append per field.
__extension__ typedef unsigned __int128 Uint128;

// The largest field that is built on the stack before it is appended.
constexpr int kShortFieldWidth = 64;

// `magnitude` * 10^precision rounded half to even; false when that does not
// fit 64 bits or the magnitude is not below 2^53.
constexpr std::uint64_t kPowersOfTen[] = {1,      10,      100,      1000,      10000,
                                          100000, 1000000, 10000000, 100000000, 1000000000};
// Up to this many decimals, mantissa * 10^d stays below 2^64 (2^53 * 1000).
constexpr int kMostDecimalsIn64Bits = 3;

bool scaledUnits(double magnitude, int precision, std::uint64_t& units) {
    constexpr double kTwoTo53 = 9007199254740992.0;
    if (precision > 9 || !(magnitude < kTwoTo53)) return false;
    // magnitude = mantissa / 2^shift exactly, read off the bits (shift >= 0
    // below 2^53; subnormals have no hidden bit).
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const auto biasedExponent = static_cast<int>(bits >> 52);
    const std::uint64_t fractionBits = bits & ((std::uint64_t{1} << 52) - 1);
    const std::uint64_t mantissa = biasedExponent == 0 ? fractionBits : fractionBits | (std::uint64_t{1} << 52);
    const int shift = biasedExponent == 0 ? 1074 : 1075 - biasedExponent;
    if (precision <= kMostDecimalsIn64Bits) {
        // The same rounding in 64 bits, for the fields of one to three decimals.
        const std::uint64_t scaled = mantissa * kPowersOfTen[static_cast<std::size_t>(precision)];
        if (shift == 0) {
            units = scaled;
        } else if (shift < 64) {
            std::uint64_t rounded = scaled >> shift;
            const std::uint64_t remainder = scaled & ((std::uint64_t{1} << shift) - 1);
            const std::uint64_t half = std::uint64_t{1} << (shift - 1);
            if (remainder > half || (remainder == half && (rounded & 1) != 0)) ++rounded;
            units = rounded;
        } else {
            units = 0;  // scaled < 2^63 is below half a unit
        }
        return true;
    }
    const Uint128 scaled =
        static_cast<Uint128>(mantissa) * kPowersOfTen[static_cast<std::size_t>(precision)];
    Uint128 rounded = 0;
    if (shift == 0) {
        rounded = scaled;
    } else if (shift < 127) {
        rounded = scaled >> shift;
        const Uint128 remainder = scaled - (rounded << shift);
        const Uint128 half = static_cast<Uint128>(1) << (shift - 1);
        if (remainder > half || (remainder == half && (rounded & 1) != 0)) ++rounded;
    }  // else: scaled < 2^83 is far below half a unit, so the value rounds to 0
    if ((rounded >> 64) != 0) return false;
    units = static_cast<std::uint64_t>(rounded);
    return true;
}

// 10^0 to 10^19: the whole part of a field with `room` digits fits when it
// is below kRoomLimits[room]; 20 or more digits hold every uint64.
constexpr std::uint64_t kRoomLimits[] = {1ULL,
                                         10ULL,
                                         100ULL,
                                         1000ULL,
                                         10000ULL,
                                         100000ULL,
                                         1000000ULL,
                                         10000000ULL,
                                         100000000ULL,
                                         1000000000ULL,
                                         10000000000ULL,
                                         100000000000ULL,
                                         1000000000000ULL,
                                         10000000000000ULL,
                                         100000000000000ULL,
                                         1000000000000000ULL,
                                         10000000000000000ULL,
                                         100000000000000000ULL,
                                         1000000000000000000ULL,
                                         10000000000000000000ULL};
constexpr int kRoomForEveryValue = 20;

bool fitsDigits(std::uint64_t value, int room) {
    return room >= kRoomForEveryValue || (room >= 0 && value < kRoomLimits[room]);
}

using edit_detail::fillShortBlanks;

using edit_detail::writeDigitsBefore;

// Writes the Fw.d field of a finite value into field[0, width) (places <
// width); false, with nothing written, when the value is outside the short
// road's range. The "0" before the point is written only when the field has
// room; with no decimals it is the only digit and stays.
bool writeShortFixedField(char* field, double value, int width, int places) {
    std::uint64_t units = 0;
    if (!scaledUnits(std::fabs(value), places, units)) return false;
    const bool negative = std::signbit(value);
    const int signWidth = negative ? 1 : 0;
    const int fractionWidth = places + 1;
    // Decimals first, right to left, straight into the field (they always
    // fit; a field of asterisks overwrites them); what is left of `units` is
    // the whole part.
    char* at = field + width;
    for (int place = 0; place < places; ++place) {
        *--at = static_cast<char>('0' + units % 10);
        units /= 10;
    }
    const int room = width - fractionWidth - signWidth;  // whole digits that fit
    const bool wholeFits = units == 0 ? room >= 1 : fitsDigits(units, room);
    const bool dropZero = !wholeFits && units == 0 && places > 0 && room == 0;
    if (!wholeFits && !dropZero) {
        std::memset(field, '*', static_cast<std::size_t>(width));
        return true;
    }
    fillShortBlanks(field, width - fractionWidth);
    *--at = '.';
    if (!dropZero) at = writeDigitsBefore(at, units);
    if (negative) *--at = '-';
    return true;
}

// The exact decimal expansion of `magnitude` rounded to `precision` digits
// (after the point, or after the first digit in scientific form), ties to
// even, in a stack buffer or, for an unusually long result, a heap one. A
// fixed form always keeps its point, so that F w.0 ends in "." ("512.").
template <typename Use>
void withDigits(double magnitude, std::chars_format form, int precision, Use use) {
    // Integer digits of a double (309 at most), point, exponent and slack.
    constexpr std::size_t kBeyondPrecision = 330;
    char stack[kStackDigits];
    std::vector<char> heap;
    char* first = stack;
    const std::size_t capacity = static_cast<std::size_t>(precision) + kBeyondPrecision;
    if (capacity > sizeof stack) {
        heap.resize(capacity);
        first = heap.data();
    }
    char* last = std::to_chars(first, first + capacity - 1, magnitude, form, precision).ptr;
    if (form == std::chars_format::fixed && precision == 0) {
        *last++ = '.';
    }
    use(std::string_view(first, static_cast<std::size_t>(last - first)));
}

// The "0" before the point is optional: it is written only when the field has
// room for it. With no decimals it is the only digit, so it always stays.
void placeFixed(std::string& out, int width, bool negative, std::string_view digits,
                int decimals) {
    const int signWidth = negative ? 1 : 0;
    const int needed = static_cast<int>(digits.size()) + signWidth;
    if (needed <= width) {
        appendJustified(out, width, negative, digits);
        return;
    }
    const bool zeroIsOptional = decimals > 0 && digits.size() > 1 && digits[0] == '0' && digits[1] == '.';
    if (zeroIsOptional && needed - 1 <= width) {
        appendJustified(out, width, negative, digits.substr(1));
        return;
    }
    appendAsterisks(out, width);
}

// Build "0.ddddE+xx" from printf's "d.ddde+yy": the same d significant
// digits, with the exponent one higher because the point moves left. Both
// exponent forms, "E+dd" and (beyond 99) "+ddd", take four characters.
void placeExponent(std::string& out, int width, bool negative, std::string_view printed,
                   int decimals, bool isZero) {
    const std::size_t exponentAt = printed.find('e');
    const std::size_t exponentDigitsAt = exponentAt + 2;
    int exponentSize = 0;
    std::from_chars(printed.data() + exponentDigitsAt, printed.data() + printed.size(), exponentSize);
    int exponent = printed[exponentAt + 1] == '-' ? -exponentSize : exponentSize;
    if (!isZero) {
        exponent += 1;
    }
    exponentSize = exponent < 0 ? -exponent : exponent;

    constexpr int kPointAndExponent = 6;  // "0." and four exponent characters
    const int signWidth = negative ? 1 : 0;
    int bodyWidth = decimals + kPointAndExponent;
    const bool withZero = bodyWidth + signWidth <= width;
    if (!withZero) {
        bodyWidth -= 1;
        if (bodyWidth + signWidth > width) {
            appendAsterisks(out, width);
            return;
        }
    }
    appendBlanks(out, static_cast<std::size_t>(width - bodyWidth - signWidth));
    if (negative) {
        out.push_back('-');
    }
    out.append(withZero ? "0." : ".");
    for (std::size_t index = 0; index < exponentAt; ++index) {
        if (printed[index] != '.') {
            out.push_back(printed[index]);
        }
    }
    if (exponentSize <= 99) {
        out.push_back('E');
    }
    out.push_back(exponent < 0 ? '-' : '+');
    // Two digits up to 99, three beyond (a double reaches E+309 and E-323).
    char exponentText[4];
    const auto written = std::to_chars(exponentText, exponentText + sizeof exponentText, exponentSize);
    const auto digitCount = static_cast<std::size_t>(written.ptr - exponentText);
    if (digitCount < 2) {
        out.push_back('0');
    }
    out.append(exponentText, digitCount);
}


// The Ew.d fields of rows (a float32 value widened, four to nine significant
// digits, exponents within two digits) are formed exactly without the general
// conversion: with magnitude = mantissa / 2^shift, the d-digit significand is
// mantissa * 10^p / 2^shift (or mantissa / (2^shift * 10^-p)) rounded half to
// even in 128-bit integers, for the decimal exponent that leaves d digits.
// The general road below gives the same digits for every value.
constexpr int kMostShortExponentDigits = 9;
// Within these bounds every scale factor and quotient fits 128 bits (nine
// digits of 1e-13 need 2^53 * 10^22, one power more when log10 guesses low).
constexpr double kShortExponentLow = 1.0e-13;
constexpr double kShortExponentHigh = 1.0e30;

// 10^0 to 10^38, every power of ten below 2^128.
constexpr auto kPowersOfTen128 = [] {
    std::array<Uint128, 39> powers{};
    powers[0] = 1;
    for (std::size_t exponent = 1; exponent < powers.size(); ++exponent) powers[exponent] = powers[exponent - 1] * 10;
    return powers;
}();

// value / 2^shift rounded half to even (shift below 128).
Uint128 roundedShift(Uint128 value, int shift) {
    if (shift == 0) return value;
    const Uint128 quotient = value >> shift;
    const Uint128 remainder = value - (quotient << shift);
    const Uint128 half = static_cast<Uint128>(1) << (shift - 1);
    return remainder > half || (remainder == half && (quotient & 1) != 0) ? quotient + 1 : quotient;
}

// numerator / denominator rounded half to even; in 64 bits when both fit,
// which is the usual case and far cheaper than a 128-bit division.
Uint128 roundedQuotient(Uint128 numerator, Uint128 denominator) {
    if ((numerator >> 63) == 0 && (denominator >> 63) == 0) {
        const auto n = static_cast<std::uint64_t>(numerator), d = static_cast<std::uint64_t>(denominator);
        const std::uint64_t quotient = n / d, twiceRemainder = (n - quotient * d) * 2;
        return twiceRemainder > d || (twiceRemainder == d && (quotient & 1) != 0) ? quotient + 1 : quotient;
    }
    const Uint128 quotient = numerator / denominator;
    const Uint128 twiceRemainder = (numerator - quotient * denominator) * 2;
    return twiceRemainder > denominator || (twiceRemainder == denominator && (quotient & 1) != 0) ? quotient + 1
                                                                                                  : quotient;
}

// `magnitude` (within the bounds above) as `digits` significant digits:
// units in [10^(digits-1), 10^digits) and the power of ten of the first.
void significand(double magnitude, int digits, std::uint64_t& units, int& exponent) {
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const auto biasedExponent = static_cast<int>(bits >> 52);
    std::uint64_t mantissa = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
    int binaryShift = 1075 - biasedExponent;  // magnitude = mantissa * 2^-binaryShift
    // Without its trailing zero bits the mantissa of a REAL value widened has
    // 24 bits at most, so that scaling it usually stays within 64 bits.
    const int zeroBits = std::countr_zero(mantissa);
    mantissa >>= zeroBits;
    binaryShift -= zeroBits;
    // floor(log10(2^e)) for the binary exponent e (78913 / 2^18 is log10(2)
    // to six digits): the decimal exponent or one below it.
    exponent = ((biasedExponent - 1023) * 78913) >> 18;
    for (;;) {
        const int scale = digits - 1 - exponent;  // units = magnitude * 10^scale
        Uint128 rounded = 0;
        if (scale >= 0 && binaryShift >= 0) {
            rounded = roundedShift(mantissa * kPowersOfTen128[static_cast<std::size_t>(scale)], binaryShift);
        } else {
            Uint128 numerator = mantissa, denominator = 1;
            if (scale >= 0) {
                numerator *= kPowersOfTen128[static_cast<std::size_t>(scale)];
            } else {
                denominator = kPowersOfTen128[static_cast<std::size_t>(-scale)];
            }
            if (binaryShift >= 0) {
                denominator <<= binaryShift;
            } else {
                numerator <<= -binaryShift;
            }
            rounded = roundedQuotient(numerator, denominator);
        }
        if (rounded >= kPowersOfTen128[static_cast<std::size_t>(digits)]) {
            ++exponent;  // one digit too many: the estimate was low, or rounding carried
        } else if (rounded < kPowersOfTen128[static_cast<std::size_t>(digits - 1)]) {
            --exponent;
        } else {
            units = static_cast<std::uint64_t>(rounded);
            return;
        }
    }
}

// Writes the Ew.d field of a finite value into field[0, width); false, with
// nothing written, when the value or the field is outside the short road.
bool writeShortExponentField(char* field, double value, int width, int decimals) {
    const double magnitude = std::fabs(value);
    const bool inRange = magnitude == 0.0 || (magnitude >= kShortExponentLow && magnitude <= kShortExponentHigh);
    const int signWidth = std::signbit(value) ? 1 : 0;
    constexpr int kZeroPointAndExponent = 6;  // "0." and "E+dd"
    if (!inRange || decimals < 1 || decimals > kMostShortExponentDigits ||
        decimals + kZeroPointAndExponent + signWidth > width) {
        return false;
    }
    std::uint64_t units = 0;
    int exponent = -1;  // zero shows as 0.000E+00
    if (magnitude != 0.0) significand(magnitude, decimals, units, exponent);
    edit_detail::placeShortExponent(field, width, decimals, signWidth != 0, units, exponent + 1);
    return true;
}

// The general road of Fw.d, right for every value and width.
void appendLongF(std::string& out, double value, int width, int decimals) {
    if (!std::isfinite(value)) {
        appendSpecial(out, value, width);
        return;
    }
    const int places = decimals < 0 ? 0 : decimals;
    if (places >= width) {
        appendAsterisks(out, width);  // not even the point and the decimals fit
        return;
    }
    const bool negative = std::signbit(value);
    withDigits(std::fabs(value), std::chars_format::fixed, places, [&](std::string_view digits) {
        placeFixed(out, width, negative, digits, places);
    });
}

// A REAL value widened (below `limit` in size, which keeps the narrowing
// within the float range and leaves out NaN) takes the REAL short road;
// true when that road wrote the field.
template <typename RealRoad>
bool tookRealRoad(char* field, double value, int width, int decimals, double limit, RealRoad realRoad) {
    if (!(std::fabs(value) < limit)) return false;
    const auto real = static_cast<float>(value);
    return static_cast<double>(real) == value && realRoad(field, real, width, decimals);
}

// The general road of Ew.d, right for every value and width.
void appendLongE(std::string& out, double value, int width, int decimals) {
    if (!std::isfinite(value)) {
        appendSpecial(out, value, width);
        return;
    }
    if (decimals <= 0) {
        // No significant digit can be shown: a field that says nothing.
        appendAsterisks(out, width);
        return;
    }
    constexpr int kPointAndExponent = 5;  // ".", "E+dd"
    if (decimals + kPointAndExponent > width) {
        appendAsterisks(out, width);
        return;
    }
    const bool negative = std::signbit(value);
    const double magnitude = std::fabs(value);
    withDigits(magnitude, std::chars_format::scientific, decimals - 1, [&](std::string_view printed) {
        placeExponent(out, width, negative, printed, decimals, magnitude == 0.0);
    });
}

}  // namespace

void writeF(char* field, double value, int width, int decimals) {
    if (width <= 0) {
        return;
    }
    if (tookRealRoad(field, value, width, decimals, 2147483648.0, edit_detail::writeShortRealF)) return;
    const int places = decimals < 0 ? 0 : decimals;
    if (std::isfinite(value) && places < width && writeShortFixedField(field, value, width, places)) {
        return;
    }
    std::string text;
    appendLongF(text, value, width, decimals);
    text.copy(field, static_cast<std::size_t>(width));
}

void writeI(char* field, std::int64_t value, int width) {
    if (width <= 0) {
        return;
    }
    const bool negative = value < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    const int room = width - (negative ? 1 : 0);
    if (room < 1 || !fitsDigits(magnitude, room)) {
        std::memset(field, '*', static_cast<std::size_t>(width));
        return;
    }
    fillShortBlanks(field, width);
    char* const first = writeDigitsBefore(field + width, magnitude);
    if (negative) first[-1] = '-';
}

void appendF(std::string& out, double value, int width, int decimals) {
    if (width <= 0) {
        return;
    }
    if (width <= kShortFieldWidth) {
        char field[kShortFieldWidth];
        writeF(field, value, width, decimals);
        out.append(field, static_cast<std::size_t>(width));
        return;
    }
    appendLongF(out, value, width, decimals);
}

void writeE(char* field, double value, int width, int decimals) {
    if (width <= 0) {
        return;
    }
    if (tookRealRoad(field, value, width, decimals, 1.0e9, edit_detail::writeShortRealE)) return;
    if (std::isfinite(value) && writeShortExponentField(field, value, width, decimals)) {
        return;
    }
    std::string text;
    appendLongE(text, value, width, decimals);
    text.copy(field, static_cast<std::size_t>(width));
}

void appendE(std::string& out, double value, int width, int decimals) {
    if (width <= 0) {
        return;
    }
    if (width <= kShortFieldWidth) {
        char field[kShortFieldWidth];
        writeE(field, value, width, decimals);
        out.append(field, static_cast<std::size_t>(width));
        return;
    }
    appendLongE(out, value, width, decimals);
}

void appendI(std::string& out, std::int64_t value, int width) {
    if (width <= 0) {
        return;
    }
    const std::size_t fieldWidth = static_cast<std::size_t>(width);
    if (width <= kShortFieldWidth) {
        char field[kShortFieldWidth];
        writeI(field, value, width);
        out.append(field, fieldWidth);
        return;
    }
    const std::size_t at = out.size();
    out.resize(at + fieldWidth);
    writeI(out.data() + at, value, width);
}

std::string formatF(double value, int width, int decimals) {
    std::string field;
    appendF(field, value, width, decimals);
    return field;
}

std::string formatE(double value, int width, int decimals) {
    std::string field;
    appendE(field, value, width, decimals);
    return field;
}

std::string formatI(std::int64_t value, int width) {
    std::string field;
    appendI(field, value, width);
    return field;
}

}  // namespace common
