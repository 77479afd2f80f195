// One station result file: layer count, final model table, the layers kept
// in the model layer file and the statistics they feed.
#include "vosklar/station_result.hpp"

#include <gtest/gtest.h>

#include "common/run_stop.hpp"
#include "support/temp_folder.hpp"
#include "vosklar/result_files.hpp"

namespace vosklar {
namespace {

using Records = std::vector<std::vector<float>>;
using Counts = std::vector<std::int32_t>;
constexpr float kNull = -1.0E32f;

struct ReadResult {
    ResultOutcome outcome = ResultOutcome::complete;
    Counts counts;    // as announced
    Records records;  // the model layer file, six floats each
    StationStatistics statistics;
};

ReadResult readResult(InversionMethod method, const std::string& text, const StationEntry& station) {
    tests::TempFolder folder;
    tests::writeFileBytes("result.out", text);
    ReadResult result;
    {
        ModelLayerFile layers;
        StationResultReader reader(method, 1000.0f, layers, result.statistics,
                                   [&](const std::string&, std::int32_t count) { result.counts.push_back(count); });
        common::LineReader lines("result.out");
        result.outcome = reader.read(lines, station);
        layers.close();
    }
    result.records = vosklar_tests::floatRecords(tests::readFileBytes(kModelLayerFileName), 6);
    return result;
}

TEST(StationResultTest, GrendlModelIsCappedThinnedAndMeasuredThroughLayerMiddles) {
    // Layer 2 (0.75) is too thin to keep, layer 3 exceeds the maximum depth
    // 1000, and the half-space moves the depth by the capped thickness above.
    const ReadResult result = readResult(
        InversionMethod::grendl,
        vosklar_tests::grendlResult({{"100.0", "20.0"}, {"40.0", "0.75"}, {"10.0", "1500.0"}, {"500.0", ""}}),
        {"105", 105.0f, 0.0f, 0.0f, 300.0f});
    EXPECT_EQ(result.outcome, ResultOutcome::complete);
    EXPECT_EQ(result.counts, Counts{4});
    EXPECT_EQ(result.records,
              (Records{{105, 0, 0, 300, 20, 100}, {105, 0, 0, 300, 1000, 10}, {105, 0, 0, 300, -1, 500}}));
    EXPECT_EQ(result.statistics.recordCount, 3);
    EXPECT_EQ(result.statistics.thinnestLayer, 20.0f);
    EXPECT_EQ(result.statistics.thickestLayer, 1000.0f);
    // Depths -10 (middle of layer 1), -520.75 (middle of the capped layer,
    // below the thin one), -2020.75 below the half-space's top by 1000 more.
    EXPECT_EQ(result.statistics.highestElevation, 290.0f);
    EXPECT_EQ(result.statistics.lowestElevation, -1720.75f);
}

TEST(StationResultTest, AirbeoStationWithoutRlTakesItsDepthsBelowZero) {
    const ReadResult result = readResult(
        InversionMethod::airbeo, vosklar_tests::airbeoResult({{"50.0", "10.0"}, {"5.0", "30.0"}, {"200.0", ""}}),
        {"12", 12.0f, 5000.0f, 7000.0f, kNull});
    EXPECT_EQ(result.counts, Counts{3});
    EXPECT_EQ(
        result.records,
        (Records{{12, 5000, 7000, kNull, 10, 50}, {12, 5000, 7000, kNull, 30, 5}, {12, 5000, 7000, kNull, -1, 200}}));
    EXPECT_EQ(result.statistics.highestElevation, 0.0f);
    EXPECT_EQ(result.statistics.lowestElevation, -70.0f);  // -10 - 30, then one more 30 below the half-space top
}

TEST(StationResultTest, FilesWithoutAUsableCountOrTableWriteNothingMore) {
    const StationEntry station{"1", 1.0f, 0.0f, 0.0f, 10.0f};
    // The newer AIRBEO output has no "Layer    Thickness   Resistivity" table.
    const ReadResult newer = readResult(
        InversionMethod::airbeo, tests::readFileBytes(TEST_DATA_DIR "/vosklar/airbeo-newer-layout/Dgm1.out"), station);
    EXPECT_EQ(newer.outcome, ResultOutcome::noLayerCount);
    EXPECT_TRUE(newer.counts.empty());
    EXPECT_TRUE(newer.records.empty());
    // A count table row whose first value is not an integer.
    const ReadResult notInteger =
        readResult(InversionMethod::airbeo,
                   "   Layer    Thickness   Resistivity\n --\n 1  10.0\n 1.5  10.0\n\n FINAL MODEL AFTER\n", station);
    EXPECT_EQ(notInteger.outcome, ResultOutcome::noLayerCount);
    EXPECT_TRUE(notInteger.counts.empty());
    const ReadResult noTable = readResult(InversionMethod::grendl, " NLIB = 3\n no final model\n", station);
    EXPECT_EQ(noTable.outcome, ResultOutcome::noModelTable);
    EXPECT_EQ(noTable.counts, Counts{3});
}

TEST(StationResultTest, TableCutShortKeepsTheLayersReadSoFar) {
    const StationEntry station{"1", 1.0f, 0.0f, 0.0f, 10.0f};
    const std::string full = vosklar_tests::grendlResult({{"100.0", "20.0"}, {"60.0", "30.0"}, {"500.0", ""}});
    // The second row ends after its resistivity; then the file ends before the half-space.
    const ReadResult rowShort =
        readResult(InversionMethod::grendl, full.substr(0, full.find("60.0") + 4) + "\n", station);
    EXPECT_EQ(rowShort.outcome, ResultOutcome::tableCutShort);
    EXPECT_EQ(rowShort.records.size(), 1u);
    const ReadResult ended = readResult(InversionMethod::grendl, full.substr(0, full.find("    3    500.0")), station);
    EXPECT_EQ(ended.outcome, ResultOutcome::tableCutShort);
    EXPECT_EQ(ended.records.size(), 2u);
}

TEST(StationResultTest, ValueThatIsNoNumberStopsTheRunNamingFileLineAndText) {
    const StationEntry station{"1", 1.0f, 0.0f, 0.0f, 10.0f};
    try {
        readResult(InversionMethod::grendl, vosklar_tests::grendlResult({{"100.0", "2O.0"}, {"500.0", ""}}), station);
        FAIL() << "a thickness that is not a number was accepted";
    } catch (const common::RunStop& stop) {
        const std::string message = stop.what();
        EXPECT_NE(message.find("result.out, line 9"), std::string::npos) << message;
        EXPECT_NE(message.find("2O.0"), std::string::npos) << message;
    }
    EXPECT_THROW(readResult(InversionMethod::grendl, " NLIB = four\n", station), common::RunStop);
}

}  // namespace
}  // namespace vosklar
