// The vector band sweep built for processors with AVX-512, picked at run time
// by sweepBand(): a whole wavefront step of a band in two registers.
// Fused multiply-add stays off (-ffp-contract=off): the results are those of
// every other build. Elsewhere than on x86 the baseline build stands in for it.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "lumsk/curvature_band_kernel.hpp"
#include "lumsk/curvature_stencils.hpp"
#include "lumsk/skewed_bands.hpp"

#if defined(__x86_64__) || defined(__i386__)
#pragma GCC target("avx512f")
namespace lumsk::avx512 {
constexpr std::int32_t kVectorBytes = 64;
#include "lumsk/curvature_band_kernel.inl"
}  // namespace lumsk::avx512
#else
namespace lumsk::avx512 {
void sweepBand(const BandSweep& band, float omega, LaneLargest& largest) {
    baseline::sweepBand(band, omega, largest);
}
}  // namespace lumsk::avx512
#endif
