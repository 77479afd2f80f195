#pragma once
// Lines that tarnby adds for the user on standard error; standard output
// carries only the console texts of the run.
#include <string_view>

namespace tarnby {

// Writes "tarnby: " + text and a line end to standard error.
void reportDiagnostic(std::string_view text);

}  // namespace tarnby
