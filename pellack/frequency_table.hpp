#pragma once
// The frequency table: every distinct frequency of the survey, in ascending
// order, with the components its observed data lines carry. It is built in
// the first pass over the data files and fixed for the second, where it
// decides the columns of every row.
#include <array>
#include <cstdint>
#include <optional>

namespace pellack {

// The table has room for this many frequencies; a survey with more stops.
inline constexpr int kMaxFrequencies = 32;

// Two frequencies closer than this (in hertz) are the same frequency.
inline constexpr float kFrequencyTolerance = 0.01f;

enum class ComponentType : std::int32_t {
    unset = -1,          // no data line of the frequency has named a component yet
    both = 0,            // in-phase and quadrature
    inPhaseOnly = 1,
    quadratureOnly = 2,
};

// The component letter of a data line (B, I or Q in either case).
enum class TypeLetter { none, both, inPhase, quadrature };

struct FrequencyEntry {
    float frequency = 0.0f;  // the value of the line that created the entry
    ComponentType componentType = ComponentType::unset;
};

class FrequencyTable {
public:
    // First pass: the index (0-based) of the entry for `frequency`, making a
    // new entry in its ascending place when no entry lies within the
    // tolerance. Empty when a new entry is needed and the table is full.
    std::optional<int> place(float frequency);

    // Second pass: the index of the first entry within the tolerance of
    // `frequency` (entry 0 when there is only one entry, or when none is).
    int find(float frequency) const;

    // Merges the components that a data line of the entry carries.
    void noteTypeLetter(int index, TypeLetter letter);

    int count() const { return count_; }
    const FrequencyEntry& entry(int index) const { return entries_[static_cast<std::size_t>(index)]; }

private:
    void insertAt(int index, float frequency);

    std::array<FrequencyEntry, kMaxFrequencies> entries_{};
    int count_ = 0;
};

// Whether an entry of this component type has in-phase and quadrature columns.
bool hasInPhaseColumns(ComponentType type);
bool hasQuadratureColumns(ComponentType type);

}  // namespace pellack
