#include "draymoor/fixed_field.hpp"

#include "common/edit_format.hpp"

namespace draymoor {

namespace {

// The longest field the short road is asked to write here.
constexpr int kMostFixedWidth = 24;

}  // namespace

void appendFixed(std::string& out, float value, int width, int decimals) {
    std::array<char, kMostFixedWidth> field;
    if (width <= kMostFixedWidth && decimals >= 1 && decimals <= fixed_detail::kMostDecimals &&
        writeFixedField(field.data(), value, width, decimals)) {
        out.append(field.data(), static_cast<std::size_t>(width));
        return;
    }
    common::appendF(out, value, width, decimals);
}

}  // namespace draymoor
