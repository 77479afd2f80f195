// The profile test: whether a second pass along easting or northing follows,
// and over which x range.
#include "vosklar/profile_test.hpp"

#include <gtest/gtest.h>

namespace vosklar {
namespace {

// Entries are east, north, station.
TEST(ProfileTestTest, EastWestLineWithOwnStationNumbersRunsAnEastingPass) {
    const std::optional<ProfileChoice> choice =
        chooseProfilePass({{5050, 7002, 140}, {5025, 7001, 120}, {5000, 7000, 100}});
    ASSERT_TRUE(choice.has_value());
    EXPECT_EQ(choice->axis, GridAxis::easting);  // northing change 2 / 50.04 is below 0.1
    // The range runs from the smaller to the larger of first and last easting.
    EXPECT_EQ(choice->xLow, 5000.0f);
    EXPECT_EQ(choice->xHigh, 5050.0f);
}

TEST(ProfileTestTest, NearlyNorthSouthLineRunsANorthingPass) {
    // Easting change 5 over northing change 99.87: normalised 0.05 and 0.9987.
    const std::optional<ProfileChoice> choice = chooseProfilePass({{600, 8000, 10}, {605, 8099.87f, 20}});
    ASSERT_TRUE(choice.has_value());
    EXPECT_EQ(choice->axis, GridAxis::northing);
    EXPECT_EQ(choice->xLow, 8000.0f);
    EXPECT_EQ(choice->xHigh, 8099.87f);
}

TEST(ProfileTestTest, NoPassForAShortObliqueOrSelfDescribingLine) {
    // GRENDL stations all lie at 0, 0; a single station has no length either.
    EXPECT_FALSE(chooseProfilePass({{0, 0, 100}, {0, 0, 110}}).has_value());
    EXPECT_FALSE(chooseProfilePass({{5000, 7000, 100}}).has_value());
    EXPECT_FALSE(chooseProfilePass({}).has_value());
    EXPECT_FALSE(chooseProfilePass({{0, 0, 100}, {0.6f, 0.7f, 110}}).has_value());  // length 0.92
    // Oblique: both normalised changes 0.707.
    EXPECT_FALSE(chooseProfilePass({{0, 0, 1}, {100, 100, 2}}).has_value());
    // Station numbers that are the eastings: misfit 3 below 5.
    EXPECT_FALSE(chooseProfilePass({{5000, 7000, 5000}, {5025, 7000, 5028}}).has_value());
}

TEST(ProfileTestTest, NorthingMisfitLeavesOutTheFirstStation) {
    // The stations are the northings from the second one on; the first is far
    // off, yet it does not count, so no pass follows.
    EXPECT_FALSE(chooseProfilePass({{600, 7000, 1}, {600.5f, 7025, 7025}, {601, 7050, 7050}}).has_value());
    // The same first station with the second one 5 off passes the test.
    const std::optional<ProfileChoice> choice =
        chooseProfilePass({{600, 7000, 1}, {600.5f, 7025, 7030}, {601, 7050, 7050}});
    ASSERT_TRUE(choice.has_value());
    EXPECT_EQ(choice->axis, GridAxis::northing);
}

}  // namespace
}  // namespace vosklar
