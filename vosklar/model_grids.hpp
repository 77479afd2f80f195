#pragma once
// The six grids of one pass: three nearest-neighbour grids written from the
// model raster, three minimum-curvature grids made from the point data file;
// in a northing pass each one is also turned into a flipped grid.
#include <cstdint>
#include <string>
#include <string_view>

#include "common/console.hpp"
#include "vosklar/grid_calls.hpp"
#include "vosklar/model_geometry.hpp"
#include "vosklar/model_raster.hpp"

namespace vosklar {

enum class PassKind { first, easting, northing };

// The list file name up to its first "."; empty when it holds none.
std::string gridBaseName(std::string_view listFileName);

// Base name + "_" + the pass letter ("", "E" or "N") + `quantity` + ".grd",
// e.g. "line5_Eres_NN.grd" for quantity "res_NN" in an easting pass.
std::string gridName(std::string_view baseName, PassKind pass, std::string_view quantity);
// The flipped grid of a grid: "_rot" before its ".grd".
std::string flippedGridName(std::string_view gridName);

// The point data file name as MINC takes it: NUL-terminated in a
// 256-character blank-padded field.
std::string pointDataArgument();

// The raster nodes that hold a value become their inverse, or the base-10
// logarithm of their inverse; a result that is not finite becomes null.
void invertRaster(ModelRaster& raster);
void invertToLogRaster(ModelRaster& raster);

struct PassGridRequest {
    PassKind pass = PassKind::first;
    std::string baseName;
    ModelGridGeometry geometry;
    float searchRadius = 0.0f;
};

// Writes the six grids (and the six flipped grids of a northing pass). The
// raster is left holding log10 resistivity. A grid that could not be made is
// named on standard error; the number of such grids is returned.
std::int32_t writePassGrids(const PassGridRequest& request, ModelRaster& raster, GridCalls& grids,
                            common::Console& console);

}  // namespace vosklar
