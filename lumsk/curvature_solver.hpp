#pragma once
// CURVMN: solves the minimum-curvature equations on one solver grid in place
// by successive over-relaxation in Gauss-Seidel order. Fixed nodes hold
// still, interior data nodes are pulled towards their data through the
// coefficients of BWTS, every other node relaxes towards zero curvature
// (border nodes through stencils of their own).
#include <cstdint>
#include <span>

namespace lumsk {

class SkewedBands;

// ZGRID: NX by NY values, node (col, row) at (row - 1) * NX + col (1-based).
// IFLAG, NODREC: node flags and node data records as BWTS left them.
// TOL: convergence tolerance (its absolute value is used); MAXIT: largest
// number of sweeps. ERR0: the unrelaxed largest change of the first sweep;
// ERR: the same for the last sweep that passed the divergence and stagnation
// tests (left as the caller set it when none did); NITER: sweeps done.
// risingSweepCount: the count of rising sweeps, which outlives the call.
// A grid smaller than 5 by 5 is left untouched and no output is written.
void CURVMN(std::span<float> ZGRID, std::span<const std::int32_t> IFLAG,
            std::span<const float> NODREC, std::int32_t NX, std::int32_t NY, float TOL,
            std::int32_t MAXIT, float& ERR0, float& ERR, std::int32_t& NITER,
            std::int32_t& risingSweepCount);

// The same, sweeping in `bands`: a caller that solves many grids lends the
// same storage to every solve instead of allocating it afresh.
void CURVMN(std::span<float> ZGRID, std::span<const std::int32_t> IFLAG,
            std::span<const float> NODREC, std::int32_t NX, std::int32_t NY, float TOL,
            std::int32_t MAXIT, float& ERR0, float& ERR, std::int32_t& NITER,
            std::int32_t& risingSweepCount, SkewedBands& bands);

}  // namespace lumsk
