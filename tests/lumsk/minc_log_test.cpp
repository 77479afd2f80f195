// The parameter lines of the gridding log: fixed columns, CR LF, and the two
// lines whose layout differs (y origin, rotation angle).
#include "lumsk/minc_log.hpp"

#include <gtest/gtest.h>

namespace {

TEST(MincLog, ParameterLineHasTheNumberInColumns17To28) {
    // 13 label characters, 3 blanks, 12 number characters, CR LF.
    EXPECT_EQ(lumsk::parameterLine(" x cell size ", 25.0f, 4), " x cell size         25.0000\r\n");
    EXPECT_EQ(lumsk::parameterLine(" num columns  ", 100.0f, 0), " num columns            100.\r\n");
    EXPECT_EQ(lumsk::parameterLine(" x origin ", -0.5f, 2), " x origin              -0.50\r\n");
    EXPECT_EQ(lumsk::parameterLine(" radius used ", 206.0f, 3), " radius used         206.000\r\n");
    for (const char* label : {" x origin ", " search radius ", " sections/tier "}) {
        EXPECT_EQ(lumsk::parameterLine(label, 1.0f, 3).size(), 30u);
    }
}

TEST(MincLog, ValuesTooWideForTheFieldShowAsAsterisks) {
    EXPECT_EQ(lumsk::parameterLine(" null data ", -1.0E32f, 3), " null data      ************\r\n");
    EXPECT_EQ(lumsk::parameterLine(" x origin ", 1.0E10f, 2), " x origin       ************\r\n");
}

TEST(MincLog, YOriginFillsColumns15To28) {
    // 1.0E10 is exact in float32 and needs all 14 characters with 2 decimals.
    EXPECT_EQ(lumsk::yOriginLine(1.0E10f), " y origin     10000000000.00\r\n");
    EXPECT_EQ(lumsk::yOriginLine(6500.25f), " y origin            6500.25\r\n");
}

TEST(MincLog, RotationAngleLineIs31BytesWithABlankBeforeTheLineEnd) {
    const std::string line = lumsk::rotationAngleLine(-370.0f);
    EXPECT_EQ(line, " rotation angle     -370.000 \r\n");
    EXPECT_EQ(line.size(), 31u);
}

}  // namespace
