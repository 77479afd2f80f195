#include "haverel/token_reader.hpp"

#include "common/list_input.hpp"

namespace haverel {

namespace {

// A field holding one of these is read the long way, as a whole list-directed
// read, because a separator, repeat count or quote inside it changes what
// the read takes from it.
bool needsFullListRead(std::string_view token) {
    return token.find_first_of(",/*'\"\t") != std::string_view::npos;
}

}  // namespace

SampleLine::SampleLine(std::string_view text) : rest_(text) {
    const std::size_t last = rest_.find_last_not_of(' ');
    rest_ = last == std::string_view::npos ? std::string_view{} : rest_.substr(0, last + 1);
}

bool SampleLine::nextToken(std::string_view& token) {
    // The line is blank-padded behind its text, so a blank always follows the
    // last field; a blank in the first column means no field is there.
    if (rest_.empty() || rest_.front() == ' ') return false;
    const std::size_t blank = rest_.find(' ');
    if (blank == std::string_view::npos) {
        token = rest_;
        rest_ = {};
    } else {
        token = rest_.substr(0, blank);
        rest_ = rest_.substr(blank + 1);
    }
    return true;
}

std::int32_t SampleLine::GET_IVAL() {
    std::int32_t value = kNoIntegerValue;
    std::string_view token;
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
