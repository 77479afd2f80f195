#include "lumsk/curvature_solver.hpp"

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "lumsk/curvature_band_kernel.hpp"
#include "lumsk/curvature_stencils.hpp"
#include "lumsk/relaxation_control.hpp"
#include "lumsk/skewed_bands.hpp"

namespace lumsk {
namespace {

using stencil::Around;
using stencil::EdgePlace;

// Smallest grid side the stencils can work on: two border nodes on each
// side of at least one interior node.
constexpr std::int32_t kSmallestSide = 5;

// One Gauss-Seidel sweep with over-relaxation factor omega over the grid held
// in SkewedBands; returns the size of the largest change among the interior
// nodes.
//
// Rows 1 and 2 go first; then the interior rows band by band,
// each band as a wavefront: at step t its row j works on column t - 2j, each
// row two columns behind the row below it. A node reads only nodes at most
// two columns and two rows away, and at most one column away in the rows
// next to it, so with that lag every node still sees exactly the values it
// would see in a plain row-by-row sweep (new ones below and to the left, old
// ones above and to the right) and the results are identical; but the nodes
// of one step do not read each other, so they are worked side by side.
// Rows NY - 1 and NY go last. Only the sign of the largest change among
// equal sizes could depend on the visiting order, and the stop tests use
// its size alone.
class Sweep {
public:
    Sweep(SkewedBands& bands, const std::int32_t* flags, const float* records, std::int32_t NX, std::int32_t NY)
        : bands_(bands), flags_(flags), records_(records), nx_(NX), ny_(NY) {}

    float run(float omega) {
        omega_ = omega;
        largest_ = LaneLargest{};
        const std::int32_t lastBand = bands_.bandCount() - 1;
        borderRowPair<EdgePlace::first, EdgePlace::second>(1, 0);
        for (std::int32_t band = 0; band <= lastBand; ++band) {
            sweepBand(band);
            bands_.passUp(band);
        }
        borderRowPair<EdgePlace::secondLast, EdgePlace::last>(ny_ - 1, lastBand);
        bands_.refreshAbove();
        return largest_.overall();
    }

private:
    static constexpr std::ptrdiff_t kColumnStride = SkewedBands::kLaneStride;
    static constexpr std::ptrdiff_t kRowStride = 2 * SkewedBands::kLaneStride + 1;

    std::int32_t flag(std::int32_t col, std::int32_t row) const {
        return flags_[static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(nx_) +
                      static_cast<std::size_t>(col - 1)];
    }

    // Border nodes move whatever their flag unless fixed; they never count
    // towards the largest change.
    void borderNode(float* node, std::int32_t col, std::int32_t row, EdgePlace rowPlace) {
        if (flag(col, row) < 0) {
            return;
        }
        const float target = stencil::borderTarget(Around(node, kRowStride, kColumnStride),
                                                   stencil::edgePlace(col, nx_), rowPlace);
        *node = *node + omega_ * (target - *node);
    }

    // Rows 1 and 2, or NY - 1 and NY, kept in the lanes below the first band
    // or above the last. A node reads the rows next to it at most one column
    // away, so the lower row swept whole and then the upper row see what a
    // plain row-by-row sweep shows them.
    template <EdgePlace lowerPlace, EdgePlace upperPlace>
    void borderRowPair(std::int32_t lowerRow, std::int32_t band) {
        const std::int32_t lane = lowerRow - bands_.firstRow(band);
        borderRow<lowerPlace>(band, lane);
        borderRow<upperPlace>(band, lane + 1);
    }

    // One border row: its two nodes at each end by their corner stencils,
    // the nodes between them all by the row's own stencil.
    template <EdgePlace rowPlace>
    void borderRow(std::int32_t band, std::int32_t lane) {
        borderNode(bands_.node(band, 1, lane), 1, bands_.firstRow(band) + lane, rowPlace);
        borderNode(bands_.node(band, 2, lane), 2, bands_.firstRow(band) + lane, rowPlace);
        const std::int32_t row = bands_.firstRow(band) + lane;
        float* node = bands_.node(band, 3, lane);
        const std::int32_t* flag = flags_ + static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(nx_) + 2;
        for (std::int32_t col = 3; col <= nx_ - 2; ++col, node += kColumnStride, ++flag) {
            if (*flag < 0) continue;
            const float target = stencil::borderTarget(Around(node, kRowStride, kColumnStride),
                                                       EdgePlace::middle, rowPlace);
            *node = *node + omega_ * (target - *node);
        }
        borderNode(bands_.node(band, nx_ - 1, lane), nx_ - 1, row, rowPlace);
        borderNode(bands_.node(band, nx_, lane), nx_, row, rowPlace);
    }

    // A band of a row or two (the last one of a grid whose interior rows are
    // one or two more than a multiple of the band height) would leave most
    // vector lanes idle for every step: its rows go node by node instead, in
    // plain row order, which the wavefront order is equivalent to.
    static constexpr std::int32_t kRowsSweptOneByOne = 2;

    void interiorRow(std::int32_t band, std::int32_t lane) {
        const std::int32_t row = bands_.firstRow(band) + lane;
        borderNode(bands_.node(band, 1, lane), 1, row, EdgePlace::middle);
        borderNode(bands_.node(band, 2, lane), 2, row, EdgePlace::middle);
        const std::size_t first = static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(nx_) + 2;
        float* node = bands_.node(band, 3, lane);
        for (std::size_t n = first; n < first + static_cast<std::size_t>(nx_ - 4); ++n, node += kColumnStride) {
            if (flags_[n] >= 0) interiorNode(node, flags_[n], records_ + n * SkewedBands::kWordsPerNode);
        }
        borderNode(bands_.node(band, nx_ - 1, lane), nx_ - 1, row, EdgePlace::middle);
        borderNode(bands_.node(band, nx_, lane), nx_, row, EdgePlace::middle);
    }

    // One interior node, with the vector sweep's operations in its order
    // (curvature_band_kernel.inl); its change counts in lane 0's largest.
    void interiorNode(float* node, std::int32_t flag, const float* c) {
        const Around a(node, kRowStride, kColumnStride);
        float target = 0.0f;
        if (flag > 0) {
            const bool north = flag > 2;
            const bool eastDiagonals = flag == 1 || flag > 3;
            const float nearDiagonal = north ? (eastDiagonals ? a.NE() : a.NW()) : (eastDiagonals ? a.SE() : a.SW());
            const float farDiagonal = north ? (eastDiagonals ? a.SW() : a.SE()) : (eastDiagonals ? a.NW() : a.NE());
            const float vertical = north ? a.N() : a.S();
            const float horizontal = eastDiagonals ? a.W() : a.E();
            const float curvature = 0.25f * (a.N2() + a.W2() + a.S2() + a.E2()) +
                                    0.5f * (a.NW() + a.SW() + a.SE() + a.NE()) - (a.N() + a.W() + a.S() + a.E());
            const float pull = c[1] * vertical + c[0] * nearDiagonal + c[2] * horizontal + c[3] * farDiagonal;
            target = (pull + c[4] - curvature) * c[5];
        } else {
            target = stencil::interiorFreeTarget(a);
        }
        const float old = *node;
        const float result = old + omega_ * (target - old);
        *node = result;
        const float size = std::fabs(result - old);
        if (size < 1.0E8f && size >= largest_.size[0]) largest_.size[0] = size;
    }

    // The steps where some row of the band is in its first or last two
    // columns go one at a time, those nodes by their border stencils; the
    // steps between them, all interior, go in one stretch.
    void sweepBand(std::int32_t band) {
        const std::int32_t rows = bands_.rowsIn(band);
        if (rows <= kRowsSweptOneByOne) {
            for (std::int32_t lane = 0; lane < rows; ++lane) interiorRow(band, lane);
            return;
        }
        const std::int32_t lastStep = nx_ + 2 * (rows - 1);
        const BandSteps steps{bands_.stepZero(band), bands_.flagsAtStepZero(band),
                              bands_.coefficientsAtStepZero(band), bands_.summariesAtStepZero(band), kColumnStride};
        std::int32_t step = 1;
        while (step <= lastStep) {
            if (step > 2 * rows && step < nx_ - 1) {
                relax_(steps, step, nx_ - 2, omega_, largest_);
                step = nx_ - 1;
                continue;
            }
            relax_(steps, step, step, omega_, largest_);
            borderColumns(band, rows, step);
            ++step;
        }
    }

    // At one step at most one row of the band is in column 1 or 2 and at
    // most one in column NX - 1 or NX (the rows are two columns apart).
    void borderColumns(std::int32_t band, std::int32_t rows, std::int32_t step) {
        borderColumnOfStep(band, rows, step, 1);
        borderColumnOfStep(band, rows, step, nx_ - 1);
    }

    // The node of this step in column firstColumn or the one after it.
    void borderColumnOfStep(std::int32_t band, std::int32_t rows, std::int32_t step, std::int32_t firstColumn) {
        const std::int32_t offset = step - firstColumn;  // 2 * lane, or 2 * lane + 1
        if (offset < 0) return;
        const std::int32_t lane = offset / 2;
        if (lane >= rows) return;
        const std::int32_t col = step - 2 * lane;
        borderNode(bands_.node(band, col, lane), col, bands_.firstRow(band) + lane, EdgePlace::middle);
    }

    SkewedBands& bands_;
    const std::int32_t* flags_;
    const float* records_;
    // Picked once: a band makes one call per step at each end.
    RelaxInteriorSteps relax_ = pickRelaxInteriorSteps();
    std::int32_t nx_;
    std::int32_t ny_;
    float omega_ = 0.0f;
    LaneLargest largest_;
};

}  // namespace

void CURVMN(std::span<float> ZGRID, std::span<const std::int32_t> IFLAG,
            std::span<const float> NODREC, std::int32_t NX, std::int32_t NY, float TOL,
            std::int32_t MAXIT, float& ERR0, float& ERR, std::int32_t& NITER,
            std::int32_t& risingSweepCount) {
    SkewedBands bands;
    CURVMN(ZGRID, IFLAG, NODREC, NX, NY, TOL, MAXIT, ERR0, ERR, NITER, risingSweepCount, bands);
}

void CURVMN(std::span<float> ZGRID, std::span<const std::int32_t> IFLAG,
            std::span<const float> NODREC, std::int32_t NX, std::int32_t NY, float TOL,
            std::int32_t MAXIT, float& ERR0, float& ERR, std::int32_t& NITER,
            std::int32_t& risingSweepCount, SkewedBands& bands) {
    if (NX < kSmallestSide || NY < kSmallestSide) {
        return;
    }
    RelaxationControl control(TOL, ERR0, ERR, NITER, risingSweepCount);
    if (NITER >= MAXIT) {
        return;
    }
    bands.load(ZGRID.data(), IFLAG.data(), NODREC.data(), NX, NY);
    Sweep sweep(bands, IFLAG.data(), NODREC.data(), NX, NY);
    while (NITER < MAXIT) {
        const float largestChange = sweep.run(control.omega());
        if (control.stopsAfter(largestChange)) {
            break;
        }
    }
    bands.copyOut(ZGRID.data());
}

}  // namespace lumsk
