#include "haverel/token_reader.hpp"

#include <gtest/gtest.h>

#include "haverel/sample.hpp"
#include "haverel/sample_lines.hpp"

namespace {

using haverel::kNoIntegerValue;
using haverel::kNoRealValue;
using haverel::SampleLine;

TEST(TokenReader, FieldsSeparatedByOneBlankAreReadInTurn) {
    SampleLine line("12 -3 4.5 1.5E2   ");
    EXPECT_EQ(line.GET_IVAL(), 12);
    EXPECT_EQ(line.GET_IVAL(), -3);
    EXPECT_EQ(line.GET_RVAL(), 4.5);
    EXPECT_EQ(line.GET_RVAL(), 150.0);
    // Nothing left: the marker.
    EXPECT_EQ(line.GET_IVAL(), kNoIntegerValue);
    EXPECT_EQ(line.GET_RVAL(), kNoRealValue);
}

TEST(TokenReader, ABlankWhereAFieldShouldStartGivesMarkersFromThereOn) {
    SampleLine doubled("1  2 3");
    EXPECT_EQ(doubled.GET_IVAL(), 1);
    EXPECT_EQ(doubled.GET_IVAL(), kNoIntegerValue);
    EXPECT_EQ(doubled.GET_IVAL(), kNoIntegerValue);  // the line stays stuck at the blank

    SampleLine leading(" 1 2");
    EXPECT_EQ(leading.GET_IVAL(), kNoIntegerValue);
    EXPECT_EQ(leading.GET_RVAL(), kNoRealValue);
}

TEST(TokenReader, UndefinedAndUnreadableFieldsGiveTheMarkerButAreConsumed) {
    SampleLine line("U 5 abc 6 2.5 7 1.0e");
    EXPECT_EQ(line.GET_IVAL(), kNoIntegerValue);  // "U": undefined reading
    EXPECT_EQ(line.GET_IVAL(), 5);
    EXPECT_EQ(line.GET_RVAL(), kNoRealValue);     // not a number
    EXPECT_EQ(line.GET_IVAL(), 6);
    EXPECT_EQ(line.GET_IVAL(), kNoIntegerValue);  // a real in an integer field
    EXPECT_EQ(line.GET_IVAL(), 7);
    EXPECT_EQ(line.GET_RVAL(), kNoRealValue);
}

TEST(TokenReader, AListSeparatorInsideAFieldEndsTheNumberThere) {
    SampleLine line("12,7 3.5/ 9");
    EXPECT_EQ(line.GET_IVAL(), 12);  // one list item: the first value of "12,7"
    EXPECT_EQ(line.GET_RVAL(), 3.5);
    EXPECT_EQ(line.GET_IVAL(), 9);
}

TEST(SampleLines, EachKindReadsItsOwnFields) {
    haverel_tests::LineValues values;
    values.east = "1234.5";
    values.north = "-77.25";
    haverel::Sample full;
    haverel::readFullSampleLine(haverel_tests::fullLine(values), full);
    EXPECT_EQ(full.emFlag, 1);
    EXPECT_EQ(full.channels[0], 10);
    EXPECT_EQ(full.channels[14], 24);
    EXPECT_EQ(full.TC, 1.25);
    EXPECT_EQ(full.radAlt, 30.0);
    EXPECT_EQ(full.barAlt, 130.0);
    EXPECT_EQ(full.magFlag, 1);
    EXPECT_EQ(full.finalMag, 57000.5);
    EXPECT_EQ(full.east, 1234.5);
    EXPECT_EQ(full.north, -77.25);
    EXPECT_FALSE(haverel::hasDummyPosition(full));

    // A short line read into a sample leaves the fields it does not carry.
    haverel::Sample partial = full;
    values.channelBase = 100;
    haverel::readShortSampleLine(haverel_tests::shortLine(values) + " 99.0 99.0", partial);
    EXPECT_EQ(partial.channels[0], 100);
    EXPECT_EQ(partial.radAlt, 30.0);

    haverel::Sample dummy;
    values.north = "-99999.0";
    haverel::readFullSampleLine(haverel_tests::fullLine(values), dummy);
    EXPECT_TRUE(haverel::hasDummyPosition(dummy));
}

}  // namespace
