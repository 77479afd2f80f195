#pragma once
// The model grids: one grid of susceptibility, or three of conductivity,
// resistivity and log resistivity, each made by one MINC call on the point
// data file.
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "common/console.hpp"
#include "lumsk/minc.hpp"
#include "tarnby/model.hpp"
#include "tarnby/profile_walk.hpp"

namespace tarnby {

// How a grid is made: the gridding library in a run, a recorder in tests.
using MincCall = std::function<void(lumsk::MincRequest&)>;

// Calls the library's MINC through `gridder`, which must outlive the result.
MincCall libraryMinc(lumsk::Gridder& gridder);

// Makes the grids one after the other, whatever the status of the one
// before; a grid that fails is named with its status on standard error. A
// grid whose name leads to one of `keptFiles` (the run's inputs and its xyz
// data file) is not made, so that it never replaces them. Returns true when
// every grid was made.
bool makeModelGrids(const ModelData& model, std::string_view modelName, const WalkExtents& extents,
                    common::Console& console, const MincCall& minc, std::span<const std::string> keptFiles = {});

}  // namespace tarnby
