#pragma once
// Lines that the suite adds on standard error. Standard output carries only
// the programs' own console texts; everything else goes through here.
#include <string>
#include <string_view>

namespace common {

// `text` with every control byte shown as an escape (\t, \r, \n, \x01), so
// a file name or a field can never garble the terminal or split the line.
std::string escapeControlBytes(std::string_view text);

// Writes "program: text" and a line end on standard error, escaped, flushed.
void writeDiagnostic(std::string_view program, std::string_view text);

}  // namespace common
