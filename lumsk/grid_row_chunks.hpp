#pragma once
// Grid rows moved a chunk at a time: copying a grid row by row between files
// costs a system call per row, so the row copies take as many consecutive
// rows as fit a bounded buffer (about 256 KiB; memory stays flat whatever the
// grid) and move them in one transfer.
#include <algorithm>
#include <cstdint>
#include <span>
#include <vector>

namespace lumsk {

class GridRowChunks {
public:
    // `rowBuffer` is the caller's buffer of at least one row of `columns`
    // values; it serves as the chunk when no more than one row fits.
    GridRowChunks(std::span<float> rowBuffer, std::int32_t columns) {
        const std::size_t width = static_cast<std::size_t>(std::max(columns, 1));
        rows_ = static_cast<std::int32_t>(std::max<std::size_t>(kChunkValues / width, 1));
        rowBuffer_ = rowBuffer;
        width_ = static_cast<std::size_t>(std::max(columns, 0));
        if (rows_ == 1) {
            chunk_ = rowBuffer;
        } else {
            own_.assign(static_cast<std::size_t>(rows_) * width, 0.0f);
            chunk_ = own_;
        }
    }

    // Leaves row `k` of the chunk in the caller's row buffer, which holds the
    // last row moved once a row-by-row copy is done.
    void leaveInRowBuffer(std::int32_t k) {
        if (chunk_.data() == rowBuffer_.data()) return;
        const float* row = chunk_.data() + static_cast<std::size_t>(k) * width_;
        std::copy(row, row + width_, rowBuffer_.begin());
    }

    // Rows per chunk.
    std::int32_t rows() const { return rows_; }
    float* data() { return chunk_.data(); }

private:
    static constexpr std::size_t kChunkValues = std::size_t{1} << 16;

    std::int32_t rows_ = 1;
    std::size_t width_ = 0;
    std::span<float> rowBuffer_;
    std::vector<float> own_;
    std::span<float> chunk_;
};

}  // namespace lumsk
