#pragma once
// The relaxation factor and the stop tests of the minimum-curvature
// iteration: after every sweep the sweep's largest change decides whether the
// solve has converged, diverged or stagnated, and steers the factor up while
// the changes fall steadily and down when they keep rising.
#include <cstdint>

namespace lumsk {

class RelaxationControl {
public:
    static constexpr float kStartFactor = 1.3f;
    static constexpr float kFactorStep = 0.1f;
    static constexpr float kFactorCap = 1.6f;      // no rise once the factor reaches this
    static constexpr float kLowestFactor = 1.0f;
    static constexpr float kSteadyFallRatio = 0.8f;  // sweeps falling slower than this raise the factor
    static constexpr float kDivergenceRatio = 1.5f;
    static constexpr std::int32_t kStagnationSweeps = 5;  // sweeps past the best before giving up
    static constexpr std::int32_t kFewestConvergedSweeps = 5;

    // Starts one solve: NITER = 0, ERR0 = 0.0; ERR is left as the caller set
    // it. The count of rising sweeps carries over from earlier solves.
    RelaxationControl(float TOL, float& ERR0, float& ERR, std::int32_t& NITER,
                      std::int32_t& risingSweepCount);

    float omega() const { return omega_; }

    // Takes the signed largest change of the sweep just made; returns true
    // when the solve stops here (converged, diverged, stagnated or exactly
    // still). The caller stops anyway once NITER reaches its sweep limit.
    bool stopsAfter(float largestChange);

private:
    void steer(float ratio);

    float tolerance_;
    float& ERR0_;
    float& ERR_;
    std::int32_t& NITER_;
    std::int32_t& risingSweepCount_;
    float omega_ = kStartFactor;
    float previousErr_ = 1.0E20f;
    float best_ = 1.0E32f;
    std::int32_t bestSweep_ = 10000;
};

}  // namespace lumsk
