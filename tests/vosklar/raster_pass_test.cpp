// The raster pass, worked by hand on small models: nearest-neighbour filling,
// point data records and xyz rows.
#include "vosklar/raster_pass.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "support/temp_folder.hpp"
#include "vosklar/result_files.hpp"

namespace vosklar {
namespace {

using Rows = std::vector<std::vector<float>>;
constexpr float kNull = -1.0E32f;

struct PassResult {
    Rows raster;  // [row - 1][column - 1]
    Rows points;  // point data records
    std::string xyz;
    std::vector<StationTableEntry> stations;
    bool warned = false;
};

PassResult runPass(const std::vector<ModelLayerRecord>& records, const ModelGridGeometry& geometry,
                   GridAxis axis = GridAxis::station) {
    tests::TempFolder folder;
    PassResult result;
    ModelLayerFile layers;
    for (const ModelLayerRecord& record : records) layers.append(record);
    ModelRaster raster(geometry);
    UngriddableValueWarning warning;
    {
        common::FloatRecordFile pointData(kPointDataFileName);
        common::TextWriter xyz("out.xyz");
        RasterPass pass(geometry, axis, raster, {pointData, &xyz, &result.stations, warning});
        runRasterPass(layers, static_cast<std::int32_t>(records.size()), pass);
        xyz.close();
        pointData.close();
    }
    for (std::int32_t row = 1; row <= geometry.NROW; ++row) {
        result.raster.emplace_back();
        for (std::int32_t column = 1; column <= geometry.NCOL; ++column)
            result.raster.back().push_back(raster.at(column, row));
    }
    result.points = vosklar_tests::floatRecords(tests::readFileBytes(kPointDataFileName), 5);
    result.xyz = tests::readFileBytes("out.xyz");
    result.warned = warning.raised();
    return result;
}

ModelLayerRecord layer(float station, float thickness, float resistivity, float rl = kNull) {
    return {station, 0.0f, 0.0f, rl, thickness, resistivity};
}

// Stations 100 and 110, cell 5: columns at 97.5 .. 112.5, rows at -22.5 .. 2.5.
const ModelGridGeometry kTwoStationGrid{97.5f, -22.5f, 5.0f, 4, 6};
// One row, columns at 1 .. 7.
const ModelGridGeometry kSevenColumnGrid{0.5f, -22.5f, 1.0f, 7, 1};

TEST(RasterPassTest, PointsGoUpwardAndXyzRowsDownwardForEveryCoveredRow) {
    const PassResult result = runPass({layer(100, 10, 100, 0.0f), layer(100, -1, 1000, 0.0f)}, kTwoStationGrid);
    // x is the station itself, not the column centre 97.5.
    EXPECT_EQ(result.points, (Rows{{100, -12.5f, 0.01f, 100, 2},
                                   {100, -7.5f, 0.01f, 100, 2},
                                   {100, -2.5f, 0.01f, 100, 2},
                                   {100, -22.5f, 0.001f, 1000, 3},
                                   {100, -17.5f, 0.001f, 1000, 3},
                                   {100, -12.5f, 0.001f, 1000, 3}}));
    EXPECT_EQ(result.xyz,
              "     100.0       0.0       0.0      -2.5  0.1000E-01  0.1000E+03  0.2000E+01\n"
              "     100.0       0.0       0.0      -7.5  0.1000E-01  0.1000E+03  0.2000E+01\n"
              "     100.0       0.0       0.0     -12.5  0.1000E-01  0.1000E+03  0.2000E+01\n"
              "     100.0       0.0       0.0     -12.5  0.1000E-02  0.1000E+04  0.3000E+01\n"
              "     100.0       0.0       0.0     -17.5  0.1000E-02  0.1000E+04  0.3000E+01\n"
              "     100.0       0.0       0.0     -22.5  0.1000E-02  0.1000E+04  0.3000E+01\n");
}

TEST(RasterPassTest, ColumnsBetweenStationsGoToTheNearerSplitAtTheTruncatedMidpoint) {
    // Columns 1, 5, 6: between 1 and 5 the split is 3 (column 2 copies 1);
    // between 5 and 6 it is 5, so column 5 goes to the third station; column
    // 7 copies the last one.
    EXPECT_EQ(runPass({layer(1, -1, 10), layer(5, -1, 50), layer(6, -1, 60)}, kSevenColumnGrid).raster,
              (Rows{{10, 10, 50, 50, 60, 60, 60}}));
    // A station left of the previous one (5, then 2): its span 3..2 is empty
    // and the final copy of column 2 carries the first station's model.
    EXPECT_EQ(runPass({layer(5, -1, 50), layer(2, -1, 20)}, kSevenColumnGrid).raster,
              (Rows{{50, 50, 50, 50, 50, 50, 50}}));
}

TEST(RasterPassTest, StationOutsideTheRasterFillsNothingAndIsNeverCopied) {
    // A profile pass spans the first and last station only; the middle one
    // (easting 20, column 20) lies outside. Columns 4..10 copy column 3; its
    // own span 11..20 and the next station's copy from column 20 fall outside.
    const PassResult result = runPass({{1, 3, 0, kNull, -1, 30}, {2, 20, 0, kNull, -1, 200}, {3, 7, 0, kNull, -1, 70}},
                                      kSevenColumnGrid, GridAxis::easting);
    EXPECT_EQ(result.raster, (Rows{{30, 30, 30, 30, 30, 30, 30}}));
    ASSERT_EQ(result.points.size(), 3u);  // each still writes its point for the one row
    EXPECT_EQ(result.points[1][0], 20.0f);
}

TEST(RasterPassTest, ZeroOrNegativeResistivityNeverReachesThePointsAsNanOrInfinity) {
    const PassResult result = runPass({layer(100, -1, 0.0f), layer(110, -1, -4.0f)}, kTwoStationGrid);
    EXPECT_TRUE(result.warned);
    ASSERT_EQ(result.points.size(), 10u);  // rows 5 down to 1 each
    for (const std::vector<float>& point : result.points) {
        for (float value : point) EXPECT_TRUE(std::isfinite(value)) << value;
    }
    EXPECT_EQ(result.points[0], (std::vector<float>{100, -22.5f, kNull, 0.0f, kNull}));
    EXPECT_EQ(result.points[5], (std::vector<float>{110, -22.5f, -0.25f, -4.0f, kNull}));
    EXPECT_NE(result.xyz.find("Inf"), std::string::npos) << result.xyz;  // the row shows the value as it is
}

}  // namespace
}  // namespace vosklar
