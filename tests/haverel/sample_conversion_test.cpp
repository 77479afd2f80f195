#include "haverel/sample_conversion.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "haverel/sample_lines.hpp"
#include "support/temp_folder.hpp"

namespace {

using haverel_tests::fullLine;
using haverel_tests::LineValues;
using haverel_tests::middleLine;
using haverel_tests::shortLine;

struct Converted {
    std::int32_t count = 0;
    std::vector<std::string> mag, em, emData;
};

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

Converted convert(const std::vector<std::string>& inputLines, std::int32_t direction = 1) {
    tests::TempFolder folder;
    std::string text;
    for (const std::string& line : inputLines) text += line + "\r\n";
    tests::writeFileBytes("in.dat", text);
    Converted result;
    {
        common::LineReader input("in.dat");
        common::TextWriter mag("mag"), em("em"), emData("tem");
        result.count = haverel::convertSampleLines(input, 101, direction, {mag, em, emData});
    }
    result.mag = linesOf(tests::readFileBytes("mag"));
    result.em = linesOf(tests::readFileBytes("em"));
    result.emData = linesOf(tests::readFileBytes("tem"));
    return result;
}

double column(const std::string& row, std::size_t first, std::size_t width) {
    return std::stod(row.substr(first, width));
}

// One group: opening full line at (1000, 5000), closing at (1400, 5300).
std::vector<std::string> oneGroup(LineValues opening, LineValues middle, LineValues closing) {
    return {fullLine(opening), shortLine(opening), middleLine(middle), shortLine(opening), fullLine(closing)};
}

TEST(SampleConversion, AGroupWritesFourEmSamplesTwoMagSamplesAndTheClosingLineLast) {
    LineValues opening, middle, closing;
    middle.radAlt = "34.0";
    middle.barAlt = "134.0";
    closing.east = "1400.0";
    closing.north = "5300.0";
    closing.radAlt = "40.0";
    closing.barAlt = "140.0";
    const Converted out = convert(oneGroup(opening, middle, closing));

    EXPECT_EQ(out.count, 5);
    ASSERT_EQ(out.mag.size(), 3u);  // samples 1 and 3, then the closing line at the end
    ASSERT_EQ(out.em.size(), 5u);   // samples 1 to 4, then the closing line
    ASSERT_EQ(out.emData.size(), 5u);

    // Worked by hand: I8, I4, F10.1, F11.1, F10.1 x 3, F12.2.
    EXPECT_EQ(out.mag[0], "     101   1    1000.0     5000.0      30.0     130.0     100.0    57000.50");
    // Sample 3 sits half-way: East 1200, North 5150, its own altitudes.
    EXPECT_EQ(out.mag[1], "     101   1    1200.0     5150.0      34.0     134.0     100.0    57000.50");

    // Positions at 1/4, 1/2, 3/4 of the way and mean altitudes of the short samples.
    const double expectedEast[] = {1000.0, 1100.0, 1200.0, 1300.0, 1400.0};
    const double expectedRadAlt[] = {30.0, 32.0, 34.0, 37.0, 40.0};
    for (std::size_t k = 0; k < 5; ++k) {
        EXPECT_EQ(column(out.em[k], 12, 10), expectedEast[k]) << k;
        EXPECT_EQ(column(out.em[k], 33, 10), expectedRadAlt[k]) << k;
        EXPECT_EQ(out.em[k].size(), 176u);
        EXPECT_EQ(out.emData[k].size(), 174u);
    }
    // Each step is 100 east and 75 north: 125 m of station distance.
    for (std::size_t k = 0; k < 5; ++k) EXPECT_EQ(column(out.emData[k], 0, 10), 125.0 * static_cast<double>(k));
    // TC in 8 columns with 2 decimals, then 15 channels of 7 columns.
    EXPECT_EQ(out.em[0].substr(63, 8 + 14), "    1.25     10     11");
}

TEST(SampleConversion, DirectionAboveTwoCountsTheDistanceBackwards) {
    LineValues opening, closing;
    closing.east = "1012.0";  // 3 m east and 4 m north per quarter step: 5 m
    closing.north = "5016.0";
    const Converted out = convert(oneGroup(opening, opening, closing), 3);
    ASSERT_EQ(out.emData.size(), 5u);
    EXPECT_EQ(out.emData[0].substr(0, 10), "       0.0");
    EXPECT_EQ(out.emData[1].substr(0, 10), "      -5.0");
    EXPECT_EQ(out.emData[4].substr(0, 10), "     -20.0");
}

TEST(SampleConversion, FlagsOtherThanOneWriteNoRows) {
    LineValues quiet;
    quiet.emFlag = 0;
    quiet.magFlag = 2;
    const Converted out = convert(oneGroup(quiet, quiet, quiet));
    EXPECT_TRUE(out.mag.empty());
    EXPECT_TRUE(out.em.empty());
    EXPECT_TRUE(out.emData.empty());
    EXPECT_EQ(out.count, 5);
}

TEST(SampleConversion, ARejectedClosingLineDropsItsGroupUntilAfterTheNextComment) {
    LineValues good, dummy, next;
    dummy.north = "-99999.0";
    next.east = "2000.0";
    std::vector<std::string> lines = oneGroup(good, good, dummy);
    lines.push_back(shortLine(good));   // dropped by the skip
    lines.push_back(middleLine(good));  // dropped by the skip
    lines.push_back("* next part");
    lines.push_back(fullLine(next));    // opens a new run; the file then ends
    const Converted out = convert(lines);
    ASSERT_EQ(out.em.size(), 1u);  // only the new opening line, by the end step
    EXPECT_EQ(column(out.em[0], 12, 10), 2000.0);
    // The distance goes on from 0 and the jump to the new opening line is not counted.
    EXPECT_EQ(column(out.emData[0], 0, 10), 0.0);
    EXPECT_EQ(out.count, 5);
}

TEST(SampleConversion, AFileEndingInsideAGroupWritesOnlyItsOpeningLine) {
    LineValues opening;
    const Converted out = convert({"* comment", "", fullLine(opening), shortLine(opening), middleLine(opening)});
    EXPECT_EQ(out.mag.size(), 1u);
    EXPECT_EQ(out.em.size(), 1u);
    EXPECT_EQ(out.count, 1);
}

TEST(SampleConversion, ThreeGroupsCountThirteenDataPoints) {
    LineValues v;
    std::vector<std::string> lines = {fullLine(v)};
    for (int group = 0; group < 3; ++group) {
        for (const std::string& line : {shortLine(v), middleLine(v), shortLine(v), fullLine(v)}) lines.push_back(line);
    }
    const Converted out = convert(lines);
    EXPECT_EQ(out.count, 13);
    EXPECT_EQ(out.em.size(), 13u);
    EXPECT_EQ(out.mag.size(), 7u);
}

TEST(SampleConversion, MarkersAreWrittenAsPlainNumbersOrAsterisks) {
    LineValues v;
    v.TC = "U";  // undefined: the marker -99999.0, too wide for F8.2
    const Converted out = convert({fullLine(v)});
    ASSERT_EQ(out.em.size(), 1u);
    EXPECT_EQ(out.em[0].substr(63, 8), "********");
    // A short line that starts with a blank has EM flag -99999 and writes nothing.
    LineValues opening;
    std::vector<std::string> lines = oneGroup(opening, opening, opening);
    lines[1] = " " + lines[1];
    const Converted skipped = convert(lines);
    EXPECT_EQ(skipped.em.size(), 4u);  // samples 1, 3, 4 and the closing line
}

}  // namespace
