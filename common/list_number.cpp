// List items as numbers: reals in every spelling that list input accepts,
// correctly rounded, and integers within the int32 range. Nothing here
// allocates for items of ordinary length: the numbers of 100 MB inputs go
// through it.
#include "common/list_number.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

#include "common/list_input.hpp"

namespace common {
namespace {

bool equalsIgnoringCase(std::string_view text, std::string_view lowerWord) {
    if (text.size() != lowerWord.size()) {
        return false;
    }
    for (std::size_t index = 0; index < text.size(); ++index) {
        if (lowerAscii(text[index]) != lowerWord[index]) {
            return false;
        }
    }
    return true;
}

// Exponents are gathered with a ceiling: far beyond it every float over- or
// underflows alike.
constexpr std::int64_t kExponentCeiling = 1000000000;

// NaN, NaN(anything alphanumeric), Inf and Infinity, in any case.
template <typename Real>
bool parseSpecialReal(std::string_view word, bool negative, Real& value) {
    const Real sign = negative ? Real(-1) : Real(1);
    if (equalsIgnoringCase(word, "inf") || equalsIgnoringCase(word, "infinity")) {
        value = sign * std::numeric_limits<Real>::infinity();
        return true;
    }
    if (word.size() >= 3 && equalsIgnoringCase(word.substr(0, 3), "nan")) {
        std::string_view payload = word.substr(3);
        if (!payload.empty()) {
            if (payload.front() != '(' || payload.back() != ')') {
                return false;
            }
            for (const char c : payload.substr(1, payload.size() - 2)) {
                const char lower = lowerAscii(c);
                if (!isAsciiDigit(c) && !(lower >= 'a' && lower <= 'z') && c != '_') {
                    return false;
                }
            }
        }
        value = std::copysign(std::numeric_limits<Real>::quiet_NaN(), sign);
        return true;
    }
    return false;
}

// Converts "[-]mantissa" with a decimal exponent, correctly rounded. The C++
// conversion reports a result beyond the type's range without a value; list
// input gives an infinity for an overflow and a zero for an underflow, both
// signed, so the magnitude's decimal order tells which.
template <typename Real>
bool convertReal(std::string_view signedMantissa, std::int64_t exponent, bool standardForm,
                 std::int64_t order, bool negative, Real& value) {
    constexpr std::size_t kStackText = 256;
    char stack[kStackText];
    std::string heap;
    std::string_view text = signedMantissa;
    if (!standardForm) {
        // Spell the exponent the one way the conversion accepts: "e-12".
        char exponentText[24];
        exponentText[0] = 'e';
        const auto written = std::to_chars(exponentText + 1, exponentText + sizeof exponentText, exponent);
        const std::string_view exponentPart(exponentText, static_cast<std::size_t>(written.ptr - exponentText));
        const std::size_t length = signedMantissa.size() + exponentPart.size();
        char* target = stack;
        if (length > kStackText) {
            heap.resize(length);
            target = heap.data();
        }
        signedMantissa.copy(target, signedMantissa.size());
        exponentPart.copy(target + signedMantissa.size(), exponentPart.size());
        text = std::string_view(target, length);
    }
    Real converted{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), converted);
    if (error == std::errc::result_out_of_range) {
        const Real magnitude = order >= 0 ? std::numeric_limits<Real>::infinity() : Real(0);
        value = negative ? -magnitude : magnitude;
        return true;
    }
    if (error != std::errc() || end != text.data() + text.size()) {
        return false;
    }
    value = converted;
    return true;
}

// [sign] digits [. digits] [exponent], with at least one mantissa digit; the
// exponent is a letter E, D or Q with an optional sign, or a sign alone
// ("1.5+3"), followed by digits.
template <typename Real>
bool parseReal(std::string_view item, Real& value) {
    Real exact{};
    if (!item.empty() && scanExactDecimal(item.data(), item.data() + item.size(), exact) == item.data() + item.size()) {
        value = exact;
        return true;
    }
    std::size_t index = 0;
    const std::size_t size = item.size();
    bool negative = false;
    if (index < size && (item[index] == '+' || item[index] == '-')) {
        negative = item[index] == '-';
        ++index;
    }
    const std::size_t mantissaStart = index;
    if (index < size && !isAsciiDigit(item[index]) && item[index] != '.') {
        return parseSpecialReal(item.substr(index), negative, value);
    }

    // The decimal order of the first significant digit, to tell an overflow
    // from an underflow.
    std::int64_t integerDigits = 0;  // significant digits before the point
    std::int64_t fractionZeros = 0;  // zeros after the point before a significant digit
    bool significant = false;
    bool anyDigit = false;
    for (; index < size && isAsciiDigit(item[index]); ++index) {
        anyDigit = true;
        significant = significant || item[index] != '0';
        integerDigits += significant ? 1 : 0;
    }
    if (index < size && item[index] == '.') {
        for (++index; index < size && isAsciiDigit(item[index]); ++index) {
            anyDigit = true;
            if (!significant && item[index] == '0') {
                ++fractionZeros;
            }
            significant = significant || item[index] != '0';
        }
    }
    if (!anyDigit) {
        return false;
    }
    const std::size_t mantissaEnd = index;

    std::int64_t exponent = 0;
    bool standardForm = true;
    if (index < size) {
        const char marker = lowerAscii(item[index]);
        if (marker == 'e' || marker == 'd' || marker == 'q') {
            standardForm = marker == 'e';
            ++index;
        } else if (marker != '+' && marker != '-') {
            return false;
        } else {
            standardForm = false;
        }
        bool exponentNegative = false;
        if (index < size && (item[index] == '+' || item[index] == '-')) {
            exponentNegative = item[index] == '-';
            ++index;
        }
        if (index == size) {
            return false;
        }
        for (; index < size; ++index) {
            if (!isAsciiDigit(item[index])) {
                return false;
            }
            exponent = std::min(exponent * 10 + (item[index] - '0'), kExponentCeiling);
        }
        exponent = exponentNegative ? -exponent : exponent;
    }

    const std::int64_t order = (integerDigits > 0 ? integerDigits - 1 : -(fractionZeros + 1)) + exponent;
    // The conversion takes a minus sign but no plus sign.
    const std::size_t textStart = negative ? mantissaStart - 1 : mantissaStart;
    if (standardForm) {
        return convertReal(item.substr(textStart), 0, true, order, negative, value);
    }
    return convertReal(item.substr(textStart, mantissaEnd - textStart), exponent, false, order, negative,
                       value);
}

}  // namespace

IntegerSpelling spellInteger(std::string_view item, std::int32_t& value) {
    std::size_t index = 0;
    bool negative = false;
    if (index < item.size() && (item[index] == '+' || item[index] == '-')) {
        negative = item[index] == '-';
        ++index;
    }
    if (index == item.size()) {
        return IntegerSpelling::notAnInteger;
    }
    // Up to nine digits can leave neither the int32 range nor an int32 sum.
    constexpr std::size_t kSafeDigits = 9;
    if (item.size() - index <= kSafeDigits) {
        std::int32_t small = 0;
        for (; index < item.size(); ++index) {
            if (!isAsciiDigit(item[index])) {
                return IntegerSpelling::notAnInteger;
            }
            small = small * 10 + (item[index] - '0');
        }
        value = negative ? -small : small;
        return IntegerSpelling::ok;
    }
    // Gather the magnitude up to one past the int32 range (2^31, the size of
    // the most negative value), then stop growing; the rest is still checked.
    constexpr std::int64_t kLimit = std::int64_t{1} << 31;
    std::int64_t magnitude = 0;
    for (; index < item.size(); ++index) {
        if (!isAsciiDigit(item[index])) {
            return IntegerSpelling::notAnInteger;
        }
        magnitude = std::min(magnitude * 10 + (item[index] - '0'), kLimit + 1);
    }
    if (magnitude > (negative ? kLimit : kLimit - 1)) {
        return IntegerSpelling::outOfRange;
    }
    value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
    return IntegerSpelling::ok;
}

bool parseListReal(std::string_view item, float& value) { return parseReal(item, value); }

bool parseListDouble(std::string_view item, double& value) { return parseReal(item, value); }

bool parseListInteger(std::string_view item, std::int32_t& value) {
    return spellInteger(item, value) == IntegerSpelling::ok;
}

}  // namespace common
