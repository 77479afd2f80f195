#include "lumsk/curvature_solver.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>

#include "lumsk/curvature_stencils.hpp"
#include "lumsk/relaxation_control.hpp"

namespace lumsk {
namespace {

using stencil::Around;
using stencil::EdgePlace;

// Smallest grid side the stencils can work on: two border nodes on each
// side of at least one interior node.
constexpr std::int32_t kSmallestSide = 5;
// Changes this large (or not a number) are left out of a sweep's largest
// change, so that a runaway node alone does not steer the iteration.
constexpr float kLargestCountedChange = 1.0E8f;
constexpr std::size_t kWordsPerNode = 6;

// One Gauss-Seidel sweep with over-relaxation factor omega over an NX by NY
// grid; returns the signed largest change among the interior nodes.
//
// The interior rows are worked in bands of a few rows, as a wavefront: at
// each step every row of the band moves one node on, each row two columns
// behind the row below it. A node reads only nodes at most two columns and
// two rows away, and at most one column away in the rows next to it, so with
// that lag every node still sees exactly the values it would see in a plain
// row-by-row sweep (new ones below and to the left, old ones above and to the
// right) and the results are identical; but the nodes of one step do not
// depend on each other, so their arithmetic overlaps. Only the sign of the
// largest change among equal sizes could depend on the visiting order, and
// the stop tests use its size alone.
class Sweep {
public:
    Sweep(float* grid, const std::int32_t* flags, const float* records, std::int32_t NX, std::int32_t NY)
        : z_(grid), flags_(flags), records_(records), nx_(NX), ny_(NY), dataNeighbours_(NX) {}

    float run(float omega) {
        omega_ = omega;
        largest_ = 0.0f;
        largestSize_ = 0.0f;
        borderRow(1, EdgePlace::first);
        borderRow(2, EdgePlace::second);
        for (std::int32_t row = 3; row <= ny_ - 2; row += kBandRows) {
            band(row, std::min(kBandRows, ny_ - 2 - row + 1));
        }
        borderRow(ny_ - 1, EdgePlace::secondLast);
        borderRow(ny_, EdgePlace::last);
        return largest_;
    }

private:
    static constexpr std::int32_t kBandRows = 4;
    static constexpr std::int32_t kBandLag = 2;  // columns each row trails the row below

    std::size_t index(std::int32_t col, std::int32_t row) const {
        return static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(nx_) + static_cast<std::size_t>(col - 1);
    }

    void borderRow(std::int32_t row, EdgePlace rowPlace) {
        for (std::int32_t col = 1; col <= nx_; ++col) {
            borderNode(col, row, rowPlace);
        }
    }

    // Rows firstRow to firstRow + rows - 1, all interior rows.
    void band(std::int32_t firstRow, std::int32_t rows) {
        const std::int32_t steps = nx_ + kBandLag * (rows - 1);
        for (std::int32_t step = 1; step <= steps; ++step) {
            for (std::int32_t j = 0; j < rows; ++j) {
                const std::int32_t col = step - kBandLag * j;
                if (col < 1) {
                    break;  // the rows above have not started yet
                }
                if (col > nx_) {
                    continue;  // this row is done
                }
                if (col >= 3 && col <= nx_ - 2) {
                    interiorNode(index(col, firstRow + j));
                } else {
                    borderNode(col, firstRow + j, EdgePlace::middle);
                }
            }
        }
    }

    // Border nodes move whatever their flag unless fixed; they never count
    // towards the largest change.
    void borderNode(std::int32_t col, std::int32_t row, EdgePlace rowPlace) {
        const std::size_t i = index(col, row);
        if (flags_[i] < 0) {
            return;
        }
        float* node = z_ + i;
        const float target = stencil::borderTarget(Around(node, nx_), stencil::edgePlace(col, nx_), rowPlace);
        *node = *node + omega_ * (target - *node);
    }

    void interiorNode(std::size_t i) {
        const std::int32_t flag = flags_[i];
        if (flag < 0) {
            return;
        }
        float* node = z_ + i;
        const Around around(node, nx_);
        const float target = flag == 0 ? stencil::interiorFreeTarget(around)
                                       : stencil::dataNodeTarget(around, dataNeighbours_.forCode(flag),
                                                                 records_ + i * kWordsPerNode);
        const float old = *node;
        const float updated = old + omega_ * (target - old);
        *node = updated;
        const float change = updated - old;
        const float size = std::fabs(change);
        if (size < kLargestCountedChange && size >= largestSize_) {
            largest_ = change;
            largestSize_ = size;
        }
    }

    float* z_;
    const std::int32_t* flags_;
    const float* records_;
    std::int32_t nx_;
    std::int32_t ny_;
    stencil::DataNeighbours dataNeighbours_;
    float omega_ = 0.0f;
    float largest_ = 0.0f;
    float largestSize_ = 0.0f;
};

}  // namespace

void CURVMN(std::span<float> ZGRID, std::span<const std::int32_t> IFLAG,
            std::span<const float> NODREC, std::int32_t NX, std::int32_t NY, float TOL,
            std::int32_t MAXIT, float& ERR0, float& ERR, std::int32_t& NITER,
            std::int32_t& risingSweepCount) {
    if (NX < kSmallestSide || NY < kSmallestSide) {
        return;
    }
    RelaxationControl control(TOL, ERR0, ERR, NITER, risingSweepCount);
    Sweep sweep(ZGRID.data(), IFLAG.data(), NODREC.data(), NX, NY);
    while (NITER < MAXIT) {
        const float largestChange = sweep.run(control.omega());
        if (control.stopsAfter(largestChange)) {
            return;
        }
    }
}

}  // namespace lumsk
