#pragma once
// The vector part of the minimum-curvature sweep: the interior nodes of one
// band of SkewedBands, a wavefront step at a time. The nodes of one step lie
// in different rows and columns and do not read each other, so they are
// worked side by side in vector registers; every node still sees the values
// a plain row-by-row sweep would show it, and its arithmetic is the scalar
// stencils' own, operation by operation, so the results are the same to the
// bit.
#include <cstddef>
#include <cstdint>

namespace lumsk {

struct BandSteps {
    float* grid;                     // lane 0 at step 0
    const std::int32_t* flags;       // lane 0 at step 0
    const float* coefficients;       // c1 of lane 0 at step 0
    const std::uint8_t* summaries;   // flag summary of the first lane group at step 0
    std::ptrdiff_t columnStride;     // grid words from one step to the next
};

// Largest counted change size so far, per lane of a band step; kept across
// calls so that the lanes are compared with each other once per sweep.
struct LaneLargest {
    float size[16] = {};
    float overall() const;
};

// Steps firstStep to lastStep of a band with over-relaxation factor omega.
// Nodes whose flag is negative are left alone; the others take their free or
// data target. Each lane of largest becomes the largest size of change below
// 1.0E8 of its nodes if that is larger.
void relaxInteriorSteps(const BandSteps& band, std::int32_t firstStep, std::int32_t lastStep, float omega,
                        LaneLargest& largest);

// The builds of the same body that relaxInteriorSteps() picks from: one for
// the instruction set the library is compiled for, one for processors with
// AVX2 and one for processors with AVX-512 (on x86 only, and to be called
// only when hasAvx2Kernel() or hasAvx512Kernel()).
namespace baseline {
void relaxInteriorSteps(const BandSteps& band, std::int32_t firstStep, std::int32_t lastStep, float omega,
                        LaneLargest& largest);
}  // namespace baseline
namespace avx2 {
void relaxInteriorSteps(const BandSteps& band, std::int32_t firstStep, std::int32_t lastStep, float omega,
                        LaneLargest& largest);
}  // namespace avx2
namespace avx512 {
void relaxInteriorSteps(const BandSteps& band, std::int32_t firstStep, std::int32_t lastStep, float omega,
                        LaneLargest& largest);
}  // namespace avx512
bool hasAvx2Kernel();
bool hasAvx512Kernel();

// The build relaxInteriorSteps() picks on this processor, for callers that
// make many short calls and pick once.
using RelaxInteriorSteps = void (*)(const BandSteps&, std::int32_t, std::int32_t, float, LaneLargest&);
RelaxInteriorSteps pickRelaxInteriorSteps();

}  // namespace lumsk
