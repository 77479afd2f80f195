// The grids of one pass: names, raster transforms and the calls into the
// gridding library with their arguments, in order.
#include "vosklar/model_grids.hpp"

#include <gtest/gtest.h>

#include "vosklar/recording_grid_calls.hpp"

namespace vosklar {
namespace {

using Integers = std::vector<std::int32_t>;
using Reals = std::vector<float>;
constexpr float kNull = -1.0E32f;

TEST(ModelGridsTest, GridNamesFollowTheListFileAndThePass) {
    EXPECT_EQ(gridBaseName("line5.lst"), "line5");
    EXPECT_EQ(gridBaseName("line5"), "");
    EXPECT_EQ(gridBaseName("survey.line5.lst"), "survey");
    EXPECT_EQ(gridName("", PassKind::first, "res_NN"), "_res_NN.grd");
    const std::string datfil = pointDataArgument();
    ASSERT_EQ(datfil.size(), 256u);
    EXPECT_EQ(datfil.substr(0, 11), std::string("tmpdat.tmp\0", 11));
    EXPECT_EQ(datfil.find_first_not_of(' ', 11), std::string::npos);
}

struct PassRun {
    vosklar_tests::RecordingGridCalls grids;
    std::string console;
    std::string diagnostics;
    std::int32_t failures = 0;
};

// A 2 x 2 raster of resistivity 2, 4 (row 1), null, 0 (row 2).
void runGrids(PassRun& run, PassKind pass) {
    const ModelGridGeometry geometry{97.5f, -22.5f, 5.0f, 2, 2};
    ModelRaster raster(geometry);
    raster.nodes() = {2.0f, 4.0f, kNull, 0.0f};
    char name[] = "vosklar";
    char* argv[] = {name, nullptr};
    common::Console console(1, argv);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    run.failures = writePassGrids({pass, "line5", geometry, 50.0f}, raster, run.grids, console);
    console.flush();
    run.console = testing::internal::GetCapturedStdout();
    run.diagnostics = testing::internal::GetCapturedStderr();
}

TEST(ModelGridsTest, FirstPassWritesThreeRasterGridsThenThreePointGrids) {
    PassRun run;
    runGrids(run, PassKind::first);
    EXPECT_EQ(run.failures, 0);
    EXPECT_EQ(run.console,
              "  Gridding NN resistivity\n  Gridding NN conductivity data\n  Gridding NN log resistivity\n"
              "  Gridding conductivity data\n  Gridding resistivity\n  Gridding log resistivity\n");
    const std::vector<vosklar_tests::GridCall>& calls = run.grids.calls;
    ASSERT_EQ(calls.size(), 6u);
    const char* names[] = {"line5_res_NN.grd", "line5_con_NN.grd", "line5_logres_NN.grd",
                           "line5_con.grd",    "line5_res.grd",    "line5_logres.grd"};
    for (std::size_t index = 0; index < 3; ++index) {
        EXPECT_EQ(calls[index].routine, "GEOOUT");
        EXPECT_EQ(calls[index].OUTGRD, names[index]);
        EXPECT_EQ(calls[index].integers, (Integers{2, 2, 1, -2}));  // NX, NY, ITRANS, KXFLAG
        EXPECT_EQ(calls[index].reals, (Reals{97.5f, -22.5f, 5.0f, 5.0f, kNull}));
    }
    // The raster holds resistivity, conductivity, then log10 resistivity; a
    // node of 0 has no finite inverse or logarithm and becomes null.
    EXPECT_EQ(calls[0].ZGRID, (Reals{2.0f, 4.0f, kNull, 0.0f}));
    EXPECT_EQ(calls[1].ZGRID, (Reals{0.5f, 0.25f, kNull, kNull}));
    EXPECT_NEAR(calls[2].ZGRID[0], 0.30103f, 1e-6f);  // float log10(2), within an ulp or two
    EXPECT_EQ(calls[2].ZGRID[3], kNull);
    // MINC: ZCHAN 1 and 2 as logarithms, 3 as is; 3 channels; status 0 on entry.
    const Integers expected[] = {{2, 2, 2, -2, 1, 3, 0}, {2, 2, 2, -2, 2, 3, 0}, {2, 2, 1, -2, 3, 3, 0}};
    for (std::size_t index = 0; index < 3; ++index) {
        const vosklar_tests::GridCall& call = calls[3 + index];
        EXPECT_EQ(call.OUTGRD, names[3 + index]);
        EXPECT_EQ(call.integers, expected[index]);
        EXPECT_EQ(call.reals, (Reals{97.5f, -22.5f, 5.0f, 5.0f, kNull, 50.0f, 0.0f}));  // ..., RADIUS, ANGLE
        EXPECT_EQ(call.DATFIL, pointDataArgument());
    }
}

TEST(ModelGridsTest, NorthingPassFlipsEachGridAndReportsAFailedOneOnce) {
    PassRun run;
    run.grids.mincStatus = [](const std::string& name) { return name == "line5_Ncon.grd" ? -1002 : 0; };
    runGrids(run, PassKind::northing);
    const char* written[] = {"line5_Nres_NN.grd", "line5_Ncon_NN.grd", "line5_Nlogres_NN.grd",
                             "line5_Ncon.grd",    "line5_Nres.grd",    "line5_Nlogres.grd"};
    const std::vector<vosklar_tests::GridCall>& calls = run.grids.calls;
    ASSERT_EQ(calls.size(), 12u);
    for (std::size_t index = 0; index < 6; ++index) {
        EXPECT_EQ(calls[2 * index].OUTGRD, written[index]);
        EXPECT_EQ(calls[2 * index + 1].routine, "GEOFLIP");
        EXPECT_EQ(calls[2 * index + 1].INGRD, written[index]);
        EXPECT_EQ(calls[2 * index + 1].OUTGRD, flippedGridName(written[index]));
    }
    // The failed call's status reaches the next call as its iteration limit.
    EXPECT_EQ(calls[8].integers.back(), -1002);
    EXPECT_EQ(run.failures, 1);
    EXPECT_NE(run.diagnostics.find("line5_Ncon.grd was not made: gridding status -1002"), std::string::npos)
        << run.diagnostics;
    EXPECT_EQ(run.diagnostics.find("_rot"), std::string::npos) << run.diagnostics;  // nothing to flip: not named again
}

}  // namespace
}  // namespace vosklar
