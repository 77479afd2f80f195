#include "lumsk/point_sorting.hpp"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "common/float_to_int.hpp"
#include "lumsk/point_data_reader.hpp"
#include "lumsk/status.hpp"

namespace lumsk {

namespace {

constexpr float kNoExtent = 1.0E32f;
// Next record and point count lead every data-sorting record.
constexpr std::size_t kSortingHeadWords = 2;

// The value as it is gridded; false when the point cannot be gridded under
// the transform (a logarithm of zero or less).
bool forwardTransform(std::int32_t ITRANS, float& z) {
    if (ITRANS == transformCode(ValueTransform::signedLog)) {
        if (z > 1.0f) {
            z = std::log(z) + 1.0f;
        } else if (z < -1.0f) {
            z = -1.0f - std::log(-z);
        }
    } else if (ITRANS == transformCode(ValueTransform::naturalLog)) {
        if (z <= 0.0f) {
            return false;
        }
        z = std::log(z);
    }
    return true;
}

std::int64_t sortingRecordOffset(const MincSettings& settings, std::int32_t record) {
    return static_cast<std::int64_t>(record - 1) * settings.sortingRecordWords * 4;
}

// Where a point falls in the block layout, and the constants that decide it.
// A point a little into the overlap of two blocks belongs to the right-hand
// (upper) one; a point up to NOVL - 0.1 block columns into a block is also
// copied to the block on its left (below), which reaches that far.
struct BlockBinning {
    BlockBinning(const MincSettings& settings)
        : NSECT(settings.NSECT), NTIER(settings.NTIER),
          sectionStep(static_cast<float>(settings.NCB - settings.NOVL)),
          tierStep(static_cast<float>(settings.NRB - settings.NOVL)),
          leftOverlap((static_cast<float>(settings.NOVL) - 0.1f) / sectionStep),
          lowerOverlap((static_cast<float>(settings.NOVL) - 0.1f) / tierStep),
          // 1.005 = 1 + half the 0.01-cell margin of the accepted range.
          sectionShift(1.0f - 1.005f / sectionStep), tierShift(1.0f - 1.005f / tierStep) {}

    std::int32_t NSECT;
    std::int32_t NTIER;
    float sectionStep;
    float tierStep;
    float leftOverlap;
    float lowerOverlap;
    float sectionShift;
    float tierShift;
};

class BlockSorter {
public:
    BlockSorter(MincState& state, common::RawFile& sortingFile, std::int32_t NPW)
        : state_(state), file_(sortingFile), binning_(state.settings), NPW_(NPW),
          blocks_(state.settings.NSECT * state.settings.NTIER),
          // The per-block tables live in the sorting tables of the work
          // areas, idle edge storage while the points are sorted.
          currentRecord_(state.work.blockFirstRecord), fill_(state.work.blockLastRecord) {
        for (std::int32_t b = 1; b <= blocks_; ++b) {
            currentRecord_[b - 1] = b;
            fill_[b - 1] = 1;
        }
        nextFreeRecord_ = blocks_ + 1;
        std::fill_n(state.work.work.begin(), static_cast<std::size_t>(blocks_) * NPW_, state.settings.DNULL);
    }

    // Stores (u, v, z) in its main block and in the blocks below, below-left
    // and left whose overlap it lies in.
    void sort(float u, float v, float z) {
        const float p = u / binning_.sectionStep;
        const float q = v / binning_.tierStep;
        std::int32_t i = common::truncateToInt32(p + binning_.sectionShift);
        std::int32_t j = common::truncateToInt32(q + binning_.tierShift);
        float fp = p - static_cast<float>(i - 1);
        float fq = q - static_cast<float>(j - 1);
        if (i > binning_.NSECT) {
            i = binning_.NSECT;
            fp = 1.0f;
        }
        if (j > binning_.NTIER) {
            j = binning_.NTIER;
            fq = 1.0f;
        }
        // A step of zero or less (a block no wider than the overlap) puts
        // the point before the first section or tier: it belongs to the
        // first, as one past the last belongs to the last.
        if (i < 1) {
            i = 1;
            fp = 1.0f;
        }
        if (j < 1) {
            j = 1;
            fq = 1.0f;
        }
        const bool inLeftOverlap = fp <= binning_.leftOverlap;
        const bool inLowerOverlap = fq <= binning_.lowerOverlap;
        const std::int32_t mainBlock = (j - 1) * binning_.NSECT + i;
        store(mainBlock, u, v, z);
        if (j != 1 && inLowerOverlap) {
            store(mainBlock - binning_.NSECT, u, v, z);
        }
        if (i != 1 && j != 1 && inLowerOverlap && inLeftOverlap) {
            store(mainBlock - binning_.NSECT - 1, u, v, z);
        }
        if (i != 1 && inLeftOverlap) {
            store(mainBlock - 1, u, v, z);
        }
    }

    // Writes every block's last record, which ends its chain.
    void finish() {
        state_.settings.sortingRecordsInUse = nextFreeRecord_ - 1;
        for (std::int32_t b = 1; b <= blocks_; ++b) {
            WRBLK2(state_, file_, currentRecord_[b - 1], 0, (fill_[b - 1] - 1) / 3, NPW_, buffer(b));
        }
    }

private:
    std::span<float> buffer(std::int32_t block) {
        return std::span<float>(state_.work.work).subspan(static_cast<std::size_t>(block - 1) * NPW_, NPW_);
    }

    void store(std::int32_t block, float u, float v, float z) {
        std::span<float> values = buffer(block);
        std::int32_t& fill = fill_[block - 1];
        values[fill - 1] = u;
        values[fill] = v;
        values[fill + 1] = z;
        fill += 3;
        if (fill >= NPW_) {
            // A full buffer goes to the block's current record, which then
            // points on to a fresh overflow record. The buffer is not cleared.
            WRBLK2(state_, file_, currentRecord_[block - 1], nextFreeRecord_, (fill - 1) / 3, NPW_, values);
            currentRecord_[block - 1] = nextFreeRecord_;
            ++nextFreeRecord_;
            fill = 1;
        }
    }

    MincState& state_;
    common::RawFile& file_;
    BlockBinning binning_;
    std::int32_t NPW_;
    std::int32_t blocks_;
    std::vector<std::int32_t>& currentRecord_;
    std::vector<std::int32_t>& fill_;
    std::int32_t nextFreeRecord_ = 1;
};

}  // namespace

void RNGDAT(MincState& state, common::RawFile& IDHAND, [[maybe_unused]] common::RawFile& ISHAND,
            [[maybe_unused]] std::span<float> CHANS, std::int32_t MAXCHN, std::int32_t ITRANS, float& XMIN,
            float& XMAX, float& YMIN, float& YMAX, [[maybe_unused]] std::int32_t& ISTAT) {
    const MincSettings& settings = state.settings;
    XMIN = kNoExtent;
    YMIN = kNoExtent;
    XMAX = -kNoExtent;
    YMAX = -kNoExtent;
    PointDataReader reader(IDHAND, MAXCHN, settings.ZCHAN);
    std::span<const float> record;
    while (reader.next(record)) {
        const CellPoint point = toCellPoint(settings, record);
        if (point.z == settings.DNULL || (ITRANS == transformCode(ValueTransform::naturalLog) && point.z <= 0.0f) ||
            !isFinitePoint(point)) {
            continue;
        }
        if (point.x < XMIN) XMIN = point.x;
        if (point.x > XMAX) XMAX = point.x;
        if (point.y < YMIN) YMIN = point.y;
        if (point.y > YMAX) YMAX = point.y;
    }
}

void SEQDAT(MincState& state, common::RawFile& IDHAND, common::RawFile& ISHAND, float CELL, float XORG,
            float YORG, std::int32_t NPW, [[maybe_unused]] std::span<float> CHANS, std::int32_t MAXCHN,
            std::int32_t ITRANS, std::int32_t& ISTAT) {
    const MincSettings& settings = state.settings;
    const std::int32_t blocks = settings.NSECT * settings.NTIER;
    // MINC never makes such a layout; the guard keeps the tables and buffers
    // in bounds whatever the caller.
    if (blocks < 1 || blocks > kEdgeWords || NPW < 3 || static_cast<std::int64_t>(blocks) * NPW > kWorkWords ||
        settings.blockStepsVanish()) {
        ISTAT = kStatusNoPointInGrid;
        return;
    }

    // Accepted range: the padded grid less a margin of 0.01 cells.
    const float margin = 0.01f * CELL;
    const float xLow = XORG + margin;
    const float xHigh = static_cast<float>(settings.NXT - 1) * CELL + XORG - margin;
    const float yLow = YORG + margin;
    const float yHigh = static_cast<float>(settings.NYT - 1) * CELL + YORG - margin;
    const float reciprocalCell = 1.0f / CELL;
    const float uShift = 1.0f - XORG / CELL;
    const float vShift = 1.0f - YORG / CELL;

    BlockSorter sorter(state, ISHAND, NPW);
    std::int64_t accepted = 0;
    PointDataReader reader(IDHAND, MAXCHN, settings.ZCHAN);
    std::span<const float> record;
    // A failed write of the sorting file ends the sort: the call fails, and
    // an endless point file would otherwise be read for ever.
    while (!state.files.transfers.failed() && reader.next(record)) {
        CellPoint point = toCellPoint(settings, record);
        if (point.z == settings.DNULL) {
            continue;
        }
        // Written so that a coordinate that is not a number is dropped too.
        if (!(point.y >= yLow && point.y <= yHigh && point.x >= xLow && point.x <= xHigh)) {
            continue;
        }
        if (!forwardTransform(ITRANS, point.z) || !isFinitePoint(point)) {
            continue;
        }
        ++accepted;
        const float u = point.x * reciprocalCell + uShift;
        const float v = point.y * reciprocalCell + vShift;
        sorter.sort(u, v, point.z);
    }
    sorter.finish();
    if (accepted == 0) {
        ISTAT = kStatusNoPointInGrid;
    }
}

void WRBLK2(const MincState& state, common::RawFile& ISHAND, std::int32_t IREC, std::int32_t NEXTR,
            std::int32_t NPTS, std::int32_t NVAL, std::span<const float> VALS) {
    // The head and the values go out in one transfer.
    const std::size_t count = std::min(static_cast<std::size_t>(std::max(NVAL, 0)), VALS.size());
    std::vector<std::int32_t> record(kSortingHeadWords + count);
    record[0] = NEXTR;
    record[1] = NPTS;
    std::memcpy(record.data() + kSortingHeadWords, VALS.data(), count * sizeof(float));
    const std::int64_t bytes = static_cast<std::int64_t>(record.size() * sizeof(std::int32_t));
    state.files.transfers.note(
        ISHAND.writeAt(sortingRecordOffset(state.settings, IREC), record.data(), bytes), bytes);
}

bool readSortingRecord(const MincState& state, common::RawFile& ISHAND, std::int32_t record,
                       std::int32_t& next, std::int32_t& count, std::span<float> values) {
    const std::int64_t offset = sortingRecordOffset(state.settings, record);
    if (offset < 0) {
        return false;
    }
    // The head and the values come in one transfer; a record that comes up
    // short still gives its head when that much arrived.
    const std::size_t words =
        std::min(static_cast<std::size_t>(std::max(state.settings.sortingRecordWords - 2, 0)), values.size());
    std::vector<std::int32_t> whole(kSortingHeadWords + words);
    const std::int64_t wanted = static_cast<std::int64_t>(whole.size() * sizeof(std::int32_t));
    const std::int64_t got = ISHAND.readAt(offset, whole.data(), wanted);
    constexpr std::int64_t kHeadBytes = kSortingHeadWords * sizeof(std::int32_t);
    if (got < kHeadBytes) {
        state.files.transfers.note(got, wanted);
        return false;
    }
    next = whole[0];
    count = whole[1];
    std::memcpy(values.data(), whole.data() + kSortingHeadWords, words * sizeof(float));
    return state.files.transfers.note(got, wanted);
}

}  // namespace lumsk
