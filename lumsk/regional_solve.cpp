#include "lumsk/regional_solve.hpp"

#include <algorithm>

#include "lumsk/curvature_solver.hpp"
#include "lumsk/node_weights.hpp"
#include "lumsk/point_sorting.hpp"
#include "lumsk/start_fill.hpp"
#include "lumsk/status.hpp"

namespace lumsk {

namespace {

// A data-sorting record never holds more points than this.
constexpr std::int32_t kMostPointsPerRecord = 900;
// The coarse solve stops after this many sweeps, whatever the iteration limit.
constexpr std::int32_t kCoarseSweeps = 30;
// Weight offset and weight mode of the coarse solve.
constexpr float kCoarseWeight = 0.1f;

// Coarse refinement: the smallest K from 4 up whose coarse grid over the
// tiled span, with room for the cubics on either side, fits the solver.
void chooseRefinement(const MincSettings& settings, CoarseGrid& coarse) {
    const std::int32_t S = settings.NCB - settings.NOVL;
    const std::int32_t T = settings.NRB - settings.NOVL;
    const std::int32_t spanX = S * (settings.NSECT - 1) + settings.NCB - 1;
    const std::int32_t spanY = T * (settings.NTIER - 1) + settings.NRB - 1;
    std::int32_t K = 4;
    while (true) {
        coarse.NCX = spanX / K + 7;
        coarse.NCY = spanY / K + 7;
        if (static_cast<std::int64_t>(coarse.NCX) * coarse.NCY <= kMaxSolverNodes) {
            break;
        }
        ++K;
    }
    coarse.K = K;
}

// Keeps the points of one record that belong to the coarse solve of this
// block (dropping the copies whose main block lies to the right or above) and
// moves them, in coarse node units, to the front of RECBUF. Returns the
// number kept.
std::int32_t keepOwnPoints(std::span<float> RECBUF, std::int32_t count, float xLimit, bool lastSection,
                           float yLimit, bool lastTier, float reciprocalK) {
    std::int32_t kept = 0;
    for (std::int32_t k = 0; k < count; ++k) {
        const float u = RECBUF[static_cast<std::size_t>(3 * k)];
        const float v = RECBUF[static_cast<std::size_t>(3 * k + 1)];
        const float z = RECBUF[static_cast<std::size_t>(3 * k + 2)];
        if ((u <= xLimit || lastSection) && (v <= yLimit || lastTier)) {
            RECBUF[static_cast<std::size_t>(3 * kept)] = (u - 1.0f) * reciprocalK + 3.0f;
            RECBUF[static_cast<std::size_t>(3 * kept + 1)] = (v - 1.0f) * reciprocalK + 3.0f;
            RECBUF[static_cast<std::size_t>(3 * kept + 2)] = z;
            ++kept;
        }
    }
    return kept;
}

}  // namespace

void REJONL(MincState& state, [[maybe_unused]] float XORG, [[maybe_unused]] float YORG,
            [[maybe_unused]] float CELL, [[maybe_unused]] std::int32_t ITRANS, std::span<float> RECBUF,
            std::int32_t NPW, std::int32_t& ISTAT) {
    ISTAT = 0;
    MincSettings& settings = state.settings;
    WorkAreas& work = state.work;
    CoarseGrid& coarse = settings.coarse;
    std::fill_n(work.work.begin(), kMaxSolverNodes, 0.0f);
    std::fill(work.nodeFlags.begin(), work.nodeFlags.end(), 0);
    std::fill(work.nodeData.begin(), work.nodeData.end(), 0.0f);

    chooseRefinement(settings, coarse);
    const std::size_t coarseNodes = static_cast<std::size_t>(coarse.NCX) * coarse.NCY;
    std::fill_n(coarse.values.begin(), coarseNodes, settings.DNULL);
    const float reciprocalK = 1.0f / static_cast<float>(coarse.K);
    const float S = static_cast<float>(settings.NCB - settings.NOVL);
    const float T = static_cast<float>(settings.NRB - settings.NOVL);
    const std::size_t recordWords = std::min(static_cast<std::size_t>(std::max(NPW, 0)), RECBUF.size());

    float yLimit = 0.0f;
    for (std::int32_t t = 1; t <= settings.NTIER; ++t) {
        yLimit += T;
        float xLimit = 0.0f;
        for (std::int32_t s = 1; s <= settings.NSECT; ++s) {
            xLimit += S;
            std::int32_t record = (t - 1) * settings.NSECT + s;
            std::int32_t next = 1;
            while (next > 0) {
                if (record < 1 || record > settings.sortingRecordsInUse) {
                    ISTAT = kStatusChainBroken;
                    return;
                }
                std::int32_t count = 0;
                if (!readSortingRecord(state, state.files.dataSorting, record, next, count,
                                       RECBUF.first(recordWords))) {
                    break;
                }
                record = next;
                if (count > kMostPointsPerRecord) {
                    ISTAT = kStatusChainBrokenRecord;
                    return;
                }
                // A record never holds more points than its buffer.
                count = std::min(count, static_cast<std::int32_t>(recordWords / 3));
                if (count <= 0) {
                    continue;
                }
                const std::int32_t kept = keepOwnPoints(RECBUF, count, xLimit, s == settings.NSECT, yLimit,
                                                        t == settings.NTIER, reciprocalK);
                if (kept > 0) {
                    ASSIGN(kCoarseWeight, 0.0f, 0.0f, coarse.NCX, coarse.NCY, work.nodeData, 3 * kept, RECBUF);
                }
            }
        }
    }

    std::span<float> values = std::span<float>(coarse.values).first(coarseNodes);
    BWTS(1, kCoarseWeight, 0.0f, coarse.NCX, coarse.NCY, values, work.nodeFlags, work.nodeData);
    // A coarse column can be longer than an edge store; the work array is idle
    // here and holds any column.
    GRIDR(coarse.NCX, coarse.NCY, values, work.work, settings.DNULL, ISTAT);
    if (ISTAT < 0) {
        return;
    }
    float firstError = 0.0f;
    float endError = 0.0f;
    std::int32_t sweeps = 0;
    CURVMN(values, work.nodeFlags, work.nodeData, coarse.NCX, coarse.NCY, settings.tolerance, kCoarseSweeps,
           firstError, endError, sweeps, state.risingSweepCount, work.solverBands);
    // The block loop's grids are of another size; the storage is not held
    // through the stages between.
    work.solverBands.release();
    coarse.columnOffset = 1 - 2 * coarse.K;
    coarse.rowOffset = 1 - 2 * coarse.K;
}

}  // namespace lumsk
