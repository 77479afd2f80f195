// GEOFLIP: a grid turned by 90 degrees, its top row first.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "lumsk/lumsk.hpp"
#include "support/temp_folder.hpp"

namespace {

template <typename T>
T at(const std::string& bytes, std::size_t offset) {
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

std::vector<float> nodes(const std::string& bytes) {
    std::vector<float> values((bytes.size() - 512) / 4);
    std::memcpy(values.data(), bytes.data() + 512, values.size() * 4);
    return values;
}

// A 3 x 2 input: bottom row 1 2 3, top row 4 5 6, at X0 7.5, Y0 100, cells 0.1 by 0.3.
void writeInput(const std::string& name, int kxflag, std::vector<float> values = {1, 2, 3, 4, 5, 6}) {
    std::vector<float> rowbuf(3);
    float zmin = 0.0f;
    float zmax = 0.0f;
    ASSERT_TRUE(lumsk::GEOOUT(0, name, rowbuf, 3, 2, values, 7.5f, 100.0f, 0.1f, 0.3f, 1, kxflag, -1.0E32f, zmin,
                              zmax));
}

TEST(GridTurning, ColumnsBecomeRowsWithTheTopRowFirst) {
    tests::TempFolder folder;
    writeInput("in.grd", 1);
    ASSERT_TRUE(lumsk::GEOFLIP("in.grd", "out.grd"));
    const std::string bytes = tests::readFileBytes("out.grd");
    ASSERT_EQ(bytes.size(), 512u + 24u);
    EXPECT_EQ(at<std::int32_t>(bytes, 0), 4);
    EXPECT_EQ(at<std::int32_t>(bytes, 4), 2);
    EXPECT_EQ(at<std::int32_t>(bytes, 8), 2);   // columns: the input's rows
    EXPECT_EQ(at<std::int32_t>(bytes, 12), 3);  // rows: the input's columns
    EXPECT_EQ(at<std::int32_t>(bytes, 16), -2);
    EXPECT_EQ(at<double>(bytes, 20), static_cast<double>(0.3f));
    EXPECT_EQ(at<double>(bytes, 28), static_cast<double>(0.1f));
    // x origin: the input's top row, in float32 arithmetic.
    EXPECT_EQ(at<double>(bytes, 36), static_cast<double>(100.0f + 0.3f));
    EXPECT_EQ(at<double>(bytes, 44), 7.5);
    EXPECT_EQ(at<double>(bytes, 68), 1.0);
    EXPECT_EQ(at<float>(bytes, 160), 1.0f);
    EXPECT_EQ(at<float>(bytes, 164), 6.0f);
    EXPECT_EQ(at<double>(bytes, 176), -1.0000000331813535E32);
    for (std::size_t offset = 188; offset < 512; ++offset) EXPECT_EQ(bytes[offset], ' ') << offset;
    // Turned grid, rows upward: row r = (top, bottom) of input column r, so
    // (4 1), (5 2), (6 3); stored last row first.
    EXPECT_EQ(nodes(bytes), (std::vector<float>{6, 3, 5, 2, 4, 1}));
}

TEST(GridTurning, BothInputRowOrdersTurnAlike) {
    tests::TempFolder folder;
    writeInput("first.grd", 1);
    writeInput("last.grd", -2);
    ASSERT_NE(tests::readFileBytes("first.grd"), tests::readFileBytes("last.grd"));
    ASSERT_TRUE(lumsk::GEOFLIP("first.grd", "a.grd"));
    ASSERT_TRUE(lumsk::GEOFLIP(std::string_view("last.grd\0  ", 11), "b.grd   "));
    EXPECT_EQ(tests::readFileBytes("a.grd"), tests::readFileBytes("b.grd"));
}

TEST(GridTurning, NullsMoveButStayOutOfTheExtremes) {
    tests::TempFolder folder;
    const float null = -1.0E32f;
    writeInput("in.grd", 1, {null, 2, 3, 4, 5, null});
    ASSERT_TRUE(lumsk::GEOFLIP("in.grd", " "));  // too short a name: the default one
    const std::string bytes = tests::readFileBytes("outfile.grd");
    EXPECT_EQ(nodes(bytes), (std::vector<float>{null, 3, 5, 2, 4, null}));
    EXPECT_EQ(at<float>(bytes, 160), 2.0f);
    EXPECT_EQ(at<float>(bytes, 164), 5.0f);

    writeInput("empty.grd", 1, {null, null, null, null, null, null});
    ASSERT_TRUE(lumsk::GEOFLIP("empty.grd", "e.grd"));
    const std::string empty = tests::readFileBytes("e.grd");
    EXPECT_EQ(at<float>(empty, 160), 1.0E7f);
    EXPECT_EQ(at<float>(empty, 164), -1.0E7f);
}

TEST(GridTurning, MissingOrTruncatedInputWritesNothing) {
    tests::TempFolder folder;
    EXPECT_FALSE(lumsk::GEOFLIP("none.grd", "out.grd"));
    EXPECT_FALSE(common::fileExists("out.grd"));
    // A header that promises more nodes than the file holds.
    writeInput("in.grd", 1);
    std::string cut = tests::readFileBytes("in.grd");
    cut.resize(cut.size() - 4);
    tests::writeFileBytes("cut.grd", cut);
    EXPECT_FALSE(lumsk::GEOFLIP("cut.grd", "out.grd"));
    EXPECT_FALSE(common::fileExists("out.grd"));
    tests::writeFileBytes("tiny.grd", "abc");
    EXPECT_FALSE(lumsk::GEOFLIP("tiny.grd", "out.grd"));
    EXPECT_FALSE(common::fileExists("out.grd"));
}

}  // namespace
