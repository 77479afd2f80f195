#include "pellack/frequency_table.hpp"

#include <cmath>

namespace pellack {

std::optional<int> FrequencyTable::place(float frequency) {
    // Walk down from the highest frequency: the new one either belongs above
    // an entry, matches it, or lies lower still.
    for (int index = count_ - 1; index >= 0; --index) {
        const float known = entries_[static_cast<std::size_t>(index)].frequency;
        if (known + kFrequencyTolerance < frequency) {
            if (count_ == kMaxFrequencies) return std::nullopt;
            insertAt(index + 1, frequency);
            return index + 1;
        }
        // Above 262144 Hz the tolerance is less than half a step of a
        // single-precision number, so `known - tolerance` is `known` itself:
        // the frequency that created the entry must still find it.
        if (known - kFrequencyTolerance < frequency || known == frequency) return index;
    }
    if (count_ == kMaxFrequencies) return std::nullopt;
    insertAt(0, frequency);
    return 0;
}

void FrequencyTable::insertAt(int index, float frequency) {
    for (int above = count_; above > index; --above) {
        entries_[static_cast<std::size_t>(above)] = entries_[static_cast<std::size_t>(above - 1)];
    }
    entries_[static_cast<std::size_t>(index)] = FrequencyEntry{frequency, ComponentType::unset};
    ++count_;
}

int FrequencyTable::find(float frequency) const {
    if (count_ == 1) return 0;
    for (int index = 0; index < count_; ++index) {
        if (std::fabs(entries_[static_cast<std::size_t>(index)].frequency - frequency) <=
            kFrequencyTolerance) {
            return index;
        }
    }
    return 0;
}

void FrequencyTable::noteTypeLetter(int index, TypeLetter letter) {
    ComponentType& type = entries_[static_cast<std::size_t>(index)].componentType;
    switch (letter) {
        case TypeLetter::both:
            type = ComponentType::both;
            break;
        case TypeLetter::inPhase:
            if (type == ComponentType::unset) type = ComponentType::inPhaseOnly;
            else if (type == ComponentType::quadratureOnly) type = ComponentType::both;
            break;
        case TypeLetter::quadrature:
            if (type == ComponentType::unset) type = ComponentType::quadratureOnly;
            else if (type == ComponentType::inPhaseOnly) type = ComponentType::both;
            break;
        case TypeLetter::none:
            break;
    }
}

bool hasInPhaseColumns(ComponentType type) {
    return type == ComponentType::both || type == ComponentType::inPhaseOnly;
}

bool hasQuadratureColumns(ComponentType type) {
    return type == ComponentType::both || type == ComponentType::quadratureOnly;
}

}  // namespace pellack
