#include <cmath>

#include "pellack/value_table.hpp"

namespace pellack {

namespace {

// A percentage error is never taken smaller than this, so that an observed
// value near zero does not blow the residual up.
constexpr float kSmallestPercentError = 0.01f;

void markMissing(ValueRow& row, const ComponentSlots& component) {
    row.slots[component.observed] = kMissingValue;
    row.slots[component.predicted] = kMissingValue;
    row.slots[component.residual] = kMissingValue;
}

}  // namespace

void setComponentResidual(ValueRow& row, const ComponentSlots& component) {
    const float observed = row.slots[component.observed];
    const float error = row.slots[component.error];
    const float predicted = row.slots[component.predicted];
    if (!(error > 0.0f && observed > kMissingThreshold && predicted > kMissingThreshold)) {
        markMissing(row, component);
        return;
    }
    if (row.errorMode == ErrorMode::value) {
        row.slots[component.residual] = (observed - predicted) / error;
        return;
    }
    // Without a "v" token the error is a percentage of the observed value.
    float absoluteError = std::fabs(observed) * error / 100.0f;
    if (absoluteError < kSmallestPercentError) absoluteError = kSmallestPercentError;
    row.slots[component.residual] = (observed - predicted) / absoluteError;
}

void setResiduals(ValueTable& values, int entryCount) {
    for (int index = 0; index < entryCount; ++index) {
        ValueRow& row = values[static_cast<std::size_t>(index)];
        if (!row.present) {
            markMissing(row, kInPhaseSlots);
            markMissing(row, kQuadratureSlots);
            continue;
        }
        setComponentResidual(row, kInPhaseSlots);
        setComponentResidual(row, kQuadratureSlots);
    }
}

}  // namespace pellack
