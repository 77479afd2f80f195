#include "draymoor/cdi_body.hpp"

#include <gtest/gtest.h>

#include "common/run_stop.hpp"

namespace draymoor {
namespace {

const std::string kFile = "survey.cdi";
const FieldSource kSource{&kFile, 12};

TEST(CdiBody, ALineHeaderDropsItsFirstFourCharactersWhateverTheyAre) {
    EXPECT_EQ(classifyBodyLine(" \t "), BodyLineKind::skipped);
    EXPECT_EQ(classifyBodyLine("  1 2 3 Line"), BodyLineKind::lineHeader);
    EXPECT_EQ(classifyBodyLine("  1 2 3 line"), BodyLineKind::data);
    LineHeader header;
    readLineHeader("LINE20 Line", header, kSource);
    EXPECT_EQ(header.lineNumber, 20);
    EXPECT_EQ(header.fileName, "20 Line.dat");
    EXPECT_THROW(readLineHeader("  Line 5", header, kSource), common::RunStop);
    EXPECT_THROW(readLineHeader("Line", header, kSource), common::RunStop);
}

TEST(CdiBody, ADataLineReadsOnlyItsPositionAndConductivityFields) {
    DataValues values;
    // Fields 1, 5 and 7 to 14 are not numbers here: they are not read.
    readDataLine("F1\t500000.0 7000000.0 100.0 x 25.0 a b c d e f g h 0.5 0.0 2.0", 3, values, kSource);
    EXPECT_EQ(values.station.east, 500000.0f);
    EXPECT_EQ(values.station.north, 7000000.0f);
    EXPECT_EQ(values.station.level, 100.0f);
    EXPECT_EQ(values.station.dist, 25.0f);
    EXPECT_EQ(values.conductivities[2], 2.0f);
    // Fields beyond the depth count are not read either; a shorter line
    // leaves the rest as the line before set it.
    readDataLine("F2 1 2 3 x 4 a b c d e f g h 1 2 3 no", 3, values, kSource);
    readDataLine("F3 5", 3, values, kSource);
    EXPECT_EQ(values.station.east, 5.0f);
    EXPECT_EQ(values.station.north, 2.0f);
    EXPECT_EQ(values.conductivities[2], 3.0f);
    EXPECT_THROW(readDataLine("F4 1 2 3 x 4 a b c d e f g h 1 two", 3, values, kSource), common::RunStop);
}

}  // namespace
}  // namespace draymoor
