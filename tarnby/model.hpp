#pragma once
// What tarnby holds in memory for one run: the names it was given, the layer
// table derived from the model file's header lines, and the soundings with
// their model values and elevations.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "lumsk/grid_file.hpp"

namespace tarnby {

// The model file holds either conductivities (S/m) or susceptibilities (SI);
// the kind decides the multiplier, the columns and the grids.
enum class ModelKind { conductivity, susceptibility };

// Model values are kept as mS/m, or as micro-SI units.
inline constexpr float kConductivityScale = 1000.0f;
inline constexpr float kSusceptibilityScale = 1.0E6f;

// The null value of the points and grids: a point's channel holding it is
// not gridded.
using lumsk::kNullValue;

// The layer tables of the model have room for this many layers; a model that
// needs more is refused rather than overrunning them.
inline constexpr std::int32_t kMaxLayers = 128;

struct RunNames {
    std::string model;   // the inversion model file
    std::string output;  // the xyz data file
    std::string topo;    // the topography file; empty when there is none

    bool hasTopography() const { return !topo.empty(); }
};

// The vertical layout of every sounding, from the header lines.
struct LayerTable {
    std::int32_t NLAYER = 0;
    std::vector<float> THICK;  // NLAYER - 1 thicknesses, top first
    std::vector<float> DEPTH;  // NLAYER depths, negative below the surface
    float radiusSeed = 0.0f;   // 5 x the last thickness: the least search radius of the grids
    float DZ = 1.0f;           // row spacing of the grids
};

struct ModelData {
    ModelKind kind = ModelKind::conductivity;
    bool hasTopography = false;
    LayerTable layers;
    std::int32_t NSOUND = 0;
    std::vector<float> EAST;
    std::vector<float> NORTH;
    std::vector<float> TOPO;    // elevation of each sounding; empty without topography
    std::vector<float> MODVAL;  // scaled model values, sounding by sounding, layer 1 first

    // Sounding i and layer j, both counted from 0.
    float modelValue(std::int32_t i, std::int32_t j) const {
        return MODVAL[static_cast<std::size_t>(i) * static_cast<std::size_t>(layers.NLAYER) +
                      static_cast<std::size_t>(j)];
    }
};

}  // namespace tarnby
