// The mask file layout and the search-radius routines: isolated-cell removal
// (RADREM), reach marking (RADMSK) and the template grid (TEMPLAT).
#include "lumsk/radius_mask.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <random>

#include "lumsk/mask_file.hpp"
#include "lumsk/status.hpp"
#include "lumsk/mask_fixture.hpp"
#include "support/temp_folder.hpp"

namespace {

using tests::MaskFixture;
using tests::MaskPicture;

std::int32_t wordAt(const std::string& bytes, std::size_t offset) {
    std::int32_t word = 0;
    std::memcpy(&word, bytes.data() + offset, 4);
    return word;
}

// The mask routines' work areas, sized as MINC carves them.
struct MaskWork {
    explicit MaskWork(std::int32_t columns, std::int32_t windowSize)
        : columnSums(columns), row(columns), ring(static_cast<std::size_t>(columns) * windowSize) {}
    std::vector<std::int32_t> columnSums, row, ring;
};

void removeIsolated(MaskFixture& mask, std::int32_t r, std::int32_t& status) {
    MaskWork work(mask.columns, 2 * r + 1);
    lumsk::RADREM(mask.state, 1, mask.file, mask.columns, 2 * r + 1, work.columnSums.data(), work.row.data(),
                  work.ring.data(), status);
}

void markReach(MaskFixture& mask, std::int32_t r, std::int32_t& status) {
    MaskWork work(mask.columns, 2 * r + 1);
    lumsk::RADMSK(mask.state, 1, mask.file, mask.columns, 2 * r + 1, work.columnSums.data(), work.row.data(),
                  work.ring.data(), status);
}

// The data cells of `picture` in the (2r+1)-square around (row, column),
// counted directly: the definition the sliding sums must agree with.
int windowCount(const MaskPicture& picture, int row, int column, int r) {
    int count = 0;
    for (int i = row - r; i <= row + r; ++i)
        for (int j = column - r; j <= column + r; ++j) count += picture[i - 1][j - 1] - '0';
    return count;
}

TEST(MaskFile, RecordsAreAtLeastThirtyWordsAndFollowTheHeader) {
    tests::TempFolder folder;
    EXPECT_EQ(lumsk::maskRecordWords(5), 30);
    EXPECT_EQ(lumsk::maskRecordWords(29), 30);
    EXPECT_EQ(lumsk::maskRecordWords(40), 41);

    common::RawFile file = common::RawFile::create(lumsk::kMaskFileName);
    lumsk::MaskHeader header;
    header.columns = 5;
    header.rows = 3;
    header.xOrigin = -2.5f;
    header.yOrigin = 7.0f;
    ASSERT_TRUE(lumsk::writeEmptyMask(file, header));
    file.close();
    // The seven header words and 15 zero codes in one stream.
    const std::string empty = tests::readFileBytes(lumsk::kMaskFileName);
    ASSERT_EQ(empty.size(), 28u + 15u * 4u);
    const std::vector<std::int32_t> headerWords = {5, 3, 1, std::bit_cast<std::int32_t>(-2.5f),
                                                   std::bit_cast<std::int32_t>(1.0f), std::bit_cast<std::int32_t>(7.0f),
                                                   std::bit_cast<std::int32_t>(1.0f)};
    for (std::size_t k = 0; k < headerWords.size(); ++k) EXPECT_EQ(wordAt(empty, 4 * k), headerWords[k]);
    for (std::size_t offset = 28; offset < empty.size(); offset += 4) EXPECT_EQ(wordAt(empty, offset), 0);

    // Rows written by ROWDA then lie at record k = k * 30 words.
    MaskFixture mask({"00000", "00000", "00000"});

    std::vector<std::int32_t> codes = {1, 2, 0, 2, 1};
    std::int32_t ierr = 7;
    lumsk::ROWDA(mask.state, mask.file, 5, codes.data(), 0, 2, ierr);
    EXPECT_EQ(ierr, 0);
    const std::string bytes = tests::readFileBytes(lumsk::kMaskFileName);
    const std::size_t record2 = 2 * 30 * 4;
    EXPECT_EQ(wordAt(bytes, record2), 0);  // the leading word
    for (std::size_t j = 0; j < 5; ++j) EXPECT_EQ(wordAt(bytes, record2 + 4 + 4 * j), codes[j]);
    EXPECT_EQ(mask.read()[1], "12021");
}

TEST(RadiusMask, LoneDataCellIsRemovedAndNothingIsMarked) {
    tests::TempFolder folder;
    MaskFixture mask({"0000000", "0000000", "0000000", "0001000", "0000000", "0000000", "0000000"});
    std::int32_t status = -1;
    removeIsolated(mask, 2, status);
    EXPECT_EQ(status, 0);
    markReach(mask, 2, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(mask.read(), MaskPicture(7, "0000000"));
}

TEST(RadiusMask, TwoNearDataCellsKeepEachOtherAndMarkASquareReach) {
    tests::TempFolder folder;
    // r = 2: examined rows and columns 3..7. The reach of (5,5) and (6,6) is
    // rows 3..8 x columns 3..8, cut to the examined range.
    MaskFixture mask({"000000000", "000000000", "000000000", "000000000", "000010000", "000001000",
                      "000000000", "000000000", "000000000"});
    std::int32_t status = -1;
    removeIsolated(mask, 2, status);
    markReach(mask, 2, status);
    const MaskPicture expected = {"000000000", "000000000", "002222200", "002222200", "002212200",
                                  "002221200", "002222200", "000000000", "000000000"};
    EXPECT_EQ(mask.read(), expected);
}

TEST(RadiusMask, SlidingSumsAgreeWithDirectWindowCounts) {
    // Random masks of data cells, borders included: a border cell is never
    // examined but counts in its neighbours' windows.
    std::mt19937 random(12345);
    for (int r = 1; r <= 3; ++r) {
        for (int columns : {2 * r + 3, 12, 45}) {
            tests::TempFolder folder;
            const int rows = 2 * r + 5;
            MaskPicture original;
            for (int i = 0; i < rows; ++i) {
                std::string line;
                for (int j = 0; j < columns; ++j) line.push_back(random() % 6 == 0 ? '1' : '0');
                original.push_back(line);
            }
            MaskPicture expected = original;
            for (int i = r + 1; i <= rows - r; ++i)
                for (int j = r + 1; j <= columns - r; ++j)
                    if (original[i - 1][j - 1] == '1' && windowCount(original, i, j, r) <= 1) expected[i - 1][j - 1] = '0';
            const MaskPicture afterRemoval = expected;
            for (int i = r + 1; i <= rows - r; ++i)
                for (int j = r + 1; j <= columns - r; ++j)
                    if (afterRemoval[i - 1][j - 1] == '0' && windowCount(afterRemoval, i, j, r) >= 1)
                        expected[i - 1][j - 1] = '2';

            MaskFixture mask(original);
            std::int32_t status = -1;
            removeIsolated(mask, r, status);
            ASSERT_EQ(status, 0);
            EXPECT_EQ(mask.read(), afterRemoval) << "r " << r << " columns " << columns;
            markReach(mask, r, status);
            ASSERT_EQ(status, 0);
            EXPECT_EQ(mask.read(), expected) << "r " << r << " columns " << columns;
        }
    }
}

TEST(RadiusMask, RemovalRefusesANarrowWorkAreaOrAWindowBelowThree) {
    tests::TempFolder folder;
    const MaskPicture picture = {"00000", "01000", "00000", "00010", "00000"};
    MaskFixture mask(picture);
    MaskWork work(5, 3);
    std::int32_t status = 0;
    lumsk::RADREM(mask.state, 1, mask.file, 4, 3, work.columnSums.data(), work.row.data(), work.ring.data(), status);
    EXPECT_EQ(status, lumsk::kStatusMaskTooNarrow);
    lumsk::RADREM(mask.state, 1, mask.file, 5, 2, work.columnSums.data(), work.row.data(), work.ring.data(), status);
    EXPECT_EQ(status, lumsk::kStatusMaskRadiusTooSmall);
    EXPECT_EQ(mask.read(), picture);
    EXPECT_EQ(lumsk::searchWindowHalfWidth(7), 3);
    EXPECT_EQ(lumsk::searchWindowHalfWidth(6), 2);  // an even window is narrowed to the odd one below
}

TEST(Template, NodesOfTheChosenCodeTakeTheValue) {
    tests::TempFolder folder;
    // Grid 3 x 2 inside a mask with a border of 1.
    MaskFixture mask({"00000", "01020", "00200", "00000"});
    const std::vector<float> grid = {1.5f, 2.5f, 3.5f, 4.5f, 5.5f, 6.5f};
    {
        common::RawFile rows = common::RawFile::create("rows.tmp");
        rows.write(grid.data(), 24);
    }
    common::RawFile rows = common::RawFile::openReadWrite("rows.tmp");
    common::RawFile output = common::RawFile::create("template.tmp");
    std::vector<std::int32_t> codes(5);
    std::vector<float> rowBuffer(3);
    const float null = -1.0E32f;
    lumsk::TEMPLAT(mask.state, 2, 2, 0, null, mask.file, codes.data(), 5, 4, rows, rowBuffer.data(), 3, 2, output);
    output.close();
    const std::string bytes = tests::readFileBytes("template.tmp");
    ASSERT_EQ(bytes.size(), 24u);
    const std::vector<float> expected = {1.5f, null, 3.5f, null, 5.5f, null};
    for (std::size_t k = 0; k < expected.size(); ++k) {
        EXPECT_EQ(wordAt(bytes, 4 * k), std::bit_cast<std::int32_t>(expected[k])) << "node " << k;
    }
}

TEST(Template, AWindowOutsideTheMaskWritesNothing) {
    tests::TempFolder folder;
    MaskFixture mask({"000", "000", "000"});
    common::RawFile rows = common::RawFile::create("rows.tmp");
    common::RawFile output = common::RawFile::create("template.tmp");
    std::vector<std::int32_t> codes(3);
    std::vector<float> rowBuffer(3);
    // Column 2 + 3 - 1 = 4 lies beyond the 3 mask columns; row 0 does not exist.
    lumsk::TEMPLAT(mask.state, 2, 1, 0, 0.0f, mask.file, codes.data(), 3, 3, rows, rowBuffer.data(), 3, 1, output);
    lumsk::TEMPLAT(mask.state, 1, 0, 0, 0.0f, mask.file, codes.data(), 3, 3, rows, rowBuffer.data(), 1, 1, output);
    EXPECT_EQ(output.size(), 0);
}

}  // namespace
