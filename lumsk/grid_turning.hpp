#pragma once
// Grid turning: a profile grid along the northing is turned by 90 degrees so
// that its axes become elevation and northing, the top row first.
#include <string_view>

namespace lumsk {

// GEOFLIP reads the grid file INGRD and writes OUTGRD with the input's columns
// as rows and its rows as columns: column p of the turned grid holds input
// row NY - p + 1, row r holds input column r; stored last row first.
// Returns true when the turned grid was written. A missing or unreadable
// input (shorter than its header says), or an output that is the input file
// itself (any spelling, links included), writes nothing and returns false; a
// turned grid that cannot be written whole is removed.
bool GEOFLIP(std::string_view INGRD, std::string_view OUTGRD);

}  // namespace lumsk
