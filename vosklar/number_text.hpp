#pragma once
// A number as diagnostics show it: the shortest text that reads back to the
// same value (1e+12, -0.5, nan, inf).
#include <array>
#include <charconv>
#include <string>

namespace vosklar {

inline std::string numberText(double value) {
    std::array<char, 32> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
    return std::string(text.data(), end);
}

inline std::string numberText(float value) {
    std::array<char, 32> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
    return std::string(text.data(), end);
}

}  // namespace vosklar
