#include "lumsk/curvature_band_kernel.hpp"

#include <cstring>

#include "lumsk/curvature_stencils.hpp"
#include "lumsk/skewed_bands.hpp"

namespace lumsk {

namespace baseline {
constexpr std::int32_t kVectorBytes = 16;  // SSE2 on x86-64
#include "lumsk/curvature_band_kernel.inl"
}  // namespace baseline

float LaneLargest::overall() const {
    float largest = 0.0f;
    for (const float lane : size) {
        if (lane > largest) largest = lane;
    }
    return largest;
}

bool hasAvx2Kernel() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool supported = __builtin_cpu_supports("avx2");
    return supported;
#else
    return false;
#endif
}

bool hasAvx512Kernel() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool supported = __builtin_cpu_supports("avx512f");
    return supported;
#else
    return false;
#endif
}

BandSweep sweepOfBand(SkewedBands& bands, std::int32_t band, const std::int32_t* gridFlags) {
    return BandSweep{bands.stepZero(band),
                     bands.flagsAtStepZero(band),
                     bands.coefficientsAtStepZero(band),
                     bands.summariesAtStepZero(band),
                     bands.rowsIn(band),
                     bands.firstRow(band),
                     gridFlags,
                     bands.columns(),
                     band == 0,
                     band == bands.bandCount() - 1};
}

SweepBand pickSweepBand() {
    if (hasAvx512Kernel()) return &avx512::sweepBand;
    return hasAvx2Kernel() ? &avx2::sweepBand : &baseline::sweepBand;
}

void sweepBand(const BandSweep& band, float omega, LaneLargest& largest) {
    pickSweepBand()(band, omega, largest);
}

}  // namespace lumsk
