// Grid turning: GEOFLIP.
#include "lumsk/grid_turning.hpp"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "common/output_guard.hpp"
#include "common/platform.hpp"
#include "lumsk/grid_file.hpp"

namespace lumsk {

namespace {

struct InputGrid {
    std::int32_t NX = 0;
    std::int32_t NY = 0;
    std::int32_t rowOrderFlag = kRowsFirstToLast;
    // Held as float32, so the turned header carries 4-byte precision.
    float DX = 0.0f;
    float DY = 0.0f;
    float X0 = 0.0f;
    float Y0 = 0.0f;
    std::vector<float> values;  // NX by NY, column index first, in stored order
};

// A float64 header field held as float32. One beyond the float32 range
// becomes an infinity, as the hardware's conversion gives, rather than a
// conversion the language leaves undefined.
float narrowToFloat(double value) {
    constexpr double kLargest = static_cast<double>(std::numeric_limits<float>::max());
    if (value > kLargest) return std::numeric_limits<float>::infinity();
    if (value < -kLargest) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(value);
}

// Reads an input grid whole; false when it is missing or shorter than its
// header says.
bool readInput(const std::string& name, InputGrid& grid) {
    common::RawFile file = common::RawFile::openRead(name);
    GridFileHeader header;
    if (!readGridFileHeader(file, header)) return false;
    grid.NX = header.NX;
    grid.NY = header.NY;
    grid.rowOrderFlag = header.rowOrderFlag;
    grid.DX = narrowToFloat(header.DX);
    grid.DY = narrowToFloat(header.DY);
    grid.X0 = narrowToFloat(header.X0);
    grid.Y0 = narrowToFloat(header.Y0);
    if (grid.NX < 0 || grid.NY < 0) return false;
    const std::int64_t bytes = static_cast<std::int64_t>(grid.NX) * grid.NY * 4;
    if (file.size() < kGridHeaderBytes + bytes) return false;
    grid.values.resize(static_cast<std::size_t>(bytes / 4));
    return file.readAt(kGridHeaderBytes, grid.values.data(), bytes) == bytes;
}

// Output (i, NX - j + 1) of the NY by NX turned grid takes input column j of
// the input row that is i-th from the top.
std::vector<float> turn(const InputGrid& in) {
    const std::size_t nx = static_cast<std::size_t>(in.NX);
    const std::size_t ny = static_cast<std::size_t>(in.NY);
    std::vector<float> out(nx * ny);
    for (std::size_t i = 1; i <= ny; ++i) {
        const std::int64_t rowFromBottom = static_cast<std::int64_t>(ny - i + 1);
        const std::size_t storedRow =
            static_cast<std::size_t>(storedRowSlot(rowFromBottom, static_cast<std::int64_t>(ny), in.rowOrderFlag));
        for (std::size_t j = 1; j <= nx; ++j) {
            out[(i - 1) + (nx - j) * ny] = in.values[(j - 1) + storedRow * nx];
        }
    }
    return out;
}

bool writeTurned(common::RawFile& file, const InputGrid& in, const std::vector<float>& out) {
    float zmin = kZminStart;
    float zmax = kZmaxStart;
    for (const float value : out) {
        if (value == kNullValue) continue;
        zmin = std::min(zmin, value);
        zmax = std::max(zmax, value);
    }
    const float topRowY = in.Y0 + static_cast<float>(in.NY - 1) * in.DY;
    // The turned grid is always stored last row first.
    const GridHeaderBytes header =
        encodeGridHeader(makeGridHeader(in.NY, in.NX, kRowsLastToFirst, in.DY, in.DX, topRowY, in.X0, zmin, zmax));
    if (file.write(header.data(), kGridHeaderBytes) != kGridHeaderBytes) return false;
    const std::int64_t bytes = static_cast<std::int64_t>(out.size()) * 4;
    return file.write(out.data(), bytes) == bytes;
}

}  // namespace

bool GEOFLIP(std::string_view INGRD, std::string_view OUTGRD) {
    const std::string inputName = nameBeforeNul(INGRD);
    const std::string name = gridFileName(OUTGRD);
    // The input is never overwritten: a turned grid that failed half-way
    // would leave neither grid.
    if (common::sameFile(inputName, name)) return false;
    InputGrid in;
    if (!readInput(inputName, in)) return false;
    const std::vector<float> out = turn(in);
    common::RawFile file = createGridFile(name);
    if (!file.isOpen()) return false;
    const bool written = writeTurned(file, in, out);
    file.close();
    if (!written) common::deleteFile(name);
    return written;
}

}  // namespace lumsk
