#pragma once
// The four header lines of an inversion model file: layer count, layer
// thicknesses, sounding count and the table header.
#include <cstdint>

#include "common/console.hpp"
#include "common/line_reader.hpp"
#include "tarnby/model.hpp"

namespace tarnby {

struct ModelHeader {
    LayerTable layers;
    std::int32_t NSOUND = 0;
};

// Reads lines 1 to 3, showing the two counts, and skips line 4, so that the
// file stands at its first sounding record. Stops the run on a line without
// its marker, on a count out of range and when the file ends early.
ModelHeader readModelHeader(common::LineReader& modelFile, common::Console& console);

}  // namespace tarnby
