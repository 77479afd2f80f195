// Regression guard for the speed work on the gridding solve: whole MINC runs
// on a mid-size case (20 000 scattered points onto 300 x 300 nodes, so several
// blocks and a coarse regional solve), with and without a search-radius mask,
// in both builds, must keep producing the same grid file to the last bit.
//
// The expected hashes were recorded from the plain node-by-node solver before
// any of its speed work. They are a regression guard only, not an independent
// check of the results: the correctness of the gridding itself is shown by the
// other lumsk tests.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "lumsk/minc.hpp"
#include "support/temp_folder.hpp"

namespace {

constexpr std::int32_t kSide = 300;
constexpr int kPoints = 20000;
constexpr int kChannels = 2;

// FNV-1a over the whole file: any changed bit changes the hash.
std::uint64_t hashBytes(const std::string& bytes) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const char byte : bytes) {
        hash ^= static_cast<std::uint8_t>(byte);
        hash *= 1099511628211ull;
    }
    return hash;
}

// Points of a rough surface at pseudo-random positions (a fixed linear
// congruential sequence, so the case is the same on every platform), with a
// denser cluster in one corner so that nodes meet several points.
void writePointData() {
    std::uint32_t seed = 20240611u;
    const auto next = [&seed]() {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / 16777216.0f;  // 0 to 1
    };
    std::vector<float> records;
    records.reserve(static_cast<std::size_t>(kPoints) * (2 + kChannels));
    for (int k = 0; k < kPoints; ++k) {
        const float spread = k % 5 == 0 ? 60.0f : static_cast<float>(kSide - 1);
        const float x = 5000.0f + 10.0f * spread * next();
        const float y = 7000.0f + 10.0f * spread * next();
        const float z = 40.0f * std::sin(x / 230.0f) * std::cos(y / 170.0f) + 0.002f * x + 5.0f * next();
        records.insert(records.end(), {x, y, z, -z});
    }
    std::string bytes(records.size() * sizeof(float), '\0');
    std::memcpy(bytes.data(), records.data(), bytes.size());
    tests::writeFileBytes("tmpdat.tmp", bytes);
}

struct Case {
    lumsk::LibraryBuild build;
    float radius;  // world units; 0 makes no mask
    std::uint64_t expectedHash;
};

std::uint64_t gridHash(const Case& c) {
    tests::TempFolder folder;
    writePointData();
    lumsk::Gridder gridder(c.build);
    lumsk::MincRequest request{.OUTGRD = "regress.grd", .X0 = 5000.0f, .Y0 = 7000.0f, .DX = 10.0f, .DY = 10.0f,
                               .NCOL = kSide, .NROW = kSide, .RADIUS = c.radius,
                               .DATFIL = std::string("tmpdat.tmp\0", 11), .MAXCHN = kChannels};
    gridder.MINC(request);
    EXPECT_EQ(request.ISTAT, 0);
    return hashBytes(tests::readFileBytes("regress.grd"));
}

TEST(MincRegression, GridFilesStayBitForBitTheSame) {
    const Case cases[] = {
        {lumsk::LibraryBuild::narrowOutline, 0.0f, 5237329700725802110ull},
        {lumsk::LibraryBuild::narrowOutline, 80.0f, 12550768694145463072ull},
        {lumsk::LibraryBuild::wideOutline, 80.0f, 8912679105304838887ull},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "build " << static_cast<int>(c.build) << " radius " << c.radius);
        EXPECT_EQ(gridHash(c), c.expectedHash);
    }
}

}  // namespace
