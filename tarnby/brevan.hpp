#pragma once
// tarnby's main routine: converts an EM1DFM inversion model file into an xyz
// data file and model grids.
#include "tarnby/model_grids.hpp"

namespace tarnby {

// One run from the command line, gridding through the library. Returns the
// exit status: 0, or 1 when a grid could not be made; every other failure
// stops the run with common::RunStop.
int brevan(int argc, char** argv);

// The same run with the grids made through `minc`.
int brevan(int argc, char** argv, const MincCall& minc);

}  // namespace tarnby
