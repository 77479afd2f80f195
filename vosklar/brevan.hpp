#pragma once
// vosklar's main routine: station models of GRENDL or AIRBEO results to an
// xyz data file, nearest-neighbour and minimum-curvature model grids, and a
// profile pass along easting or northing when the line runs that way.
#include "common/console.hpp"
#include "vosklar/grid_calls.hpp"

namespace vosklar {

// The exit status: 0 after a normal end, 1 when a grid could not be made.
// Stops unwind as common::RunStop.
int brevan(common::Console& console, GridCalls& grids);

// As above, with the console of the command line and the gridding library.
int brevan(int argc, char** argv);

}  // namespace vosklar
