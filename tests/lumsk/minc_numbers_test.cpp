// MINC with numbers and names at the edges of what it takes: values that are
// not finite, layouts long or wide enough to reach past the grid or the work
// area, a rotated frame only a line wide, and the grid name rule.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "lumsk/minc.hpp"
#include "lumsk/status.hpp"
#include "support/temp_folder.hpp"

namespace {

constexpr float kNull = -1.0E32f;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
const std::string kData("pts.dat\0", 8);

struct Point {
    float x, y, z;
};

void writePoints(const std::vector<Point>& points) {
    std::string bytes(points.size() * sizeof(Point), '\0');
    std::memcpy(bytes.data(), points.data(), bytes.size());
    tests::writeFileBytes("pts.dat", bytes);
}

// 30 x 20 unit cells from (0, 0), no mask; every run starts afresh.
struct Call : lumsk::MincRequest {
    Call()
        : lumsk::MincRequest{.OUTGRD = std::string("g.grd\0", 6), .DX = 1.0f, .DY = 1.0f, .NCOL = 30, .NROW = 20,
                             .DATFIL = kData, .DNULL = kNull} {}

    std::int32_t run() {
        lumsk::Gridder gridder(lumsk::LibraryBuild::narrowOutline);
        ISTAT = 0;
        gridder.MINC(*this);
        return ISTAT;
    }
};

// The nodes of a grid file written with rows first to last.
std::vector<float> gridValues(const std::string& name, std::int32_t& NX) {
    const std::string bytes = tests::readFileBytes(name);
    std::memcpy(&NX, bytes.data() + 8, 4);
    std::vector<float> values((bytes.size() - 512) / 4);
    std::memcpy(values.data(), bytes.data() + 512, values.size() * 4);
    return values;
}

// Samples of z = a x + b y + c at every `step`-th node and on the last
// column and row, so that the surface is fixed at its edges too.
std::vector<Point> planeSamples(int columns, int rows, int step, float a, float b, float c) {
    std::vector<Point> points;
    auto axis = [step](int n) {
        std::vector<int> at;
        for (int k = 0; k < n; k += step) at.push_back(k);
        if (at.back() != n - 1) at.push_back(n - 1);
        return at;
    };
    for (const int j : axis(rows)) {
        for (const int i : axis(columns)) {
            const float x = static_cast<float>(i), y = static_cast<float>(j);
            points.push_back({x, y, a * x + b * y + c});
        }
    }
    return points;
}

TEST(MincNumbers, PointsThatAreNotFiniteAreSkippedLikeNulls) {
    tests::TempFolder folder;
    const std::vector<Point> clean = planeSamples(30, 20, 2, 0.5f, 0.25f, 3.0f);
    Call call;
    writePoints(clean);
    ASSERT_EQ(call.run(), lumsk::kStatusGood);
    const std::string expected = tests::readFileBytes("g.grd");
    // Every tenth record spoilt in x, y or z: the grid must be that of the
    // clean records alone.
    std::vector<Point> spoilt;
    const Point bad[] = {{kNaN, 5.0f, 1.0f}, {5.0f, kInf, 1.0f}, {5.0f, 5.0f, kNaN}, {5.0f, 5.0f, -kInf}};
    for (std::size_t k = 0; k < clean.size(); ++k) {
        if (k % 10 == 0) spoilt.push_back(bad[(k / 10) % 4]);
        spoilt.push_back(clean[k]);
    }
    writePoints(spoilt);
    ASSERT_EQ(call.run(), lumsk::kStatusGood);
    EXPECT_TRUE(tests::readFileBytes("g.grd") == expected);
}

TEST(MincNumbers, ArgumentsThatAreNotFiniteFailTheCall) {
    tests::TempFolder folder;
    writePoints(planeSamples(30, 20, 2, 0.5f, 0.25f, 3.0f));
    const struct {
        const char* what;
        void (*spoil)(Call&);
    } cases[] = {
        {"null", [](Call& c) { c.DNULL = kNaN; }},   {"angle", [](Call& c) { c.ANGLE = kInf; }},
        {"x0", [](Call& c) { c.X0 = kNaN; }},        {"y0", [](Call& c) { c.Y0 = -kInf; }},
        {"dx", [](Call& c) { c.DX = kInf; }},        {"dy", [](Call& c) { c.DY = kNaN; }},
        {"radius", [](Call& c) { c.RADIUS = kNaN; }},
    };
    for (const auto& item : cases) {
        Call call;
        item.spoil(call);
        EXPECT_EQ(call.run(), lumsk::kStatusArgumentNotFinite) << item.what;
        EXPECT_FALSE(std::filesystem::exists("g.grd")) << item.what;
    }
}

TEST(MincNumbers, ASolveThatOverflowsWritesNoGrid) {
    tests::TempFolder folder;
    // Finite values whose curvature sums exceed float32 range.
    std::vector<Point> points = planeSamples(30, 20, 3, 0.0f, 0.0f, 3.0E38f);
    for (std::size_t k = 0; k < points.size(); k += 2) points[k].z = -3.0E38f;
    writePoints(points);
    Call call;
    EXPECT_EQ(call.run(), lumsk::kStatusSolveNotFinite);
    EXPECT_FALSE(std::filesystem::exists("g.grd"));
}

// A layout of many narrow sections whose rounded-up steps reach past the last
// grid column: the columns inside the grid are pasted, and the plane comes
// back there as everywhere else.
TEST(MincNumbers, LongLayoutReachingPastTheGridIsMade) {
    tests::TempFolder folder;
    constexpr int kColumns = 31617, kRows = 150;
    const float a = 0.0005f, b = 0.25f, c = 3.0f;
    writePoints(planeSamples(kColumns, kRows, 3, a, b, c));
    Call call;
    call.NCOL = kColumns;
    call.NROW = kRows;
    ASSERT_EQ(call.run(), lumsk::kStatusGood);
    std::int32_t NX = 0;
    const std::vector<float> values = gridValues("g.grd", NX);
    ASSERT_EQ(values.size(), static_cast<std::size_t>(kColumns) * kRows);
    // The plane spans about 55; the solve between samples three cells apart
    // stays within 0.1 of it.
    for (int j = 0; j < kRows; ++j) {
        for (int i = kColumns - 400; i < kColumns; ++i) {
            const float value = values[static_cast<std::size_t>(j) * kColumns + static_cast<std::size_t>(i)];
            ASSERT_TRUE(std::isfinite(value));
            ASSERT_NEAR(value, a * static_cast<float>(i) + b * static_cast<float>(j) + c, 0.1f) << i << ", " << j;
        }
    }
}

// One row must fit in the work area beside one block: with NROW 20 the
// blocks are 175 by 24 nodes, so 256000 - 4200 columns is the widest grid.
TEST(MincNumbers, GridTooWideForTheWorkAreaHasItsOwnStatus) {
    tests::TempFolder folder;
    std::vector<Point> points;
    for (int i = 0; i < 252000; i += 5000) points.push_back({static_cast<float>(i), 10.0f, 1.0f});
    writePoints(points);
    Call call;
    call.NCOL = 251800;
    EXPECT_EQ(call.run(), lumsk::kStatusGood);
    call.NCOL = 251801;
    EXPECT_EQ(call.run(), lumsk::kStatusGridTooWide);
}

// One flight line gridded along its own direction: the turned working grid
// is a few cells across, narrower than the block overlap.
TEST(MincNumbers, RotatedSingleLineIsGridded) {
    tests::TempFolder folder;
    const float cosine = std::cos(0.5235988f), sine = std::sin(0.5235988f);  // 30 degrees
    std::vector<Point> points;
    for (int k = 0; k < 6000; ++k) {
        const float t = 0.5f * static_cast<float>(k);
        points.push_back({100.0f + t * cosine, 100.0f + t * sine, 0.01f * t + 1.0f});
    }
    writePoints(points);
    Call call;
    call.X0 = 80.0f;
    call.Y0 = 80.0f;
    call.NCOL = 2700;
    call.NROW = 1600;
    call.ANGLE = -30.0f;
    ASSERT_EQ(call.run(), lumsk::kStatusGood);
    std::int32_t NX = 0;
    const std::vector<float> values = gridValues("g.grd", NX);
    for (const float t : {200.0f, 1000.0f, 2500.0f}) {
        const auto i = static_cast<std::size_t>(std::lround(100.0f + t * cosine - 80.0f));
        const auto j = static_cast<std::size_t>(std::lround(100.0f + t * sine - 80.0f));
        EXPECT_NEAR(values[j * static_cast<std::size_t>(NX) + i], 0.01f * t + 1.0f, 0.05f) << t;
    }
}

TEST(MincNumbers, TooLongASideFailsAfterTheHalfWindowLines) {
    tests::TempFolder folder;
    writePoints({{1.0f, 1.0f, 1.0f}, {5.0f, 5.0f, 2.0f}});
    Call call;
    call.NCOL = 100000001;
    EXPECT_EQ(call.run(), lumsk::kStatusTooManyBlocks);
    const std::string log = tests::readFileBytes("minc.log");
    const std::size_t half = log.find(" half window ");
    ASSERT_NE(half, std::string::npos);
    // Such a row cannot hold any window, so the radius is reduced too.
    EXPECT_NE(log.find(" radius used ", half), std::string::npos);
    EXPECT_EQ(log.find(" number tiers "), std::string::npos);
}

// The grid name is built once by the gridding call and then used as built.
TEST(MincNumbers, GridNameRule) {
    tests::TempFolder folder;
    writePoints(planeSamples(30, 20, 2, 0.5f, 0.25f, 3.0f));
    const struct {
        std::string OUTGRD;
        float ANGLE;
        const char* file;  // nullptr: the call fails and writes nothing
    } cases[] = {
        {std::string("x\0", 2), 0.0f, "x"},
        {std::string("ab \0", 4), 0.0f, "ab "},
        {std::string("r\0", 2), 30.0f, "r"},
        {"grid.grd    ", 0.0f, "grid.grd"},
        {"a", 0.0f, "outfile.grd"},
        {std::string("\0   ", 4), 0.0f, "outfile.grd"},  // one character before the blanks
        {std::string("\0abc", 4), 0.0f, nullptr},
        {std::string("\0abc", 4), 30.0f, nullptr},
    };
    for (const auto& item : cases) {
        for (const auto& entry : std::filesystem::directory_iterator(".")) {
            if (entry.path().filename() != "pts.dat") std::filesystem::remove(entry.path());
        }
        Call call;
        call.OUTGRD = item.OUTGRD;
        call.ANGLE = item.ANGLE;
        const std::int32_t status = call.run();
        if (item.file == nullptr) {
            EXPECT_EQ(status, lumsk::kStatusFileUnavailable) << item.ANGLE;
            EXPECT_FALSE(std::filesystem::exists("outfile.grd"));
        } else {
            EXPECT_EQ(status, lumsk::kStatusGood) << item.file;
            EXPECT_TRUE(std::filesystem::exists(item.file)) << item.file;
        }
        std::size_t files = 0;
        for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(".")) ++files;
        // pts.dat, minc.log and the grid (none after a failure).
        EXPECT_EQ(files, item.file == nullptr ? 2u : 3u) << item.ANGLE;
    }
}

}  // namespace
