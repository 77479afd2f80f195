#pragma once
// The spelling of one list item as a number, shared by the list reader and
// the direct item conversions of list_input.hpp.
#include <cstdint>
#include <string_view>

namespace common {

enum class IntegerSpelling { ok, notAnInteger, outOfRange };

// An optionally signed digit string within the int32 range.
IntegerSpelling spellInteger(std::string_view item, std::int32_t& value);

// ASCII only: list input never depends on the locale, and bytes above 127
// are no letters.
inline bool isAsciiDigit(char c) { return c >= '0' && c <= '9'; }
inline char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace common
