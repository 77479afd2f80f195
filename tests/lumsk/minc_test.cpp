// MINC end to end, in both builds: gridding a plane, the blanking beyond the
// data, the grid header, the log, the name rules, failures that leave nothing
// behind, and the rules that turn arguments into settings.
#include "lumsk/minc.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "lumsk/minc_setup.hpp"
#include "lumsk/status.hpp"
#include "support/temp_folder.hpp"

namespace {

using lumsk::LibraryBuild;

constexpr float kNull = -1.0E32f;
constexpr int kChannels = 3;

// The plane every test grids: z = 2 i + 3 j + 1 at grid column i, row j
// (both from 0), written as channel 1; channel 2 is twice it, channel 3 null.
float plane(int i, int j) { return static_cast<float>(2 * i + 3 * j + 1); }

// Points on every node of columns 0..lastColumn and rows 0..lastRow of a grid
// with origin (1000, 500) and unit cells.
void writePlanePoints(int lastColumn, int lastRow, const std::string& name = "tmpdat.tmp") {
    std::vector<float> records;
    for (int j = 0; j <= lastRow; ++j) {
        for (int i = 0; i <= lastColumn; ++i) {
            const float z = plane(i, j);
            records.insert(records.end(), {1000.0f + static_cast<float>(i), 500.0f + static_cast<float>(j), z,
                                           2.0f * z, kNull});
        }
    }
    std::string bytes(records.size() * 4, '\0');
    std::memcpy(bytes.data(), records.data(), bytes.size());
    tests::writeFileBytes(name, bytes);
}

// The plane's call: 41 x 21 unit cells over the points, a radius of 3, channel
// 1 as it stands, rows first to last; ZMIN and ZMAX show whether they are set.
struct Call : lumsk::MincRequest {
    Call()
        : lumsk::MincRequest{.OUTGRD = "plane.grd", .X0 = 1000.0f, .Y0 = 500.0f, .DX = 1.0f, .DY = 1.0f, .NCOL = 41,
                             .NROW = 21, .RADIUS = 3.0f, .DATFIL = std::string("tmpdat.tmp\0", 11), .DNULL = kNull,
                             .MAXCHN = kChannels, .ZMIN = 123.0f, .ZMAX = 456.0f} {}

    std::int32_t run(lumsk::Gridder& gridder) {
        gridder.MINC(*this);
        return ISTAT;
    }
};

struct Grid {
    std::int32_t NX = 0, NY = 0, flag = 0;
    double DX = 0, DY = 0, X0 = 0, Y0 = 0;
    float zmin = 0, zmax = 0;
    std::vector<float> values;  // row 1 first, whatever the stored order
    float at(int i, int j) const { return values[static_cast<std::size_t>(j * NX + i)]; }
};

template <typename T>
T fieldAt(const std::string& bytes, std::size_t offset) {
    T value{};
    std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

Grid readGrid(const std::string& name) {
    const std::string bytes = tests::readFileBytes(name);
    Grid grid;
    grid.NX = fieldAt<std::int32_t>(bytes, 8);
    grid.NY = fieldAt<std::int32_t>(bytes, 12);
    grid.flag = fieldAt<std::int32_t>(bytes, 16);
    grid.DX = fieldAt<double>(bytes, 20);
    grid.DY = fieldAt<double>(bytes, 28);
    grid.X0 = fieldAt<double>(bytes, 36);
    grid.Y0 = fieldAt<double>(bytes, 44);
    grid.zmin = fieldAt<float>(bytes, 160);
    grid.zmax = fieldAt<float>(bytes, 164);
    const std::size_t nodes = static_cast<std::size_t>(grid.NX) * grid.NY;
    if (bytes.size() != 512 + 4 * nodes) return grid;
    for (int j = 0; j < grid.NY; ++j) {
        const int slot = grid.flag == 1 ? j : grid.NY - 1 - j;
        for (int i = 0; i < grid.NX; ++i) grid.values.push_back(fieldAt<float>(bytes, 512 + 4 * (slot * grid.NX + i)));
    }
    return grid;
}

bool isNull(float value) { return std::bit_cast<std::uint32_t>(value) == std::bit_cast<std::uint32_t>(kNull); }

// A data node holds the weighted mean of its points, sum(w z) / sum(w), in
// float32: with one point that is three roundings (w z, 1 / w, the product),
// each within half a unit in the last place, so the node lies within a
// relative 2^-22 (four half-units) of z.
void expectPlaneValue(float value, int i, int j) {
    const float z = plane(i, j);
    EXPECT_NEAR(value, z, std::fabs(z) * 0x1p-22f) << "node " << i << ", " << j;
}

std::vector<std::string> leftoverTemporaryFiles() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("~minc", 0) == 0 && entry.is_regular_file()) names.push_back(name);
    }
    return names;
}

std::string logText() { return tests::readFileBytes("minc.log"); }

// --- the plane and the blanking --------------------------------------------

// Points fill columns 0..20 of a 41 x 21 grid; the search radius is 3 cells.
// The narrow build keeps only the columns that hold data; the wide build
// also keeps the column next to them; beyond that every node is null.
TEST(Minc, PlaneIsReproducedAndNodesBeyondTheDataAreNull) {
    for (LibraryBuild build : {LibraryBuild::narrowOutline, LibraryBuild::wideOutline}) {
        tests::TempFolder folder;
        writePlanePoints(20, 20);
        lumsk::Gridder gridder(build);
        Call call;
        ASSERT_EQ(call.run(gridder), 0);
        EXPECT_TRUE(leftoverTemporaryFiles().empty());

        const Grid grid = readGrid("plane.grd");
        ASSERT_EQ(grid.NX, 41);
        ASSERT_EQ(grid.NY, 21);
        ASSERT_EQ(grid.values.size(), 41u * 21u);
        EXPECT_EQ(grid.flag, 1);
        EXPECT_EQ(grid.DX, 1.0);
        EXPECT_EQ(grid.DY, 1.0);
        EXPECT_EQ(grid.X0, 1000.0);
        EXPECT_EQ(grid.Y0, 500.0);
        const int lastKept = build == LibraryBuild::narrowOutline ? 20 : 21;
        for (int j = 0; j < 21; ++j) {
            for (int i = 0; i <= 20; ++i) expectPlaneValue(grid.at(i, j), i, j);
            for (int i = 21; i <= lastKept; ++i) EXPECT_FALSE(isNull(grid.at(i, j))) << i << ", " << j;
            for (int i = lastKept + 1; i < 41; ++i) EXPECT_TRUE(isNull(grid.at(i, j))) << i << ", " << j;
        }
        // The header and the returned extremes agree; the smallest value is
        // the plane's at the origin.
        EXPECT_EQ(std::bit_cast<std::uint32_t>(grid.zmin), std::bit_cast<std::uint32_t>(call.ZMIN));
        EXPECT_EQ(std::bit_cast<std::uint32_t>(grid.zmax), std::bit_cast<std::uint32_t>(call.ZMAX));
        EXPECT_NEAR(call.ZMIN, 1.0f, 1.0e-6f);
        if (build == LibraryBuild::narrowOutline) {
            EXPECT_NEAR(call.ZMAX, 101.0f, 1.0e-4f);
        }

        const std::string log = logText();
        EXPECT_NE(log.find(" half window              3.\r\n"), std::string::npos);
        EXPECT_NE(log.find(" total columns           47.\r\n"), std::string::npos);
        EXPECT_NE(log.find(" total rows              27.\r\n"), std::string::npos);
        EXPECT_EQ(log.find(" radius used "), std::string::npos);
    }
}

TEST(Minc, RadiusBeyondHalfTheGridMakesNoMaskInTheWideBuildOnly) {
    for (LibraryBuild build : {LibraryBuild::narrowOutline, LibraryBuild::wideOutline}) {
        tests::TempFolder folder;
        writePlanePoints(20, 20);
        lumsk::Gridder gridder(build);
        Call call;
        call.RADIUS = 11.0f;  // above NROW * DY / 2 = 10.5
        ASSERT_EQ(call.run(gridder), 0);
        const std::string log = logText();
        const Grid grid = readGrid("plane.grd");
        ASSERT_EQ(grid.values.size(), 41u * 21u);
        if (build == LibraryBuild::wideOutline) {
            EXPECT_NE(log.find(" half window              0.\r\n"), std::string::npos);
            EXPECT_EQ(log.find(" total columns "), std::string::npos);
            EXPECT_EQ(log.find(" total rows "), std::string::npos);
            for (float value : grid.values) EXPECT_FALSE(isNull(value));
        } else {
            EXPECT_NE(log.find(" half window             11.\r\n"), std::string::npos);
            EXPECT_NE(log.find(" total columns           63.\r\n"), std::string::npos);
            EXPECT_TRUE(isNull(grid.at(40, 10)));
        }
    }
}

TEST(Minc, ZeroRadiusKeepsEverySolvedNode) {
    tests::TempFolder folder;
    writePlanePoints(20, 20);
    lumsk::Gridder gridder(LibraryBuild::narrowOutline);
    Call call;
    call.RADIUS = 0.0f;
    ASSERT_EQ(call.run(gridder), 0);
    EXPECT_NE(logText().find(" half window              0.\r\n"), std::string::npos);
    for (float value : readGrid("plane.grd").values) EXPECT_FALSE(isNull(value));
}

TEST(Minc, HalfWindowIsReducedToFitTheWorkArea) {
    tests::TempFolder folder;
    // 200 columns and a radius of 400 cells: (803 * 1000) words do not fit
    // 256000; h = 206 gives 415 * 612 = 253980, h = 207 would need 256038.
    writePlanePoints(199, 11);
    lumsk::Gridder gridder(LibraryBuild::narrowOutline);
    Call call;
    call.NCOL = 200;
    call.NROW = 12;
    call.RADIUS = 400.0f;
    ASSERT_EQ(call.run(gridder), 0);
    const std::string log = logText();
    const std::string expected = " half window            206.\r\n"
                                 " radius used         206.000\r\n"
                                 " total columns          612.\r\n"
                                 " total rows             424.\r\n";
    EXPECT_NE(log.find(expected), std::string::npos) << log;
    EXPECT_EQ(readGrid("plane.grd").values.size(), 200u * 12u);
}

// 19683 columns and a radius of 100 cells: the float32 reduction gives h = 5
// (see MaskWorkAreaHoldsTheRingOfAFloatReducedHalfWindow), whose ring of 11
// mask rows of 19693 cells and its two rows need 256009 words. The call grids
// without running past its work area.
TEST(Minc, WideGridWithAReducedHalfWindowGridsWhole) {
    tests::TempFolder folder;
    writePlanePoints(19682, 5);
    lumsk::Gridder gridder(LibraryBuild::narrowOutline);
    Call call;
    call.NCOL = 19683;
    call.NROW = 6;
    call.RADIUS = 100.0f;
    ASSERT_EQ(call.run(gridder), 0);
    const std::string expected = " half window              5.\r\n"
                                 " radius used           5.000\r\n"
                                 " total columns        19693.\r\n"
                                 " total rows              16.\r\n";
    EXPECT_NE(logText().find(expected), std::string::npos);
    const Grid grid = readGrid("plane.grd");
    ASSERT_EQ(grid.values.size(), 19683u * 6u);
    for (int i : {0, 9841, 19682}) expectPlaneValue(grid.at(i, 3), i, 3);
    EXPECT_TRUE(leftoverTemporaryFiles().empty());
}

// --- the log ----------------------------------------------------------------

TEST(Minc, LogOpensWithTheCallsParametersAndTheLayout) {
    tests::TempFolder folder;
    writePlanePoints(20, 20);
    lumsk::Gridder gridder(LibraryBuild::narrowOutline);
    Call call;
    ASSERT_EQ(call.run(gridder), 0);
    const std::string expected =
        " x origin            1000.00\r\n"
        " y origin             500.00\r\n"
        " x cell size          1.0000\r\n"
        " y cell size          1.0000\r\n"
        " num columns             41.\r\n"
        " num rows                21.\r\n"
        " z channel                1.\r\n"
        " max chan                 3.\r\n"
        " search radius         3.000\r\n"
        " rotation angle        0.000 \r\n"
        " null data      ************\r\n"
        " half window              3.\r\n"
        " total columns           47.\r\n"
        " total rows              27.\r\n"
        " number tiers             1.\r\n"
        " sections/tier            1.\r\n"
        " columns/block           45.\r\n"
        " rows/block              25.\r\n"
        "\r\n"
        " tier  sect   init err    end err    #iterations\r\n";
    const std::string log = logText();
    EXPECT_EQ(log.substr(0, expected.size()), expected);
    // One block: one table line of 41 characters after the heading.
    EXPECT_EQ(log.size(), expected.size() + 43);
}

TEST(Minc, EveryCallRewritesTheLogWithItsOwnArguments) {
    tests::TempFolder folder;
    writePlanePoints(20, 20);
    lumsk::Gridder gridder(LibraryBuild::wideOutline);
    for (int channel = 1; channel <= 3; ++channel) {
        Call call;
        call.ZCHAN = channel;
        call.OUTGRD = "channel" + std::to_string(channel) + ".grd";
        const std::int32_t status = call.run(gridder);
        // Channel 3 holds only nulls: no usable point.
        EXPECT_EQ(status, channel == 3 ? lumsk::kStatusNoPointInGrid : 0);
        const std::string log = logText();
        // A one-digit channel ends in column 28: 15 blanks after the label.
        const std::string channelLine = " z channel " + std::string(15, ' ') + std::to_string(channel) + ".\r\n";
        EXPECT_NE(log.find(channelLine), std::string::npos);
        EXPECT_EQ(log.find(" x origin "), 0u);  // the log starts afresh
    }
    // The second channel is twice the first at every data node.
    const Grid first = readGrid("channel1.grd");
    const Grid second = readGrid("channel2.grd");
    ASSERT_EQ(second.values.size(), first.values.size());
    for (int j = 0; j < 21; ++j) EXPECT_NEAR(second.at(5, j), 2.0f * first.at(5, j), 1.0e-4f);
}

// --- names ------------------------------------------------------------------

TEST(Minc, PointDataNameRules) {
    using lumsk::pointDataFileName;
    EXPECT_EQ(pointDataFileName(std::string("tmpdat.tmp\0junk", 15), false), "tmpdat.tmp");
    EXPECT_EQ(pointDataFileName(std::string("x\0", 2), true), "x");  // a NUL at position 2 still ends a name
    EXPECT_EQ(pointDataFileName("t   ", false), std::nullopt);
    EXPECT_EQ(pointDataFileName(std::string("\0ab", 3), false), std::nullopt);
}

TEST(Minc, BlankPaddedDataNameServesAnUnrotatedCallOnly) {
    tests::TempFolder folder;
    writePlanePoints(20, 20);
    lumsk::Gridder gridder(LibraryBuild::narrowOutline);
    Call padded;
    padded.DATFIL = "tmpdat.tmp" + std::string(70, ' ');
    EXPECT_EQ(padded.run(gridder), 0);

    Call rotated = padded;
    rotated.OUTGRD = "rotated.grd";
    rotated.ANGLE = 30.0f;
    rotated.ISTAT = 0;
    EXPECT_EQ(rotated.run(gridder), lumsk::kStatusBadDataFile);
    EXPECT_FALSE(std::filesystem::exists("rotated.grd"));
    // A failure in the rotated set-up leaves the log at its eleven lines.
    const std::string log = logText();
    EXPECT_EQ(log.size(), 10u * 30u + 31u);

    Call oneCharacter;
    oneCharacter.DATFIL = "t";
    oneCharacter.OUTGRD = "short.grd";
    EXPECT_EQ(oneCharacter.run(gridder), lumsk::kStatusBadDataFile);
    EXPECT_FALSE(std::filesystem::exists("short.grd"));
    EXPECT_TRUE(leftoverTemporaryFiles().empty());
}

TEST(Minc, GridNameTooShortBecomesOutfile) {
    for (const std::string& name : {std::string(20, ' '), std::string("g")}) {
        tests::TempFolder folder;
        writePlanePoints(20, 20);
        lumsk::Gridder gridder(LibraryBuild::narrowOutline);
        Call call;
        call.OUTGRD = name;
        ASSERT_EQ(call.run(gridder), 0);
        EXPECT_TRUE(std::filesystem::exists("outfile.grd"));
    }
}

// --- failures ---------------------------------------------------------------

TEST(Minc, FailedCallLeavesNoTemporaryFileAndTouchesNoGrid) {
    tests::TempFolder folder;
    writePlanePoints(20, 20);
    tests::writeFileBytes("plane.grd", "an earlier grid");
    lumsk::Gridder gridder(LibraryBuild::narrowOutline);
    Call call;
    call.ZCHAN = 3;  // every value null
    EXPECT_EQ(call.run(gridder), lumsk::kStatusNoPointInGrid);
    EXPECT_EQ(call.ZMIN, 123.0f);  // left as they were
    EXPECT_EQ(call.ZMAX, 456.0f);
    EXPECT_EQ(tests::readFileBytes("plane.grd"), "an earlier grid");
    EXPECT_TRUE(leftoverTemporaryFiles().empty());
    // The log stops where the call stopped: after the layout lines.
    const std::string log = logText();
    const std::string lastLine = " rows/block              25.\r\n";
    EXPECT_EQ(log.substr(log.size() - lastLine.size()), lastLine);
}

TEST(Minc, ThinGridOfSeveralBlocksCannotOverlap) {
    tests::TempFolder folder;
    writePlanePoints(4, 20);
    lumsk::Gridder gridder(LibraryBuild::narrowOutline);
    Call call;
    call.NCOL = 5;
    call.NROW = 2000;
    EXPECT_EQ(call.run(gridder), lumsk::kStatusBlocksCannotOverlap);
    EXPECT_FALSE(std::filesystem::exists("plane.grd"));
    EXPECT_TRUE(leftoverTemporaryFiles().empty());
}

TEST(Minc, SmallGridIsOneBlockWhateverItsSize) {
    tests::TempFolder folder;
    writePlanePoints(2, 2);
    lumsk::Gridder gridder(LibraryBuild::narrowOutline);
    Call call;
    call.NCOL = 3;
    call.NROW = 3;
    call.RADIUS = 1.0f;
    ASSERT_EQ(call.run(gridder), 0);
    const Grid grid = readGrid("plane.grd");
    ASSERT_EQ(grid.values.size(), 9u);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) expectPlaneValue(grid.at(i, j), i, j);
}

TEST(Minc, FileThatCannotBeCreatedFailsTheCallCleanly) {
    // Tests run as root, so the folder cannot be made read-only: a directory
    // standing where a file must go does the same.
    for (const char* blocked : {"~mincgr.tmp", "~mincsb.tmp", "~minctm.tmp", "minc.log", "plane.grd"}) {
        tests::TempFolder folder;
        writePlanePoints(20, 20);
        std::filesystem::create_directory(blocked);
        lumsk::Gridder gridder(LibraryBuild::narrowOutline);
        Call call;
        EXPECT_EQ(call.run(gridder), lumsk::kStatusFileUnavailable) << blocked;
        EXPECT_TRUE(leftoverTemporaryFiles().empty()) << blocked;
        EXPECT_TRUE(std::filesystem::is_directory(blocked));
        EXPECT_FALSE(std::filesystem::is_regular_file("plane.grd")) << blocked;
    }
}

TEST(Minc, MissingPointDataFileFailsTheCallCleanly) {
    tests::TempFolder folder;
    lumsk::Gridder gridder(LibraryBuild::wideOutline);
    Call call;
    EXPECT_EQ(call.run(gridder), lumsk::kStatusFileUnavailable);
    EXPECT_FALSE(std::filesystem::exists("tmpdat.tmp"));  // never created by opening it
    EXPECT_FALSE(std::filesystem::exists("plane.grd"));
    EXPECT_TRUE(leftoverTemporaryFiles().empty());
}

// --- the rotated frame --------------------------------------------------------

TEST(Minc, RotatedCallBlanksTheWantedGridBeyondTheTurnedData) {
    tests::TempFolder folder;
    writePlanePoints(20, 20);
    lumsk::Gridder gridder(LibraryBuild::narrowOutline);
    Call call;
    call.ANGLE = 30.0f;
    call.RADIUS = 2.0f;
    ASSERT_EQ(call.run(gridder), 0);
    EXPECT_TRUE(leftoverTemporaryFiles().empty());
    const Grid grid = readGrid("plane.grd");
    ASSERT_EQ(grid.values.size(), 41u * 21u);
    EXPECT_EQ(grid.X0, 1000.0);
    // Node (10, 10) lies amid the data; the right-hand column lies more than
    // ten cells beyond the data's turned extent.
    EXPECT_FALSE(isNull(grid.at(10, 10)));
    for (int j = 0; j < 21; ++j) EXPECT_TRUE(isNull(grid.at(40, j))) << j;
    EXPECT_NE(logText().find(" rotation angle       30.000 \r\n"), std::string::npos);
}

// --- rules of the set-up ------------------------------------------------------

TEST(MincSetup, IterationLimitIs512BelowThirtyTwo) {
    EXPECT_EQ(lumsk::iterationLimitFor(0), 512);
    EXPECT_EQ(lumsk::iterationLimitFor(31), 512);
    EXPECT_EQ(lumsk::iterationLimitFor(-1002), 512);  // a previous call's failure
    EXPECT_EQ(lumsk::iterationLimitFor(32), 32);
}

TEST(MincSetup, AnglesFoldIntoPlusMinus45Degrees) {
    using lumsk::foldAngle;
    EXPECT_EQ(foldAngle(50.0f), -40.0f);
    EXPECT_EQ(foldAngle(-50.0f), 40.0f);
    EXPECT_EQ(foldAngle(390.0f), 30.0f);
    EXPECT_EQ(foldAngle(-370.0f), -10.0f);
    for (float unrotated : {0.0f, 1.9f, 90.0f, -90.0f, 180.0f}) {
        EXPECT_FALSE(lumsk::isRotatedAngle(foldAngle(unrotated))) << unrotated;
    }
    EXPECT_TRUE(lumsk::isRotatedAngle(foldAngle(2.0f)));
    EXPECT_TRUE(lumsk::isRotatedAngle(foldAngle(-2.0f)));
}

TEST(MincSetup, SearchRadiusIsCountedInXCells) {
    // DY never enters the conversion.
    EXPECT_EQ(lumsk::searchRadiusInCells(LibraryBuild::narrowOutline, 21.0f, 50, 20, 2.0f, 7.0f), 10.5f);
}

TEST(MincSetup, HalfWindowRoundsAndShrinksToFit) {
    EXPECT_EQ(lumsk::halfWindowFor(10.5f, 1.0f, 100).cells, 11);
    EXPECT_EQ(lumsk::halfWindowFor(-3.0f, 1.0f, 100).cells, 0);
    const lumsk::HalfWindow reduced = lumsk::halfWindowFor(400.0f, 1.0f, 200);
    EXPECT_EQ(reduced.cells, 206);
    EXPECT_TRUE(reduced.reduced);
    // A radius of no size at all, or beyond any size, still gives a window
    // that fits.
    EXPECT_EQ(lumsk::halfWindowFor(std::nanf(""), 1.0f, 200).cells, 0);
    EXPECT_EQ(lumsk::halfWindowFor(INFINITY, 1.0f, 200).cells, 206);
}

TEST(MincSetup, MaskWorkAreaHoldsTheRingOfAFloatReducedHalfWindow) {
    // 19683 working columns, a radius far beyond what fits: a = 39372,
    // b = 59049 - 256000 = -196951. In float32 a^2 - 16 b rounds to
    // 1553305600, whose root rounds to 39412.0, so h = (39412 - 39372) / 8 = 5
    // (the exact root, 39411.998, would give 4).
    const lumsk::HalfWindow window = lumsk::halfWindowFor(100.0f, 1.0f, 19683);
    ASSERT_TRUE(window.reduced);
    ASSERT_EQ(window.cells, 5);
    // The ring and its two rows then need (19683 + 10) * 13 = 256009 words,
    // nine more than the library's work array: the mask work area grows.
    EXPECT_EQ(lumsk::maskWorkWords(19693, 13, 5), 256009);
    // A small mask still gets the whole work array.
    EXPECT_EQ(lumsk::maskWorkWords(47, 27, 3), 256000);
    // A tall thin mask needs more for its spans and its outline:
    // 3 * 47 + 2 * 300000 + 2 * (2 * (47 - 6 + 2) + 2 * (300000 - 6 + 2)).
    EXPECT_EQ(lumsk::maskWorkWords(47, 300000, 3), 141 + 600000 + 2 * (86 + 599992));
}

}  // namespace
