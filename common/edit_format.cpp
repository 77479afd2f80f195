// Fw.d, Ew.d and Iw fields.
//
// The digits come from the standard library's exact conversion of the binary
// value: the exact value rounded to nearest, ties to even (0.125 to two
// decimals is 0.12, and 0.15f, being 0.150000006, is 0.2 to one). This file
// only adds the field rules around them: the sign, the optional "0" before
// the point, right-justification and the asterisks of a field that is too
// narrow.
#include "common/edit_format.hpp"

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

// The fixed-point digits of the fields that rows are made of (a few decimals,
// values below about 10^18), formed exactly without the general conversion:
// the binary value m * 2^e is scaled by 10^d in 128-bit integers and rounded
// half to even, which is what the general conversion does for every value.
// False when the value is outside that range.
__extension__ typedef unsigned __int128 Uint128;

bool fastFixedDigits(double magnitude, int precision, char* buffer, std::size_t& length) {
    constexpr std::uint64_t kPowersOfTen[] = {1,      10,      100,      1000,      10000,
                                              100000, 1000000, 10000000, 100000000, 1000000000};
    constexpr double kTwoTo53 = 9007199254740992.0;
    if (precision > 9 || !(magnitude < kTwoTo53)) return false;
    // magnitude = mantissa / 2^shift exactly, read off the bits (shift >= 0
    // below 2^53; subnormals have no hidden bit).
    const auto bits = std::bit_cast<std::uint64_t>(magnitude);
    const auto biasedExponent = static_cast<int>(bits >> 52);
    const std::uint64_t fractionBits = bits & ((std::uint64_t{1} << 52) - 1);
    const std::uint64_t mantissa = biasedExponent == 0 ? fractionBits : fractionBits | (std::uint64_t{1} << 52);
    const int shift = biasedExponent == 0 ? 1074 : 1075 - biasedExponent;
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
    const auto units = static_cast<std::uint64_t>(rounded);
    const std::uint64_t scale = kPowersOfTen[static_cast<std::size_t>(precision)];
    char* end = std::to_chars(buffer, buffer + 24, units / scale).ptr;
    if (precision > 0) {
        *end++ = '.';
        std::uint64_t decimals = units % scale;
        for (int place = precision - 1; place >= 0; --place) {
            end[place] = static_cast<char>('0' + decimals % 10);
            decimals /= 10;
        }
        end += precision;
    }
    length = static_cast<std::size_t>(end - buffer);
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
    if (form == std::chars_format::fixed) {
        std::size_t length = 0;
        if (fastFixedDigits(magnitude, precision, stack, length)) {
            if (precision == 0) stack[length++] = '.';
            use(std::string_view(stack, length));
            return;
        }
    }
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

}  // namespace

void appendF(std::string& out, double value, int width, int decimals) {
    if (width <= 0) {
        return;
    }
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

void appendE(std::string& out, double value, int width, int decimals) {
    if (width <= 0) {
        return;
    }
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

void appendI(std::string& out, std::int64_t value, int width) {
    if (width <= 0) {
        return;
    }
    // The field is built whole in a local buffer and appended in one step:
    // rows are made of thousands of these.
    char field[64];
    const std::size_t fieldWidth = static_cast<std::size_t>(width);
    if (fieldWidth <= sizeof field) {
        char* const end = field + fieldWidth;
        char* first = end;
        std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
        do {
            *--first = static_cast<char>('0' + magnitude % 10);
            magnitude /= 10;
        } while (magnitude != 0 && first > field);
        if (value < 0 && first > field) *--first = '-';
        if (magnitude != 0 || (value < 0 && first[0] != '-')) {
            appendAsterisks(out, width);
            return;
        }
        std::memset(field, ' ', static_cast<std::size_t>(first - field));
        out.append(field, fieldWidth);
        return;
    }
    char digits[24];
    const auto written = std::to_chars(digits, digits + sizeof digits, value);
    const auto length = static_cast<std::size_t>(written.ptr - digits);
    if (length > fieldWidth) {
        appendAsterisks(out, width);
        return;
    }
    out.append(fieldWidth - length, ' ');
    out.append(digits, length);
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
