// The grid file layout written by GEOOUT, byte by byte, and its name rule.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "lumsk/lumsk.hpp"
#include "support/temp_folder.hpp"

namespace {

constexpr std::uint32_t kNullBits = 0xF49DC5AEu;  // -1.0E32 as float32

template <typename T>
T at(const std::string& bytes, std::size_t offset) {
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

std::uint32_t floatBits(const std::string& bytes, std::size_t offset) { return at<std::uint32_t>(bytes, offset); }

// Stored row `slot` (0-based) of a grid file.
std::vector<float> storedRow(const std::string& bytes, int slot, int nx) {
    std::vector<float> row(static_cast<std::size_t>(nx));
    std::memcpy(row.data(), bytes.data() + 512 + slot * nx * 4, row.size() * 4);
    return row;
}

struct Written {
    bool ok = false;
    float zmin = 0.0f;
    float zmax = 0.0f;
    std::string bytes;
};

// GEOOUT from an array of NX by NY values (column index first).
Written writeArray(const std::vector<float>& values, int nx, int ny, int itrans = 1, int kxflag = 1,
                   float dnull = -1.0E32f, int ihand = 0) {
    Written result;
    std::vector<float> rowbuf(static_cast<std::size_t>(nx));
    result.ok = lumsk::GEOOUT(ihand, "g.grd", rowbuf, nx, ny, values, 10.0f, 20.0f, 1.0f, 1.0f, itrans, kxflag,
                              dnull, result.zmin, result.zmax);
    result.bytes = tests::readFileBytes("g.grd");
    return result;
}

TEST(GridFile, HeaderHoldsEveryFieldAtItsOffset) {
    tests::TempFolder folder;
    float zmin = 0.0f;
    float zmax = 0.0f;
    std::vector<float> rowbuf(3);
    const std::vector<float> values{1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f};
    ASSERT_TRUE(lumsk::GEOOUT(0, "h.grd", rowbuf, 3, 2, values, 100.5f, -20.25f, 0.1f, 2.5f, 1, 1, -1.0E32f, zmin,
                              zmax));
    const std::string bytes = tests::readFileBytes("h.grd");
    ASSERT_EQ(bytes.size(), 512u + 24u);
    EXPECT_EQ(at<std::int32_t>(bytes, 0), 4);
    EXPECT_EQ(at<std::int32_t>(bytes, 4), 2);
    EXPECT_EQ(at<std::int32_t>(bytes, 8), 3);
    EXPECT_EQ(at<std::int32_t>(bytes, 12), 2);
    EXPECT_EQ(at<std::int32_t>(bytes, 16), 1);
    // The float32 arguments widened exactly, not re-read as decimals.
    EXPECT_EQ(at<double>(bytes, 20), 0.10000000149011612);
    EXPECT_EQ(at<double>(bytes, 28), 2.5);
    EXPECT_EQ(at<double>(bytes, 36), 100.5);
    EXPECT_EQ(at<double>(bytes, 44), -20.25);
    EXPECT_EQ(at<double>(bytes, 52), 0.0);
    EXPECT_EQ(at<double>(bytes, 60), 0.0);
    EXPECT_EQ(at<double>(bytes, 68), 1.0);
    for (std::size_t offset = 76; offset < 140; ++offset) EXPECT_EQ(bytes[offset], ' ') << offset;
    for (std::size_t offset = 140; offset < 160; ++offset) EXPECT_EQ(bytes[offset], '\0') << offset;
    EXPECT_EQ(at<float>(bytes, 160), 1.0f);
    EXPECT_EQ(at<float>(bytes, 164), 6.0f);
    EXPECT_EQ(floatBits(bytes, 168), kNullBits);
    EXPECT_EQ(floatBits(bytes, 172), kNullBits);
    EXPECT_EQ(at<double>(bytes, 176), -1.0000000331813535E32);
    for (std::size_t offset = 184; offset < 188; ++offset) EXPECT_EQ(bytes[offset], '\0') << offset;
    for (std::size_t offset = 188; offset < 512; ++offset) EXPECT_EQ(bytes[offset], ' ') << offset;
    EXPECT_EQ(zmin, 1.0f);
    EXPECT_EQ(zmax, 6.0f);
    EXPECT_EQ(storedRow(bytes, 0, 3), (std::vector<float>{1.0f, 2.0f, 3.0f}));
    EXPECT_EQ(storedRow(bytes, 1, 3), (std::vector<float>{4.0f, 5.0f, 6.0f}));

    // A reader sees the same fields through the decoded header.
    common::RawFile file = common::RawFile::openRead("h.grd");
    lumsk::GridFileHeader header;
    ASSERT_TRUE(lumsk::readGridFileHeader(file, header));
    EXPECT_EQ(header.X0, 100.5);
    EXPECT_EQ(header.zmax, 6.0f);
}

TEST(GridFile, AnyFlagButOneStoresTheRowsLastToFirst) {
    tests::TempFolder folder;
    const std::vector<float> values{1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f};  // rows (1 2) (3 4) (5 6)
    for (const int kxflag : {-2, 0, 7}) {
        const Written grid = writeArray(values, 2, 3, 1, kxflag);
        ASSERT_TRUE(grid.ok);
        EXPECT_EQ(at<std::int32_t>(grid.bytes, 16), -2) << kxflag;
        EXPECT_EQ(storedRow(grid.bytes, 2, 2), (std::vector<float>{1.0f, 2.0f})) << kxflag;
        EXPECT_EQ(storedRow(grid.bytes, 1, 2), (std::vector<float>{3.0f, 4.0f})) << kxflag;
        EXPECT_EQ(storedRow(grid.bytes, 0, 2), (std::vector<float>{5.0f, 6.0f})) << kxflag;
    }
}

TEST(GridFile, ExtremesSkipNullsAndStartFromTenMillion) {
    tests::TempFolder folder;
    const Written falling = writeArray({5.0f, 4.0f, 3.0f}, 3, 1);
    EXPECT_EQ(falling.zmin, 3.0f);
    EXPECT_EQ(falling.zmax, 5.0f);
    const Written flat = writeArray({2.5f, 2.5f, 2.5f, 2.5f}, 2, 2);
    EXPECT_EQ(flat.zmin, 2.5f);
    EXPECT_EQ(flat.zmax, 2.5f);
    // Values beyond the start values: the start values are only a floor/ceiling.
    const Written wide = writeArray({2.0E7f, -3.0E7f}, 2, 1);
    EXPECT_EQ(wide.zmin, -3.0E7f);
    EXPECT_EQ(wide.zmax, 2.0E7f);

    // A caller's own null (-99) becomes the null value in the file.
    const Written empty = writeArray({-99.0f, -99.0f, -99.0f, -99.0f}, 2, 2, 1, 1, -99.0f);
    ASSERT_TRUE(empty.ok);
    EXPECT_EQ(empty.zmin, 1.0E7f);
    EXPECT_EQ(empty.zmax, -1.0E7f);
    EXPECT_EQ(at<float>(empty.bytes, 160), 1.0E7f);
    EXPECT_EQ(at<float>(empty.bytes, 164), -1.0E7f);
    for (std::size_t node = 0; node < 4; ++node) EXPECT_EQ(floatBits(empty.bytes, 512 + 4 * node), kNullBits);
}

TEST(GridFile, InverseTransformsGiveDataUnits) {
    tests::TempFolder folder;
    const float e = 2.7182817f;
    const Written natural = writeArray({0.0f, 1.0f}, 2, 1, 2);
    EXPECT_EQ(storedRow(natural.bytes, 0, 2)[0], 1.0f);  // e^0 is exact
    EXPECT_EQ(storedRow(natural.bytes, 0, 2)[1], e);     // e^1 is e itself
    EXPECT_EQ(natural.zmax, e);

    // Signed log: beyond +-1 the exponent is shifted by one; within, unchanged.
    const std::vector<float> signedRow = storedRow(writeArray({2.0f, 0.5f, -2.0f, 1.0f, -1.0f}, 5, 1, 3).bytes, 0, 5);
    EXPECT_EQ(signedRow, (std::vector<float>{e, 0.5f, -e, 1.0f, -1.0f}));

    // The null test comes before the transform: a DNULL of 0 in log units
    // is a null, not e^0.
    const Written nullFirst = writeArray({0.0f, 2.0f}, 2, 1, 2, 1, 0.0f);
    const std::vector<float> row = storedRow(nullFirst.bytes, 0, 2);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(row[0]), kNullBits);
    // e^2 by powf: within one float32 rounding of e * e (7.389056).
    EXPECT_NEAR(row[1], 7.389056f, 1.0E-6f);
    EXPECT_EQ(nullFirst.zmin, row[1]);
}

TEST(GridFile, HandleSourceIsReadFromItsStart) {
    tests::TempFolder folder;
    common::RawFile rows = common::RawFile::create("rows.tmp");
    const std::vector<float> first{1.0f, 2.0f, 3.0f};
    const std::vector<float> second{-5.0f, 0.0f, 4.0f};
    ASSERT_TRUE(lumsk::ROWIO(rows, 3, first));
    ASSERT_TRUE(lumsk::ROWIO(rows, 3, second));
    EXPECT_EQ(tests::readFileBytes("rows.tmp").size(), 24u);  // appended one after the other

    std::vector<float> rowbuf(3, 99.0f);
    float zmin = 0.0f;
    float zmax = 0.0f;
    // The handle stands at the end after the writes; GEOOUT rewinds it. The
    // null of the source (0.0 here) becomes the null value.
    ASSERT_TRUE(lumsk::GEOOUT(rows, "h.grd", rowbuf, 3, 2, {}, 0.0f, 0.0f, 1.0f, 1.0f, 1, -2, 0.0f, zmin, zmax));
    const std::string bytes = tests::readFileBytes("h.grd");
    EXPECT_EQ(storedRow(bytes, 1, 3), first);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(storedRow(bytes, 0, 3)[1]), kNullBits);
    EXPECT_EQ(zmin, -5.0f);
    EXPECT_EQ(zmax, 4.0f);
    // The row buffer holds the last row as written.
    EXPECT_EQ(rowbuf[0], -5.0f);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(rowbuf[1]), kNullBits);
}

TEST(GridFile, TransposedArrayTakesRowsFromTheFirstIndex) {
    tests::TempFolder folder;
    // ZGRID(1,1)=1, ZGRID(2,1)=2, ZGRID(1,2)=3, ZGRID(2,2)=4: node (i, j) takes ZGRID(j, i).
    const Written square = writeArray({1.0f, 2.0f, 3.0f, 4.0f}, 2, 2, 1, 1, -1.0E32f, -1);
    EXPECT_EQ(storedRow(square.bytes, 0, 2), (std::vector<float>{1.0f, 3.0f}));
    EXPECT_EQ(storedRow(square.bytes, 1, 2), (std::vector<float>{2.0f, 4.0f}));
    // A 3 by 2 grid reads a 2 by 3 array (rows first) and stays inside it.
    const Written oblong = writeArray({1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f}, 3, 2, 1, 1, -1.0E32f, -1);
    EXPECT_EQ(storedRow(oblong.bytes, 0, 3), (std::vector<float>{1.0f, 3.0f, 5.0f}));
    EXPECT_EQ(storedRow(oblong.bytes, 1, 3), (std::vector<float>{2.0f, 4.0f, 6.0f}));
}

TEST(GridFile, NameRule) {
    using lumsk::gridFileName;
    EXPECT_EQ(gridFileName("grid.grd      "), "grid.grd");
    EXPECT_EQ(gridFileName(std::string_view("tmp.grd\0   ", 11)), "tmp.grd");
    EXPECT_EQ(gridFileName(std::string_view("x\0", 2)), "x");  // NUL at position 2
    EXPECT_EQ(gridFileName("a    "), "outfile.grd");
    EXPECT_EQ(gridFileName("        "), "outfile.grd");
    EXPECT_EQ(gridFileName("ab"), "ab");
    // Blanks inside a name are kept; only trailing ones go.
    EXPECT_EQ(gridFileName("my grid.grd  "), "my grid.grd");
    // Long names are used whole.
    const std::string longName(300, 'n');
    EXPECT_EQ(gridFileName(longName), longName);
    // GEOFLIP's input rule has no default name.
    EXPECT_EQ(lumsk::nameBeforeNul("in.grd   "), "in.grd");
    EXPECT_EQ(lumsk::nameBeforeNul("a"), "a");
}

TEST(GridFile, FailuresAreReportedAndLeaveNoFile) {
    tests::TempFolder folder;
    std::vector<float> rowbuf(2);
    const std::vector<float> values{1.0f, 2.0f, 3.0f, 4.0f};
    float zmin = 123.0f;
    float zmax = 456.0f;
    // A grid that cannot be created.
    EXPECT_FALSE(lumsk::GEOOUT(0, "no/such/folder.grd", rowbuf, 2, 2, values, 0, 0, 1, 1, 1, 1, -1.0E32f, zmin,
                               zmax));
    // A row source shorter than the grid.
    common::RawFile shortSource = common::RawFile::create("short.tmp");
    ASSERT_TRUE(lumsk::ROWIO(shortSource, 2, values));
    EXPECT_FALSE(lumsk::GEOOUT(shortSource, "s.grd", rowbuf, 2, 2, {}, 0, 0, 1, 1, 1, 1, -1.0E32f, zmin, zmax));
    EXPECT_FALSE(common::fileExists("s.grd"));
    // Buffers too small for the grid are refused before anything is written.
    EXPECT_FALSE(lumsk::GEOOUT(0, "b.grd", rowbuf, 3, 2, values, 0, 0, 1, 1, 1, 1, -1.0E32f, zmin, zmax));
    EXPECT_FALSE(lumsk::GEOOUT(0, "b.grd", rowbuf, 2, 3, values, 0, 0, 1, 1, 1, 1, -1.0E32f, zmin, zmax));
    EXPECT_FALSE(common::fileExists("b.grd"));
    EXPECT_FALSE(lumsk::ROWIO(shortSource, 5, values));
    EXPECT_EQ(zmin, 123.0f);
    EXPECT_EQ(zmax, 456.0f);
}

}  // namespace
