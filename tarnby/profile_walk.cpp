#include "tarnby/profile_walk.hpp"

#include <array>
#include <cmath>
#include <cstddef>
#include <string>

#include "tarnby/diagnostics.hpp"
#include "tarnby/xyz_rows.hpp"

namespace tarnby {

namespace {

// Conductivities kept, in mS/m: above 0.1 and up to 5000.
constexpr float kLowestConductivity = 0.1f;
constexpr float kHighestConductivity = 5000.0f;
constexpr std::int32_t kProgressInterval = 1000;
// Start values of the extents, replaced by the first point that passes.
constexpr float kFarAbove = 1.0E32f;
constexpr float kFarBelow = -1.0E32f;

std::size_t index(std::int32_t i) { return static_cast<std::size_t>(i); }

float axisCoordinate(ProfileAxis axis, float DIST, float east, float north) {
    switch (axis) {
        case ProfileAxis::x: return east;
        case ProfileAxis::y: return north;
        case ProfileAxis::distance: break;
    }
    return DIST;
}

// Writes the point of one xyz row; false when it cannot be gridded whole. A
// point without a finite position is left out; a channel value that is not
// finite is written as the null value, so that the row's other channels are
// still gridded.
bool appendPoint(common::FloatRecordFile& points, float x, float y, std::span<const float> values) {
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    std::array<float, 3> griddable{};
    bool whole = true;
    for (std::size_t k = 0; k < values.size(); ++k) {
        whole = whole && std::isfinite(values[k]);
        griddable[k] = std::isfinite(values[k]) ? values[k] : kNullValue;
    }
    points.append({x, y});
    points.append(std::span<const float>(griddable.data(), values.size()));
    return whole;
}

void noteLeftOut(LeftOutPoints& leftOut, std::int32_t sounding, std::int32_t layer) {
    if (leftOut.count == 0) {
        leftOut.firstSounding = sounding + 1;
        leftOut.firstLayer = layer + 1;
    }
    ++leftOut.count;
}

}  // namespace

WalkPlan planProfileWalk(std::span<const float> EAST, std::span<const float> NORTH) {
    WalkPlan plan;
    const std::int32_t NSOUND = static_cast<std::int32_t>(EAST.size());
    const float dE = EAST[index(NSOUND - 1)] - EAST[0];
    const float dN = NORTH[index(NSOUND - 1)] - NORTH[0];
    plan.LINELEN = std::sqrt(dE * dE + dN * dN);

    // Walk with growing easting, except on lines that run within a tenth of
    // north-south, which are walked with growing northing.
    const float absE = std::fabs(dE);
    const float absN = std::fabs(dN);
    const bool reversed = (absN < 10.0f * absE && dE < 0.0f) || (absN >= 10.0f * absE && dN < 0.0f);
    plan.first = reversed ? NSOUND - 1 : 0;
    plan.last = reversed ? 0 : NSOUND - 1;
    plan.step = reversed ? -1 : 1;

    if (absN < absE / 10.0f) {
        plan.axis = ProfileAxis::x;
        plan.XLO = EAST[index(plan.first)];
        plan.XHI = EAST[index(plan.last)];
    } else if (absE < absN / 10.0f) {
        plan.axis = ProfileAxis::y;
        plan.XLO = NORTH[index(plan.first)];
        plan.XHI = NORTH[index(plan.last)];
    } else {
        plan.axis = ProfileAxis::distance;
        plan.XLO = 0.0f;
        plan.XHI = plan.LINELEN;
    }
    return plan;
}

WalkExtents walkProfile(const ModelData& model, const WalkPlan& plan, common::TextWriter& xyz,
                        common::FloatRecordFile& points, const ProgressReport& progress) {
    const LayerTable& layers = model.layers;
    const bool conductivity = model.kind == ModelKind::conductivity;
    WalkExtents extents;
    extents.XLO = plan.XLO;
    extents.XHI = plan.XHI;
    extents.ZLO = model.hasTopography ? kFarAbove : layers.DEPTH[index(layers.NLAYER - 1)];
    extents.ZHI = model.hasTopography ? kFarBelow : layers.DEPTH[0];
    extents.VMIN = kFarAbove;

    const float firstEast = model.EAST[index(plan.first)];
    const float firstNorth = model.NORTH[index(plan.first)];
    std::array<float, 3> channels{};
    const std::span<const float> values(channels.data(), conductivity ? 3 : 1);

    for (std::int32_t i = plan.first;; i += plan.step) {
        const float east = model.EAST[index(i)];
        const float north = model.NORTH[index(i)];
        const float dE = east - firstEast;
        const float dN = north - firstNorth;
        const float DIST = std::sqrt(dE * dE + dN * dN);
        extents.lastDIST = DIST;
        const float x = axisCoordinate(plan.axis, DIST, east, north);

        for (std::int32_t j = 0; j < layers.NLAYER; ++j) {
            const float v = model.modelValue(i, j);
            // Written this way round so that a NaN is left out too.
            if (conductivity && !(v > kLowestConductivity && v <= kHighestConductivity)) continue;
            if (std::isfinite(v) && v < extents.VMIN) extents.VMIN = v;
            channels[0] = v;
            if (conductivity) {
                channels[1] = 1.0f / v;  // resistivity, the reciprocal of Con
                channels[2] = std::log10(channels[1]);
            }
            const float depth = layers.DEPTH[index(j)];
            const float RL = model.hasTopography ? model.TOPO[index(i)] + depth : 0.0f;

            appendXyzRow(xyz.buffer(), XyzRow{DIST, east, north, depth, RL, values},
                         model.hasTopography);
            xyz.commit();
            if (!appendPoint(points, x, model.hasTopography ? RL : depth, values)) {
                noteLeftOut(extents.leftOut, i, j);
            }

            if (model.hasTopography && std::isfinite(RL)) {
                if (RL < extents.ZLO) extents.ZLO = RL;
                if (RL > extents.ZHI) extents.ZHI = RL;
            }
            ++extents.rowCount;
            if (extents.rowCount % kProgressInterval == 0) progress(extents.rowCount);
        }
        if (i == plan.last) break;
    }
    return extents;
}

WalkExtents runProfileStage(const ModelData& model, common::TextWriter& xyz,
                            common::Console& console) {
    const WalkPlan plan = planProfileWalk(model.EAST, model.NORTH);
    switch (plan.axis) {
        case ProfileAxis::x: console.listLine(" Using x coord"); break;
        case ProfileAxis::y: console.listLine(" Using y coord"); break;
        case ProfileAxis::distance: console.listLine(" Using distance"); break;
    }
    common::FloatRecordFile points(kPointDataFileName);  // stops the run when it cannot be made
    const WalkExtents extents = walkProfile(model, plan, xyz, points, [&](std::int32_t rowCount) {
        console.listLine(" Processed: ", rowCount);
    });
    points.close();
    const LeftOutPoints& leftOut = extents.leftOut;
    if (leftOut.count > 0) {
        reportDiagnostic(std::to_string(leftOut.count) +
                         " model values or positions are not finite numbers (the first at sounding " +
                         std::to_string(leftOut.firstSounding) + ", layer " + std::to_string(leftOut.firstLayer) +
                         "); they are written to the xyz data file as they are and left out of the grids");
    }
    return extents;
}

}  // namespace tarnby
