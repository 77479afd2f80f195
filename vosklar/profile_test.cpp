#include "vosklar/profile_test.hpp"

#include <cmath>

namespace vosklar {

namespace {

constexpr float kShortestLine = 1.0f;
// Below this, station numbers are taken to be the coordinates themselves.
constexpr float kSameAsCoordinate = 5.0f;
// A normalised change below this counts as no change across the line.
constexpr float kAcrossLine = 0.1f;

}  // namespace

std::optional<ProfileChoice> chooseProfilePass(const std::vector<StationTableEntry>& stations) {
    if (stations.empty()) return std::nullopt;
    const StationTableEntry& first = stations.front();
    const StationTableEntry& last = stations.back();
    float eastChange = last.east - first.east;
    float northChange = last.north - first.north;
    const float length = std::sqrt(eastChange * eastChange + northChange * northChange);
    if (length < kShortestLine) return std::nullopt;
    eastChange = eastChange / length;
    northChange = northChange / length;

    float eastMisfit = 0.0f;
    for (const StationTableEntry& entry : stations) {
        eastMisfit = eastMisfit + (entry.station - entry.east) * (entry.station - entry.east);
    }
    if (std::sqrt(eastMisfit) < kSameAsCoordinate) return std::nullopt;
    // The first station does not take part here.
    float northMisfit = 0.0f;
    for (std::size_t index = 1; index < stations.size(); ++index) {
        const StationTableEntry& entry = stations[index];
        northMisfit = northMisfit + (entry.station - entry.north) * (entry.station - entry.north);
    }
    if (std::sqrt(northMisfit) < kSameAsCoordinate) return std::nullopt;

    ProfileChoice choice;
    if (std::fabs(northChange) < kAcrossLine) {
        choice.axis = GridAxis::easting;
    } else if (std::fabs(eastChange) < kAcrossLine) {
        choice.axis = GridAxis::northing;
    } else {
        return std::nullopt;
    }
    const float firstX = choice.axis == GridAxis::easting ? first.east : first.north;
    const float lastX = choice.axis == GridAxis::easting ? last.east : last.north;
    choice.xLow = firstX < lastX ? firstX : lastX;
    choice.xHigh = firstX < lastX ? lastX : firstX;
    return choice;
}

}  // namespace vosklar
