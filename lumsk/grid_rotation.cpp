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
// Source rows kept in memory at once: every target node reads up to four
// source nodes, and neighbouring nodes mostly read the same few rows.
constexpr std::int64_t kCachedSourceValues = std::int64_t{1} << 22;

bool isValue(float z) { return z > kNullThreshold; }

// A source grid file read node by node through a small cache of whole rows,
// so that a node costs no file access of its own.
class SourceGrid {
public:
    SourceGrid(common::RawFile file, std::int32_t NXS, std::int32_t NYS, std::int32_t flag)
        : file_(std::move(file)), NXS_(NXS), NYS_(NYS), flag_(flag) {
        const std::int64_t byCapacity = kCachedSourceValues / (NXS > 0 ? NXS : 1);
        slots_ = std::max<std::int64_t>(1, std::min<std::int64_t>(byCapacity, NYS > 0 ? NYS : 1));
        rows_.assign(static_cast<std::size_t>(slots_), {});
        tags_.assign(static_cast<std::size_t>(slots_), -1);
    }

    bool ok() const { return ok_; }

    // Node (p, q), both counted from 0 and inside the grid.
    float at(std::int64_t p, std::int64_t q) {
        const std::size_t slot = static_cast<std::size_t>(q % slots_);
        if (tags_[slot] != q) load(slot, q);
        return rows_[slot][static_cast<std::size_t>(p)];
    }

private:
    void load(std::size_t slot, std::int64_t q) {
        std::vector<float>& row = rows_[slot];
        row.resize(static_cast<std::size_t>(NXS_));
        const std::int64_t stored = storedRowSlot(q + 1, NYS_, flag_);
        const std::int64_t bytes = static_cast<std::int64_t>(NXS_) * 4;
        if (file_.readAt(kGridHeaderBytes + stored * bytes, row.data(), bytes) != bytes) {
            ok_ = false;
            std::fill(row.begin(), row.end(), kNullValue);
        }
        tags_[slot] = q;
    }

    common::RawFile file_;
    std::int64_t NXS_;
    std::int64_t NYS_;
    std::int32_t flag_;
    std::int64_t slots_ = 1;
    std::vector<std::vector<float>> rows_;
    std::vector<std::int64_t> tags_;
    bool ok_ = true;
};

// The value at source position (u, v) in cells, by the first interpolation
// whose corners hold values.
float sampleSource(SourceGrid& source, float u, float v, std::int64_t NXS, std::int64_t NYS) {
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

template <typename ToSource>
bool writeTarget(SourceGrid& source, std::int32_t NXS, std::int32_t NYS, common::RawFile& target,
                 const GridLayout& grid, std::span<float> ROWBUF, std::int32_t KXFLAG, float ZMIN, float ZMAX,
                 ToSource toSource) {
    const GridHeaderBytes header =
        encodeGridHeader(makeGridHeader(grid.NX, grid.NY, KXFLAG, grid.DX, grid.DY, grid.X0, grid.Y0, ZMIN, ZMAX));
    if (target.write(header.data(), kGridHeaderBytes) != kGridHeaderBytes) return false;
    const std::int32_t flag = rowOrderFlag(KXFLAG);
    const std::int64_t rowBytes = static_cast<std::int64_t>(grid.NX) * 4;
    for (std::int32_t j = 1; j <= grid.NY; ++j) {
        const float y = grid.Y0 + static_cast<float>(j - 1) * grid.DY;
        for (std::int32_t i = 1; i <= grid.NX; ++i) {
            const float x = grid.X0 + static_cast<float>(i - 1) * grid.DX;
            float u = 0.0f;
            float v = 0.0f;
            toSource(x, y, u, v);
            ROWBUF[static_cast<std::size_t>(i - 1)] = sampleSource(source, u, v, NXS, NYS);
        }
        if (!source.ok()) return false;
        if (target.writeAt(gridRowOffset(j, grid.NX, grid.NY, flag), ROWBUF.data(), rowBytes) != rowBytes) {
            return false;
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
    SourceGrid source(std::move(sourceFile), NXS, NYS, sourceHeader.rowOrderFlag);

    common::RawFile target = createGridFile(name);
    if (!target.isOpen()) return false;
    const bool written = writeTarget(source, NXS, NYS, target, grid, ROWBUF, KXFLAG, ZMIN, ZMAX, toSource);
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
