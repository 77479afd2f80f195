// Mask rows moved a chunk at a time must land where single-row transfers put
// them: rows wide enough that a chunk holds only a few, written with gaps,
// read back row by row; and a file that ends early gives the rows it holds.
#include "lumsk/mask_rows.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lumsk/mask_file.hpp"
#include "lumsk/mask_fixture.hpp"
#include "support/temp_folder.hpp"

namespace {

// 20 KB rows: a chunk of about 256 KiB holds 13 of them.
constexpr std::int32_t kColumns = 5000;

std::int32_t code(std::int32_t row, std::int32_t column) { return (row * 7 + column) % 3; }

std::vector<std::int32_t> patternRow(std::int32_t row) {
    std::vector<std::int32_t> codes(kColumns);
    for (std::int32_t j = 0; j < kColumns; ++j) codes[static_cast<std::size_t>(j)] = code(row, j + 1);
    return codes;
}

// A blank mask file of the given rows.
tests::MaskFixture blankMask(std::int32_t rows) {
    return tests::MaskFixture(tests::MaskPicture(static_cast<std::size_t>(rows), std::string(kColumns, '0')));
}

TEST(MaskRows, ChunksAcrossGapsLandWhereSingleRowsWould) {
    tests::TempFolder folder;
    constexpr std::int32_t kRows = 41;  // the last row is written, as MINC writes every row
    tests::MaskFixture mask = blankMask(kRows);
    {
        lumsk::MaskRowWriter writer(mask.state, mask.file, kColumns);
        // Every fifth row is left out: each gap starts a new transfer.
        for (std::int32_t row = 1; row <= kRows; ++row) {
            if (row % 5 != 0) writer.write(row, patternRow(row).data());
        }
    }
    const std::vector<std::int32_t> blank(kColumns, 0);
    std::vector<std::int32_t> single(kColumns);
    std::int32_t ierr = 0;
    lumsk::MaskRowReader reader(mask.state, mask.file, kColumns, 2, kRows);
    for (std::int32_t row = 2; row <= kRows; ++row) {
        const std::vector<std::int32_t> expected = row % 5 != 0 ? patternRow(row) : blank;
        lumsk::ROWMSK(mask.state, kColumns, single.data(), row, mask.file, ierr);
        EXPECT_EQ(single, expected) << "row " << row;
        const std::int32_t* chunked = reader.row(row);
        ASSERT_NE(chunked, nullptr) << "row " << row;
        EXPECT_EQ(std::vector<std::int32_t>(chunked, chunked + kColumns), expected) << "row " << row;
    }
    EXPECT_FALSE(mask.state.files.transfers.failed());
}

TEST(MaskRows, AFileThatEndsEarlyGivesTheRowsItHoldsAndFailsTheCall) {
    tests::TempFolder folder;
    tests::MaskFixture mask = blankMask(10);
    {
        lumsk::MaskRowWriter writer(mask.state, mask.file, kColumns);
        for (std::int32_t row = 1; row <= 10; ++row) writer.write(row, patternRow(row).data());
    }
    // Rows 11 and on lie past the end of the file; the first chunk asked for
    // reaches past it too.
    lumsk::MaskRowReader reader(mask.state, mask.file, kColumns, 1, 20);
    for (std::int32_t row = 1; row <= 10; ++row) {
        const std::int32_t* codes = reader.row(row);
        ASSERT_NE(codes, nullptr) << "row " << row;
        EXPECT_EQ(std::vector<std::int32_t>(codes, codes + kColumns), patternRow(row)) << "row " << row;
    }
    EXPECT_EQ(reader.row(11), nullptr);
    EXPECT_TRUE(mask.state.files.transfers.failed());
}

}  // namespace
