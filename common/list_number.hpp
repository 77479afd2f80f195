#pragma once
// The spelling of one list item as a number, shared by the list reader and
// the direct item conversions of list_input.hpp.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace common {

enum class IntegerSpelling { ok, notAnInteger, outOfRange };

// An optionally signed digit string within the int32 range.
IntegerSpelling spellInteger(std::string_view item, std::int32_t& value);

// ASCII only: list input never depends on the locale, and bytes above 127
// are no letters.
inline bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }
inline char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// ---------------------------------------------------------------------------
// The exact short road of a number: "[-]digits[.digits][E[sign]digits]"
// (the letter E or D, either case) whose digits, less trailing decimal zeros,
// form an integer that the type holds exactly and whose power of ten is
// exact in the type too. One multiplication or division of two exact values
// is then the correctly rounded value, the same bits as every exact
// conversion. Most fields of large inputs are of this kind; the others go
// the general road of parseListReal.
namespace short_decimal {

template <typename Real>
struct Exact;
template <>
struct Exact<float> {
    static constexpr std::uint64_t kLargestMantissa = std::uint64_t{1} << 24;
    static constexpr std::array<float, 11> kPowers = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                                      1e6f, 1e7f, 1e8f, 1e9f, 1e10f};  // 5^10 < 2^24
};
template <>
struct Exact<double> {
    static constexpr std::uint64_t kLargestMantissa = std::uint64_t{1} << 53;
    static constexpr std::array<double, 23> kPowers = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                       1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                       1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};  // 5^22 < 2^53
};

// Up to this many digits are gathered in 64 bits without overflow.
inline constexpr std::ptrdiff_t kMostGatheredDigits = 19;
// Exponent digits are gathered with a ceiling far beyond the short road.
inline constexpr int kExponentCeiling = 100000;

inline unsigned digitAt(const char* at) {
    return static_cast<unsigned>(static_cast<unsigned char>(*at)) - unsigned{'0'};
}

// mantissa / 10^decimals as the correctly rounded value; false when it is
// not exact in the type (trailing decimal zeros are dropped first: they do
// not change the value, nor does any number of them change a zero).
template <typename Real>
inline bool divideExactly(std::uint64_t mantissa, int decimals, bool negative, Real& value) {
    using Limits = Exact<Real>;
    constexpr int kMostPower = static_cast<int>(Limits::kPowers.size()) - 1;
    if (mantissa > Limits::kLargestMantissa || decimals > kMostPower) {
        if (mantissa == 0U) decimals = 0;
        while (decimals > 0 && mantissa % 10U == 0U) {
            mantissa /= 10U;
            --decimals;
        }
        if (mantissa > Limits::kLargestMantissa || decimals > kMostPower) return false;
    }
    const Real magnitude = static_cast<Real>(mantissa) / Limits::kPowers[static_cast<std::size_t>(decimals)];
    value = negative ? -magnitude : magnitude;
    return true;
}

// The exponent after its letter ("-02", "+3", "15"), for a mantissa of
// `decimals` decimals; the end of the number, or nullptr as for
// scanExactDecimal. Apart from the plain decimals, so that their loop stays
// small.
template <typename Real>
[[gnu::noinline]] const char* scanExponent(const char* at, const char* end, std::uint64_t mantissa, int decimals,
                                           bool negative, Real& value) {
    const bool exponentNegative = at != end && *at == '-';
    if (at != end && (*at == '-' || *at == '+')) ++at;
    if (at == end || digitAt(at) > 9U) return nullptr;
    int exponent = 0;
    for (; at != end; ++at) {
        const unsigned digit = digitAt(at);
        if (digit > 9U) break;
        exponent = exponent < kExponentCeiling ? exponent * 10 + static_cast<int>(digit) : exponent;
    }
    const int power = (exponentNegative ? -exponent : exponent) - decimals;
    if (power <= 0) return divideExactly(mantissa, -power, negative, value) ? at : nullptr;
    // A positive power: one multiplication of two exact values.
    using Limits = Exact<Real>;
    if (mantissa > Limits::kLargestMantissa || power >= static_cast<int>(Limits::kPowers.size())) return nullptr;
    const Real magnitude = static_cast<Real>(mantissa) * Limits::kPowers[static_cast<std::size_t>(power)];
    value = negative ? -magnitude : magnitude;
    return at;
}

}  // namespace short_decimal

// Reads a number from [at, end) by the short road. Returns the end of the
// number, `value` being set, or nullptr when the text does not start with a
// number the short road takes (then `value` is untouched). The caller checks
// that the number ends where its item does. Always inline: it is the inner
// loop of every reader of large inputs.
template <typename Real>
inline const char* scanExactDecimal(const char* at, const char* end, Real& value) {
    using namespace short_decimal;
    if (at == end) return nullptr;
    // A plus sign is rare enough to be left to the general road.
    const bool negative = *at == '-';
    if (negative) ++at;
    // Unsigned arithmetic wraps without harm: more digits than 64 bits
    // gather are refused below.
    std::uint64_t mantissa = 0;
    const char* const digitsStart = at;
    for (; at != end; ++at) {
        const unsigned digit = digitAt(at);
        if (digit > 9U) break;
        mantissa = mantissa * 10U + digit;
    }
    const char* const wholeEnd = at;
    if (at != end && *at == '.') {
        for (++at; at != end; ++at) {
            const unsigned digit = digitAt(at);
            if (digit > 9U) break;
            mantissa = mantissa * 10U + digit;
        }
    }
    const std::ptrdiff_t decimals = at == wholeEnd ? 0 : at - wholeEnd - 1;
    const std::ptrdiff_t digitCount = (wholeEnd - digitsStart) + decimals;
    if (digitCount == 0 || digitCount > kMostGatheredDigits) return nullptr;
    // The exponent letter, either case ('E' | 0x20 is 'e', and no other byte is).
    if (at != end && ((*at | 0x20) == 'e' || (*at | 0x20) == 'd')) {
        return scanExponent(at + 1, end, mantissa, static_cast<int>(decimals), negative, value);
    }
    return divideExactly(mantissa, static_cast<int>(decimals), negative, value) ? at : nullptr;
}

}  // namespace common
