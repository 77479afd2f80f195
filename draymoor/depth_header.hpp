#pragma once
// The header part of a CDI data file: the line holding the depth count
// (marked by "Depths (m)") and the depth list on the lines after it.
#include <array>
#include <cstdint>

#include "common/console.hpp"
#include "common/line_reader.hpp"

namespace draymoor {

// The depth list has room for this many depths; a file with more stops.
inline constexpr std::int32_t kMaxDepths = 128;

struct DepthList {
    std::int32_t count = 0;
    std::array<float, kMaxDepths> depths{};
};

enum class HeaderResult {
    complete,
    endedEarly,  // the input ended before the depth count line or inside the depth list
};

// Reads the depth count and the depths. A count below 1 shows "The number of
// depths is invalid" and leaves no depths; the run goes on. A count above
// the list's room, or a field that is not a number, stops the run.
HeaderResult readDepthHeader(common::LineReader& lines, DepthList& list, common::Console& console);

}  // namespace draymoor
