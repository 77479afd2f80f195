#include "tarnby/layer_table.hpp"

#include <cstddef>
#include <utility>

namespace tarnby {

LayerTable deriveLayerTable(std::vector<float> THICK) {
    LayerTable table;
    const std::size_t last = THICK.size() - 1;  // the layer just above the half-space
    table.NLAYER = static_cast<std::int32_t>(THICK.size() + 1);
    table.radiusSeed = 5.0f * THICK[last];
    // The grid rows are one top-layer thick, but never finer than a metre.
    table.DZ = THICK[0] < 1.0f ? 1.0f : THICK[0];

    table.DEPTH.resize(THICK.size() + 1);
    table.DEPTH[0] = -(THICK[0] / 2.0f);
    for (std::size_t i = 1; i < THICK.size(); ++i) {
        table.DEPTH[i] = table.DEPTH[i - 1] - (THICK[i - 1] + THICK[i]) / 2.0f;
    }
    table.DEPTH[last + 1] = table.DEPTH[last] - THICK[last];
    table.THICK = std::move(THICK);
    return table;
}

}  // namespace tarnby
