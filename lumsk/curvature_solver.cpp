#include "lumsk/curvature_solver.hpp"

#include <cstddef>
#include <cstdint>

#include "lumsk/curvature_band_kernel.hpp"
#include "lumsk/relaxation_control.hpp"
#include "lumsk/skewed_bands.hpp"

namespace lumsk {
namespace {

// Smallest grid side the stencils can work on: two border nodes on each
// side of at least one interior node.
constexpr std::int32_t kSmallestSide = 5;

// One Gauss-Seidel sweep with over-relaxation factor omega over the grid held
// in SkewedBands; returns the size of the largest change among the interior
// nodes.
//
// The bands go one after the other, each as a wavefront: at step t its row j
// works on column t - 2j, each row two columns behind the row below it. A
// node reads only nodes at most two columns and two rows away, and at most
// one column away in the rows next to it, so with that lag every node still
// sees exactly the values it would see in a plain row-by-row sweep (new ones
// below and to the left, old ones above and to the right) and the results
// are identical; but the nodes of one step do not read each other, so they
// are worked side by side. Rows 1 and 2 go as the two rows below the first
// band, rows NY - 1 and NY as the two above the last. Only the sign of the
// largest change among equal sizes could depend on the visiting order, and
// the stop tests use its size alone.
class Sweep {
public:
    Sweep(SkewedBands& bands, const std::int32_t* flags) : bands_(bands), flags_(flags) {}

    float run(float omega) {
        LaneLargest largest;
        for (std::int32_t band = 0; band < bands_.bandCount(); ++band) {
            sweepBand_(sweepOfBand(bands_, band, flags_), omega, largest);
            bands_.passUp(band);
        }
        bands_.refreshAbove();
        return largest.overall();
    }

private:
    SkewedBands& bands_;
    const std::int32_t* flags_;
    // Picked once for the many bands of a solve.
    SweepBand sweepBand_ = pickSweepBand();
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
    Sweep sweep(bands, IFLAG.data());
    while (NITER < MAXIT) {
        const float largestChange = sweep.run(control.omega());
        if (control.stopsAfter(largestChange)) {
            break;
        }
    }
    bands.copyOut(ZGRID.data());
}

}  // namespace lumsk
