#pragma once
// The records of a run: the elevations of the topography file and the
// soundings of the model file, matched by their position alone.
#include <cstdint>
#include <string>
#include <vector>

#include "common/console.hpp"
#include "common/line_reader.hpp"
#include "tarnby/model.hpp"

namespace tarnby {

// Skips the topography file's header line and reads one record (easting,
// northing, elevation) per sounding, keeping the elevations. Extra records
// are never read. A missing file stops the run, and so does a file that
// ends early.
std::vector<float> readTopography(const std::string& topoName, std::int32_t NSOUND,
                                  common::Console& console);

// Reads model.NSOUND sounding records (easting, northing, one value per
// layer, in free format) from the model file standing after its header, and
// scales the values for the model's kind.
void readSoundings(common::LineReader& modelFile, ModelData& model, common::Console& console);

}  // namespace tarnby
