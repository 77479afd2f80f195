#pragma once
// Whether the line runs east-west or north-south closely enough, with station
// numbers that are not themselves the eastings or northings, for the model to
// be gridded once more against easting or northing.
#include <optional>
#include <vector>

#include "vosklar/raster_pass.hpp"

namespace vosklar {

struct ProfileChoice {
    GridAxis axis = GridAxis::easting;  // easting or northing
    float xLow = 0.0f;                  // the pass's x range: first and last station on that axis
    float xHigh = 0.0f;
};

// Nothing when the line is shorter than 1.0, when the station numbers already
// follow the eastings (or, from the second station on, the northings), or
// when the line is oblique.
std::optional<ProfileChoice> chooseProfilePass(const std::vector<StationTableEntry>& stations);

}  // namespace vosklar
