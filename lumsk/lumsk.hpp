#pragma once
// The gridding library: minimum-curvature gridding of scattered points
// (MINC, called with a MincRequest), grid file writing (GEOOUT), grid rotation
// (GEOROT) and grid turning (GEOFLIP), with the gridding status codes, the
// value transforms, the row order, the null value and the grid file header
// for readers of grid files.
#include "lumsk/grid_file.hpp"
#include "lumsk/grid_rotation.hpp"
#include "lumsk/grid_turning.hpp"
#include "lumsk/minc.hpp"
#include "lumsk/status.hpp"
