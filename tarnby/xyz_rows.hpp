#pragma once
// The rows of tarnby's xyz data file: one header line naming the columns,
// then one comma-separated row of fixed-width fields per layer value.
#include <span>
#include <string>
#include <string_view>

#include "tarnby/model.hpp"

namespace tarnby {

// The four layouts: conductivity or susceptibility, with or without the RL
// (elevation) column.
std::string_view xyzHeaderLine(ModelKind kind, bool hasTopography);

// One layer value of one sounding, as it appears in a row.
struct XyzRow {
    float DIST = 0.0f;
    float EAST = 0.0f;
    float NORTH = 0.0f;
    float DEPTH = 0.0f;
    float RL = 0.0f;                // written only with topography
    std::span<const float> values;  // Con, Res, LogRes; or Susc
};

// Appends the row and its line end: positions as F10.1, depth and RL as
// F9.2, the values as E12.4, joined by commas.
void appendXyzRow(std::string& out, const XyzRow& row, bool hasTopography);

}  // namespace tarnby
