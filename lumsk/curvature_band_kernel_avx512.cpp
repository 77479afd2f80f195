// The vector band sweep built for processors with AVX-512, picked at run time
// by relaxInteriorSteps(): a whole wavefront step of a band in one register.
// Fused multiply-add stays off (-ffp-contract=off): the results are those of
// every other build. Elsewhere than on x86 the baseline build stands in for it.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "lumsk/curvature_band_kernel.hpp"
#include "lumsk/skewed_bands.hpp"

#if defined(__x86_64__) || defined(__i386__)
#pragma GCC target("avx512f")
namespace lumsk::avx512 {
constexpr std::int32_t kVectorBytes = 64;
#include "lumsk/curvature_band_kernel.inl"
}  // namespace lumsk::avx512
#else
namespace lumsk::avx512 {
void relaxInteriorSteps(const BandSteps& band, std::int32_t firstStep, std::int32_t lastStep, float omega,
                        LaneLargest& largest) {
    baseline::relaxInteriorSteps(band, firstStep, lastStep, omega, largest);
}
}  // namespace lumsk::avx512
#endif
