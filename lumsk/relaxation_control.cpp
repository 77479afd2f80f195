#include "lumsk/relaxation_control.hpp"

#include <cmath>

#include "common/float_to_int.hpp"

namespace lumsk {

RelaxationControl::RelaxationControl(float TOL, float& ERR0, float& ERR, std::int32_t& NITER,
                                     std::int32_t& risingSweepCount)
    : tolerance_(std::fabs(TOL)), ERR0_(ERR0), ERR_(ERR), NITER_(NITER), risingSweepCount_(risingSweepCount) {
    NITER_ = 0;
    ERR0_ = 0.0f;
}

bool RelaxationControl::stopsAfter(float largestChange) {
    if (NITER_ <= 0) {
        ERR0_ = std::fabs(largestChange / omega_);
    }
    NITER_ = NITER_ + 1;
    if (largestChange == 0.0f) {
        return true;
    }
    const float size = std::fabs(largestChange);
    if (size < best_) {
        best_ = size;
        bestSweep_ = NITER_;
    } else if (size > kDivergenceRatio * best_) {
        return true;
    } else if (NITER_ - bestSweep_ > kStagnationSweeps) {
        return true;
    }
    ERR_ = std::fabs(largestChange / omega_);
    if (ERR_ <= tolerance_ && NITER_ >= kFewestConvergedSweeps) {
        return true;
    }
    const float ratio = ERR_ / previousErr_;
    previousErr_ = ERR_;
    steer(ratio);
    return false;
}

// Every second rising sweep (counted across solves) lowers the factor, by
// more the steeper the rise; a steady fall raises it up to the cap.
void RelaxationControl::steer(float ratio) {
    if (ratio > 1.0f) {
        if (risingSweepCount_ == 1) {
            const std::int32_t steps = common::truncateToInt32(10.0f * ratio - 9.11f);
            omega_ = omega_ - kFactorStep * static_cast<float>(steps);
            if (omega_ < kLowestFactor) {
                omega_ = kLowestFactor;
            }
            risingSweepCount_ = 0;
        } else {
            risingSweepCount_ = risingSweepCount_ + 1;
        }
    } else if (ratio >= kSteadyFallRatio && omega_ < kFactorCap) {
        omega_ = omega_ + kFactorStep;
    }
}

}  // namespace lumsk
