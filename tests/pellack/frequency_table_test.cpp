#include "pellack/frequency_table.hpp"

#include <gtest/gtest.h>

namespace pellack {
namespace {

TEST(FrequencyTable, MatchesWithinOneHundredthOfAHertzAndKeepsTheFirstValue) {
    FrequencyTable table;
    EXPECT_EQ(table.place(900.0f), 0);
    EXPECT_EQ(table.place(900.005f), 0);
    EXPECT_EQ(table.entry(0).frequency, 900.0f);
    EXPECT_EQ(table.place(900.015f), 1);  // above, beyond the tolerance
    EXPECT_EQ(table.place(899.98f), 0);   // below every entry: a new first one
    EXPECT_EQ(table.count(), 3);
    // The second pass takes the first entry within the tolerance (900.008 is
    // within it of 900.0 and of 900.015), and entry 0 when none is.
    EXPECT_EQ(table.find(900.008f), 1);
    EXPECT_EQ(table.find(905.0f), 0);
}

TEST(FrequencyTable, InsertionMovesComponentTypesWithTheirFrequencies) {
    FrequencyTable table;
    table.place(1000.0f);
    table.noteTypeLetter(0, TypeLetter::quadrature);
    EXPECT_EQ(table.place(500.0f), 0);
    EXPECT_EQ(table.entry(1).componentType, ComponentType::quadratureOnly);
    EXPECT_EQ(table.entry(0).componentType, ComponentType::unset);
    // Once both, a single component does not narrow it again.
    table.noteTypeLetter(1, TypeLetter::inPhase);
    table.noteTypeLetter(1, TypeLetter::quadrature);
    EXPECT_EQ(table.entry(1).componentType, ComponentType::both);
}

TEST(FrequencyTable, AFullTableStillFindsItsOwnFrequencies) {
    FrequencyTable table;
    for (int k = 1; k <= kMaxFrequencies; ++k) ASSERT_TRUE(table.place(100.0f * static_cast<float>(k)));
    EXPECT_FALSE(table.place(50.0f).has_value());
    EXPECT_EQ(table.place(3200.0f), 31);
}

TEST(FrequencyTable, FrequenciesAboveTheSinglePrecisionToleranceStillMatchThemselves) {
    // Above 262144 Hz a float step (1/32 Hz) is wider than twice the
    // tolerance: only an equal frequency can match.
    FrequencyTable table;
    EXPECT_EQ(table.place(300000.0f), 0);
    EXPECT_EQ(table.place(300000.0f), 0);
    EXPECT_EQ(table.place(12000000.0f), 1);
    EXPECT_EQ(table.place(12000000.0f), 1);
    EXPECT_EQ(table.place(300000.03125f), 1);  // the next float: a different frequency
    EXPECT_EQ(table.count(), 3);
    EXPECT_EQ(table.find(300000.0f), 0);
}

}  // namespace
}  // namespace pellack
