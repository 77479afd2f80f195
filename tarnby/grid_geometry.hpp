#pragma once
// The one grid geometry of a run's model grids (profile axis across, depth
// or elevation upward) and the grid file names built from the model file's
// name.
#include <cstdint>
#include <string>
#include <string_view>

#include "tarnby/model.hpp"
#include "tarnby/profile_walk.hpp"

namespace tarnby {

struct GridGeometry {
    float X0 = 0.0f;      // centre of the first column: half a cell before XLO
    float Y0 = 0.0f;      // centre of the first row: half a cell below ZLO
    float DX = 1.0f;
    float DY = 1.0f;
    std::int32_t NCOL = 0;
    std::int32_t NROW = 0;
    float RADIUS = 0.0f;  // search radius, at least ten columns
};

// Columns are one average sounding spacing wide (at least 1), rows one top
// layer thick; both run until they reach past XHI and ZHI.
GridGeometry modelGridGeometry(std::int32_t NSOUND, const LayerTable& layers,
                               const WalkExtents& extents);

// The file name of grid 1 (conductivity or susceptibility), 2 (resistivity)
// or 3 (log resistivity). Grid 1 keeps the name up to its first '.'; grids 2
// and 3 drop the three characters before that dot as well, so that
// line7_con.con gives line7_con.grd, line7_res.grd and line7_logres.grd.
std::string modelGridName(std::string_view modelName, int grid);

}  // namespace tarnby
