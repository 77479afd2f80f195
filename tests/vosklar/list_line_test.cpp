// The station list: method word, tokens split at single blanks, station,
// position and RL, and the station's result file.
#include "vosklar/list_line.hpp"

#include <gtest/gtest.h>

#include "common/run_stop.hpp"

namespace vosklar {
namespace {

TEST(ListLineTest, MethodIsGrendlOnlyForTheExactLowerCaseWordOrABlank) {
    for (const char* word : {"grendl", "grendl   ", "", "  "}) EXPECT_EQ(methodFromName(word), InversionMethod::grendl);
    for (const char* word : {"GRENDL", "airbeo", "x"}) EXPECT_EQ(methodFromName(word), InversionMethod::airbeo);
}

TEST(ListLineTest, GrendlLinesGiveStationAndRlAtTheOrigin) {
    ListLineReader reader(InversionMethod::grendl, "line5.lst");
    const StationEntry withRl = reader.read("105 312.5", 1);
    EXPECT_EQ(withRl.token, "105");
    EXPECT_EQ(withRl.station, 105.0f);
    EXPECT_EQ(withRl.RL, 312.5f);
    EXPECT_EQ(withRl.east, 0.0f);
    EXPECT_EQ(withRl.north, 0.0f);
    // RL is reset for every line.
    EXPECT_EQ(reader.read("110", 2).RL, -1.0E32f);
    EXPECT_EQ(reader.read("115 ", 3).RL, -1.0E32f);
    EXPECT_EQ(resultFileName(InversionMethod::grendl, "105"), "Station_105/output.out");
}

TEST(ListLineTest, AirbeoLineWithOnlyAStationKeepsThePreviousEastAndNorth) {
    ListLineReader reader(InversionMethod::airbeo, "line7.lst");
    const StationEntry first = reader.read("10 5000.0 7000.0 250.5 extra", 1);
    EXPECT_EQ(first.east, 5000.0f);
    EXPECT_EQ(first.north, 7000.0f);
    EXPECT_EQ(first.RL, 250.5f);
    const StationEntry bare = reader.read("20", 2);
    EXPECT_EQ(bare.station, 20.0f);
    EXPECT_EQ(bare.east, 5000.0f);
    EXPECT_EQ(bare.north, 7000.0f);
    EXPECT_EQ(bare.RL, -1.0E32f);
    EXPECT_EQ(resultFileName(InversionMethod::airbeo, "7.5"), "Station_7.5/airbeo.out");
}

TEST(ListLineTest, EmptyTokenOrFieldThatIsNoNumberStopsTheRunNamingFileLineAndText) {
    ListLineReader grendl(InversionMethod::grendl, "line5.lst");
    try {
        grendl.read("105  312.5", 4);  // two blanks: the RL token is empty
        FAIL() << "an empty RL token was accepted";
    } catch (const common::RunStop& stop) {
        EXPECT_NE(std::string(stop.what()).find("line5.lst, line 4"), std::string::npos) << stop.what();
        EXPECT_EQ(stop.exitStatus(), 1);
    }
    EXPECT_THROW(grendl.read("10x5", 7), common::RunStop);
    EXPECT_THROW(grendl.read("", 5), common::RunStop);
    EXPECT_THROW(grendl.read(" 105", 6), common::RunStop);
    ListLineReader airbeo(InversionMethod::airbeo, "line7.lst");
    EXPECT_THROW(airbeo.read("10 5000.0", 1), common::RunStop);  // east without north
}

}  // namespace
}  // namespace vosklar
