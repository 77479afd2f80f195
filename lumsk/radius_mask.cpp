#include "lumsk/radius_mask.hpp"

#include <cstring>

#include "lumsk/mask_file.hpp"

namespace lumsk {

namespace {

// The 2r + 1 mask rows around the row being examined, with the sum of every
// column over them. Rows enter the ring before they are examined, so the sums
// always count the codes as they stood before the pass changed anything.
class MaskRing {
public:
    MaskRing(const MincState& state, common::RawFile& file, std::int32_t columns, std::int32_t rows,
             std::int32_t stride, std::int32_t windowSize, std::int32_t* columnSums, std::int32_t* ring)
        : state_(state), file_(file), columns_(columns), rows_(rows), stride_(stride),
          windowSize_(windowSize), columnSums_(columnSums), ring_(ring) {}

    // Reads mask rows 1..2r+1 into the ring and sums the columns.
    void fill() {
        std::memset(columnSums_, 0, static_cast<std::size_t>(columns_) * sizeof(std::int32_t));
        std::int32_t ierr = 0;
        for (std::int32_t slot = 1; slot <= windowSize_; ++slot) {
            ROWMSK(state_, columns_, slotRow(slot), slot, file_, ierr);
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
        std::int32_t ierr = 0;
        ROWMSK(state_, columns_, slotRow(oldestSlot_), lastRowRead_, file_, ierr);
        if (ierr != 0) {
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
    std::int32_t columnSum(std::int32_t j) const { return columnSums_[j - 1]; }

    void addSlot(std::int32_t slot, std::int32_t sign) {
        const std::int32_t* row = slotRow(slot);
        for (std::int32_t j = 0; j < columns_; ++j) columnSums_[j] += sign * row[j];
    }

    const MincState& state_;
    common::RawFile& file_;
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
    ring.fill();
    std::int32_t ierr = 0;
    for (std::int32_t k = r + 1; k <= MR - r; ++k) {
        ring.copyRow(k, IBUF);
        // A data cell is alone when the window around it counts only itself.
        ring.slide(r, [&](std::int32_t j, std::int32_t sum) {
            if (sum <= 1 && IBUF[j - 1] != 0) IBUF[j - 1] = kMaskBlank;
        });
        ROWDA(state, MHAND, MC, IBUF, 0, k, ierr);
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
    ring.fill();
    std::int32_t ierr = 0;
    for (std::int32_t k = r + 1; k <= MR - r; ++k) {
        ring.copyRow(k, IBUF);
        bool changed = false;
        ring.slide(r, [&](std::int32_t j, std::int32_t sum) {
            if (sum >= threshold && IBUF[j - 1] == kMaskBlank) {
                IBUF[j - 1] = kMaskReach;
                changed = true;
            }
        });
        if (changed) ROWDA(state, MHAND, MC, IBUF, 0, k, ierr);
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
             float VALUE, common::RawFile& MHAND, std::int32_t* IBUF, std::int32_t MCOLS,
             std::int32_t MROWS, common::RawFile& GHAND, float* ROWBUF, std::int32_t NX,
             std::int32_t NY, common::RawFile& OHAND) {
    if (!maskWindowFits(ICOL0, IROW0, MCOLS, MROWS, NX, NY)) return;
    const std::int64_t rowBytes = static_cast<std::int64_t>(NX) * 4;
    std::int32_t ierr = 0;
    for (std::int32_t i = 1; i <= NY; ++i) {
        ROWMSK(state, MCOLS, IBUF, IROW0 - 1 + i, MHAND, ierr);
        state.files.transfers.note(GHAND.read(ROWBUF, rowBytes), rowBytes);
        const std::int32_t* codes = IBUF + (ICOL0 - 1);
        for (std::int32_t j = 0; j < NX; ++j) {
            if (codes[j] == ICODE) std::memcpy(&ROWBUF[j], &VALUE, sizeof(float));
        }
        state.files.transfers.note(OHAND.write(ROWBUF, rowBytes), rowBytes);
    }
}

}  // namespace lumsk
