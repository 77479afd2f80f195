#pragma once
// The value table: per frequency-table entry, the observed and predicted
// values, the data errors and the normalised residuals of the sounding being
// converted. Slots are not cleared between soundings: a slot that a sounding
// does not fill keeps its earlier value unless a residual rule overwrites it.
#include <array>
#include <cstddef>
#include <cstdint>

#include "pellack/frequency_table.hpp"

namespace pellack {

// The value written for data that is absent or cannot be used.
inline constexpr float kMissingValue = -99999.0f;
// A slot at or below this counts as missing.
inline constexpr float kMissingThreshold = -99990.0f;

enum Slot : std::size_t {
    kInPhaseObserved = 0,
    kQuadratureObserved,
    kInPhaseError,
    kQuadratureError,
    kInPhasePredicted,
    kQuadraturePredicted,
    kInPhaseResidual,
    kQuadratureResidual,
    kSlotCount,
};

// How the data errors of a frequency are to be read; set by the "v" and "p"
// tokens of the data lines and kept for the rest of the run.
enum class ErrorMode : std::int32_t { none = 0, value = 1, percent = 2 };

struct ValueRow {
    bool present = false;  // the frequency is listed in the current sounding
    std::array<float, kSlotCount> slots{};
    ErrorMode errorMode = ErrorMode::none;
};

using ValueTable = std::array<ValueRow, kMaxFrequencies>;

// The four slots of one component.
struct ComponentSlots {
    Slot observed;
    Slot error;
    Slot predicted;
    Slot residual;
};
inline constexpr ComponentSlots kInPhaseSlots{kInPhaseObserved, kInPhaseError, kInPhasePredicted,
                                              kInPhaseResidual};
inline constexpr ComponentSlots kQuadratureSlots{kQuadratureObserved, kQuadratureError,
                                                 kQuadraturePredicted, kQuadratureResidual};

// After the sounding's last frequency: the residual of every component of the
// first `entryCount` rows, or the missing value in its observed, predicted
// and residual slots when the component cannot be used.
void setResiduals(ValueTable& values, int entryCount);

// One component of one row (exposed for tests).
void setComponentResidual(ValueRow& row, const ComponentSlots& component);

}  // namespace pellack
