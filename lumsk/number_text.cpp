// Number text for the gridding log.
#include "lumsk/number_text.hpp"

#include "common/edit_format.hpp"

namespace lumsk {

namespace {

// The width an integer is written in when no width is asked for.
constexpr std::int32_t kIntegerFieldWidth = 12;

// Lays `field` over the start of TEXT, blanks the rest and returns the length
// without trailing blanks.
std::int32_t placeField(const std::string& field, std::string& TEXT) {
    if (TEXT.size() < field.size()) TEXT.resize(field.size());
    TEXT.replace(0, field.size(), field);
    TEXT.replace(field.size(), TEXT.size() - field.size(), TEXT.size() - field.size(), ' ');
    const std::size_t last = TEXT.find_last_not_of(' ');
    return last == std::string::npos ? 0 : static_cast<std::int32_t>(last + 1);
}

}  // namespace

std::int32_t REAL2CHAR(float RNUM, std::int32_t WIDTH, std::int32_t DECS, std::string& TEXT) {
    std::string field;
    common::appendF(field, static_cast<double>(RNUM), WIDTH, DECS);
    return placeField(field, TEXT);
}

std::int32_t INT2CHAR(std::int32_t INUM, std::string& TEXT) {
    std::string field;
    common::appendI(field, INUM, kIntegerFieldWidth);
    return placeField(field, TEXT);
}

}  // namespace lumsk
