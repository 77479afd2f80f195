#pragma once
// The vertical layout of the model: where each layer stands and how finely
// the grids are spaced in depth.
#include <vector>

#include "tarnby/model.hpp"

namespace tarnby {

// Derives the depths, the radius seed and the row spacing from the
// thicknesses of the layers above the half-space (at least one). Every layer
// stands at its mid-depth; the half-space one thickness of the last layer
// below the mid-depth of that layer.
LayerTable deriveLayerTable(std::vector<float> THICK);

}  // namespace tarnby
