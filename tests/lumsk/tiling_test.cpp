// Block layouts chosen by PRTISH with the gridder's limits: 256000 work
// values (32000 nodes a block) and edge stores of 3600 values.
#include <gtest/gtest.h>

#include <cstdint>

#include "lumsk/status.hpp"
#include "lumsk/tiling.hpp"

namespace {

struct Layout {
    std::int32_t NCB = -7;
    std::int32_t NRB = -7;
    std::int32_t NSECT = -7;
    std::int32_t NTIER = -7;
    std::int32_t ISTAT = 55;
};

Layout tile(std::int32_t NXT, std::int32_t NYT, std::int32_t NOVL = 10, std::int32_t MAXPTS = 256000,
            std::int32_t MAXEDG = 3600) {
    Layout layout;
    lumsk::PRTISH(MAXPTS, MAXEDG, NXT, NYT, layout.NCB, layout.NRB, layout.NSECT, layout.NTIER, NOVL, layout.ISTAT);
    return layout;
}

void expectLayout(const Layout& layout, int sections, int tiers, int columns, int rows) {
    EXPECT_EQ(layout.NSECT, sections);
    EXPECT_EQ(layout.NTIER, tiers);
    EXPECT_EQ(layout.NCB, columns);
    EXPECT_EQ(layout.NRB, rows);
    EXPECT_EQ(layout.ISTAT, 55) << "a layout that fits leaves the status alone";
}

TEST(Tiling, SmallGridsAreOneBlock) {
    expectLayout(tile(104, 104), 1, 1, 104, 104);
    // Wider than 5:1, still one block: fewer blocks beat squareness.
    expectLayout(tile(304, 54), 1, 1, 304, 54);
}

TEST(Tiling, FewerBlocksWinOverSquareOnes) {
    // The squarest is 3 x 3 blocks of 142; 1 x 6 blocks of 404 x 76 come
    // first among the layouts of fewer blocks, and none has fewer than 6.
    expectLayout(tile(404, 404), 1, 6, 404, 76);
}

TEST(Tiling, LongGridsCutAlongTheirLength) {
    expectLayout(tile(2004, 64), 11, 1, 192, 64);
    expectLayout(tile(14, 1004), 1, 28, 14, 46);
    // With the overlap narrowed to 5 the same grid needs fewer tiers.
    expectLayout(tile(14, 1004, 5), 1, 25, 14, 45);
}

TEST(Tiling, LargeGridsAndTheirBlockCounts) {
    const Layout large = tile(4004, 4004);
    expectLayout(large, 23, 25, 184, 170);
    EXPECT_EQ(large.NSECT * large.NTIER, 575);
    // Blocks overlap by 10 and together cover the padded grid.
    EXPECT_GE((large.NCB - 10) * (large.NSECT - 1) + large.NCB, 4004);
    EXPECT_GE((large.NRB - 10) * (large.NTIER - 1) + large.NRB, 4004);
    // Far more blocks than the gridder holds: refusing them is left to it.
    const Layout huge = tile(40004, 40004);
    EXPECT_EQ(huge.NSECT, 237);
    EXPECT_EQ(huge.NTIER, 239);
    EXPECT_EQ(huge.ISTAT, 55);
}

TEST(Tiling, TiesKeepTheFirstCandidate) {
    // 12 x 1055: columns are 12 (one section) or 11; the tiers start at 5
    // and 35 and 36 tiers both give blocks of 40 rows (1045/35 + 0.9999 and
    // 1045/36 + 0.9999 both truncate to 30). 12/40 is the squarest block,
    // found first with 35 tiers; no block's width-to-height ratio exceeds
    // 0.3 (12/40 is 0.3 itself), so no layout of fewer blocks may replace it.
    expectLayout(tile(12, 1055), 1, 35, 12, 40);
}

TEST(Tiling, NothingFits) {
    // Blocks of at least one node cannot have room for none, nor edges
    // whose three rows exceed the store.
    for (const Layout& layout : {tile(100, 100, 10, 7), tile(100, 100, 10, 256000, 2)}) {
        EXPECT_EQ(layout.ISTAT, lumsk::kStatusNoBlockLayout);
        EXPECT_EQ(layout.NSECT, 0);
        EXPECT_EQ(layout.NCB, -7);
        EXPECT_EQ(layout.NRB, -7);
        EXPECT_EQ(layout.NTIER, -7);
    }
}

}  // namespace
