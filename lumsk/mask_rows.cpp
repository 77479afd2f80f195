#include "lumsk/mask_rows.hpp"

#include <algorithm>
#include <cstring>

#include "lumsk/mask_file.hpp"

namespace lumsk {

namespace {

// About 256 KiB of records per transfer; always at least one row.
constexpr std::int64_t kChunkBytes = std::int64_t{1} << 18;

// The rows one buffer carries. Rows of more codes than a record holds
// overlap on disk and move one at a time.
std::int32_t rowsPerChunk(std::int32_t recordWords, std::int32_t N) {
    if (N + 1 > recordWords) return 1;
    return static_cast<std::int32_t>(std::max<std::int64_t>(kChunkBytes / (std::int64_t{4} * recordWords), 1));
}

// Words from the start of the first of `rows` records to the last code of the
// last one: the record padding after the last row need not exist on disk.
std::int64_t spanWords(std::int32_t rows, std::int32_t stride, std::int32_t N) {
    return static_cast<std::int64_t>(rows - 1) * stride + 1 + N;
}

}  // namespace

MaskRowReader::MaskRowReader(const MincState& state, common::RawFile& file, std::int32_t N, std::int32_t firstRow,
                             std::int32_t lastRow)
    : state_(state), file_(file), N_(std::max(N, 0)), lastRow_(lastRow),
      stride_(std::max(state.settings.maskRecordWords, N_ + 1)),
      chunkCapacity_(rowsPerChunk(state.settings.maskRecordWords, N_)) {
    const std::int32_t rows = std::clamp(lastRow - firstRow + 1, 1, chunkCapacity_);
    chunkCapacity_ = rows;
    records_.assign(static_cast<std::size_t>(rows) * static_cast<std::size_t>(stride_), 0);
}

void MaskRowReader::readChunkFrom(std::int32_t row) {
    chunkFirst_ = row;
    const std::int32_t rows = std::max(std::min(chunkCapacity_, lastRow_ - row + 1), 1);
    const std::int64_t wanted = spanWords(rows, stride_, N_) * 4;
    const std::int64_t got =
        file_.readAt(maskRecordOffset(row, state_.settings.maskRecordWords), records_.data(), wanted);
    state_.files.transfers.note(got, wanted);
    // The rows whose codes arrived whole.
    rowsHeld_ = 0;
    while (rowsHeld_ < rows && spanWords(rowsHeld_ + 1, stride_, N_) * 4 <= got) ++rowsHeld_;
}

const std::int32_t* MaskRowReader::row(std::int32_t row) {
    // Rows come upward: one that is not held starts the next chunk.
    if (row < chunkFirst_ || row >= chunkFirst_ + rowsHeld_) readChunkFrom(row);
    if (row < chunkFirst_ || row >= chunkFirst_ + rowsHeld_) return nullptr;
    return records_.data() + static_cast<std::size_t>(row - chunkFirst_) * static_cast<std::size_t>(stride_) + 1;
}

MaskRowWriter::MaskRowWriter(const MincState& state, common::RawFile& file, std::int32_t N)
    : state_(state), file_(file), N_(std::max(N, 0)), stride_(std::max(state.settings.maskRecordWords, N_ + 1)),
      chunkCapacity_(rowsPerChunk(state.settings.maskRecordWords, N_)),
      records_(static_cast<std::size_t>(chunkCapacity_) * static_cast<std::size_t>(stride_), 0) {}

void MaskRowWriter::write(std::int32_t row, const std::int32_t* codes) {
    if (rowsHeld_ > 0 && (row != firstRow_ + rowsHeld_ || rowsHeld_ == chunkCapacity_)) flush();
    if (rowsHeld_ == 0) firstRow_ = row;
    std::memcpy(records_.data() + static_cast<std::size_t>(rowsHeld_) * static_cast<std::size_t>(stride_) + 1, codes,
                static_cast<std::size_t>(N_) * sizeof(std::int32_t));
    ++rowsHeld_;
}

void MaskRowWriter::flush() {
    if (rowsHeld_ == 0) return;
    const std::int64_t bytes = spanWords(rowsHeld_, stride_, N_) * 4;
    state_.files.transfers.note(
        file_.writeAt(maskRecordOffset(firstRow_, state_.settings.maskRecordWords), records_.data(), bytes), bytes);
    rowsHeld_ = 0;
}

}  // namespace lumsk
