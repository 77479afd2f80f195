#include "lumsk/radius_mask.hpp"

#include <algorithm>
#include <cstring>

#include "lumsk/grid_row_chunks.hpp"
#include "lumsk/mask_file.hpp"
#include "lumsk/mask_rows.hpp"

namespace lumsk {

namespace {

// The 2r + 1 mask rows around the row being examined, with the sum of every
// column over them. Rows enter the ring before they are examined, so the sums
// always count the codes as they stood before the pass changed anything.
class MaskRing {
public:
    MaskRing(const MincState& state, common::RawFile& file, std::int32_t columns, std::int32_t rows,
             std::int32_t stride, std::int32_t windowSize, std::int32_t* columnSums, std::int32_t* ring)
        : reader_(state, file, columns, 1, rows), columns_(columns), rows_(rows), stride_(stride),
          windowSize_(windowSize), columnSums_(columnSums), ring_(ring) {}

    // Reads mask rows 1..2r+1 into the ring and sums the columns.
    void fill() {
        std::memset(columnSums_, 0, static_cast<std::size_t>(columns_) * sizeof(std::int32_t));
        for (std::int32_t slot = 1; slot <= windowSize_; ++slot) {
            readRow(slot, slot);
            addSlot(slot, +1);
        }
        oldestSlot_ = 1;
        lastRowRead_ = windowSize_;
    }

    std::int32_t lastRowRead() const { return lastRowRead_; }

    // Copies mask row `row`, one of the rows in the ring, into `codes`. The
    // row examined is always in the ring as it stood before the pass, which
    // is what the file still holds for it: no second read is needed.
    void copyRow(std::int32_t row, std::int32_t* codes) const {
        const std::int32_t age = row - (lastRowRead_ - windowSize_ + 1);
        const std::int32_t slot = (oldestSlot_ - 1 + age) % windowSize_ + 1;
        std::memcpy(codes, ring_ + static_cast<std::size_t>(slot - 1) * stride_,
                    static_cast<std::size_t>(columns_) * sizeof(std::int32_t));
    }

    // Moves the window up one row: the oldest row leaves the sums and the next
    // mask row takes its slot. False when there is no next row or its read
    // fails (`readFailed` tells which).
    bool advance(bool& readFailed) {
        readFailed = false;
        addSlot(oldestSlot_, -1);
        ++lastRowRead_;
        if (lastRowRead_ > rows_) return false;
        if (!readRow(oldestSlot_, lastRowRead_)) {
            readFailed = true;
            return false;
        }
        addSlot(oldestSlot_, +1);
        oldestSlot_ = oldestSlot_ == windowSize_ ? 1 : oldestSlot_ + 1;
        return true;
    }

    // Slides the window sum along the examined columns r+1..MC-r, calling
    // visit(j, sum) with the count of the (2r+1) x (2r+1) cells centred on j.
    template <typename Visit>
    void slide(std::int32_t r, Visit visit) const {
        std::int32_t sum = 0;
        for (std::int32_t j = 1; j <= windowSize_ - 1; ++j) sum += columnSum(j);
        for (std::int32_t j = r + 1; j <= columns_ - r; ++j) {
            sum += columnSum(j + r);
            visit(j, sum);
            sum -= columnSum(j - r);
        }
    }

private:
    std::int32_t* slotRow(std::int32_t slot) { return ring_ + static_cast<std::size_t>(slot - 1) * stride_; }

    // False when the row could not be read whole; the slot then keeps what
    // it held (the call fails on the noted transfer).
    bool readRow(std::int32_t slot, std::int32_t row) {
        const std::int32_t* codes = reader_.row(row);
        if (codes == nullptr) return false;
        std::memcpy(slotRow(slot), codes, static_cast<std::size_t>(columns_) * sizeof(std::int32_t));
        return true;
    }
    std::int32_t columnSum(std::int32_t j) const { return columnSums_[j - 1]; }

    void addSlot(std::int32_t slot, std::int32_t sign) {
        const std::int32_t* row = slotRow(slot);
        for (std::int32_t j = 0; j < columns_; ++j) columnSums_[j] += sign * row[j];
    }

    MaskRowReader reader_;
    std::int32_t columns_;
    std::int32_t rows_;
    std::int32_t stride_;
    std::int32_t windowSize_;
    std::int32_t* columnSums_;
    std::int32_t* ring_;
    std::int32_t oldestSlot_ = 1;
    std::int32_t lastRowRead_ = 0;
};

}  // namespace

std::int32_t searchWindowHalfWidth(std::int32_t NWIN) {
    std::int32_t r = NWIN / 2;
    if (2 * r + 1 > NWIN) r -= 1;
    return r;
}

void RADREM(const MincState& state, std::int32_t /*NMIN*/, common::RawFile& MHAND, std::int32_t MCOLS,
            std::int32_t NWIN, std::int32_t* COLSUM, std::int32_t* IBUF, std::int32_t* IRING,
            std::int32_t& ISTAT) {
    ISTAT = 0;
    const std::int32_t r = searchWindowHalfWidth(NWIN);
    const std::int32_t windowSize = 2 * r + 1;
    std::int32_t MC = 0;
    std::int32_t MR = 0;
    readMaskSize(MHAND, MC, MR);
    if (MCOLS < MC) {
        ISTAT = kStatusMaskTooNarrow;
        return;
    }
    if (r < 1) {
        ISTAT = kStatusMaskRadiusTooSmall;
        return;
    }

    MaskRing ring(state, MHAND, MC, MR, MCOLS, windowSize, COLSUM, IRING);
    MaskRowWriter writer(state, MHAND, MC);
    ring.fill();
    for (std::int32_t k = r + 1; k <= MR - r; ++k) {
        ring.copyRow(k, IBUF);
        // A data cell is alone when the window around it counts only itself.
        // Written as selects, not branches: data cells lie scattered. A row
        // that lost no cell already stands in the file as it is.
        bool removed = false;
        ring.slide(r, [&](std::int32_t j, std::int32_t sum) {
            const bool alone = (sum <= 1) & (IBUF[j - 1] != kMaskBlank);
            IBUF[j - 1] = alone ? kMaskBlank : IBUF[j - 1];
            removed |= alone;
        });
        if (removed) writer.write(k, IBUF);
        if (k == MR - r) break;
        bool readFailed = false;
        if (!ring.advance(readFailed)) {
            if (readFailed) ISTAT = 1;
            break;
        }
    }
}

void RADMSK(const MincState& state, std::int32_t NMIN, common::RawFile& MHAND, std::int32_t MCOLS,
            std::int32_t NWIN, std::int32_t* COLSUM, std::int32_t* IBUF, std::int32_t* IRING,
            std::int32_t& ISTAT) {
    ISTAT = 0;
    const std::int32_t r = searchWindowHalfWidth(NWIN);
    const std::int32_t windowSize = 2 * r + 1;
    const std::int32_t windowCells = windowSize * windowSize;
    const std::int32_t threshold = NMIN <= 0 ? 1 : (NMIN > windowCells ? windowCells : NMIN);
    std::int32_t MC = 0;
    std::int32_t MR = 0;
    readMaskSize(MHAND, MC, MR);
    // Never run past the work areas: a mask wider than them, or a window of
    // no size, is left as it is.
    if (MCOLS < MC || r < 0) return;

    MaskRing ring(state, MHAND, MC, MR, MCOLS, windowSize, COLSUM, IRING);
    MaskRowWriter writer(state, MHAND, MC);
    ring.fill();
    for (std::int32_t k = r + 1; k <= MR - r; ++k) {
        ring.copyRow(k, IBUF);
        bool changed = false;
        ring.slide(r, [&](std::int32_t j, std::int32_t sum) {
            const bool reached = (sum >= threshold) & (IBUF[j - 1] == kMaskBlank);
            // A reached cell is blank (0), so adding the code sets it.
            IBUF[j - 1] += kMaskReach * static_cast<std::int32_t>(reached);
            changed |= reached;
        });
        if (changed) writer.write(k, IBUF);
        if (ring.lastRowRead() < MR) {
            bool readFailed = false;
            if (!ring.advance(readFailed)) {
                if (readFailed) ISTAT = 1;
                break;
            }
        }
    }
}

void TEMPLAT(const MincState& state, std::int32_t ICOL0, std::int32_t IROW0, std::int32_t ICODE,
             float VALUE, common::RawFile& MHAND, [[maybe_unused]] std::int32_t* IBUF, std::int32_t MCOLS,
             std::int32_t MROWS, common::RawFile& GHAND, float* ROWBUF, std::int32_t NX,
             std::int32_t NY, common::RawFile& OHAND) {
    if (!maskWindowFits(ICOL0, IROW0, MCOLS, MROWS, NX, NY)) return;
    MaskRowReader mask(state, MHAND, MCOLS, IROW0, IROW0 - 1 + NY);
    GridRowChunks chunks(std::span<float>(ROWBUF, static_cast<std::size_t>(NX)), NX);
    const std::size_t width = static_cast<std::size_t>(NX);
    for (std::int32_t first = 1; first <= NY; first += chunks.rows()) {
        const std::int32_t rows = std::min(chunks.rows(), NY - first + 1);
        const std::int64_t bytes = static_cast<std::int64_t>(rows) * NX * 4;
        state.files.transfers.note(GHAND.read(chunks.data(), bytes), bytes);
        for (std::int32_t k = 0; k < rows; ++k) {
            const std::int32_t* row = mask.row(IROW0 - 1 + first + k);
            if (row == nullptr) continue;  // noted; the call fails
            const std::int32_t* codes = row + (ICOL0 - 1);
            float* values = chunks.data() + static_cast<std::size_t>(k) * width;
            for (std::size_t j = 0; j < width; ++j) {
                if (codes[j] == ICODE) std::memcpy(&values[j], &VALUE, sizeof(float));
            }
        }
        state.files.transfers.note(OHAND.write(chunks.data(), bytes), bytes);
        if (first + rows > NY) chunks.leaveInRowBuffer(rows - 1);
    }
}

}  // namespace lumsk
