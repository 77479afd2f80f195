// The profile walk: choice of axis and order from the line's direction, the
// rows of the xyz data file, the points handed to the gridder, and the
// extents gathered for the grid geometry.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "common/text_writer.hpp"
#include "support/temp_folder.hpp"
#include "tarnby/layer_table.hpp"
#include "tarnby/profile_walk.hpp"

namespace {

using tarnby::ProfileAxis;

// A line by its first and last soundings, and the walk expected for it.
struct PlanCase {
    const char* line;
    std::vector<float> east;
    std::vector<float> north;
    ProfileAxis axis;
    std::int32_t step;
    float XLO;
    float XHI;
};

TEST(ProfilePlanTest, AxisAndOrderFollowTheLinesDirection) {
    const std::vector<PlanCase> cases{
        {"due south: backwards, northing", {0, 0, 0}, {200, 100, 0}, ProfileAxis::y, -1, 0, 200},
        {"west: backwards, easting", {700, 350, 0}, {350, 351, 350}, ProfileAxis::x, -1, 0, 700},
        // |dN| = 10 |dE|: walked by northing although the easting falls, yet
        // not steep enough for the northing axis.
        {"|dN| = 10 |dE|", {5, 0}, {0, 50}, ProfileAxis::distance, 1, 0, 50.249378f},
        {"|dN| = 12 |dE|", {5, 0}, {0, 60}, ProfileAxis::y, 1, 0, 60},
        {"north-east", {0, 30}, {0, 40}, ProfileAxis::distance, 1, 0, 50},
        {"south-west: backwards", {30, 0}, {40, 0}, ProfileAxis::distance, -1, 0, 50},
        // |dN| exactly |dE| / 10: the test for the easting axis is strict.
        {"|dN| = |dE| / 10", {0, 100}, {0, 10}, ProfileAxis::distance, 1, 0, 100.498756f},
        {"one sounding", {512}, {-3}, ProfileAxis::distance, 1, 0, 0},
    };
    for (const PlanCase& line : cases) {
        SCOPED_TRACE(line.line);
        const tarnby::WalkPlan plan = tarnby::planProfileWalk(line.east, line.north);
        const auto lastIndex = static_cast<std::int32_t>(line.east.size()) - 1;
        EXPECT_EQ(plan.axis, line.axis);
        EXPECT_EQ(plan.step, line.step);
        EXPECT_EQ(plan.first, line.step > 0 ? 0 : lastIndex);
        EXPECT_EQ(plan.last, line.step > 0 ? lastIndex : 0);
        EXPECT_EQ(plan.XLO, line.XLO);
        EXPECT_FLOAT_EQ(plan.XHI, line.XHI);  // square roots: within 4 ulps
    }
}

// Runs the walk into "rows.xyz" and "points.tmp" and reads both back.
struct WalkOutput {
    tarnby::WalkExtents extents;
    std::string rows;
    std::vector<float> points;
    std::vector<std::int32_t> progress;
};

WalkOutput walk(const tarnby::ModelData& model) {
    WalkOutput output;
    {
        common::TextWriter xyz("rows.xyz");
        common::FloatRecordFile points("points.tmp");
        output.extents = tarnby::walkProfile(model, tarnby::planProfileWalk(model.EAST, model.NORTH),
                                             xyz, points,
                                             [&](std::int32_t count) { output.progress.push_back(count); });
        EXPECT_TRUE(xyz.close());
        points.close();
    }
    output.rows = tests::readFileBytes("rows.xyz");
    const std::string bytes = tests::readFileBytes("points.tmp");
    output.points.resize(bytes.size() / sizeof(float));
    std::memcpy(output.points.data(), bytes.data(), output.points.size() * sizeof(float));
    EXPECT_EQ(bytes.size() % sizeof(float), 0u);
    return output;
}

TEST(ProfileWalkTest, ConductivitiesOutsideTheirRangeAreLeftOut) {
    tests::TempFolder folder;
    tarnby::ModelData model;
    model.layers = tarnby::deriveLayerTable({10.0f});  // depths -5 and -15
    model.NSOUND = 3;
    model.EAST = {200.0f, 100.0f, 0.0f};  // running west: walked from the last sounding
    model.NORTH = {0.0f, 0.0f, 0.0f};
    const float nan = std::numeric_limits<float>::quiet_NaN();
    model.MODVAL = {0.1f, 5000.0f, nan, 0.2f, 5000.5f, 2.0f};

    const WalkOutput output = walk(model);

    EXPECT_EQ(output.rows,
              "       0.0,       0.0,       0.0,   -15.00,  0.2000E+01,  0.5000E+00, -0.3010E+00\n"
              "     100.0,     100.0,       0.0,   -15.00,  0.2000E+00,  0.5000E+01,  0.6990E+00\n"
              "     200.0,     200.0,       0.0,   -15.00,  0.5000E+04,  0.2000E-03, -0.3699E+01\n");
    EXPECT_EQ(output.extents.rowCount, 3);
    EXPECT_EQ(output.extents.VMIN, 0.2f);
    EXPECT_EQ(output.extents.ZLO, -15.0f);  // without topography: the layer depths
    EXPECT_EQ(output.extents.ZHI, -5.0f);
    EXPECT_EQ(output.extents.XLO, 0.0f);
    EXPECT_EQ(output.extents.XHI, 200.0f);
    EXPECT_EQ(output.extents.lastDIST, 200.0f);

    // One record per row: easting (x axis), depth, Con, Res, LogRes.
    ASSERT_EQ(output.points.size(), 15u);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(output.points[0]), std::bit_cast<std::uint32_t>(0.0f));
    EXPECT_EQ(output.points[1], -15.0f);
    EXPECT_EQ(output.points[2], 2.0f);
    EXPECT_EQ(output.points[3], 0.5f);
    // log10 of a float is within an ulp of the true value, whatever the maths library.
    EXPECT_NEAR(output.points[4], -0.30103f, 1.0e-6f);
    EXPECT_EQ(output.points[10], 200.0f);
    EXPECT_EQ(output.points[12], 5000.0f);
    EXPECT_TRUE(output.progress.empty());
}

TEST(ProfileWalkTest, SusceptibilitiesAreAllWrittenAtTheirElevations) {
    tests::TempFolder folder;
    tarnby::ModelData model;
    model.kind = tarnby::ModelKind::susceptibility;
    model.hasTopography = true;
    model.layers = tarnby::deriveLayerTable({4.0f});  // depths -2 and -6
    model.NSOUND = 2;
    model.EAST = {0.0f, 30.0f};
    model.NORTH = {0.0f, 40.0f};
    model.TOPO = {100.0f, 90.0f};
    model.MODVAL = {0.0f, -3.0f, 12.5f, 7.0f};

    const WalkOutput output = walk(model);

    EXPECT_EQ(output.rows,
              "       0.0,       0.0,       0.0,    -2.00,    98.00,  0.0000E+00\n"
              "       0.0,       0.0,       0.0,    -6.00,    94.00, -0.3000E+01\n"
              "      50.0,      30.0,      40.0,    -2.00,    88.00,  0.1250E+02\n"
              "      50.0,      30.0,      40.0,    -6.00,    84.00,  0.7000E+01\n");
    EXPECT_EQ(output.extents.VMIN, -3.0f);
    EXPECT_EQ(output.extents.ZLO, 84.0f);  // with topography: the RL of the points
    EXPECT_EQ(output.extents.ZHI, 98.0f);
    EXPECT_EQ(output.extents.XHI, 50.0f);
    // Distance along the line across, RL upward, one channel.
    EXPECT_EQ(output.points, (std::vector<float>{0.0f, 98.0f, 0.0f, 0.0f, 94.0f, -3.0f,
                                                 50.0f, 88.0f, 12.5f, 50.0f, 84.0f, 7.0f}));
}

TEST(ProfileWalkTest, ProgressIsReportedEveryThousandRows) {
    tests::TempFolder folder;
    tarnby::ModelData model;
    model.kind = tarnby::ModelKind::susceptibility;
    model.layers = tarnby::deriveLayerTable({1.0f, 1.0f, 1.0f, 1.0f});  // 5 layers
    model.NSOUND = 500;
    for (int i = 0; i < model.NSOUND; ++i) {
        model.EAST.push_back(static_cast<float>(i));
        model.NORTH.push_back(0.0f);
    }
    model.MODVAL.assign(2500, 1.0f);

    const WalkOutput output = walk(model);

    EXPECT_EQ(output.extents.rowCount, 2500);
    EXPECT_EQ(output.progress, (std::vector<std::int32_t>{1000, 2000}));
}

}  // namespace
