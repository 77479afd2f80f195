#include "lumsk/block_solve.hpp"

#include <algorithm>
#include <cmath>
#include <vector>

#include "lumsk/coarse_to_fine.hpp"
#include "lumsk/curvature_solver.hpp"
#include "lumsk/node_weights.hpp"
#include "lumsk/number_text.hpp"
#include "lumsk/point_sorting.hpp"
#include "lumsk/start_fill.hpp"
#include "lumsk/status.hpp"

namespace lumsk {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kTableHeader = " tier  sect   init err    end err    #iterations";
constexpr std::size_t kTableLineWidth = 41;

// The first `width` characters of the log's number text of `value`.
void placeNumber(std::string& line, std::size_t column, float value, std::int32_t width, std::int32_t decimals) {
    std::string text(static_cast<std::size_t>(width), ' ');
    REAL2CHAR(value, width, decimals, text);
    line.replace(column - 1, static_cast<std::size_t>(width), text, 0, static_cast<std::size_t>(width));
}

void writeLog(MincState& state, const std::string& text) {
    const std::int64_t bytes = static_cast<std::int64_t>(text.size());
    state.files.transfers.note(state.files.log.write(text.data(), bytes), bytes);
}

// Walks block `block`'s chain in the data-sorting file and accumulates its
// points into the node data of the block grid; true when any record held a
// point.
bool assignBlockPoints(MincState& state, std::int32_t block, float XOFF, float YOFF, std::span<float> RECBUF) {
    const MincSettings& settings = state.settings;
    const std::size_t recordWords =
        std::min(static_cast<std::size_t>(std::max(settings.sortingRecordWords - 2, 0)), RECBUF.size());
    bool hasData = false;
    std::int32_t record = block;
    std::int32_t next = 1;
    while (next > 0) {
        std::int32_t count = 0;
        if (!readSortingRecord(state, state.files.dataSorting, record, next, count, RECBUF.first(recordWords))) {
            break;
        }
        record = next;
        // A record never holds more points than its buffer.
        count = std::min(count, static_cast<std::int32_t>(recordWords / 3));
        if (count > 0) {
            ASSIGN(settings.weightParameter, XOFF, YOFF, settings.NCB, settings.NRB, state.work.nodeData,
                   3 * count, RECBUF);
            hasData = true;
        }
    }
    return hasData;
}

// Values beyond float32 range overflow in the solve's sums; once a node is
// not finite it spreads, so a solved block is checked once, not every sweep.
bool allFinite(std::span<const float> values) {
    return std::all_of(values.begin(), values.end(), [](float value) { return std::isfinite(value); });
}

}  // namespace

std::int64_t blockRecordOffset(const MincSettings& settings, std::int32_t record) {
    return static_cast<std::int64_t>(record - 1) * settings.NCB * settings.NRB * 4;
}

void readBlockRows(MincState& state, std::int32_t record, std::int32_t firstRow, std::int32_t rowCount,
                   void* values) {
    const std::int64_t NCB = state.settings.NCB;
    const std::int64_t offset =
        blockRecordOffset(state.settings, record) + static_cast<std::int64_t>(firstRow - 1) * NCB * 4;
    const std::int64_t bytes = static_cast<std::int64_t>(rowCount) * NCB * 4;
    state.files.transfers.note(state.files.block.readAt(offset, values, bytes), bytes);
}

std::string blockTableHeading() {
    std::string text(kLineEnd);
    text.append(kTableHeader);
    text.append(kLineEnd);
    return text;
}

std::string blockTableLine(std::int32_t tier, std::int32_t section, float firstError, float endError,
                           std::int32_t iterations) {
    std::string line(kTableLineWidth, ' ');
    placeNumber(line, 2, static_cast<float>(tier), 4, 0);
    placeNumber(line, 8, static_cast<float>(section), 4, 0);
    placeNumber(line, 13, firstError, 10, 4);
    placeNumber(line, 24, endError, 10, 4);
    placeNumber(line, 38, static_cast<float>(iterations), 4, 0);
    line.append(kLineEnd);
    return line;
}

void WRBLK(const MincState& state, common::RawFile& IBHAND, std::int32_t IREC, std::int32_t NVAL,
           std::span<const float> VALS) {
    const std::size_t count = std::min(static_cast<std::size_t>(std::max(NVAL, 0)), VALS.size());
    const std::int64_t bytes = static_cast<std::int64_t>(count * 4);
    state.files.transfers.note(IBHAND.writeAt(blockRecordOffset(state.settings, IREC), VALS.data(), bytes), bytes);
}

void WRBLK(const MincState& state, common::RawFile& IBHAND, std::int32_t IREC, std::int32_t NVAL,
           std::span<const std::int32_t> VALS) {
    const std::size_t count = std::min(static_cast<std::size_t>(std::max(NVAL, 0)), VALS.size());
    const std::int64_t bytes = static_cast<std::int64_t>(count * 4);
    state.files.transfers.note(IBHAND.writeAt(blockRecordOffset(state.settings, IREC), VALS.data(), bytes), bytes);
}

void ICONTL(MincState& state, std::int32_t ISECT, std::int32_t ITIER, std::int32_t IHW, float XOFF, float YOFF,
            std::span<float> RECBUF, [[maybe_unused]] std::int32_t NPW, std::int32_t& ISTAT) {
    ISTAT = 0;
    const MincSettings& settings = state.settings;
    WorkAreas& work = state.work;
    const std::int32_t NCB = settings.NCB;
    const std::int32_t NRB = settings.NRB;
    const std::size_t nodes = static_cast<std::size_t>(NCB) * NRB;
    // A block of more nodes than the solver holds is refused by ZGINT.
    std::fill_n(work.nodeFlags.begin(), std::min(nodes, work.nodeFlags.size()), 0);

    ZGINT(state, XOFF, YOFF, ISTAT);
    if (ISTAT < 0) {
        return;
    }
    // The fill value of the node data records is what BWTS reads as "no data"
    // in word 1: 0 for weighted sums, 1 (above any squared offset) for the
    // nearest-point mode.
    const float fill = settings.weightParameter != 0.0f ? 0.0f : 1.0f;
    std::fill_n(work.nodeData.begin(), nodes * kNodeRecordWords, fill);

    const std::int32_t block = (ITIER - 1) * settings.NSECT + ISECT;
    std::span<float> grid = std::span<float>(work.work).first(nodes);
    std::span<std::int32_t> flags = std::span<std::int32_t>(work.nodeFlags).first(nodes);
    // Once the point data file is closed its handle's place holds whether
    // the block has data.
    state.files.blockFlag = assignBlockPoints(state, block, XOFF, YOFF, RECBUF) ? 1 : 0;
    if (state.files.blockFlag != 0) {
        BWTS(0, settings.weightParameter, fill, NCB, NRB, grid, flags, work.nodeData);
    }
    if (IHW > 0) {
        // The flags before continuity mark exactly the nodes that got data:
        // the mask rows are made from them.
        WRBLK(state, state.files.block, ISECT + settings.NSECT, static_cast<std::int32_t>(nodes),
              std::span<const std::int32_t>(flags));
    }
    CONTIN(state, ISECT, ITIER, NCB, NRB);
    GRIDR(NCB, NRB, grid, work.edgeLeft, settings.DNULL, ISTAT);
    if (ISTAT != 0) {
        return;
    }
    float firstError = 0.0f;
    float endError = 0.0f;
    std::int32_t iterations = 0;
    CURVMN(grid, flags, work.nodeData, NCB, NRB, settings.tolerance, settings.iterationLimit, firstError, endError,
           iterations, state.risingSweepCount, work.solverBands);
    WRBLK(state, state.files.block, ISECT, static_cast<std::int32_t>(nodes), std::span<const float>(grid));
    writeLog(state, blockTableLine(ITIER, ISECT, firstError, endError, iterations));
}

void PCONTL(MincState& state, std::int32_t NTOTC, [[maybe_unused]] std::int32_t NTOTR, std::int32_t NODES,
            std::span<float> WORK, std::int32_t NPW, std::span<float> RECBUF, std::int32_t& ISTAT) {
    ISTAT = 0;
    MincSettings& settings = state.settings;
    WorkAreas& work = state.work;
    // The solver's band storage serves every block of the loop and is given
    // back when the loop ends, however it ends.
    struct ReleaseAtEnd {
        SkewedBands& bands;
        ~ReleaseAtEnd() { bands.release(); }
    } releaseBands{work.solverBands};
    settings.gridRowsWritten = 0;
    settings.maskRowsWritten = 0;
    const std::int32_t halfWindow = settings.halfWindow;
    // Whole rows are pasted beside one block in the work array; a grid too
    // wide for even one row (grid or mask row) there cannot be assembled.
    settings.gridRowsThatFit = NTOTC > 0 ? (kWorkWords - NODES) / NTOTC : 0;
    settings.maskRowsThatFit =
        halfWindow > 0 && settings.maskColumns > 0 ? (kWorkWords - NODES) / settings.maskColumns : 0;
    if (settings.gridRowsThatFit < 1 || (halfWindow > 0 && settings.maskRowsThatFit < 1)) {
        ISTAT = kStatusGridTooWide;
        return;
    }
    const std::int32_t NCB = settings.NCB;
    const std::int32_t S = NCB - settings.NOVL;
    const std::int32_t T = settings.NRB - settings.NOVL;
    std::span<float> rowBuffer = WORK.subspan(static_cast<std::size_t>(NODES));
    // Mask rows are int32 codes; they get a typed row buffer of the same rows.
    std::vector<std::int32_t> maskRows;
    std::int32_t maskChunkRows = 0;
    if (halfWindow > 0) {
        // A chunk never holds more rows than a block; its rows are laid out
        // as mask file records.
        maskChunkRows = std::min(settings.maskRowsThatFit, settings.NRB);
        maskRows.assign(static_cast<std::size_t>(maskChunkRows) * static_cast<std::size_t>(settings.maskRecordWords), 0);
        PADROW(state, halfWindow, settings.maskRowsWritten, state.files.mask, settings.maskColumns, maskRows);
    }

    float yOffset = 0.0f;
    for (std::int32_t t = 1; t <= settings.NTIER; ++t) {
        float xOffset = 0.0f;
        for (std::int32_t s = 1; s <= settings.NSECT; ++s) {
            writeLog(state, blockTableHeading());
            if (t > 1) {
                // Rows T + 1..T + 3 of the block below are rows 1..3 of this one.
                readBlockRows(state, s, T + 1, 3, work.edgeBelow.data());
            }
            ICONTL(state, s, t, halfWindow, xOffset, yOffset, RECBUF, NPW, ISTAT);
            if (ISTAT < 0) {
                return;
            }
            if (!allFinite(WORK.first(static_cast<std::size_t>(NODES)))) {
                ISTAT = kStatusSolveNotFinite;
                return;
            }
            if (s < settings.NSECT) {
                // Columns S + 1..S + 3 of this block are columns 1..3 of the next.
                for (std::int32_t j = 1; j <= settings.NRB; ++j) {
                    for (std::int32_t q = 1; q <= 3; ++q) {
                        work.edgeLeft[static_cast<std::size_t>((j - 1) * 3 + q - 1)] =
                            WORK[static_cast<std::size_t>((j - 1) * NCB + S + q - 1)];
                    }
                }
            }
            xOffset += static_cast<float>(S);
        }
        ISTAT = ASSEMB(state, t, settings.gridRowsThatFit, rowBuffer);
        if (ISTAT < 0) {
            return;
        }
        if (halfWindow > 0) {
            ISTAT = ASSEMB(state, t, maskChunkRows, std::span<std::int32_t>(maskRows));
            if (ISTAT < 0) {
                return;
            }
        }
        yOffset += static_cast<float>(T);
    }
    if (halfWindow > 0) {
        PADROW(state, halfWindow, settings.maskRowsWritten, state.files.mask, settings.maskColumns, maskRows);
    }
}

}  // namespace lumsk
