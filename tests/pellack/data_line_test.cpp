#include "pellack/data_line.hpp"

#include <gtest/gtest.h>

namespace pellack {
namespace {

TEST(DataLine, TheLetterIsSearchedByPrecedenceAndTokensFollowItsLaterCase) {
    EXPECT_EQ(findTypeLetter("  z  1 q 1.0 i 2.0").letter, TypeLetter::inPhase);
    EXPECT_EQ(findTypeLetter("q i B").letter, TypeLetter::both);
    EXPECT_EQ(findTypeLetter("1.0 2.0 z x").letter, TypeLetter::none);
    // First "b" at 2, first "B" at 6: the tokens begin after position 6.
    EXPECT_EQ(findTypeLetter("1 b 2 B 3 b").tokensStart, 7U);
}

TEST(DataLine, ErrorModeTokensFillNoSlotAndTokensAfterTheLastSlotAreIgnored) {
    ValueRow row;
    ASSERT_EQ(takeDataLine("B V 1 2 3 4 p", DataRole::observed, row).status, DataLineStatus::ok);
    EXPECT_EQ(row.errorMode, ErrorMode::value);
    EXPECT_EQ(row.slots[kInPhaseObserved], 1.0f);
    EXPECT_EQ(row.slots[kQuadratureObserved], 2.0f);
    EXPECT_EQ(row.slots[kInPhaseError], 3.0f);
    EXPECT_EQ(row.slots[kQuadratureError], 4.0f);
    // A predicted line changes the mode too; "1.5,2.5" fills one slot.
    ASSERT_EQ(takeDataLine("b %p 1.5,2.5 3.5 v", DataRole::predicted, row).status, DataLineStatus::ok);
    EXPECT_EQ(row.errorMode, ErrorMode::percent);
    EXPECT_EQ(row.slots[kInPhasePredicted], 1.5f);
    EXPECT_EQ(row.slots[kQuadraturePredicted], 3.5f);
}

TEST(DataLine, AnObservedSingleComponentMarksTheOtherMissing) {
    ValueRow row;
    row.slots.fill(7.0f);
    ASSERT_EQ(takeDataLine("Q 2.5 3.5", DataRole::observed, row).status, DataLineStatus::ok);
    EXPECT_EQ(row.slots[kQuadratureObserved], 2.5f);
    EXPECT_EQ(row.slots[kQuadratureError], 3.5f);
    EXPECT_EQ(row.slots[kInPhaseObserved], kMissingValue);
    EXPECT_EQ(row.slots[kInPhaseError], kMissingValue);
    EXPECT_EQ(row.slots[kInPhasePredicted], kMissingValue);
    EXPECT_EQ(row.slots[kInPhaseResidual], 7.0f);
    // A predicted line touches only its own slot.
    ASSERT_EQ(takeDataLine("i 9.5", DataRole::predicted, row).status, DataLineStatus::ok);
    EXPECT_EQ(row.slots[kInPhasePredicted], 9.5f);
    EXPECT_EQ(row.slots[kQuadraturePredicted], 7.0f);
}

TEST(DataLine, ReportsLinesThatCannotBeTaken) {
    ValueRow row;
    EXPECT_EQ(takeDataLine("   1.0   2.0   z", DataRole::observed, row).status, DataLineStatus::noTypeLetter);
    EXPECT_EQ(takeDataLine("b 1.0 2.0 v 3.0   ", DataRole::observed, row).status, DataLineStatus::tooFewValues);
    const DataLineResult bad = takeDataLine("b 1.0 x2.0", DataRole::predicted, row);
    EXPECT_EQ(bad.status, DataLineStatus::badValue);
    EXPECT_EQ(bad.token, "x2.0");
}

}  // namespace
}  // namespace pellack
