// GEOROT and ROTGRD: resampling a grid from a turned frame.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "lumsk/lumsk.hpp"
#include "support/temp_folder.hpp"

namespace {

constexpr std::uint32_t kNullBits = 0xF49DC5AEu;

struct Geometry {
    float DX;
    float DY;
    float X0;
    float Y0;
    int NX;
    int NY;
};

// A source grid file of the given values (column index first, row 1 lowest).
void writeSource(const std::string& name, const Geometry& g, const std::vector<float>& values, int kxflag = 1) {
    std::vector<float> rowbuf(static_cast<std::size_t>(g.NX));
    float zmin = 0.0f;
    float zmax = 0.0f;
    // DNULL -1.0 is not among the values, so every value is stored as given.
    ASSERT_TRUE(lumsk::GEOOUT(0, name, rowbuf, g.NX, g.NY, values, g.X0, g.Y0, g.DX, g.DY, 1, kxflag, -1.0f, zmin,
                              zmax));
}

// The target nodes, row 1 first, whatever the stored order.
std::vector<float> readTarget(const std::string& name, int nx, int ny) {
    const std::string bytes = tests::readFileBytes(name);
    std::vector<float> nodes(static_cast<std::size_t>(nx * ny));
    if (bytes.size() != static_cast<std::size_t>(512 + nx * ny * 4)) return {};
    std::int32_t flag = 0;
    std::memcpy(&flag, bytes.data() + 16, 4);
    for (int j = 0; j < ny; ++j) {
        const int slot = flag == 1 ? j : ny - 1 - j;
        std::memcpy(nodes.data() + j * nx, bytes.data() + 512 + slot * nx * 4, static_cast<std::size_t>(nx) * 4);
    }
    return nodes;
}

bool rotate(const Geometry& source, const Geometry& target, float angle, float xc, float yc, int kxflag = 1,
            float zmin = 0.0f, float zmax = 0.0f) {
    std::vector<float> rowbuf(static_cast<std::size_t>(target.NX));
    return lumsk::GEOROT("src.grd", "out.grd", source.DX, source.DY, source.X0, source.Y0, source.NX, source.NY,
                         target.DX, target.DY, target.X0, target.Y0, target.NX, target.NY, rowbuf, angle, xc, yc,
                         0.0f, 0.0f, 1.0f, 1.0f, kxflag, -1.0E32f, zmin, zmax);
}

TEST(GridRotation, AngleZeroReproducesTheSource) {
    tests::TempFolder folder;
    const std::vector<float> values{1.0f, 2.0f, 3.0f, 4.0f, 5.0f, 6.0f, 7.0f, 8.0f, 9.0f, 10.0f, 11.0f, 12.0f};
    // Cells of exact binary sizes: every position is exact, so are the values.
    const Geometry exact{0.5f, 2.0f, -4.0f, 8.0f, 4, 3};
    writeSource("src.grd", exact, values, -2);
    ASSERT_TRUE(rotate(exact, exact, 0.0f, 0.0f, 0.0f));
    EXPECT_EQ(readTarget("out.grd", 4, 3), values);

    // Decimal cells: X0 + (i - 1) DX is rounded to float32, so a position
    // may fall a float32 step short of its node. Inside the grid that blends
    // in about 1e-6 of the neighbour (values differ by at most 4 here, hence
    // 1e-4). On the last column or row a node is taken without interpolation,
    // so a shortfall across it gives the neighbour before it whole.
    const Geometry decimal{0.1f, 0.3f, 0.3f, -0.7f, 4, 3};
    writeSource("src.grd", decimal, values);
    ASSERT_TRUE(rotate(decimal, decimal, 0.0f, 0.0f, 0.0f));
    const std::vector<float> resampled = readTarget("out.grd", 4, 3);
    ASSERT_EQ(resampled.size(), values.size());
    for (std::size_t j = 0; j < 3; ++j) {
        for (std::size_t i = 0; i < 4; ++i) {
            const std::size_t node = j * 4 + i;
            if (i < 3 && j < 2) {
                EXPECT_NEAR(resampled[node], values[node], 1.0E-4f) << i << "," << j;
            } else {
                const bool itself = std::fabs(resampled[node] - values[node]) < 1.0E-4f;
                const bool left = i > 0 && resampled[node] == values[node - 1];
                const bool below = j > 0 && resampled[node] == values[node - 4];
                EXPECT_TRUE(itself || left || below) << i << "," << j << ": " << resampled[node];
            }
        }
    }
}

TEST(GridRotation, ScalesAndShiftsCarryATargetNodeIntoTheSource) {
    tests::TempFolder folder;
    // Source node (p, q), both from 0, holds p + 10 q: bilinear
    // interpolation reproduces that plane exactly.
    const Geometry source{1.0f, 1.0f, 0.0f, 0.0f, 8, 8};
    std::vector<float> values;
    for (int q = 0; q < 8; ++q) {
        for (int p = 0; p < 8; ++p) values.push_back(static_cast<float>(p + 10 * q));
    }
    writeSource("src.grd", source, values);
    // Target node (x, y) lands at u = x / 2 + 1, v = y + 2: it holds
    // x / 2 + 1 + 10 (y + 2), exact in float32.
    std::vector<float> expected;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) expected.push_back(static_cast<float>(x) / 2.0f + 1.0f + 10.0f * static_cast<float>(y + 2));
    }
    std::vector<float> rowbuf(4);
    const lumsk::FrameTurn turn{.XSHIFT = 1.0f, .YSHIFT = 2.0f, .XSCL = 2.0f, .YSCL = 1.0f};
    ASSERT_TRUE(lumsk::GEOROT({.INGRD = "src.grd",
                               .source = {1.0f, 1.0f, 0.0f, 0.0f, 8, 8},
                               .OUTGRD = "named.grd",
                               .target = {1.0f, 1.0f, 0.0f, 0.0f, 4, 4},
                               .turn = turn,
                               .ROWBUF = rowbuf}));
    EXPECT_EQ(readTarget("named.grd", 4, 4), expected);
    ASSERT_TRUE(lumsk::GEOROT("src.grd", "listed.grd", 1.0f, 1.0f, 0.0f, 0.0f, 8, 8, 1.0f, 1.0f, 0.0f, 0.0f, 4, 4,
                              rowbuf, 0.0f, 0.0f, 0.0f, 1.0f, 2.0f, 2.0f, 1.0f, 1, -1.0E32f, 0.0f, 0.0f));
    EXPECT_EQ(readTarget("listed.grd", 4, 4), expected);
}

TEST(GridRotation, PositionsOffTheSource) {
    tests::TempFolder folder;
    // Source 3 x 1 at x = 0, 1, 2 holding 10, 20, 40; target nodes every
    // half cell from -1.5 to 3.0.
    const Geometry source{1.0f, 1.0f, 0.0f, 0.0f, 3, 1};
    writeSource("src.grd", source, {10.0f, 20.0f, 40.0f});
    ASSERT_TRUE(rotate(source, {0.5f, 1.0f, -1.5f, 0.0f, 10, 1}, 0.0f, 0.0f, 0.0f));
    const std::vector<float> row = readTarget("out.grd", 10, 1);
    ASSERT_EQ(row.size(), 10u);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(row[0]), kNullBits);  // -1.5: a cell and more before
    EXPECT_EQ(std::bit_cast<std::uint32_t>(row[1]), kNullBits);  // -1.0
    // -0.5 truncates into column 0 with fraction -0.5 and, on the single
    // (last) row, takes z00 as it stands.
    EXPECT_EQ(row[2], 10.0f);
    EXPECT_EQ(row[3], 10.0f);
    EXPECT_EQ(row[5], 20.0f);
    EXPECT_EQ(row[7], 40.0f);
    EXPECT_EQ(row[8], 40.0f);                                    // 2.5: still the last column
    EXPECT_EQ(std::bit_cast<std::uint32_t>(row[9]), kNullBits);  // 3.0: beyond it
}

// One target node at fractions (0.5, 0.25) of the lower-left cell of a 3 x 3
// source whose corners z00, z10, z01, z11 are given.
float sampleCell(float z00, float z10, float z01, float z11) {
    const Geometry source{1.0f, 1.0f, 0.0f, 0.0f, 3, 3};
    writeSource("src.grd", source, {z00, z10, 0.0f, z01, z11, 0.0f, 0.0f, 0.0f, 0.0f});
    EXPECT_TRUE(rotate(source, {1.0f, 1.0f, 0.5f, 0.25f, 1, 1}, 0.0f, 0.0f, 0.0f));
    const std::vector<float> node = readTarget("out.grd", 1, 1);
    return node.empty() ? 0.0f : node[0];
}

TEST(GridRotation, InterpolationUsesTheCornersThatHoldValues) {
    tests::TempFolder folder;
    const float null = -1.0E32f;
    // All four: 0.75 * (0.5*8 + 0.5*16) + 0.25 * (0.5*32 + 0.5*64) = 21.
    EXPECT_EQ(sampleCell(8.0f, 16.0f, 32.0f, 64.0f), 21.0f);
    EXPECT_EQ(sampleCell(8.0f, 16.0f, null, 64.0f), 12.0f);   // along the bottom: (8 + 16) / 2
    EXPECT_EQ(sampleCell(null, 16.0f, 32.0f, 64.0f), 48.0f);  // along the top: (32 + 64) / 2
    EXPECT_EQ(sampleCell(8.0f, null, 32.0f, null), 14.0f);    // up the left: 0.75*8 + 0.25*32
    EXPECT_EQ(sampleCell(null, 16.0f, null, 64.0f), 28.0f);   // up the right: 0.75*16 + 0.25*64
    EXPECT_EQ(sampleCell(null, null, null, 64.0f), 64.0f);    // the one value there is
    EXPECT_EQ(sampleCell(null, 16.0f, 32.0f, null), 32.0f);   // z01 comes before z10
    // -1.0E30 itself is a null inside the grid.
    EXPECT_EQ(sampleCell(-1.0E30f, 16.0f, 32.0f, 64.0f), 48.0f);
    // No value at all: z00 as stored, whatever null it is.
    EXPECT_EQ(sampleCell(-5.0E31f, null, null, null), -5.0E31f);
}

// One target node at (x, y) of a 2 x 2 source of unit cells at the origin.
float sampleEdge(std::vector<float> corners, float x, float y) {
    const Geometry source{1.0f, 1.0f, 0.0f, 0.0f, 2, 2};
    writeSource("src.grd", source, corners);
    EXPECT_TRUE(rotate(source, {1.0f, 1.0f, x, y, 1, 1}, 0.0f, 0.0f, 0.0f));
    const std::vector<float> node = readTarget("out.grd", 1, 1);
    return node.empty() ? 0.0f : node[0];
}

TEST(GridRotation, LastColumnAndRowFallBackAlongTheEdge) {
    tests::TempFolder folder;
    const float null = -1.0E32f;
    // Top row at x = 0: z00 null, so z10 is taken as stored, even a null.
    EXPECT_EQ(sampleEdge({1.0f, 2.0f, null, 7.0f}, 0.0f, 1.0f), 7.0f);
    EXPECT_EQ(sampleEdge({1.0f, 2.0f, null, -3.0E31f}, 0.0f, 1.0f), -3.0E31f);
    // Last column at y = 0: z00 null, so z01 above it.
    EXPECT_EQ(sampleEdge({1.0f, null, 2.0f, 9.0f}, 1.0f, 0.0f), 9.0f);
    // -1.0E30 counts as a value on the edge.
    EXPECT_EQ(sampleEdge({1.0f, 2.0f, -1.0E30f, 7.0f}, 0.0f, 1.0f), -1.0E30f);
}

TEST(GridRotation, TurnedPlaneIsReproduced) {
    tests::TempFolder folder;
    // A plane z = 3 u + 5 v over a 40 x 40 source in the frame turned by 30
    // degrees about (500, 300); bilinear interpolation reproduces a plane, so
    // each target node takes the plane at its turned position.
    const Geometry source{2.0f, 2.0f, -40.0f, -40.0f, 40, 40};
    std::vector<float> plane;
    for (int q = 0; q < 40; ++q) {
        for (int p = 0; p < 40; ++p) plane.push_back(static_cast<float>(3 * p + 5 * q));
    }
    writeSource("src.grd", source, plane);
    const Geometry target{4.0f, 4.0f, 480.0f, 280.0f, 10, 10};
    ASSERT_TRUE(rotate(source, target, 30.0f, 500.0f, 300.0f, -2));
    const std::vector<float> nodes = readTarget("out.grd", 10, 10);
    ASSERT_EQ(nodes.size(), 100u);
    const double angle = 30.0 * 3.14159265358979 / 180.0;
    for (int j = 0; j < 10; ++j) {
        for (int i = 0; i < 10; ++i) {
            const double x = 480.0 + 4.0 * i - 500.0;
            const double y = 280.0 + 4.0 * j - 300.0;
            const double u = (x * std::cos(angle) - y * std::sin(angle) + 40.0) / 2.0;
            const double v = (x * std::sin(angle) + y * std::cos(angle) + 40.0) / 2.0;
            // float32 positions and weights: a few units in the last place of
            // values up to about 200, and pi taken one float32 step low.
            EXPECT_NEAR(nodes[static_cast<std::size_t>(j * 10 + i)], 3.0 * u + 5.0 * v, 2.0E-3) << i << "," << j;
        }
    }
}

// A target of several tiles whose source windows are too large for one
// piece (a source four times finer than the target) is worked in pieces:
// every node still takes the plane at its turned position.
TEST(GridRotation, TargetWorkedInTilesReproducesTheTurnedPlane) {
    tests::TempFolder folder;
    const Geometry source{0.25f, 0.25f, -60.0f, -10.0f, 1300, 1000};
    std::vector<float> plane;
    for (int q = 0; q < source.NY; ++q) {
        for (int p = 0; p < source.NX; ++p) plane.push_back(static_cast<float>(3 * p + 5 * q));
    }
    writeSource("src.grd", source, plane);
    const Geometry target{0.5f, 0.5f, 0.0f, 0.0f, 600, 200};
    ASSERT_TRUE(rotate(source, target, 30.0f, 0.0f, 0.0f));
    const std::vector<float> nodes = readTarget("out.grd", target.NX, target.NY);
    ASSERT_EQ(nodes.size(), static_cast<std::size_t>(target.NX * target.NY));
    const double angle = 30.0 * 3.14159265358979 / 180.0;
    for (int j = 0; j < target.NY; ++j) {
        for (int i = 0; i < target.NX; ++i) {
            const double x = 0.5 * i;
            const double y = 0.5 * j;
            const double u = (x * std::cos(angle) - y * std::sin(angle) + 60.0) / 0.25;
            const double v = (x * std::sin(angle) + y * std::cos(angle) + 10.0) / 0.25;
            // Values up to about 9000: a few units in the last place.
            ASSERT_NEAR(nodes[static_cast<std::size_t>(j * target.NX + i)], 3.0 * u + 5.0 * v, 2.0E-2) << i << "," << j;
        }
    }
}

TEST(GridRotation, HeaderTakesTheTargetGeometryAndThePassedExtremes) {
    tests::TempFolder folder;
    const Geometry source{1.0f, 1.0f, 0.0f, 0.0f, 2, 2};
    writeSource("src.grd", source, {1.0f, 2.0f, 3.0f, 4.0f});
    ASSERT_TRUE(rotate(source, {0.1f, 0.5f, 0.25f, 0.75f, 3, 2}, 0.0f, 0.0f, 0.0f, 5, -8.0f, 99.0f));
    const std::string bytes = tests::readFileBytes("out.grd");
    ASSERT_EQ(bytes.size(), 512u + 24u);
    lumsk::GridHeaderBytes header{};
    std::memcpy(header.data(), bytes.data(), 512);
    const lumsk::GridFileHeader decoded = lumsk::decodeGridHeader(header);
    EXPECT_EQ(decoded.NX, 3);
    EXPECT_EQ(decoded.NY, 2);
    EXPECT_EQ(decoded.rowOrderFlag, -2);
    EXPECT_EQ(decoded.DX, 0.10000000149011612);
    EXPECT_EQ(decoded.Y0, 0.75);
    EXPECT_EQ(decoded.zmin, -8.0f);  // not the target's own extremes
    EXPECT_EQ(decoded.zmax, 99.0f);
    EXPECT_EQ(decoded.label, std::string(48, ' '));
}

TEST(GridRotation, MissingOrShortSourceWritesNothing) {
    tests::TempFolder folder;
    const Geometry source{1.0f, 1.0f, 0.0f, 0.0f, 2, 2};
    EXPECT_FALSE(rotate(source, source, 0.0f, 0.0f, 0.0f));
    EXPECT_FALSE(common::fileExists("out.grd"));
    writeSource("src.grd", source, {1.0f, 2.0f, 3.0f, 4.0f});
    EXPECT_FALSE(rotate({1.0f, 1.0f, 0.0f, 0.0f, 2, 3}, source, 0.0f, 0.0f, 0.0f));  // claims a third row
    EXPECT_FALSE(common::fileExists("out.grd"));
}

TEST(GridRotation, RotgrdTakesTheSourceOriginInCells) {
    tests::TempFolder folder;
    // Source origin 2 cells right and 1 cell up of the centre (0, 0): the
    // target node at x = 2.5 DX, y = 1 DY lies half a cell into the bottom
    // row's first cell: (10 + 20) / 2.
    writeSource("src.grd", {0.5f, 2.0f, 0.0f, 0.0f, 2, 2}, {10.0f, 20.0f, 30.0f, 40.0f});
    std::vector<float> rowbuf(1);
    ASSERT_TRUE(lumsk::ROTGRD("src.grd", "out.grd", 2.0f, 1.0f, 2, 2, 0.5f, 2.0f, 1.25f, 2.0f, 1, 1, rowbuf, 0.0f,
                              0.0f, 0.0f, 1, -1.0E32f, 0.0f, 0.0f));
    EXPECT_EQ(readTarget("out.grd", 1, 1)[0], 15.0f);
}

}  // namespace
