// Outline clipping of the mask (RADCLP) in both builds. Every expected mask
// below was worked out by hand from the rules: extents, clip outline with bay
// closing, bridges, and the final clip against the row and column spans.
#include "lumsk/outline_clip.hpp"

#include <gtest/gtest.h>

#include "lumsk/mask_fixture.hpp"
#include "support/temp_folder.hpp"

namespace {

using lumsk::LibraryBuild;
using tests::MaskFixture;
using tests::MaskPicture;

// Runs RADCLP with work areas carved as MINC carves them.
bool clip(MaskFixture& mask, std::int32_t r, std::int32_t MAXOUT = 1000) {
    const std::int32_t MC = mask.columns;
    const std::int32_t MR = mask.rows;
    std::vector<std::int32_t> work(static_cast<std::size_t>(3 * MC + 2 * MR + 2 * MAXOUT));
    std::int32_t* words = work.data();
    return lumsk::RADCLP(mask.state, mask.file, MC, MR, 2 * r + 1, MAXOUT, words, words + MC,
                         words + MC + 2 * MR, words + 3 * MC + 2 * MR);
}

// r = 2, examined rows and columns 2..8: data in column 5, rows 4..6, in a
// field of reach codes.
const MaskPicture kSingleColumn = {"000000000", "022222220", "022222220", "022212220", "022212220",
                                   "022212220", "022222220", "022222220", "000000000"};

TEST(OutlineClip, SingleDataColumnIsLeftAloneByTheNarrowBuild) {
    tests::TempFolder folder;
    MaskFixture mask(kSingleColumn, LibraryBuild::narrowOutline);
    EXPECT_TRUE(clip(mask, 2));
    // The bottom side of the outline holds one point: nothing is clipped.
    EXPECT_EQ(mask.read(), kSingleColumn);
}

TEST(OutlineClip, SingleDataColumnIsClippedByTheWideBuild) {
    tests::TempFolder folder;
    MaskFixture mask(kSingleColumn, LibraryBuild::wideOutline);
    EXPECT_TRUE(clip(mask, 2));
    // Columns 4..6 take spans rows 3..7 (widened 2..8); rows 3..7 span
    // columns 4..6 (widened 3..7); rows 2 and 8 keep empty spans.
    const MaskPicture expected = {"000000000", "000000000", "000222000", "000212000", "000212000",
                                  "000212000", "000222000", "000000000", "000000000"};
    EXPECT_EQ(mask.read(), expected);
}

TEST(OutlineClip, WithoutDataEveryExaminedCellIsCleared) {
    for (LibraryBuild build : {LibraryBuild::narrowOutline, LibraryBuild::wideOutline}) {
        tests::TempFolder folder;
        // r = 2: rows and columns 2..6 are examined, the outer ring is not.
        MaskFixture mask({"2222222", "2222222", "2222222", "2222222", "2222222", "2222222", "2222222"}, build);
        EXPECT_TRUE(clip(mask, 2));
        const MaskPicture expected = {"2222222", "2000002", "2000002", "2000002", "2000002", "2000002", "2222222"};
        EXPECT_EQ(mask.read(), expected);
    }
}

// r = 2, examined rows 2..6 and columns 2..14: data cells in row 4 at
// columns 4, 6 (a gap of r) and 10 (a gap of 4 beyond column 6).
const MaskPicture kThreeCells = {"000000000000000", "022222222222220", "022222222222220", "022121222122220",
                                 "022222222222220", "022222222222220", "000000000000000"};

TEST(OutlineClip, NarrowBuildBridgesGapsUpToTheRadiusOnly) {
    tests::TempFolder folder;
    MaskFixture mask(kThreeCells, LibraryBuild::narrowOutline);
    EXPECT_TRUE(clip(mask, 2));
    // Column 5 is bridged from columns 4 and 6; columns 7..9 lie in an open
    // gap and lose their spans; column 11 never had one.
    const MaskPicture expected = {"000000000000000", "000000000000000", "000000000000000", "000121000100000",
                                  "000000000000000", "000000000000000", "000000000000000"};
    EXPECT_EQ(mask.read(), expected);
}

TEST(OutlineClip, WideBuildSpreadsSpansToNeighbouringRowsAndColumns) {
    tests::TempFolder folder;
    MaskFixture mask(kThreeCells, LibraryBuild::wideOutline);
    EXPECT_TRUE(clip(mask, 2));
    // Rows 3..5 and columns 3..7 and 9..11 get spans; the gap from column 7
    // to 9 is now within the radius and column 8 is bridged.
    const MaskPicture expected = {"000000000000000", "000000000000000", "002222222220000", "002121222120000",
                                  "002222222220000", "000000000000000", "000000000000000"};
    EXPECT_EQ(mask.read(), expected);
}

TEST(OutlineClip, BayWithAMouthWithinTheRadiusIsClosed) {
    tests::TempFolder folder;
    // r = 2: an arch of data open downward, columns 4 and 6 in rows 4..7 and
    // column 5 in row 7 only. The reach cells of column 5, rows 4..6, lie in
    // the bay and keep their code.
    const MaskPicture arch = {"000000000", "022222220", "022222220", "022121220", "022121220",
                              "022121220", "022111220", "022222220", "022222220", "000000000"};
    MaskFixture mask(arch, LibraryBuild::narrowOutline);
    EXPECT_TRUE(clip(mask, 2));
    const MaskPicture expected = {"000000000", "000000000", "000000000", "000121000", "000121000",
                                  "000121000", "000111000", "000000000", "000000000", "000000000"};
    EXPECT_EQ(mask.read(), expected);
}

TEST(OutlineClip, OutlineLongerThanItsRoomLeavesTheMaskAlone) {
    tests::TempFolder folder;
    MaskFixture mask(kThreeCells, LibraryBuild::narrowOutline);
    // The bottom side alone needs three points.
    EXPECT_FALSE(clip(mask, 2, 2));
    EXPECT_EQ(mask.read(), kThreeCells);
    EXPECT_EQ(lumsk::outlineCapacityNeeded(15, 7, 2), 2 * 13 + 2 * 5);
}

}  // namespace
