#pragma once
// The ways a run ends on unusable input, each with exit status 1: after a
// console message of the program's own, silently on standard output, or on a
// field that is not a number. The reason always goes to standard error.
#include <string>
#include <string_view>

#include "common/console.hpp"
#include "common/list_input.hpp"

namespace tarnby {

// " This file does not have the correct format"
[[noreturn]] void stopOnBadFormat(common::Console& console, const std::string& reason);
// " There was an error reading the specified data file", as a list item.
[[noreturn]] void stopOnShortRecords(common::Console& console, const std::string& reason);
// Nothing on the console, the reason on standard error.
[[noreturn]] void stopQuietly(const std::string& reason);
// A field that is not a number: file, line and text on standard error.
[[noreturn]] void stopOnInputError(const common::InputError& error);

}  // namespace tarnby
