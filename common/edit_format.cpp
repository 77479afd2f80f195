// Fw.d, Ew.d and Iw fields.
//
// The digits come from the C library's exact conversion of the binary value
// (printf rounds the exact value to nearest, ties to even, which is the
// rounding the files' readers and writers agree on); this file only adds the
// field rules around them: the sign, the optional "0" before the point,
// right-justification and the asterisks of a field that is too narrow.
#include "common/edit_format.hpp"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <vector>

namespace common {
namespace {

// A double has at most 309 integer digits; this leaves room for many
// decimals before a field falls back to a heap buffer.
constexpr int kStackDigits = 512;
constexpr int kLargestStackDecimals = 160;

void appendBlanks(std::string& out, std::size_t count) { out.append(count, ' '); }

void appendAsterisks(std::string& out, int width) {
    if (width > 0) {
        out.append(static_cast<std::size_t>(width), '*');
    }
}

// Right-justify `sign` + `body` in `width`; the caller has checked the fit.
void appendJustified(std::string& out, int width, bool negative, std::string_view body) {
    const std::size_t used = body.size() + (negative ? 1U : 0U);
    appendBlanks(out, static_cast<std::size_t>(width) - used);
    if (negative) {
        out.push_back('-');
    }
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

// printf into a stack buffer, or a heap one for an unusually long result.
template <typename Use>
void withPrinted(const char* pattern, int precision, double magnitude, Use use) {
    char stack[kStackDigits];
    if (precision <= kLargestStackDecimals) {
        const int length = std::snprintf(stack, sizeof stack, pattern, precision, magnitude);
        use(std::string_view(stack, static_cast<std::size_t>(length)));
        return;
    }
    const int length = std::snprintf(nullptr, 0, pattern, precision, magnitude);
    std::vector<char> heap(static_cast<std::size_t>(length) + 1U);
    std::snprintf(heap.data(), heap.size(), pattern, precision, magnitude);
    use(std::string_view(heap.data(), static_cast<std::size_t>(length)));
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
    const bool negative = std::signbit(value);
    // "%#" keeps the point of an F w.0 field ("512.").
    withPrinted("%#.*f", places, std::fabs(value), [&](std::string_view digits) {
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
    const bool negative = std::signbit(value);
    const double magnitude = std::fabs(value);
    withPrinted("%.*e", decimals - 1, magnitude, [&](std::string_view printed) {
        placeExponent(out, width, negative, printed, decimals, magnitude == 0.0);
    });
}

void appendI(std::string& out, std::int64_t value, int width) {
    if (width <= 0) {
        return;
    }
    char digits[24];
    const auto written = std::to_chars(digits, digits + sizeof digits, value);
    const std::string_view text(digits, static_cast<std::size_t>(written.ptr - digits));
    if (static_cast<int>(text.size()) > width) {
        appendAsterisks(out, width);
        return;
    }
    appendBlanks(out, static_cast<std::size_t>(width) - text.size());
    out.append(text);
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
