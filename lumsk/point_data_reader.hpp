#pragma once
// Reads the point data file from its start, whole records at a time, in large
// blocks: the file can hold millions of points, and a system call per value
// would dominate the gridding time.
#include <cstdint>
#include <span>
#include <vector>

#include "common/platform.hpp"
#include "lumsk/minc_state.hpp"

namespace lumsk {

// One point as the sorting sees it: position in cells (rotated about the
// rotation centre when the call is rotated) and the value of the gridded
// channel, before any value transform.
struct CellPoint {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

class PointDataReader {
public:
    // Moves `file` to byte 0. Records hold x, y and MAXCHN channels. A channel
    // ZCHAN outside 1..MAXCHN names no value, so such a file yields no point
    // (as does an absurd MAXCHN of more than a million channels).
    PointDataReader(common::RawFile& file, std::int32_t MAXCHN, std::int32_t ZCHAN);

    // The next whole record, or false at the end of the file or after a read
    // error. A trailing part record (never written by the converters) is
    // ignored.
    bool next(std::span<const float>& record);

private:
    bool refill();

    common::RawFile& file_;
    std::int64_t recordWords_;
    std::vector<float> buffer_;
    std::size_t recordsHeld_ = 0;
    std::size_t nextRecord_ = 0;
    bool exhausted_ = false;
};

// The record's position in cells and its gridded value, with the rotation of
// the call applied when its folded angle exceeds one degree.
CellPoint toCellPoint(const MincSettings& settings, std::span<const float> record);

// Whether a point can take part in a grid at all: its position and its
// value are finite. A NaN left by a failed conversion or an overflowed value
// is skipped like a null, so that one bad sounding cannot spread through the
// solve.
bool isFinitePoint(const CellPoint& point);

// Whether ZCHAN names a channel of a record of MAXCHN channels.
bool channelExists(std::int32_t MAXCHN, std::int32_t ZCHAN);

}  // namespace lumsk
