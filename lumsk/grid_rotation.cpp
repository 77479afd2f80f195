// Grid rotation: GEOROT and ROTGRD resample a grid solved in a turned frame
// onto the wanted axis-aligned grid.
#include "lumsk/grid_rotation.hpp"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "common/float_to_int.hpp"
#include "common/output_guard.hpp"
#include "common/platform.hpp"
#include "lumsk/grid_file.hpp"

namespace lumsk {

namespace {

// pi as the float32 one unit in the last place below the nearest one.
constexpr float kPi = 3.1415925f;
// Target nodes worked at a time: a tile of rows and columns, whose nodes read
// a window of the source that is loaded once for the tile.
constexpr std::int32_t kTileColumns = 512;
constexpr std::int32_t kTileRows = 128;
// Most source values a window holds (2 MB); a tile whose window would be
// larger is worked in halves. Memory stays the same whatever the grids' size.
constexpr std::int64_t kWindowValues = std::int64_t{1} << 19;

bool isValue(float z) { return z > kNullThreshold; }

// A source grid file read through a window of its nodes: the part of the
// source that one tile of the target reads, loaded before the tile is worked,
// so that a node costs no file access of its own. A node outside the window
// (a position rounded past the tile's corners) is read from the file.
class SourceWindow {
public:
    SourceWindow(common::RawFile file, std::int64_t NXS, std::int64_t NYS, std::int32_t flag)
        : file_(std::move(file)), NXS_(NXS), NYS_(NYS), flag_(flag) {}

    bool ok() const { return ok_; }
    std::int64_t columns() const { return NXS_; }
    std::int64_t rows() const { return NYS_; }

    // Loads columns p0..p1 of rows q0..q1 (counted from 0, inside the grid);
    // an empty range loads nothing.
    void load(std::int64_t p0, std::int64_t p1, std::int64_t q0, std::int64_t q1) {
        p0_ = p0;
        p1_ = p1;
        q0_ = q0;
        q1_ = q1;
        if (p1 < p0 || q1 < q0) return;
        const std::int64_t width = p1 - p0 + 1;
        values_.resize(static_cast<std::size_t>(width * (q1 - q0 + 1)));
        for (std::int64_t q = q0; q <= q1; ++q) read(p0, q, width, &values_[static_cast<std::size_t>((q - q0) * width)]);
    }

    // Node (p, q), both counted from 0 and inside the grid.
    float at(std::int64_t p, std::int64_t q) {
        if (p >= p0_ && p <= p1_ && q >= q0_ && q <= q1_) {
            return values_[static_cast<std::size_t>((q - q0_) * (p1_ - p0_ + 1) + (p - p0_))];
        }
        float z = kNullValue;
        read(p, q, 1, &z);
        return z;
    }

private:
    void read(std::int64_t p, std::int64_t q, std::int64_t count, float* to) {
        const std::int64_t stored = storedRowSlot(q + 1, NYS_, flag_);
        const std::int64_t offset = kGridHeaderBytes + (stored * NXS_ + p) * 4;
        if (file_.readAt(offset, to, count * 4) != count * 4) {
            ok_ = false;
            std::fill(to, to + count, kNullValue);
        }
    }

    common::RawFile file_;
    std::int64_t NXS_;
    std::int64_t NYS_;
    std::int32_t flag_;
    std::int64_t p0_ = 0;
    std::int64_t p1_ = -1;
    std::int64_t q0_ = 0;
    std::int64_t q1_ = -1;
    std::vector<float> values_;
    bool ok_ = true;
};

// The value at source position (u, v) in cells, by the first interpolation
// whose corners hold values.
float sampleSource(SourceWindow& source, float u, float v) {
    const std::int64_t NXS = source.columns();
    const std::int64_t NYS = source.rows();
    const std::int32_t p = common::truncateToInt32(u);
    const std::int32_t q = common::truncateToInt32(v);
    // Truncation toward zero keeps a position less than a cell before the
    // first column or row in column or row 0, with a negative fraction.
    if (q > NYS - 1 || q < 0 || p < 0 || p > NXS - 1) return kNullValue;
    const float fu = u - static_cast<float>(p);
    const float fv = v - static_cast<float>(q);
    const float z00 = source.at(p, q);
    if (p < NXS - 1 && q < NYS - 1) {
        const float z10 = source.at(p + 1, q);
        const float z01 = source.at(p, q + 1);
        const float z11 = source.at(p + 1, q + 1);
        const bool v00 = isValue(z00);
        const bool v10 = isValue(z10);
        const bool v01 = isValue(z01);
        const bool v11 = isValue(z11);
        if (v00 && v10 && v01 && v11) {
            return (1.0f - fv) * ((1.0f - fu) * z00 + fu * z10) + fv * ((1.0f - fu) * z01 + fu * z11);
        }
        if (v00 && v10) return (1.0f - fu) * z00 + fu * z10;
        if (v01 && v11) return (1.0f - fu) * z01 + fu * z11;
        if (v00 && v01) return (1.0f - fv) * z00 + fv * z01;
        if (v10 && v11) return (1.0f - fv) * z10 + fv * z11;
        if (v00) return z00;
        if (v01) return z01;
        if (v10) return z10;
        if (v11) return z11;
        return z00;
    }
    // On the last column or row there is nothing to interpolate with: a null
    // corner gives way to its neighbour along the edge, taken as stored.
    if (z00 >= kNullThreshold) return z00;
    if (p < NXS - 1) return source.at(p + 1, q);
    if (q < NYS - 1) return source.at(p, q + 1);
    return z00;
}

// A rectangle of target nodes: columns i0..i1 of rows j0..j1 (from 1).
struct Tile {
    std::int32_t i0;
    std::int32_t i1;
    std::int32_t j0;
    std::int32_t j1;
};

// The target, worked a tile at a time: each tile's nodes are sampled from a
// source window around the tile's corners carried into the source frame (a
// cell of margin for rounding and for the interpolation's far corners) and
// written as row pieces in place. The bytes are those of a row-by-row pass:
// every node is sampled as it would be there, and where it lands in the file
// does not depend on when it is written.
template <typename ToSource>
class TileWriter {
public:
    TileWriter(SourceWindow& source, common::RawFile& target, const GridLayout& grid, std::span<float> ROWBUF,
               std::int32_t flag, ToSource toSource)
        : source_(source), target_(target), grid_(grid), ROWBUF_(ROWBUF), flag_(flag), toSource_(toSource) {}

    // Works a tile, in halves while its source window would be too large.
    bool work(const Tile& tile) {
        std::int64_t p0 = 0;
        std::int64_t p1 = -1;
        std::int64_t q0 = 0;
        std::int64_t q1 = -1;
        footprint(tile, p0, p1, q0, q1);
        const std::int64_t values = p1 < p0 || q1 < q0 ? 0 : (p1 - p0 + 1) * (q1 - q0 + 1);
        if (values > kWindowValues && (tile.i1 > tile.i0 || tile.j1 > tile.j0)) {
            if (tile.i1 - tile.i0 >= tile.j1 - tile.j0) {
                const std::int32_t middle = tile.i0 + (tile.i1 - tile.i0) / 2;
                return work({tile.i0, middle, tile.j0, tile.j1}) && work({middle + 1, tile.i1, tile.j0, tile.j1});
            }
            const std::int32_t middle = tile.j0 + (tile.j1 - tile.j0) / 2;
            return work({tile.i0, tile.i1, tile.j0, middle}) && work({tile.i0, tile.i1, middle + 1, tile.j1});
        }
        source_.load(p0, p1, q0, q1);
        const std::size_t width = static_cast<std::size_t>(tile.i1 - tile.i0 + 1);
        values_.resize(width);
        for (std::int32_t j = tile.j0; j <= tile.j1; ++j) {
            for (std::int32_t i = tile.i0; i <= tile.i1; ++i) {
                float u = 0.0f;
                float v = 0.0f;
                toSource_(x(i), y(j), u, v);
                values_[static_cast<std::size_t>(i - tile.i0)] = sampleSource(source_, u, v);
            }
            if (!source_.ok()) return false;
            const std::int64_t bytes = static_cast<std::int64_t>(width) * 4;
            const std::int64_t offset = gridRowOffset(j, grid_.NX, grid_.NY, flag_) + std::int64_t{tile.i0 - 1} * 4;
            if (target_.writeAt(offset, values_.data(), bytes) != bytes) return false;
            // The caller's row buffer is left holding the last row.
            if (j == grid_.NY) std::copy(values_.begin(), values_.end(), ROWBUF_.begin() + (tile.i0 - 1));
        }
        return true;
    }

private:
    float x(std::int32_t i) const { return grid_.X0 + static_cast<float>(i - 1) * grid_.DX; }
    float y(std::int32_t j) const { return grid_.Y0 + static_cast<float>(j - 1) * grid_.DY; }

    // The source nodes the tile's corners reach, with a cell of margin,
    // inside the source; empty when the tile lies off it or a corner has no
    // finite position (its nodes then read the file, if they read at all).
    void footprint(const Tile& tile, std::int64_t& p0, std::int64_t& p1, std::int64_t& q0, std::int64_t& q1) const {
        float uLow = 0.0f;
        float uHigh = 0.0f;
        float vLow = 0.0f;
        float vHigh = 0.0f;
        bool first = true;
        for (const std::int32_t i : {tile.i0, tile.i1}) {
            for (const std::int32_t j : {tile.j0, tile.j1}) {
                float u = 0.0f;
                float v = 0.0f;
                toSource_(x(i), y(j), u, v);
                if (!std::isfinite(u) || !std::isfinite(v)) return;
                uLow = first ? u : std::min(uLow, u);
                uHigh = first ? u : std::max(uHigh, u);
                vLow = first ? v : std::min(vLow, v);
                vHigh = first ? v : std::max(vHigh, v);
                first = false;
            }
        }
        const auto clampedNode = [](float position, std::int64_t shift, std::int64_t last) {
            const double node = std::floor(static_cast<double>(position)) + static_cast<double>(shift);
            return static_cast<std::int64_t>(std::clamp(node, -1.0, static_cast<double>(last) + 1.0));
        };
        const std::int64_t lastColumn = source_.columns() - 1;
        const std::int64_t lastRow = source_.rows() - 1;
        p0 = std::max<std::int64_t>(clampedNode(uLow, -1, lastColumn), 0);
        p1 = std::min<std::int64_t>(clampedNode(uHigh, 2, lastColumn), lastColumn);
        q0 = std::max<std::int64_t>(clampedNode(vLow, -1, lastRow), 0);
        q1 = std::min<std::int64_t>(clampedNode(vHigh, 2, lastRow), lastRow);
    }

    SourceWindow& source_;
    common::RawFile& target_;
    const GridLayout& grid_;
    std::span<float> ROWBUF_;
    std::int32_t flag_;
    ToSource toSource_;
    std::vector<float> values_;
};

template <typename ToSource>
bool writeTarget(SourceWindow& source, common::RawFile& target, const GridLayout& grid, std::span<float> ROWBUF,
                 std::int32_t KXFLAG, float ZMIN, float ZMAX, ToSource toSource) {
    const GridHeaderBytes header =
        encodeGridHeader(makeGridHeader(grid.NX, grid.NY, KXFLAG, grid.DX, grid.DY, grid.X0, grid.Y0, ZMIN, ZMAX));
    if (target.write(header.data(), kGridHeaderBytes) != kGridHeaderBytes) return false;
    TileWriter<ToSource> tiles(source, target, grid, ROWBUF, rowOrderFlag(KXFLAG), toSource);
    for (std::int64_t j0 = 1; j0 <= grid.NY; j0 += kTileRows) {
        const auto j1 = static_cast<std::int32_t>(std::min<std::int64_t>(grid.NY, j0 + kTileRows - 1));
        for (std::int64_t i0 = 1; i0 <= grid.NX; i0 += kTileColumns) {
            const auto i1 = static_cast<std::int32_t>(std::min<std::int64_t>(grid.NX, i0 + kTileColumns - 1));
            if (!tiles.work({static_cast<std::int32_t>(i0), i1, static_cast<std::int32_t>(j0), j1})) return false;
        }
    }
    return true;
}

// Opens the source, checks that it holds the nodes it is said to hold,
// creates the target and resamples it; a target that could not be finished
// is removed.
template <typename ToSource>
bool resample(std::string_view INGRD, std::string_view OUTGRD, std::int32_t NXS, std::int32_t NYS,
              const GridLayout& grid, std::span<float> ROWBUF, std::int32_t KXFLAG, float ZMIN, float ZMAX,
              ToSource toSource) {
    if (grid.NX < 0 || grid.NY < 0 || ROWBUF.size() < static_cast<std::size_t>(grid.NX)) return false;
    const std::string sourceName = nameBeforeNul(INGRD);
    const std::string name = gridFileName(OUTGRD);
    // A target written over its own source would be read back half resampled.
    if (common::sameFile(sourceName, name)) return false;
    common::RawFile sourceFile = common::RawFile::openRead(sourceName);
    GridFileHeader sourceHeader;
    if (!readGridFileHeader(sourceFile, sourceHeader)) return false;
    const std::int64_t nodes =
        static_cast<std::int64_t>(std::max(NXS, 0)) * static_cast<std::int64_t>(std::max(NYS, 0));
    if (sourceFile.size() < kGridHeaderBytes + nodes * 4) return false;
    SourceWindow source(std::move(sourceFile), NXS, NYS, sourceHeader.rowOrderFlag);

    common::RawFile target = createGridFile(name);
    if (!target.isOpen()) return false;
    const bool written = writeTarget(source, target, grid, ROWBUF, KXFLAG, ZMIN, ZMAX, toSource);
    target.close();
    if (!written) common::deleteFile(name);
    return written;
}

}  // namespace

bool GEOROT(const GridResampling& call) {
    const FrameTurn& turn = call.turn;
    const float radians = turn.ANGLE * kPi / 180.0f;
    const float sine = std::sin(radians);
    const float cosine = std::cos(radians);
    const GridLayout& source = call.source;
    auto toSource = [&](float x, float y, float& u, float& v) {
        const float xr = ((x - turn.XC) * cosine - (y - turn.YC) * sine) / turn.XSCL + turn.XSHIFT;
        const float yr = ((x - turn.XC) * sine + (y - turn.YC) * cosine) / turn.YSCL + turn.YSHIFT;
        u = (xr - source.X0) / source.DX;
        v = (yr - source.Y0) / source.DY;
    };
    return resample(call.INGRD, call.OUTGRD, source.NX, source.NY, call.target, call.ROWBUF, call.KXFLAG, call.ZMIN,
                    call.ZMAX, toSource);
}

bool GEOROT(std::string_view INGRD, std::string_view OUTGRD, float DXS, float DYS, float X0S, float Y0S,
            std::int32_t NXS, std::int32_t NYS, float DXO, float DYO, float X0O, float Y0O, std::int32_t NXO,
            std::int32_t NYO, std::span<float> ROWBUF, float ANGLE, float XC, float YC, float XSHIFT,
            float YSHIFT, float XSCL, float YSCL, std::int32_t KXFLAG, float DNULL, float ZMIN, float ZMAX) {
    return GEOROT({.INGRD = INGRD,
                   .source = {DXS, DYS, X0S, Y0S, NXS, NYS},
                   .OUTGRD = OUTGRD,
                   .target = {DXO, DYO, X0O, Y0O, NXO, NYO},
                   .turn = {ANGLE, XC, YC, XSHIFT, YSHIFT, XSCL, YSCL},
                   .ROWBUF = ROWBUF,
                   .KXFLAG = KXFLAG,
                   .DNULL = DNULL,
                   .ZMIN = ZMIN,
                   .ZMAX = ZMAX});
}

bool ROTGRD(std::string_view INGRD, std::string_view OUTGRD, float X0S, float Y0S, std::int32_t NXS,
            std::int32_t NYS, float DX, float DY, float X0O, float Y0O, std::int32_t NXO, std::int32_t NYO,
            std::span<float> ROWBUF, float ANGLE, float XC, float YC, std::int32_t KXFLAG, float /*DNULL*/,
            float ZMIN, float ZMAX) {
    const float radians = ANGLE * kPi / 180.0f;
    const float sine = std::sin(radians);
    const float cosine = std::cos(radians);
    auto toSource = [&](float x, float y, float& u, float& v) {
        u = ((x - XC) * cosine - (y - YC) * sine) / DX - X0S;
        v = ((x - XC) * sine + (y - YC) * cosine) / DY - Y0S;
    };
    return resample(INGRD, OUTGRD, NXS, NYS, {DX, DY, X0O, Y0O, NXO, NYO}, ROWBUF, KXFLAG, ZMIN, ZMAX, toSource);
}

}  // namespace lumsk
