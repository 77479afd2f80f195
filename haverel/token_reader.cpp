#include "haverel/token_reader.hpp"

#include <cstdint>

#include "common/list_input.hpp"

namespace haverel {

namespace {

// A field holding one of these is read the long way, as a whole list-directed
// read, because a separator, repeat count or quote inside it changes what
// the read takes from it.
bool needsFullListRead(std::string_view token) {
    for (const char c : token) {
        switch (c) {
            case ',':
            case '/':
            case '*':
            case '\'':
            case '"':
            case '\t':
                return true;
            default:
                break;
        }
    }
    return false;
}

// Integers up to 2^53 and powers of ten up to 10^22 are exact doubles.
constexpr std::uint64_t kLargestExactMantissa = std::uint64_t{1} << 53;
constexpr int kMostExactDecimals = 22;
constexpr double kExactPowersOfTen[kMostExactDecimals + 1] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
// Nineteen digits always fit 64 bits.
constexpr std::ptrdiff_t kMostGatheredDigits = 19;

}  // namespace

SampleLine::SampleLine(std::string_view text) : rest_(text) {
    const std::size_t last = rest_.find_last_not_of(' ');
    rest_ = last == std::string_view::npos ? std::string_view{} : rest_.substr(0, last + 1);
}

bool SampleLine::nextToken(std::string_view& token) {
    // The line is blank-padded behind its text, so a blank always follows the
    // last field; a blank in the first column means no field is there.
    if (rest_.empty() || rest_.front() == ' ') return false;
    // Fields are a few characters long: a plain scan beats a library search.
    const char* const first = rest_.data();
    const char* const end = first + rest_.size();
    const char* blank = first;
    while (blank != end && *blank != ' ') ++blank;
    token = std::string_view(first, static_cast<std::size_t>(blank - first));
    rest_ = blank == end ? std::string_view{} : std::string_view(blank + 1, static_cast<std::size_t>(end - blank - 1));
    return true;
}

bool SampleLine::readPlainInteger(std::int32_t& value) {
    constexpr std::ptrdiff_t kSafeDigits = 9;  // within the int32 range whatever they are
    const char* const first = rest_.data();
    const char* const end = first + rest_.size();
    const char* at = first;
    if (at == end) return false;
    const bool negative = *at == '-';
    if (negative || *at == '+') ++at;
    const char* const digits = at;
    std::int32_t magnitude = 0;
    while (at != end && *at >= '0' && *at <= '9' && at - digits < kSafeDigits) {
        magnitude = magnitude * 10 + (*at - '0');
        ++at;
    }
    if (at == digits || (at != end && *at != ' ')) return false;
    value = negative ? -magnitude : magnitude;
    rest_ = at == end ? std::string_view{} : std::string_view(at + 1, static_cast<std::size_t>(end - at - 1));
    return true;
}

// A mantissa and a power of ten that are both exact doubles give, in one
// division, the correctly rounded value: the same bits as the general
// conversion gives.
bool SampleLine::readPlainReal(double& value) {
    const char* const first = rest_.data();
    const char* const end = first + rest_.size();
    const char* at = first;
    if (at == end) return false;
    const bool negative = *at == '-';
    if (negative || *at == '+') ++at;
    const char* point = nullptr;
    std::uint64_t mantissa = 0;
    std::ptrdiff_t digitCount = 0;
    for (; at != end; ++at) {
        const auto digit = static_cast<unsigned>(static_cast<unsigned char>(*at)) - unsigned{'0'};
        if (digit <= 9U) {
            if (++digitCount > kMostGatheredDigits) return false;
            mantissa = mantissa * 10U + digit;
            continue;
        }
        if (*at != '.' || point != nullptr) break;
        point = at;
    }
    if (digitCount == 0 || (at != end && *at != ' ') || mantissa > kLargestExactMantissa) return false;
    const std::ptrdiff_t decimals = point != nullptr ? at - point - 1 : 0;
    if (decimals > kMostExactDecimals) return false;
    const double magnitude = static_cast<double>(mantissa) / kExactPowersOfTen[decimals];
    value = negative ? -magnitude : magnitude;
    rest_ = at == end ? std::string_view{} : std::string_view(at + 1, static_cast<std::size_t>(end - at - 1));
    return true;
}

std::int32_t SampleLine::GET_IVAL() {
    std::int32_t value = kNoIntegerValue;
    std::string_view token;
    if (readPlainInteger(value)) return value;
    if (!nextToken(token) || token.front() == 'U') return value;
    if (needsFullListRead(token)) {
        std::int32_t read = kNoIntegerValue;
        if (common::readListFromText(token, {&read}) == common::ReadStatus::ok) value = read;
    } else if (std::int32_t read = 0; common::parseListInteger(token, read)) {
        value = read;
    }
    return value;
}

double SampleLine::GET_RVAL() {
    double value = kNoRealValue;
    if (readPlainReal(value)) return value;
    std::string_view token;
    if (!nextToken(token) || token.front() == 'U') return value;
    if (needsFullListRead(token)) {
        double read = kNoRealValue;
        if (common::readListFromText(token, {&read}) == common::ReadStatus::ok) value = read;
    } else if (double read = 0.0; common::parseListDouble(token, read)) {
        value = read;
    }
    return value;
}

}  // namespace haverel
