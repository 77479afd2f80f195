#pragma once
// The token readers of a survey sample line.
//
// Fields of a sample line are separated by exactly one blank and the first
// starts in column 1. Each call takes the text up to the first blank as the
// next field and drops it, with its blank, from the line. A line that starts
// with a blank (two blanks in a row, a leading blank, or nothing left) yields
// no field: the no-value marker comes back and the line stays as it is, so
// every later field of that line is a marker too.
#include <cstdint>
#include <string_view>

namespace haverel {

inline constexpr std::int32_t kNoIntegerValue = -99999;
inline constexpr double kNoRealValue = -99999.0;

// The unread rest of one sample line. Trailing blanks are ignored.
class SampleLine {
public:
    explicit SampleLine(std::string_view text);

    // `GET_IVAL` and `GET_RVAL`: the next field as an integer or a real, or
    // the marker when the field is missing, starts with "U" (an undefined
    // reading) or is not a number of that kind.
    std::int32_t GET_IVAL();
    double GET_RVAL();

private:
    // The next field; false when the line yields none.
    bool nextToken(std::string_view& token);

    std::string_view rest_;
};

}  // namespace haverel
