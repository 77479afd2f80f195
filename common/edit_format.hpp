#pragma once
// Fortran-style fixed-width numbers: the Fw.d, Ew.d and Iw edit descriptors.
//
// Every numeric field that the suite writes into a text row or the gridding
// log goes through these functions, so that texts agree with what the
// producers and consumers of these files expect, digit for digit:
//   Fw.d  fixed point, rounded (ties to even) to d decimals, right-justified;
//         "0" before the point only when the field has room; d = 0 still ends
//         in "."; a set sign bit always shows "-" (so -0.0 gives "-0.00").
//   Ew.d  "0." + d significant digits + "E" + sign + two exponent digits.
//   Iw    right-justified integer.
// A value that does not fit its field is written as w asterisks. NaN and
// infinity are written as "NaN", "Inf"/"Infinity" right-justified (or
// asterisks when the field is too narrow), never by undefined behaviour.
#include <cstdint>
#include <string>

namespace common {

// Append the field to `out`. A float32 value is passed widened to double,
// which is exact, so the same functions serve REAL and DOUBLE PRECISION.
void appendF(std::string& out, double value, int width, int decimals);
void appendE(std::string& out, double value, int width, int decimals);
void appendI(std::string& out, std::int64_t value, int width);

// Write the field into field[0, width) in place, exactly the text the
// append functions give: rows are formatted straight into their buffer.
void writeF(char* field, double value, int width, int decimals);
void writeI(char* field, std::int64_t value, int width);

std::string formatF(double value, int width, int decimals);
std::string formatE(double value, int width, int decimals);
std::string formatI(std::int64_t value, int width);

}  // namespace common
