// The model grids: geometry from the walk's extents, grid file names from the
// model file's name, and the arguments of every MINC call, seen through a
// recorder standing in for the gridding library.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "common/console.hpp"
#include "tarnby/grid_geometry.hpp"
#include "tarnby/layer_table.hpp"
#include "tarnby/model_grids.hpp"

namespace {

std::uint32_t bits(float value) { return std::bit_cast<std::uint32_t>(value); }

TEST(GridGeometryTest, WorkedExampleOnTheDistanceAxis) {
    // A 1000 m line of 100 soundings over the layers 10, 20, 40 (depths -5 to -90).
    tarnby::WalkExtents extents;
    extents.XLO = 0.0f;
    extents.XHI = 1000.0f;
    extents.lastDIST = 1000.0f;
    extents.ZLO = -90.0f;
    extents.ZHI = -5.0f;
    const tarnby::GridGeometry geometry =
        tarnby::modelGridGeometry(100, tarnby::deriveLayerTable({10.0f, 20.0f, 40.0f}), extents);

    EXPECT_EQ(geometry.DX, 10.0f);
    EXPECT_EQ(geometry.DY, 10.0f);
    EXPECT_EQ(geometry.RADIUS, 200.0f);  // the seed beats 10 x DX = 100
    EXPECT_EQ(geometry.X0, -5.0f);
    EXPECT_EQ(geometry.NCOL, 102);       // 101, plus one since 995 < 1000
    EXPECT_EQ(geometry.Y0, -95.0f);
    EXPECT_EQ(geometry.NROW, 10);        // -5 < -5 fails: no extra row
}

TEST(GridGeometryTest, ShortLineKeepsCellsOfOneMetreAndTenCellsOfReach) {
    tarnby::WalkExtents extents;
    extents.XLO = 0.0f;
    extents.XHI = 20.0f;
    extents.lastDIST = 20.0f;
    extents.ZLO = 84.0f;  // elevations of the points, as with topography
    extents.ZHI = 98.0f;
    const tarnby::GridGeometry geometry =
        tarnby::modelGridGeometry(29, tarnby::deriveLayerTable({4.0f, 1.0f}), extents);

    EXPECT_EQ(geometry.DX, 1.0f);
    EXPECT_EQ(geometry.RADIUS, 10.0f);  // 10 x DX beats the seed 5 x 1
    EXPECT_EQ(geometry.X0, -0.5f);
    EXPECT_EQ(geometry.NCOL, 22);       // a whole number of cells: the last column lies beyond XHI
    EXPECT_EQ(geometry.Y0, 82.0f);
    EXPECT_EQ(geometry.NROW, 5);        // rows at 82, 86, 90, 94, 98
}

TEST(GridNameTest, NamesAreBuiltFromTheTextBeforeTheFirstDot) {
    using tarnby::modelGridName;
    EXPECT_EQ(modelGridName("line7_con.con", 1), "line7_con.grd");
    EXPECT_EQ(modelGridName("line7_con.con", 2), "line7_res.grd");
    EXPECT_EQ(modelGridName("line7_con.con", 3), "line7_logres.grd");
    EXPECT_EQ(modelGridName("data/l7_con.con", 2), "data/l7_res.grd");
    // No dot, or a dot in the folder part: the grids land in the working folder.
    EXPECT_EQ(modelGridName("model", 1), ".grd");
    EXPECT_EQ(modelGridName("model", 2), "res.grd");
    EXPECT_EQ(modelGridName("../m_con.con", 1), ".grd");
    EXPECT_EQ(modelGridName("../m_con.con", 3), "logres.grd");
    // A stem of three characters or fewer leaves nothing before "res".
    EXPECT_EQ(modelGridName("abc.con", 2), "res.grd");
    EXPECT_EQ(modelGridName("abcd.con", 2), "ares.grd");
}

// Stands in for the library: keeps a copy of every call's arguments and
// answers with the statuses it is given, in turn.
struct MincRecorder {
    std::vector<lumsk::MincRequest> calls;
    std::vector<std::int32_t> answers;

    tarnby::MincCall call() {
        return [this](lumsk::MincRequest& arguments) {
            calls.push_back(arguments);
            arguments.ISTAT = calls.size() <= answers.size() ? answers[calls.size() - 1] : 0;
        };
    }
};

struct QuietConsole {
    char programName[7] = "tarnby";
    char* argv[1] = {programName};
    common::Console console{1, argv};
};

tarnby::ModelData smallModel(tarnby::ModelKind kind) {
    tarnby::ModelData model;
    model.kind = kind;
    model.layers = tarnby::deriveLayerTable({10.0f, 20.0f, 40.0f});
    model.NSOUND = 100;
    return model;
}

tarnby::WalkExtents workedExtents(float VMIN) {
    tarnby::WalkExtents extents;
    extents.XHI = 1000.0f;
    extents.lastDIST = 1000.0f;
    extents.ZLO = -90.0f;
    extents.ZHI = -5.0f;
    extents.VMIN = VMIN;
    extents.rowCount = 400;
    return extents;
}

TEST(ModelGridsTest, ConductivityGridsChannelsOneToThree) {
    MincRecorder recorder;
    QuietConsole quiet;
    EXPECT_TRUE(tarnby::makeModelGrids(smallModel(tarnby::ModelKind::conductivity), "line7_con.con",
                                       workedExtents(2.0f), quiet.console, recorder.call()));

    ASSERT_EQ(recorder.calls.size(), 3u);
    const std::string datfil = std::string("tmpdat.tmp") + '\0' + std::string(69, ' ');
    const std::vector<std::string> names{"line7_con.grd", "line7_res.grd", "line7_logres.grd"};
    for (std::size_t k = 0; k < 3; ++k) {
        const lumsk::MincRequest& call = recorder.calls[k];
        SCOPED_TRACE("grid " + std::to_string(k + 1));
        EXPECT_EQ(call.OUTGRD, names[k] + std::string(80 - names[k].size(), ' '));
        EXPECT_EQ(call.DATFIL, datfil);
        EXPECT_EQ(call.ZCHAN, static_cast<std::int32_t>(k + 1));
        EXPECT_EQ(call.MAXCHN, 3);
        // Con and Res are gridded as logarithms, LogRes as it stands.
        EXPECT_EQ(lumsk::transformCode(call.ITRANS), k < 2 ? 2 : 1);
        EXPECT_EQ(call.KXFLAG, 1);
        EXPECT_EQ(bits(call.DNULL), 0xF49DC5AEu);  // -1.0E32
        EXPECT_EQ(call.ANGLE, 0.0f);
        EXPECT_EQ(call.ISTAT, 0);
        // The geometry of the worked example above, the same for every grid.
        EXPECT_EQ(call.NCOL, 102);
        EXPECT_EQ(call.NROW, 10);
    }
}

TEST(ModelGridsTest, SusceptibilityIsOneGridAsLogarithmsOnlyWhenAllValuesArePositive) {
    for (const float VMIN : {0.5f, 0.0f, -1.0f}) {
        MincRecorder recorder;
        QuietConsole quiet;
        EXPECT_TRUE(tarnby::makeModelGrids(smallModel(tarnby::ModelKind::susceptibility),
                                           "line7_sus.sus", workedExtents(VMIN), quiet.console,
                                           recorder.call()));
        ASSERT_EQ(recorder.calls.size(), 1u);
        EXPECT_EQ(recorder.calls[0].OUTGRD.substr(0, 14), "line7_sus.grd ");
        EXPECT_EQ(recorder.calls[0].MAXCHN, 1);
        EXPECT_EQ(recorder.calls[0].ZCHAN, 1);
        EXPECT_EQ(lumsk::transformCode(recorder.calls[0].ITRANS), VMIN > 0.0f ? 2 : 1) << "VMIN " << VMIN;
    }
}

TEST(ModelGridsTest, AFailedGridIsFollowedByTheOthersWithItsStatus) {
    MincRecorder recorder;
    recorder.answers = {-1002, 0, 0};
    QuietConsole quiet;
    EXPECT_FALSE(tarnby::makeModelGrids(smallModel(tarnby::ModelKind::conductivity), "a_con.con",
                                        workedExtents(2.0f), quiet.console, recorder.call()));
    ASSERT_EQ(recorder.calls.size(), 3u);
    EXPECT_EQ(recorder.calls[1].ISTAT, -1002);  // the status is not reset between grids
    EXPECT_EQ(recorder.calls[2].ISTAT, 0);
}

}  // namespace
