// MINC on an arbitrary point data file, gridded onto 20 x 15 nodes of unit
// cells at the origin, in both library builds. The first eight bytes choose
// the call (build, channels, gridded channel, transform, row order, search
// radius, angle, grid size; one byte is spare); the rest is written as "tmpdat.tmp".
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_support.hpp"
#include "lumsk/minc.hpp"

namespace {

constexpr std::size_t kSettingBytes = 8;
constexpr std::array<float, 6> kRadii{0.0f, 1.0f, 3.0f, 8.0f, 40.0f, -5.0f};
constexpr std::array<float, 7> kAngles{0.0f, 1.5f, 30.0f, 90.0f, -45.0f, 400.0f, 135.0f};

// A rotated call solves over the turned extent of the data, so a point some
// thousands of cells away makes a working grid that takes minutes to solve:
// a valid but slow input that would stall the fuzzing. Such inputs are left
// out; small extents and absurd ones (which fail the block layout at once)
// are kept.
bool hasSlowRotatedExtent(std::string_view points, std::int32_t MAXCHN) {
    const std::size_t recordBytes = 4 * static_cast<std::size_t>(MAXCHN + 2);
    for (std::size_t offset = 0; offset + recordBytes <= points.size(); offset += recordBytes) {
        for (std::size_t word = 0; word < 2; ++word) {
            float coordinate = 0.0f;
            std::memcpy(&coordinate, points.data() + offset + 4 * word, 4);
            const float size = std::fabs(coordinate);
            if (size > 64.0f && size < 1.0E8f) return true;
        }
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kSettingBytes) return 0;

    const auto build = data[0] % 2 == 0 ? lumsk::LibraryBuild::narrowOutline : lumsk::LibraryBuild::wideOutline;
    const std::int32_t MAXCHN = 1 + data[1] % 3;
    const std::int32_t ZCHAN = data[2] % 5;  // 0 and 4 name no channel of some files
    // Codes 0 to 3: an unknown code grids the values as they stand.
    const auto ITRANS = static_cast<lumsk::ValueTransform>(data[3] % 4);
    const std::int32_t KXFLAG = data[3] / 4 % 2;
    const float RADIUS = kRadii[data[4] % kRadii.size()];
    const float ANGLE = kAngles[data[5] % kAngles.size()];
    const std::string_view points = fuzz::asText(data + kSettingBytes, size - kSettingBytes);
    if (ANGLE != 0.0f && ANGLE != 1.5f && hasSlowRotatedExtent(points, MAXCHN)) return 0;
    // The fewest sweeps (32) keep an input quick; the solver's rules do not
    // change with the limit.
    std::int32_t ISTAT = 32;
    const std::int32_t NCOL = 20 + data[7] % 4;
    const std::int32_t NROW = 15 + data[7] / 4 % 4;

    const fuzz::ScratchFolder scratch;
    fuzz::writeFile("tmpdat.tmp", points);
    lumsk::Gridder gridder(build);
    lumsk::MincRequest request{.OUTGRD = "points.grd", .DX = 1.0f, .DY = 1.0f, .NCOL = NCOL, .NROW = NROW,
                               .RADIUS = RADIUS, .DATFIL = std::string("tmpdat.tmp\0", 11), .ZCHAN = ZCHAN,
                               .MAXCHN = MAXCHN, .ITRANS = ITRANS, .KXFLAG = KXFLAG, .ANGLE = ANGLE, .ISTAT = ISTAT};
    gridder.MINC(request);
    return 0;
}
