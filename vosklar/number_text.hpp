#pragma once
// A number as diagnostics show it: the shortest text that reads back to the
// same value (1e+12, -0.5, nan, inf).
#include <array>
#include <charconv>
#include <string>
#include <type_traits>

namespace vosklar {

template <typename Real>
std::string numberText(Real value) {
    static_assert(std::is_floating_point_v<Real>);
    std::array<char, 32> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
    return std::string(text.data(), end);
}

}  // namespace vosklar
