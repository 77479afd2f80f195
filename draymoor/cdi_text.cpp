#include "draymoor/cdi_text.hpp"

#include <charconv>
#include <cstdint>

#include "common/list_input.hpp"
#include "common/run_stop.hpp"

namespace draymoor {

namespace {

// Plain decimal numbers ("12.5", "-0.3", "1.5e-3") are by far the most
// common fields; std::from_chars reads them, correctly rounded as a list
// read rounds them. Anything it does not take whole (a leading "+", D
// exponents, repeat counts, separators, NaN, text) goes to the full
// list-directed reader, which also decides what is not a number.
bool startsAsPlainNumber(std::string_view field) {
    std::size_t at = 0;
    if (at < field.size() && field[at] == '-') ++at;
    return at < field.size() && ((field[at] >= '0' && field[at] <= '9') || field[at] == '.');
}

bool isSeparator(char c) { return c == ' ' || c == '\t'; }

[[noreturn]] void stopOnField(std::string_view field, const FieldSource& source) {
    common::InputError error;
    error.fileName = source.fileName != nullptr ? *source.fileName : std::string();
    error.lineNumber = source.lineNumber;
    error.text = std::string(field);
    error.reason = field.empty() ? "a number is missing" : "not a number";
    throw common::RunStop(error.describe());
}

// Powers of ten that a float holds exactly (5^10 < 2^24).
constexpr int kMostExactDecimals = 10;
constexpr float kExactPowersOfTen[kMostExactDecimals + 1] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                                               1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
// Integers up to 2^24 are exact floats.
constexpr std::uint64_t kLargestExactMantissa = 16777216U;
// Up to this many digits are gathered in 64 bits without overflow.
constexpr std::ptrdiff_t kMostGatheredDigits = 19;

}  // namespace

bool FieldScanner::toField() {
    const char* at = at_;
    while (at != end_ && isSeparator(*at)) ++at;
    at_ = at;
    return at != end_;
}

bool FieldScanner::skip() {
    if (!toField()) return false;
    const char* at = at_;
    while (at != end_ && !isSeparator(*at)) ++at;
    at_ = at;
    return true;
}

// A field "[-]digits[.digits]" is read as it is scanned: when its digits
// without trailing decimal zeros form an integer that a float holds exactly,
// and the power of ten of its decimals is exact too, one division gives the
// correctly rounded value, the same bits as every exact conversion. Any
// other field goes the general road of readRealField().
bool FieldScanner::readReal(float& target, const FieldSource& source) {
    if (!toField()) return false;
    const char* const start = at_;
    const char* const end = end_;
    const char* at = start;
    const bool negative = *at == '-';
    if (negative) ++at;
    // Unsigned arithmetic wraps without harm: a field of more digits than
    // 64 bits gather goes the general road anyway.
    std::uint64_t mantissa = 0;
    const char* const digitsStart = at;
    for (; at != end; ++at) {
        const auto digit = static_cast<unsigned>(static_cast<unsigned char>(*at)) - unsigned{'0'};
        if (digit > 9U) break;
        mantissa = mantissa * 10U + digit;
    }
    const char* const wholeEnd = at;
    if (at != end && *at == '.') {
        for (++at; at != end; ++at) {
            const auto digit = static_cast<unsigned>(static_cast<unsigned char>(*at)) - unsigned{'0'};
            if (digit > 9U) break;
            mantissa = mantissa * 10U + digit;
        }
    }
    std::ptrdiff_t decimals = at == wholeEnd ? 0 : at - wholeEnd - 1;
    const std::ptrdiff_t digitCount = (wholeEnd - digitsStart) + decimals;
    if ((at == end || isSeparator(*at)) && digitCount > 0 && digitCount <= kMostGatheredDigits) {
        if (mantissa > kLargestExactMantissa || decimals > kMostExactDecimals) {
            // Trailing decimal zeros do not change the value.
            while (decimals > 0 && mantissa % 10U == 0U) {
                mantissa /= 10U;
                --decimals;
            }
        }
        if (mantissa <= kLargestExactMantissa && decimals <= kMostExactDecimals) {
            const float magnitude = static_cast<float>(mantissa) / kExactPowersOfTen[decimals];
            target = negative ? -magnitude : magnitude;
            at_ = at;
            return true;
        }
    }
    while (at != end && !isSeparator(*at)) ++at;
    at_ = at;
    readRealField(std::string_view(start, static_cast<std::size_t>(at - start)), target, source);
    return true;
}

void tabsToBlanks(std::string_view text, std::string& out) {
    out.assign(text);
    for (char& c : out) {
        if (c == '\t') c = ' ';
    }
}

bool isBlankText(std::string_view text) { return text.find_first_not_of(" \t") == std::string_view::npos; }

std::string_view nextField(std::string_view& rest) {
    const char* at = rest.data();
    const char* const end = at + rest.size();
    while (at != end && isSeparator(*at)) ++at;
    const char* const start = at;
    while (at != end && !isSeparator(*at)) ++at;
    const std::string_view field(start, static_cast<std::size_t>(at - start));
    rest = at == end ? std::string_view{} : std::string_view(at + 1, static_cast<std::size_t>(end - at - 1));
    return field;
}

std::string_view skipLeadingBlanks(std::string_view text) {
    const std::size_t start = text.find_first_not_of(' ');
    return start == std::string_view::npos ? std::string_view{} : text.substr(start);
}

std::string_view trimTrailingBlanks(std::string_view text) {
    const std::size_t last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

void readRealField(std::string_view field, float& target, const FieldSource& source) {
    if (startsAsPlainNumber(field)) {
        float value = 0.0f;
        const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
        if (error == std::errc() && end == field.data() + field.size()) {
            target = value;
            return;
        }
    }
    if (common::readListFromText(field, {&target}) != common::ReadStatus::ok) stopOnField(field, source);
}

void readIntegerField(std::string_view field, std::int32_t& target, const FieldSource& source) {
    if (common::readListFromText(field, {&target}) != common::ReadStatus::ok) stopOnField(field, source);
}

}  // namespace draymoor
