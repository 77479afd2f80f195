#pragma once
// One band of SkewedBands swept whole, a wavefront step at a time. The
// nodes of one step lie in different rows and columns and do not read each
// other, so they are worked side by side in vector registers: the interior
// nodes, and the band's ends in columns 1, 2, NX - 1 and NX with their own
// stencils in their own lanes. Rows 1, 2 or NY - 1, NY, beside the first or
// last band, do not read the step's nodes either, and go beside them one by
// one, so that their chains of dependent operations overlap the vector work
// instead of waiting for it. Every node still sees the values a plain
// row-by-row sweep would show it, and its arithmetic is the scalar stencils'
// own, operation by operation, so the results are the same to the bit.
#include <cstddef>
#include <cstdint>

#include "lumsk/skewed_bands.hpp"

namespace lumsk {

struct BandSweep {
    float* grid;                     // lane 0 at step 0
    const std::int32_t* flags;       // lane 0 at step 0
    const float* coefficients;       // c1 of lane 0 at step 0
    const std::uint8_t* summaries;   // flag summary of the first lane group at step 0
    std::int32_t rows;               // interior rows of the band: lanes 0 to rows - 1
    std::int32_t firstRow;           // grid row of lane 0
    const std::int32_t* gridFlags;   // flags of the whole grid, row-major, for the border nodes
    std::int32_t NX;
    bool withRowsBelow;              // rows 1 and 2 (lanes -2 and -1) sweep with this band
    bool withRowsAbove;              // rows NY - 1 and NY (lanes rows and rows + 1) sweep with this band
};

// The sweep of band `band` of `bands`, whose grid's row-major flags are
// gridFlags: rows 1 and 2 go with the first band, rows NY - 1 and NY with the
// last.
BandSweep sweepOfBand(SkewedBands& bands, std::int32_t band, const std::int32_t* gridFlags);

// Largest counted change size so far, per lane of a band step; kept across
// calls so that the lanes are compared with each other once per sweep.
struct LaneLargest {
    float size[SkewedBands::kLanes] = {};
    float overall() const;
};

// Sweeps a band with over-relaxation factor omega. Nodes whose flag is
// negative are left alone; interior nodes take their free or data target,
// border nodes their border stencil's. Each lane of largest becomes the
// largest size of change below 1.0E8 of its interior nodes if that is larger;
// border nodes never count.
void sweepBand(const BandSweep& band, float omega, LaneLargest& largest);

// The builds of the same body that sweepBand() picks from: one for the
// instruction set the library is compiled for, one for processors with AVX2
// and one for processors with AVX-512 (on x86 only, and to be called only
// when hasAvx2Kernel() or hasAvx512Kernel()).
namespace baseline {
void sweepBand(const BandSweep& band, float omega, LaneLargest& largest);
}  // namespace baseline
namespace avx2 {
void sweepBand(const BandSweep& band, float omega, LaneLargest& largest);
}  // namespace avx2
namespace avx512 {
void sweepBand(const BandSweep& band, float omega, LaneLargest& largest);
}  // namespace avx512
bool hasAvx2Kernel();
bool hasAvx512Kernel();

// The build sweepBand() picks on this processor, for callers that sweep many
// bands and pick once.
using SweepBand = void (*)(const BandSweep&, float, LaneLargest&);
SweepBand pickSweepBand();

}  // namespace lumsk
