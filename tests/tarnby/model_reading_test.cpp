// Reading of the inversion model file: the choice of mode, the layer table
// derived from the thicknesses and the header lines. (The free-format records
// of soundings and topography are read end to end, on southline_con.mod.)
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/console.hpp"
#include "common/line_reader.hpp"
#include "support/temp_folder.hpp"
#include "tarnby/layer_table.hpp"
#include "tarnby/model_header.hpp"
#include "tarnby/start_up.hpp"

namespace {

using tarnby::ModelKind;

// A console without arguments, for the stages that show counts.
struct QuietConsole {
    char programName[7] = "tarnby";
    char* argv[1] = {programName};
    common::Console console{1, argv};
};

TEST(ModelKindTest, OnlyUpperOrLowerSusAnywhereInTheNameSelectsSusceptibility) {
    EXPECT_EQ(tarnby::modelKindFromName("line_SUS.con"), ModelKind::susceptibility);
    EXPECT_EQ(tarnby::modelKindFromName("sus/line.con"), ModelKind::susceptibility);
    EXPECT_EQ(tarnby::modelKindFromName("ubc4y350_sus.mod"), ModelKind::susceptibility);
    EXPECT_EQ(tarnby::modelKindFromName("Sus.con"), ModelKind::conductivity);
    EXPECT_EQ(tarnby::modelKindFromName("line7_con.con"), ModelKind::conductivity);
}

TEST(LayerTableTest, WorkedExampleOfFourLayers) {
    // Thicknesses 10, 20, 40: mid-depths -5, -20, -50, and the half-space one
    // last thickness below -50.
    const tarnby::LayerTable table = tarnby::deriveLayerTable({10.0f, 20.0f, 40.0f});
    EXPECT_EQ(table.NLAYER, 4);
    EXPECT_EQ(table.DEPTH, (std::vector<float>{-5.0f, -20.0f, -50.0f, -90.0f}));
    EXPECT_EQ(table.radiusSeed, 200.0f);
    EXPECT_EQ(table.DZ, 10.0f);
}

TEST(LayerTableTest, TwoLayersAndAThinTopLayer) {
    const tarnby::LayerTable two = tarnby::deriveLayerTable({6.0f});
    EXPECT_EQ(two.NLAYER, 2);
    EXPECT_EQ(two.DEPTH, (std::vector<float>{-3.0f, -9.0f}));  // -t/2 and -1.5t
    EXPECT_EQ(two.radiusSeed, 30.0f);

    // Rows are never finer than 1.0, while the depth keeps the true thickness.
    const tarnby::LayerTable thin = tarnby::deriveLayerTable({0.5f, 2.0f});
    EXPECT_EQ(thin.DZ, 1.0f);
    EXPECT_EQ(thin.DEPTH[0], -0.25f);
    EXPECT_EQ(thin.DEPTH[1], -1.5f);  // -0.25 - (0.5 + 2) / 2
    EXPECT_EQ(thin.DEPTH[2], -3.5f);
}

TEST(ModelHeaderTest, CountsAreTheFirstValuesAfterTheColons) {
    tests::TempFolder folder;
    tests::writeFileBytes("model.con",
                          " Number of layers: 5 layers in all, see below\r\n"
                          " Layer thicknesses (m):   1.5  2.5     3.5 4.5  99.0\r\n"
                          " Number of soundings:   2 of them\r\n"
                          " Sounding x- & y-coordinates ...\r\n"
                          "first record\r\n");
    common::LineReader file("model.con");
    QuietConsole quiet;
    const tarnby::ModelHeader header = tarnby::readModelHeader(file, quiet.console);

    EXPECT_EQ(header.layers.NLAYER, 5);
    EXPECT_EQ(header.layers.THICK, (std::vector<float>{1.5f, 2.5f, 3.5f, 4.5f}));
    EXPECT_EQ(header.NSOUND, 2);
    std::string_view next;
    ASSERT_TRUE(file.next(next));
    EXPECT_EQ(next, "first record");  // the table header line was skipped
}

}  // namespace
