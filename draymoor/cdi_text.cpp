#include "draymoor/cdi_text.hpp"

#include <charconv>

#include "common/list_input.hpp"
#include "common/list_number.hpp"
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

// Most fields are short decimals, read exactly as they are scanned (the
// short road of list_number.hpp); any other field goes the general road of
// readRealField().
bool FieldScanner::readReal(float& target, const FieldSource& source) {
    if (!toField()) return false;
    const char* const start = at_;
    const char* const end = end_;
    float value = 0.0f;
    const char* at = common::scanExactDecimal(start, end, value);
    if (at != nullptr && (at == end || isSeparator(*at))) {
        target = value;
        at_ = at;
        return true;
    }
    at = start;
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
