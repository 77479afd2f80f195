#include "lumsk/coarse_to_fine.hpp"

#include <algorithm>
#include <array>

#include "common/float_to_int.hpp"
#include "lumsk/node_weights.hpp"
#include "lumsk/status.hpp"

namespace lumsk {

namespace {

// The cubic through (0, 0), (1, d1), (2, d2), (3, d3): a1 t + a2 t^2 + a3 t^3.
struct Cubic {
    float a1;
    float a2;
    float a3;
};

Cubic cubicThrough(float d1, float d2, float d3) {
    return Cubic{d3 * 0.3333333f + (3.0f * d1 - 1.5f * d2), (2.0f * d2 - 2.5f * d1) - 0.5f * d3,
                 d3 * 0.1666667f + (0.5f * d1 - 0.5f * d2)};
}

float evaluate(const Cubic& cubic, float base, float t) {
    return ((cubic.a3 * t + cubic.a2) * t + cubic.a1) * t + base;
}

// Padded extent of a block along one axis and the coarse cells that cover it.
struct Coverage {
    std::int32_t first = 0;  // first padded node of the block
    std::int32_t firstCell = 0;
    std::int32_t lastCell = 0;
};

Coverage coverage(float offset, std::int32_t nodes, std::int32_t coarseOffset, std::int32_t K) {
    Coverage c;
    const std::int32_t shift = common::truncateToInt32(offset + 0.001f);
    c.first = shift + 1;
    const std::int32_t last = nodes + shift;
    c.firstCell = (c.first - coarseOffset) / K + 1;
    c.lastCell = (last - coarseOffset) / K + 1;
    return c;
}

// Window limit: it lives in the node data area.
constexpr std::int64_t kWindowCapacity = static_cast<std::int64_t>(kMaxSolverNodes) * kNodeRecordWords;

}  // namespace

void CELL3(std::int32_t M, std::int32_t K, std::int32_t IC, std::int32_t JC, std::int32_t NCX,
           std::span<const float> ZC, std::span<float> ZOUT) {
    const float h = 1.0f / static_cast<float>(K);
    auto coarse = [&](std::int32_t i, std::int32_t j) {
        return ZC[static_cast<std::size_t>(j - 1) * NCX + static_cast<std::size_t>(i - 1)];
    };
    // One cubic along y per coarse column IC - 1 .. IC + 2, based at row JC - 1.
    std::array<Cubic, 4> columnCubic{};
    std::array<float, 4> columnBase{};
    for (std::int32_t p = 0; p < 4; ++p) {
        const std::int32_t column = IC - 1 + p;
        const float f0 = coarse(column, JC - 1);
        columnBase[p] = f0;
        columnCubic[p] =
            cubicThrough(coarse(column, JC) - f0, coarse(column, JC + 1) - f0, coarse(column, JC + 2) - f0);
    }
    float ty = 1.0f;
    for (std::int32_t r = 1; r <= M; ++r) {
        std::array<float, 4> g{};
        for (std::size_t p = 0; p < 4; ++p) {
            g[p] = evaluate(columnCubic[p], columnBase[p], ty);
        }
        const Cubic rowCubic = cubicThrough(g[1] - g[0], g[2] - g[0], g[3] - g[0]);
        float tx = 1.0f;
        for (std::int32_t s = 1; s <= M; ++s) {
            ZOUT[static_cast<std::size_t>(r - 1) * M + static_cast<std::size_t>(s - 1)] =
                evaluate(rowCubic, g[0], tx);
            tx += h;
        }
        ty += h;
    }
}

void INSERT(std::int32_t I0, std::int32_t J0, std::span<const float> A, std::int32_t M1, std::int32_t M2,
            std::span<float> B, std::int32_t N1, std::int32_t N2, std::int32_t& ISTAT) {
    ISTAT = 0;
    // A start before the target's first node cannot fit either.
    if (N1 < M1 + I0 - 1 || N2 < M2 + J0 - 1 || I0 < 1 || J0 < 1) {
        ISTAT = kStatusSubArrayTooBig;
        return;
    }
    for (std::int32_t j = 1; j <= M2; ++j) {
        const auto source = A.subspan(static_cast<std::size_t>(j - 1) * M1, static_cast<std::size_t>(M1));
        const std::size_t target = static_cast<std::size_t>(J0 + j - 2) * N1 + static_cast<std::size_t>(I0 - 1);
        std::copy(source.begin(), source.end(), B.begin() + static_cast<std::ptrdiff_t>(target));
    }
}

void ZGINT(MincState& state, float XOFF, float YOFF, std::int32_t& ISTAT) {
    const MincSettings& settings = state.settings;
    const CoarseGrid& coarse = settings.coarse;
    const std::int32_t K = coarse.K;
    // Before the regional solve there is no coarse grid to interpolate.
    if (K < 1) {
        ISTAT = kStatusCoarseTooNarrow;
        return;
    }
    const Coverage across = coverage(XOFF, settings.NCB, coarse.columnOffset, K);
    const Coverage up = coverage(YOFF, settings.NRB, coarse.rowOffset, K);

    // A cell's cubics read one coarse node before it and two after it.
    if (across.firstCell < 2 || across.lastCell > coarse.NCX - 2) {
        ISTAT = kStatusCoarseTooNarrow;
        return;
    }
    if (up.firstCell < 2 || up.lastCell > coarse.NCY - 2) {
        ISTAT = kStatusCoarseTooShort;
        return;
    }
    const std::int32_t windowColumns = (across.lastCell - across.firstCell + 1) * K + 1;
    const std::int32_t windowRows = (up.lastCell - up.firstCell + 1) * K + 1;
    if (static_cast<std::int64_t>(windowColumns) * windowRows > kWindowCapacity) {
        ISTAT = kStatusCoarseWindowTooLarge;
        return;
    }
    std::span<float> window(state.work.nodeData);
    std::span<float> patch(state.work.work);
    std::fill_n(window.begin(), static_cast<std::size_t>(windowColumns) * windowRows, settings.DNULL);

    std::int32_t windowRow = 1;
    for (std::int32_t cj = up.firstCell; cj <= up.lastCell; ++cj) {
        std::int32_t windowColumn = 1;
        for (std::int32_t ci = across.firstCell; ci <= across.lastCell; ++ci) {
            // The last patch of a row or column also takes the closing line
            // of nodes; elsewhere the next patch writes it.
            const std::int32_t side = (ci == across.lastCell || cj == up.lastCell) ? K + 1 : K;
            CELL3(side, K, ci, cj, coarse.NCX, coarse.values, patch);
            INSERT(windowColumn, windowRow, patch, side, side, window, windowColumns, windowRows, ISTAT);
            if (ISTAT < 0) {
                return;
            }
            windowColumn += K;
        }
        windowRow += K;
    }

    const std::int32_t NCB = settings.NCB;
    const std::int32_t NRB = settings.NRB;
    if (static_cast<std::int64_t>(NCB) * NRB > kMaxSolverNodes) {
        ISTAT = kStatusCoarseWindowTooLarge;
        return;
    }
    std::span<float> block(state.work.work);
    std::fill_n(block.begin(), static_cast<std::size_t>(NCB) * NRB, settings.DNULL);

    const std::int32_t windowFirstColumn = (across.firstCell - 1) * K + coarse.columnOffset;
    const std::int32_t windowFirstRow = (up.firstCell - 1) * K + coarse.rowOffset;
    const std::int32_t di = across.first - windowFirstColumn + 1;
    const std::int32_t dj = up.first - windowFirstRow + 1;
    if (di < 1 || dj < 1) {
        ISTAT = kStatusBlockBeforeWindow;
        return;
    }
    if (di + NCB - 1 > windowColumns || dj + NRB - 1 > windowRows) {
        ISTAT = kStatusBlockBeyondWindow;
        return;
    }
    for (std::int32_t j = 1; j <= NRB; ++j) {
        const auto source = window.subspan(
            static_cast<std::size_t>(dj + j - 2) * windowColumns + static_cast<std::size_t>(di - 1),
            static_cast<std::size_t>(NCB));
        std::copy(source.begin(), source.end(), block.begin() + static_cast<std::ptrdiff_t>((j - 1) * NCB));
    }
}

void CONTIN(MincState& state, std::int32_t ISECT, std::int32_t ITIER, std::int32_t NCB, std::int32_t NRB) {
    std::vector<float>& block = state.work.work;
    std::vector<std::int32_t>& flags = state.work.nodeFlags;
    if (ISECT != 1) {
        // Columns 1..3 continue the block to the left; the outer two hold
        // still, the third may still move.
        const std::vector<float>& left = state.work.edgeLeft;
        for (std::int32_t j = 1; j <= NRB; ++j) {
            for (std::int32_t q = 1; q <= 3; ++q) {
                const std::size_t node = static_cast<std::size_t>(j - 1) * NCB + static_cast<std::size_t>(q - 1);
                block[node] = left[static_cast<std::size_t>(j - 1) * 3 + static_cast<std::size_t>(q - 1)];
                if (q <= 2) {
                    flags[node] = kFixedNode;
                }
            }
        }
    }
    if (ITIER != 1) {
        // Rows 1..3 continue the block below; in the lower-left corner its
        // values win over the left neighbour's.
        const std::vector<float>& below = state.work.edgeBelow;
        const std::size_t nodes = static_cast<std::size_t>(3) * NCB;
        std::copy_n(below.begin(), nodes, block.begin());
        std::fill_n(flags.begin(), static_cast<std::size_t>(2) * NCB, kFixedNode);
    }
}

}  // namespace lumsk
