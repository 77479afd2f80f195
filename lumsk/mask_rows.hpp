#pragma once
// Mask rows moved a chunk at a time. The mask passes walk the mask file row
// by row, upward; reading and writing each 8 KB row on its own made tens of
// thousands of transfers per call. These two carry consecutive rows in one
// transfer each, through a bounded buffer laid out as mask file records (so a
// chunk moves as it lies on disk), whatever the mask's size.
//
// Within one pass a row is only written after it has been read, and rows are
// read upward, so a chunk read ahead never holds a row still waiting in a
// writer. A writer sends what it holds when a row does not follow the last
// one, when its buffer is full, and when it goes out of scope.
#include <cstdint>
#include <vector>

#include "common/platform.hpp"
#include "lumsk/minc_state.hpp"

namespace lumsk {

// Reads mask rows firstRow..lastRow in upward order, the N codes of each.
class MaskRowReader {
public:
    MaskRowReader(const MincState& state, common::RawFile& file, std::int32_t N, std::int32_t firstRow,
                  std::int32_t lastRow);

    // The codes of mask row `row` (not below the last row asked for), valid
    // until the next call; nullptr when the row could not be read whole (the
    // failed transfer is noted).
    const std::int32_t* row(std::int32_t row);

private:
    void readChunkFrom(std::int32_t row);

    const MincState& state_;
    common::RawFile& file_;
    std::int32_t N_;
    std::int32_t lastRow_;
    std::int32_t stride_;          // words of one record
    std::int32_t chunkCapacity_;   // rows the buffer holds
    std::int32_t chunkFirst_ = 0;  // first row held
    std::int32_t rowsHeld_ = 0;    // rows held whole
    std::vector<std::int32_t> records_;
};

// Writes mask rows, the N codes of each, gathering consecutive rows into one
// transfer.
class MaskRowWriter {
public:
    MaskRowWriter(const MincState& state, common::RawFile& file, std::int32_t N);
    ~MaskRowWriter() { flush(); }
    MaskRowWriter(const MaskRowWriter&) = delete;
    MaskRowWriter& operator=(const MaskRowWriter&) = delete;

    void write(std::int32_t row, const std::int32_t* codes);
    // Sends the rows held; every write is noted in the call's transfers.
    void flush();

private:
    const MincState& state_;
    common::RawFile& file_;
    std::int32_t N_;
    std::int32_t stride_;
    std::int32_t chunkCapacity_;
    std::int32_t firstRow_ = 0;
    std::int32_t rowsHeld_ = 0;
    // Leading words and padding stay 0, as they are in the file.
    std::vector<std::int32_t> records_;
};

}  // namespace lumsk
