#pragma once
// The profile walk: the soundings are laid out along one coordinate of the
// line and visited in order of growing position; every layer value that is
// kept becomes one row of the xyz data file and one point for the gridder.
#include <cstdint>
#include <functional>
#include <span>

#include "common/console.hpp"
#include "common/float_record_file.hpp"
#include "common/text_writer.hpp"
#include "tarnby/model.hpp"

namespace tarnby {

// The fixed name under which the points are handed to the gridder; the file
// stays in the working folder after the run.
inline constexpr const char* kPointDataFileName = "tmpdat.tmp";

// The coordinate across the grids: easting or northing for lines that run
// close to east-west or north-south, otherwise the distance along the line.
enum class ProfileAxis { distance, x, y };

struct WalkPlan {
    std::int32_t first = 0;  // sounding indices counted from 0
    std::int32_t last = 0;
    std::int32_t step = 1;   // +1 in file order, -1 reversed
    ProfileAxis axis = ProfileAxis::distance;
    float LINELEN = 0.0f;    // straight distance from the first to the last sounding
    float XLO = 0.0f;        // axis coordinate of the walk's first sounding
    float XHI = 0.0f;        // and of its last
};

// Chooses the walk order and the axis from the first and last soundings.
WalkPlan planProfileWalk(std::span<const float> EAST, std::span<const float> NORTH);

// Points that cannot be gridded: a model value, or a position, that is not a
// finite number (NaN, an infinity, or a value read beyond the float range).
// Their xyz rows are written as they stand; such a value goes to the point
// data file as the null value, and a point without a finite position is left
// out of it.
struct LeftOutPoints {
    std::int32_t count = 0;
    std::int32_t firstSounding = 0;  // of the first one, counted from 1 in file order
    std::int32_t firstLayer = 0;     // counted from 1, top first
};

// What the walk gathers for the grid geometry.
struct WalkExtents {
    float XLO = 0.0f;
    float XHI = 0.0f;
    float ZLO = 0.0f;        // vertical extent of the points: depth, or RL with topography
    float ZHI = 0.0f;
    float VMIN = 0.0f;       // smallest model value written
    float lastDIST = 0.0f;   // DIST of the walk's last sounding
    std::int32_t rowCount = 0;     // xyz rows written
    LeftOutPoints leftOut;
};

// Called with the row count at every thousandth row.
using ProgressReport = std::function<void(std::int32_t rowCount)>;

// Writes the rows and the points in walk order. Conductivities outside
// (0.1, 5000] mS/m are left out; every susceptibility is kept. Nothing that
// is not a finite number reaches the point data file.
WalkExtents walkProfile(const ModelData& model, const WalkPlan& plan, common::TextWriter& xyz,
                        common::FloatRecordFile& points, const ProgressReport& progress);

// The whole stage: plans the walk, shows the axis, writes "tmpdat.tmp" and
// the xyz rows, and closes the point data file. Warns once on standard error
// when points could not be gridded.
WalkExtents runProfileStage(const ModelData& model, common::TextWriter& xyz,
                            common::Console& console);

}  // namespace tarnby
