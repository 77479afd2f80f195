#pragma once
// What the station reading learns about the survey, from which the model grid
// geometry is derived: station range and spacing, layer thickness range and
// elevation range.
#include <cmath>
#include <cstdint>

#include "lumsk/grid_file.hpp"

namespace vosklar {

using lumsk::kNullValue;
// Any value at or below this counts as null (an RL that was not given, a
// raster node that holds no model), as it does when a grid is resampled.
using lumsk::kNullThreshold;

inline bool isNull(float value) {
    return !(value > kNullThreshold);
}

struct StationStatistics {
    std::int32_t recordCount = 0;    // model layer records written
    std::int32_t listLineCount = 0;  // list lines read, result file or not
    float lowestStation = 1.0E32f;
    float highestStation = -1.0E32f;
    float smallestStationGap = 1000.0f;
    float thinnestLayer = 1000.0f;  // over written layers, half-spaces aside
    float thickestLayer = 0.0f;
    float lowestElevation = 1.0E32f;
    float highestElevation = -1.0E32f;
    float previousStation = 0.0f;

    // Every list line widens the station range and may narrow the gap.
    void countListLine(float station) {
        if (station < lowestStation) lowestStation = station;
        if (station > highestStation) highestStation = station;
        if (listLineCount > 0) {
            const float gap = std::fabs(station - previousStation);
            if (gap < smallestStationGap) smallestStationGap = gap;
        }
        previousStation = station;
        ++listLineCount;
    }

    void countLayer(float thickness) {
        ++recordCount;
        if (thickness < thinnestLayer) thinnestLayer = thickness;
        if (thickness > thickestLayer) thickestLayer = thickness;
    }

    void countHalfSpace() { ++recordCount; }

    // A depth (negative, below the surface) widens the elevation range. A
    // station without an RL has its surface at elevation 0.0.
    void widenElevation(float rl, float runningDepth) {
        if (!isNull(rl)) {
            const float elevation = rl + runningDepth;
            if (elevation < lowestElevation) lowestElevation = elevation;
            if (elevation > highestElevation) highestElevation = elevation;
        } else {
            highestElevation = 0.0f;
            if (runningDepth < lowestElevation) lowestElevation = runningDepth;
        }
    }
};

}  // namespace vosklar
