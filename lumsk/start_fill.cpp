#include "lumsk/start_fill.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <vector>

#include "lumsk/status.hpp"

namespace lumsk {
namespace {

// Half-widths of the window passes: 3 by 3, then 7 by 7, then 9 by 9 for
// every later pass. The lattice of window centres follows from the largest:
// every fourth node, starting at node 5.
constexpr std::array<std::int32_t, 3> kWindowHalfWidths = {1, 3, 4};
constexpr std::int32_t kLargestHalfWidth = 4;
constexpr std::int32_t kLatticeStep = kLargestHalfWidth;
constexpr std::int32_t kLatticeStart = kLatticeStep + 1;
// Window passes need a grid at least as large as the largest window.
constexpr std::int32_t kSmallestWindowedSide = 2 * kLargestHalfWidth + 1;

// Grid of NX columns, nodes addressed 1-based as (col, row).
class NodeGrid {
public:
    NodeGrid(std::span<float> values, std::int32_t columns) : values_(values), columns_(columns) {}

    float& at(std::int32_t col, std::int32_t row) {
        return values_[static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(columns_) +
                       static_cast<std::size_t>(col - 1)];
    }
    std::span<float> row(std::int32_t rowNumber) {
        return values_.subspan(static_cast<std::size_t>(rowNumber - 1) * static_cast<std::size_t>(columns_),
                               static_cast<std::size_t>(columns_));
    }

private:
    std::span<float> values_;
    std::int32_t columns_;
};

bool holdsNull(std::span<const float> values, float nullValue) {
    return std::find(values.begin(), values.end(), nullValue) != values.end();
}

// One window pass over the lattice nodes; returns the number of nodes filled.
// Fills are in place, so later windows of the pass see earlier fills.
std::int32_t windowPass(NodeGrid& grid, std::int32_t NX, std::int32_t NY, std::int32_t halfWidth,
                        float DNULL) {
    std::int32_t filled = 0;
    for (std::int32_t row = kLatticeStart; row <= NY - halfWidth; row += kLatticeStep) {
        for (std::int32_t col = kLatticeStart; col <= NX - halfWidth; col += kLatticeStep) {
            if (grid.at(col, row) != DNULL) {
                continue;
            }
            float sum = 0.0f;
            std::int32_t count = 0;
            for (std::int32_t r = row - halfWidth; r <= row + halfWidth; ++r) {
                for (std::int32_t c = col - halfWidth; c <= col + halfWidth; ++c) {
                    const float value = grid.at(c, r);
                    if (value != DNULL) {
                        sum += value;
                        ++count;
                    }
                }
            }
            if (count >= 1) {
                grid.at(col, row) = sum / static_cast<float>(count);
                ++filled;
            }
        }
    }
    return filled;
}

// Window passes: at most max(NX, NY) / 8 + 1 of them, and they end early once
// a 9 by 9 pass finds nothing more to fill.
void windowPasses(NodeGrid& grid, std::int32_t NX, std::int32_t NY, float DNULL) {
    const std::int32_t passLimit = std::max(NX, NY) / 8;
    std::int32_t passCount = 0;
    std::size_t window = 0;
    while (true) {
        const std::int32_t halfWidth = kWindowHalfWidths[window];
        const std::int32_t filled = windowPass(grid, NX, NY, halfWidth, DNULL);
        ++passCount;
        if (passCount > passLimit || (halfWidth == kLargestHalfWidth && filled == 0)) {
            return;
        }
        window = std::min(window + 1, kWindowHalfWidths.size() - 1);
    }
}

}  // namespace

void PLUGM(std::int32_t N, std::span<float> LINE, float DNULL) {
    if (N <= 0) {
        return;
    }
    // 0-based positions; the last one is N - 1.
    const std::size_t last = static_cast<std::size_t>(N) - 1;
    std::size_t k = 0;
    while (k <= last && LINE[k] == DNULL) {
        ++k;
    }
    if (k > last) {
        return;  // no value at all
    }
    for (std::size_t p = 0; p < k; ++p) {
        LINE[p] = LINE[k];
    }
    while (k < last) {
        while (k < last && LINE[k + 1] != DNULL) {
            ++k;
        }
        if (k >= last) {
            return;
        }
        std::size_t m = k + 1;
        while (m <= last && LINE[m] == DNULL) {
            ++m;
        }
        if (m > last) {
            for (std::size_t p = k + 1; p <= last; ++p) {
                LINE[p] = LINE[k];
            }
            return;
        }
        // Each step adds the slope to the value before it, so rounding
        // accumulates along the run.
        const float slope = (LINE[m] - LINE[k]) / static_cast<float>(m - k);
        for (std::size_t p = k + 1; p < m; ++p) {
            LINE[p] = LINE[p - 1] + slope;
        }
        k = m;
    }
}

void GRIDR(std::int32_t NX, std::int32_t NY, std::span<float> ZGRID, std::span<float> WORK,
           float DNULL, std::int32_t& ISTAT) {
    ISTAT = kStatusGood;
    if (NX <= 0 || NY <= 0) {
        return;
    }
    const std::size_t columns = static_cast<std::size_t>(NX);
    const std::size_t rows = static_cast<std::size_t>(NY);
    const std::span<float> nodes = ZGRID.first(columns * rows);
    if (!holdsNull(nodes, DNULL)) {
        return;
    }
    NodeGrid grid(nodes, NX);

    if (NX >= kSmallestWindowedSide && NY >= kSmallestWindowedSide) {
        windowPasses(grid, NX, NY, DNULL);
    }
    for (std::int32_t row = kLatticeStart; row <= NY - kLargestHalfWidth; row += kLatticeStep) {
        PLUGM(NX, grid.row(row), DNULL);
    }

    // One column at a time through the work line. A work line too short for
    // a column would be overrun, so a private one stands in for it.
    std::vector<float> ownColumn;
    std::span<float> column = WORK;
    if (column.size() < rows) {
        ownColumn.resize(rows);
        column = ownColumn;
    }
    for (std::int32_t col = 1; col <= NX; ++col) {
        for (std::int32_t row = 1; row <= NY; ++row) {
            column[static_cast<std::size_t>(row - 1)] = grid.at(col, row);
        }
        PLUGM(NY, column, DNULL);
        for (std::int32_t row = 1; row <= NY; ++row) {
            grid.at(col, row) = column[static_cast<std::size_t>(row - 1)];
        }
    }

    if (!holdsNull(nodes, DNULL)) {
        return;
    }
    float sum = 0.0f;
    std::int32_t count = 0;
    for (const float value : nodes) {
        if (value != DNULL) {
            sum += value;
            ++count;
        }
    }
    if (count == 0) {
        ISTAT = kStatusNoStartValue;
        return;
    }
    const float mean = sum / static_cast<float>(count);
    std::replace(nodes.begin(), nodes.end(), DNULL, mean);
}

}  // namespace lumsk
