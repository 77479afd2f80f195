// The block loop: the log's block table, the pasting of solved blocks into
// grid rows and mask rows, and whole solves through the scratch files.
#include "lumsk/block_solve.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "lumsk/block_test_support.hpp"
#include "lumsk/point_sorting.hpp"
#include "lumsk/regional_solve.hpp"
#include "lumsk/status.hpp"

namespace {

using tests::kTestNull;

constexpr const char* kHeader = " tier  sect   init err    end err    #iterations";

TEST(BlockTable, HeadingAndBlockLinesAreLaidOutByteForByte) {
    EXPECT_EQ(lumsk::blockTableHeading(), std::string("\r\n") + kHeader + "\r\n");
    // Columns: 1 blank, 2-5 tier, 6-7 blank, 8-11 section, 12 blank,
    // 13-22 first error, 23 blank, 24-33 end error, 34-37 blank, 38-41 sweeps.
    EXPECT_EQ(lumsk::blockTableLine(1, 2, 0.5f, 0.0123f, 37),
              "   1.    2.     0.5000     0.0123     37.\r\n");
    EXPECT_EQ(lumsk::blockTableLine(12, 3, 1234.5f, 0.0f, 512),
              "  12.    3.  1234.5000     0.0000    512.\r\n");
    // Numbers too wide for their fields show as asterisks.
    EXPECT_EQ(lumsk::blockTableLine(10000, 1, 1.0E6f, 0.0f, 10000),
              " ****    1. **********     0.0000    ****\r\n");
    EXPECT_EQ(lumsk::blockTableLine(1, 1, 0.0f, 0.0f, 1).size(), 43u);
}

// 2 x 2 blocks of 6 x 6 nodes overlapping by 2 (S = T = 4) over a 10 x 10
// padded grid: 6 x 6 working nodes.
class Assemb : public ::testing::Test {
protected:
    Assemb() : layout(10, 10, 6, 6, 2, 2, 2) {
        layout.state.files.block = common::RawFile::create(lumsk::kBlockFileName);
        layout.state.files.gridRows = common::RawFile::create(lumsk::kGridRowFileName);
    }
    // Block record `record` with value base + 10 * row + column at each node.
    void writeValues(std::int32_t record, float base) {
        std::vector<float> values(36);
        for (std::int32_t r = 1; r <= 6; ++r)
            for (std::int32_t c = 1; c <= 6; ++c)
                values[static_cast<std::size_t>((r - 1) * 6 + c - 1)] = base + static_cast<float>(10 * r + c);
        lumsk::WRBLK(layout.state, layout.state.files.block, record, 36, std::span<const float>(values));
    }
    void assemble(std::int32_t tier, std::int32_t maxRows) {
        std::vector<float> rows(600);
        EXPECT_EQ(lumsk::ASSEMB(layout.state, tier, maxRows, std::span<float>(rows)), 0);
    }
    std::vector<float> gridRows() {
        layout.state.files.gridRows.close();
        return tests::floatsOf(tests::readFileBytes(lumsk::kGridRowFileName));
    }
    tests::TempFolder folder;
    tests::LayoutState layout;
};

TEST_F(Assemb, PastesEachTiersOwnRowsAndColumnsInAnyChunking) {
    for (std::int32_t maxRows : {1, 3, 100}) {
        layout.state.files.gridRows = common::RawFile::create(lumsk::kGridRowFileName);
        layout.state.settings.gridRowsWritten = 0;
        writeValues(1, 1000.0f);
        writeValues(2, 2000.0f);
        assemble(1, maxRows);
        writeValues(1, 3000.0f);
        writeValues(2, 4000.0f);
        assemble(2, maxRows);
        // Tier 1 gives block rows 3..4 (T - 2 rows), tier 2 block rows 1..4;
        // section 1 gives block columns 3..4, section 2 columns 1..4.
        const std::vector<float> expected{
            1033, 1034, 2031, 2032, 2033, 2034,  //
            1043, 1044, 2041, 2042, 2043, 2044,  //
            3013, 3014, 4011, 4012, 4013, 4014,  //
            3023, 3024, 4021, 4022, 4023, 4024,  //
            3033, 3034, 4031, 4032, 4033, 4034,  //
            3043, 3044, 4041, 4042, 4043, 4044};
        EXPECT_EQ(gridRows(), expected) << "rows per chunk " << maxRows;
        EXPECT_EQ(layout.state.settings.gridRowsWritten, 6);
    }
}

float plane(float x, float y) { return 10.0f + 0.3f * x - 0.2f * y; }

// Solves the working grid of `layout` (x origin 0 in cells, so padded node
// (1, 1) lies at -2) from `points` through the sorting, regional and block
// stages.
struct SolveResult {
    std::int32_t status = 0;
    std::vector<float> rows;
    std::string log;
};

SolveResult solveThroughFiles(tests::LayoutState& layout, const std::vector<std::vector<float>>& points,
                              std::int32_t halfWindow = 0) {
    lumsk::MincState& state = layout.state;
    lumsk::MincSettings& settings = state.settings;
    settings.iterationLimit = 512;
    settings.tolerance = 1.0E-4f;
    settings.weightParameter = 10.0f;
    settings.halfWindow = halfWindow;
    const std::int32_t blocks = settings.NSECT * settings.NTIER;
    const std::int32_t NPW = 3 * std::min(900, 256000 / (3 * blocks));
    settings.sortingRecordWords = NPW + 2;
    lumsk::MincFiles& files = state.files;
    files.log = common::RawFile::create("minc.log");
    files.gridRows = common::RawFile::create(lumsk::kGridRowFileName);
    files.dataSorting = common::RawFile::create(lumsk::kDataSortingFileName);
    files.block = common::RawFile::create(lumsk::kBlockFileName);
    if (halfWindow > 0) {
        settings.maskColumns = settings.workingColumns + 2 * halfWindow;
        settings.maskRows = settings.workingRows + 2 * halfWindow;
        settings.maskRecordWords = std::max(settings.maskColumns + 1, 30);
        files.mask = common::RawFile::create("~mincms.tmp");
    }
    tests::writePointFile("tmpdat.tmp", points);
    SolveResult result;
    {
        common::RawFile pointFile = common::RawFile::openReadWrite("tmpdat.tmp");
        std::vector<float> channels(1);
        lumsk::SEQDAT(state, pointFile, files.dataSorting, 1.0f, -2.0f, -2.0f, NPW, channels, 1, 1, result.status);
    }
    std::span<float> record(state.work.blockBuffer);
    lumsk::REJONL(state, -2.0f, -2.0f, 1.0f, 1, record, NPW, result.status);
    if (result.status == 0) {
        lumsk::PCONTL(state, settings.workingColumns, settings.workingRows, settings.NCB * settings.NRB,
                      state.work.work, NPW, record, result.status);
    }
    files.gridRows.close();
    files.log.close();
    files.mask.close();
    result.rows = tests::floatsOf(tests::readFileBytes(lumsk::kGridRowFileName));
    result.log = tests::readFileBytes("minc.log");
    return result;
}

// Points of the plane on every node the data can reach (padded nodes 2 to
// NXT - 1, so world -1 to columns), except a hole every third node inside:
// each hole is a free node whose whole stencil is fixed, so the solve must
// fill it with the plane's value.
std::vector<std::vector<float>> planePoints(std::int32_t columns, std::int32_t rows) {
    auto hole = [](std::int32_t k, std::int32_t size) { return k % 3 == 1 && k <= size - 3; };
    std::vector<std::vector<float>> points;
    for (std::int32_t j = -1; j <= rows; ++j) {
        for (std::int32_t i = -1; i <= columns; ++i) {
            if (hole(i, columns) && hole(j, rows)) continue;
            const float x = static_cast<float>(i);
            const float y = static_cast<float>(j);
            points.push_back({x, y, plane(x, y)});
        }
    }
    return points;
}

void expectPlane(const SolveResult& result, std::int32_t columns, std::int32_t rows) {
    ASSERT_EQ(result.status, 0);
    ASSERT_EQ(result.rows.size(), static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
    // Tolerance: a solve may stop once no sweep moves a node by more than
    // its tolerance of 1.0E-4.
    for (std::int32_t j = 0; j < rows; ++j)
        for (std::int32_t i = 0; i < columns; ++i)
            ASSERT_NEAR(result.rows[static_cast<std::size_t>(j * columns + i)],
                        plane(static_cast<float>(i), static_cast<float>(j)), 1.0e-4f)
                << "node " << i << ", " << j;
}

// The table: a heading before every block and one 43-byte line after it,
// whose tier and section fields are given.
void expectTable(const std::string& log, const std::vector<std::string>& tierAndSection) {
    const std::string heading = lumsk::blockTableHeading();
    const std::size_t entry = heading.size() + 43;
    ASSERT_EQ(log.size(), entry * tierAndSection.size());
    for (std::size_t k = 0; k < tierAndSection.size(); ++k) {
        EXPECT_EQ(log.substr(k * entry, heading.size()), heading);
        EXPECT_EQ(log.substr(k * entry + heading.size(), 12), tierAndSection[k]);
        EXPECT_EQ(log.substr(k * entry + entry - 2, 2), "\r\n");
    }
}

TEST(BlockLoop, OneBlockReproducesAPlane) {
    tests::TempFolder folder;
    tests::LayoutState layout(24, 24, 24, 24, 1, 1, 1);
    const SolveResult result = solveThroughFiles(layout, planePoints(20, 20));
    expectPlane(result, 20, 20);
    expectTable(result.log, {"   1.    1. "});
}

TEST(BlockLoop, SeveralBlocksReproduceAPlaneAcrossTheirSeams) {
    tests::TempFolder folder;
    // 2 x 2 blocks of 37 x 37 nodes overlapping by 10 over 64 x 64 padded.
    tests::LayoutState layout(64, 64, 37, 37, 2, 2, 10);
    const SolveResult result = solveThroughFiles(layout, planePoints(60, 60));
    expectPlane(result, 60, 60);
    expectTable(result.log, {"   1.    1. ", "   1.    2. ", "   2.    1. ", "   2.    2. "});
}

TEST(BlockLoop, MaskRowsMarkExactlyTheNodesThatGotData) {
    tests::TempFolder folder;
    tests::LayoutState layout(64, 64, 37, 37, 2, 2, 10);
    // Grid node (25, 10) lies on the vertical seam (padded column S + 1 = 28):
    // only the left-hand block receives it.
    const std::vector<std::pair<std::int32_t, std::int32_t>> dataNodes{{25, 10}, {5, 5}, {40, 50}, {59, 59}, {0, 0}};
    std::vector<std::vector<float>> points;
    for (const auto& [x, y] : dataNodes) points.push_back({static_cast<float>(x), static_cast<float>(y), 1.0f});
    const std::int32_t halfWindow = 3;
    const SolveResult result = solveThroughFiles(layout, points, halfWindow);
    ASSERT_EQ(result.status, 0);
    EXPECT_EQ(layout.state.settings.maskRowsWritten, 60 + 2 * halfWindow);

    // Records of 67 words (leading word, 66 codes); grid node (x, y) is mask
    // column x + 4, row y + 4. Nothing else is marked, the borders included.
    const std::int32_t columns = 60 + 2 * halfWindow;
    std::vector<std::int32_t> expected(static_cast<std::size_t>((columns + 1) * (columns + 1)), 0);
    for (const auto& [x, y] : dataNodes)
        expected[static_cast<std::size_t>((y + halfWindow + 1) * (columns + 1) + x + halfWindow + 1)] = 1;
    const std::string bytes = tests::readFileBytes("~mincms.tmp");
    std::vector<std::int32_t> codes(bytes.size() / 4);
    std::memcpy(codes.data(), bytes.data(), bytes.size());
    EXPECT_EQ(codes, expected);
}

// Writes a data-sorting file of the given records (next, count, points).
void writeSortingFile(const std::vector<std::vector<std::int32_t>>& heads, std::int32_t RL) {
    std::string bytes(heads.size() * static_cast<std::size_t>(RL) * 4, '\0');
    for (std::size_t r = 0; r < heads.size(); ++r) std::memcpy(bytes.data() + r * RL * 4, heads[r].data(), 8);
    tests::writeFileBytes(lumsk::kDataSortingFileName, bytes);
}

TEST(Rejonl, RefusesChainsThatCannotBeFollowedAndGridsWithoutData) {
    tests::TempFolder folder;
    struct Case {
        std::vector<std::vector<std::int32_t>> records;
        std::int32_t recordsInUse;
        std::int32_t status;
    };
    const std::vector<Case> cases{
        {{{3, 0}}, 1, lumsk::kStatusChainBroken},          // next record beyond those in use
        {{{0, 901}}, 1, lumsk::kStatusChainBrokenRecord},  // more than 900 points
        {{{0, 0}}, 1, lumsk::kStatusNoStartValue},         // no point at all
    };
    for (const Case& c : cases) {
        tests::LayoutState layout(24, 24, 24, 24, 1, 1, 1);
        layout.state.settings.sortingRecordWords = 2702;
        layout.state.settings.sortingRecordsInUse = c.recordsInUse;
        writeSortingFile(c.records, 2702);
        layout.state.files.dataSorting = common::RawFile::openReadWrite(lumsk::kDataSortingFileName);
        std::int32_t status = 0;
        lumsk::REJONL(layout.state, 0.0f, 0.0f, 1.0f, 1, layout.state.work.blockBuffer, 2700, status);
        EXPECT_EQ(status, c.status);
    }
}

}  // namespace
