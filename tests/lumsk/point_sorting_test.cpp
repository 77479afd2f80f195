// Sorting of point data into the block chains of the data-sorting file, and
// the extent scan of rotated calls, on small hand-made point files.
#include "lumsk/point_sorting.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "lumsk/block_test_support.hpp"
#include "lumsk/status.hpp"

namespace {

using tests::chainPoints;
using tests::kTestNull;
using tests::sortingRecord;
using Records = std::vector<std::vector<float>>;

// Runs SEQDAT with records of one channel (unless MAXCHN says otherwise);
// returns the bytes of the data-sorting file.
std::string sortPoints(tests::LayoutState& layout, const Records& records, float origin, std::int32_t NPW,
                       std::int32_t ITRANS, std::int32_t& ISTAT, std::int32_t MAXCHN = 1) {
    tests::writePointFile("tmpdat.tmp", records);
    layout.state.settings.sortingRecordWords = NPW + 2;
    common::RawFile points = common::RawFile::openReadWrite("tmpdat.tmp");
    common::RawFile sorting = common::RawFile::create(lumsk::kDataSortingFileName);
    std::vector<float> channels(static_cast<std::size_t>(MAXCHN));
    lumsk::SEQDAT(layout.state, points, sorting, 1.0f, origin, origin, NPW, channels, MAXCHN, ITRANS, ISTAT);
    return tests::readFileBytes(lumsk::kDataSortingFileName);
}

// The z values of a block's chain.
std::vector<float> zOf(const std::string& bytes, std::int32_t RL, std::int32_t block) {
    std::vector<float> z;
    const std::vector<float> points = chainPoints(bytes, RL, block);
    for (std::size_t k = 2; k < points.size(); k += 3) z.push_back(points[k]);
    return z;
}

// One block of 14 x 14 padded nodes whose node (1, 1) lies at x = y = -2:
// a point at (x, y) has u = x + 3, v = y + 3.
tests::LayoutState oneBlock() { return tests::LayoutState(14, 14, 14, 14, 1, 1, 1); }

// 2 x 2 blocks of 30 x 30 nodes overlapping by 10 (steps S = T = 20) over a
// 50 x 50 padded grid whose node (1, 1) lies at x = y = 0: u = x + 1.
tests::LayoutState fourBlocks() { return tests::LayoutState(50, 50, 30, 30, 2, 2, 10); }

TEST(Seqdat, KeepsAcceptedPointsInFileOrderAndDropsNullsAndPointsOutsideTheMargin) {
    tests::TempFolder folder;
    tests::LayoutState layout = oneBlock();
    std::int32_t status = 7;
    const std::string bytes = sortPoints(layout,
                                         {{0.0f, 0.0f, 5.0f},
                                          {1.5f, 2.25f, -7.0f},
                                          {2.0f, 2.0f, kTestNull},
                                          {-1.995f, 0.0f, 1.0f},    // u = 1.005 < 1.01
                                          {-1.98f, 0.0f, 8.0f},     // u = 1.02
                                          {10.995f, 0.0f, 1.0f},    // u = 13.995 > NXT - 0.01
                                          {0.0f, 10.995f, 1.0f},    // likewise v
                                          {10.98f, 10.98f, 9.0f}},  // u = v = 13.98
                                         -2.0f, 30, lumsk::transformCode(lumsk::ValueTransform::asIs), status);
    EXPECT_EQ(status, 7);  // left as it was
    EXPECT_EQ(layout.state.settings.sortingRecordsInUse, 1);
    ASSERT_EQ(bytes.size(), 32u * 4u);
    const tests::SortingRecord record = sortingRecord(bytes, 32, 1);
    EXPECT_EQ(record.next, 0);
    ASSERT_EQ(record.count, 4);
    const std::vector<float> expected{3.0f, 3.0f, 5.0f, 4.5f, 5.25f, -7.0f, -1.98f + 3.0f, 3.0f, 8.0f,
                                      10.98f + 3.0f, 10.98f + 3.0f, 9.0f, kTestNull};
    // The unused slots keep the null value the buffers started with.
    EXPECT_EQ(std::vector<float>(record.values.begin(), record.values.begin() + 13), expected);
}

TEST(Seqdat, AppliesTheValueTransforms) {
    tests::TempFolder folder;
    const float e = 2.7182817f;
    std::int32_t status = 0;
    tests::LayoutState logLayout = oneBlock();
    const std::vector<float> logs =
        zOf(sortPoints(logLayout, {{0, 0, 0.0f}, {0, 0, -1.0f}, {0, 0, 1.0f}, {0, 0, e}}, -2.0f, 30,
                       lumsk::transformCode(lumsk::ValueTransform::naturalLog), status),
            32, 1);
    ASSERT_EQ(logs.size(), 2u);  // z <= 0 dropped
    EXPECT_EQ(logs[0], 0.0f);
    EXPECT_NEAR(logs[1], 1.0f, 1.0e-6f);  // e is rounded to float32

    tests::LayoutState signedLayout = oneBlock();
    const std::vector<float> signedLogs =
        zOf(sortPoints(signedLayout, {{0, 0, 1.0f}, {0, 0, -1.0f}, {0, 0, 0.5f}, {0, 0, e}, {0, 0, -e}}, -2.0f, 30,
                       lumsk::transformCode(lumsk::ValueTransform::signedLog), status),
            32, 1);
    ASSERT_EQ(signedLogs.size(), 5u);
    EXPECT_EQ(signedLogs[0], 1.0f);
    EXPECT_EQ(signedLogs[1], -1.0f);
    EXPECT_EQ(signedLogs[2], 0.5f);
    EXPECT_NEAR(signedLogs[3], 2.0f, 1.0e-6f);
    EXPECT_NEAR(signedLogs[4], -2.0f, 1.0e-6f);
}

TEST(Seqdat, CopiesPointsIntoTheOverlapsOfTheBlocksBelowAndToTheLeft) {
    tests::TempFolder folder;
    tests::LayoutState layout = fourBlocks();
    std::int32_t status = 0;
    const std::string bytes = sortPoints(layout,
                                         {{28.8f, 4.0f, 1.0f},    // block column 9.8 of block 2
                                          {29.0f, 4.0f, 2.0f},    // block column 10 of block 2
                                          {24.0f, 24.0f, 3.0f},   // overlap corner of all four
                                          {4.0f, 28.8f, 4.0f}},   // block row 9.8 of block 3
                                         0.0f, 30, lumsk::transformCode(lumsk::ValueTransform::asIs), status);
    EXPECT_EQ(zOf(bytes, 32, 1), (std::vector<float>{1.0f, 3.0f, 4.0f}));
    EXPECT_EQ(zOf(bytes, 32, 2), (std::vector<float>{1.0f, 2.0f, 3.0f}));
    EXPECT_EQ(zOf(bytes, 32, 3), (std::vector<float>{3.0f, 4.0f}));
    EXPECT_EQ(zOf(bytes, 32, 4), (std::vector<float>{3.0f}));
    // Copies keep their padded coordinates.
    EXPECT_EQ(chainPoints(bytes, 32, 1)[0], 28.8f + 1.0f);
}

TEST(Seqdat, ChainsFullBuffersThroughOverflowRecordsInTheOrderTheyFill) {
    tests::TempFolder folder;
    tests::LayoutState layout = fourBlocks();
    std::int32_t status = 0;
    // NPW 6: two points per record; the points alternate between blocks 1 and 2.
    const std::string bytes = sortPoints(layout, {{4, 4, 1}, {39, 4, 2}, {5, 4, 3}, {40, 4, 4}, {6, 4, 5}}, 0.0f, 6,
                                         lumsk::transformCode(lumsk::ValueTransform::asIs), status);
    const std::int32_t RL = 8;
    EXPECT_EQ(layout.state.settings.sortingRecordsInUse, 6);
    ASSERT_EQ(bytes.size(), 6u * RL * 4);
    const tests::SortingRecord head1 = sortingRecord(bytes, RL, 1);
    const tests::SortingRecord head2 = sortingRecord(bytes, RL, 2);
    EXPECT_EQ(std::pair(head1.next, head1.count), std::pair(5, 2));
    EXPECT_EQ(std::pair(head2.next, head2.count), std::pair(6, 2));
    EXPECT_EQ(head2.values, (std::vector<float>{40, 5, 2, 41, 5, 4}));
    // Block 1's overflow record holds the fifth point and, past its count,
    // the third left over.
    const tests::SortingRecord tail1 = sortingRecord(bytes, RL, 5);
    EXPECT_EQ(std::pair(tail1.next, tail1.count), std::pair(0, 1));
    EXPECT_EQ(tail1.values, (std::vector<float>{7, 5, 5, 6, 5, 3}));
    // Block 2 received exactly two points: its overflow record is empty.
    const tests::SortingRecord tail2 = sortingRecord(bytes, RL, 6);
    EXPECT_EQ(std::pair(tail2.next, tail2.count), std::pair(0, 0));
    // Blocks without points keep one empty head record.
    const tests::SortingRecord head4 = sortingRecord(bytes, RL, 4);
    EXPECT_EQ(std::pair(head4.next, head4.count), std::pair(0, 0));
    EXPECT_EQ(head4.values, std::vector<float>(6, kTestNull));
}

TEST(Seqdat, ReportsNoPointInTheGrid) {
    tests::TempFolder folder;
    // An empty file, only nulls, only points outside the padded grid.
    for (const Records& records : {Records{}, Records{{0, 0, kTestNull}}, Records{{-5, 0, 1}, {0, 40, 1}}}) {
        tests::LayoutState layout = oneBlock();
        std::int32_t status = 0;
        const std::string bytes = sortPoints(layout, records, -2.0f, 30, lumsk::transformCode(lumsk::ValueTransform::asIs), status);
        EXPECT_EQ(status, lumsk::kStatusNoPointInGrid);
        EXPECT_EQ(sortingRecord(bytes, 32, 1).count, 0);  // the head record is written all the same
    }
    // A channel that the records do not have names no value.
    tests::LayoutState layout = oneBlock();
    layout.state.settings.ZCHAN = 3;
    std::int32_t status = 0;
    sortPoints(layout, {{0, 0, 1.0f, 2.0f}}, -2.0f, 30, lumsk::transformCode(lumsk::ValueTransform::asIs), status, 2);
    EXPECT_EQ(status, lumsk::kStatusNoPointInGrid);
}

TEST(Seqdat, ReadsLargeFilesWholeAndInOrder) {
    tests::TempFolder folder;
    // Far more records than one read block, and a trailing part record that is
    // ignored; channel 2 is gridded.
    const std::int32_t count = 100000;
    Records records;
    for (std::int32_t k = 0; k < count; ++k)
        records.push_back({static_cast<float>(k % 10), static_cast<float>(k / 10 % 10), kTestNull,
                           static_cast<float>(k)});
    tests::writePointFile("tmpdat.tmp", records, std::string(12, '\0'));
    tests::LayoutState layout = oneBlock();
    layout.state.settings.ZCHAN = 2;
    layout.state.settings.sortingRecordWords = 2702;
    std::int32_t status = 0;
    {
        common::RawFile points = common::RawFile::openReadWrite("tmpdat.tmp");
        common::RawFile sorting = common::RawFile::create(lumsk::kDataSortingFileName);
        std::vector<float> channels(2);
        lumsk::SEQDAT(layout.state, points, sorting, 1.0f, -2.0f, -2.0f, 2700, channels, 2, 1, status);
    }
    EXPECT_EQ(layout.state.settings.sortingRecordsInUse, 1 + count / 900);
    const std::vector<float> z = zOf(tests::readFileBytes(lumsk::kDataSortingFileName), 2702, 1);
    ASSERT_EQ(z.size(), static_cast<std::size_t>(count));
    for (std::int32_t k = 0; k < count; ++k) ASSERT_EQ(z[static_cast<std::size_t>(k)], static_cast<float>(k));
}

TEST(Rngdat, FindsTheExtentOfUsablePointsInTheRotatedFrame) {
    tests::TempFolder folder;
    tests::LayoutState layout = oneBlock();
    lumsk::MincSettings& settings = layout.state.settings;
    settings.rotationAngle = 36.87f;
    settings.sine = 0.6f;
    settings.cosine = 0.8f;
    settings.rotationCentreX = 100.0f;
    settings.rotationCentreY = 50.0f;
    settings.DX = 2.0f;
    settings.DY = 0.5f;
    auto extent = [&](const Records& records) {
        tests::writePointFile("tmpdat.tmp", records);
        common::RawFile points = common::RawFile::openReadWrite("tmpdat.tmp");
        common::RawFile unused;
        std::vector<float> channels(1);
        std::vector<float> bounds(4);
        std::int32_t status = 0;
        lumsk::RNGDAT(layout.state, points, unused, channels, 1, lumsk::transformCode(lumsk::ValueTransform::naturalLog), bounds[0], bounds[1],
                      bounds[2], bounds[3], status);
        return bounds;
    };
    // Relative to the centre, (10, 0) turns to (8, 6) and (0, 5) to (-3, 4);
    // the null and the value the log transform drops are ignored.
    const std::vector<float> bounds =
        extent({{110.0f, 50.0f, 1.0f}, {100.0f, 55.0f, 2.0f}, {300.0f, 300.0f, kTestNull}, {-300.0f, -300.0f, -1.0f}});
    const std::vector<float> expected{-3.0f / 2.0f, 8.0f / 2.0f, 4.0f / 0.5f, 6.0f / 0.5f};
    // Tolerance: the products with the float32 sine and cosine round.
    for (std::size_t k = 0; k < 4; ++k) EXPECT_NEAR(bounds[k], expected[k], 1.0e-5f);
    EXPECT_EQ(extent({{1.0f, 1.0f, kTestNull}}), (std::vector<float>{1.0E32f, -1.0E32f, 1.0E32f, -1.0E32f}));
}

}  // namespace
