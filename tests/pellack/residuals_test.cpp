#include <gtest/gtest.h>

#include "pellack/value_table.hpp"

namespace pellack {
namespace {

ValueRow inPhaseRow(float observed, float error, float predicted, ErrorMode mode) {
    ValueRow row;
    row.present = true;
    row.errorMode = mode;
    row.slots[kInPhaseObserved] = observed;
    row.slots[kInPhaseError] = error;
    row.slots[kInPhasePredicted] = predicted;
    return row;
}

TEST(Residuals, APercentageErrorIsNeverBelowOneHundredth) {
    // Observed 0.0 with 5 percent: E = 0 is raised to 0.01, so the residual
    // is -0.03 / 0.01 = -3 (within float rounding of 0.01 and 0.03).
    ValueRow row = inPhaseRow(0.0f, 5.0f, 0.03f, ErrorMode::none);
    setComponentResidual(row, kInPhaseSlots);
    EXPECT_NEAR(row.slots[kInPhaseResidual], -3.0f, 1e-5f);
}

TEST(Residuals, AnUnusableComponentIsMissingInAllThreeColumns) {
    const ValueRow unusable[] = {
        inPhaseRow(1.0f, 0.0f, 2.0f, ErrorMode::value),           // no error
        inPhaseRow(1.0f, -0.5f, 2.0f, ErrorMode::none),           // negative error
        inPhaseRow(-99990.0f, 1.0f, 2.0f, ErrorMode::value),      // observed missing
        inPhaseRow(1.0f, 1.0f, kMissingValue, ErrorMode::value),  // predicted missing
    };
    for (ValueRow row : unusable) {
        setComponentResidual(row, kInPhaseSlots);
        EXPECT_EQ(row.slots[kInPhaseObserved], kMissingValue);
        EXPECT_EQ(row.slots[kInPhasePredicted], kMissingValue);
        EXPECT_EQ(row.slots[kInPhaseResidual], kMissingValue);
    }
    // Just above the threshold still counts as data.
    ValueRow row = inPhaseRow(-99989.0f, 100.0f, -99989.0f, ErrorMode::value);
    setComponentResidual(row, kInPhaseSlots);
    EXPECT_EQ(row.slots[kInPhaseResidual], 0.0f);
}

}  // namespace
}  // namespace pellack
