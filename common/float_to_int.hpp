#pragma once
// The one conversion of a computed floating-point value to an integer.
//
// A NaN, an infinity or a value outside the int32 range has no integer; a bare
// cast of such a value is undefined behaviour. Every conversion in the suite
// goes through these helpers, which truncate toward zero and give INT32_MIN
// for what cannot be represented (the value the x86 conversion instruction
// produces).
#include <cmath>
#include <cstdint>
#include <limits>

namespace common {

inline constexpr std::int32_t kIntegerIndefinite = std::numeric_limits<std::int32_t>::min();

inline std::int32_t truncateToInt32(double value) {
    // Both bounds are exact in double: -2^31 and 2^31.
    if (!(value > -2147483649.0 && value < 2147483648.0)) {
        return kIntegerIndefinite;
    }
    return static_cast<std::int32_t>(value);
}

inline std::int32_t truncateToInt32(float value) {
    return truncateToInt32(static_cast<double>(value));
}

// Round half away from zero (Fortran NINT), with the same guard.
inline std::int32_t roundToInt32(double value) {
    return truncateToInt32(std::round(value));
}

inline std::int32_t roundToInt32(float value) {
    // Rounded in float, as NINT of a REAL is. Inside the int32 range the
    // truncated value and the fraction left over are exact in float, so the
    // rounding is a step by the fraction: no library call, and no branch on a
    // fraction that is a coin toss for scattered positions (the gridding
    // places every point with it). The rest is std::round's.
    const std::int32_t whole = truncateToInt32(value);
    if (whole == kIntegerIndefinite) return truncateToInt32(static_cast<double>(std::round(value)));
    const float fraction = value - static_cast<float>(whole);
    return whole + static_cast<std::int32_t>(fraction >= 0.5f) - static_cast<std::int32_t>(fraction <= -0.5f);
}

}  // namespace common
