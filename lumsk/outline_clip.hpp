#pragma once
// Outline clipping of the search-radius mask. The square reach of the radius
// spills into bays of the data and into the gaps between separate groups of
// data; RADCLP trims the mask back to the outline of the data cells:
//   1. the extent of the data in every mask row and column (widened by one
//      cell, stretched to the mask edge near the grid edge);
//   2. the four sides of that extent walked as a clip outline, bays whose
//      mouth is within the radius closed;
//   3. gaps within the radius bridged by straight runs limited by arcs of the
//      radius; wider gaps left open;
//   4. every cell outside its row's span or its column's span set to 0.
// The two builds of the library differ only in step 1 (see LibraryBuild).
#include <cstdint>

#include "common/platform.hpp"
#include "lumsk/minc_state.hpp"

namespace lumsk {

// Clips the mask open on MHAND. MCOLS and MROWS size the work areas (the mask
// header's own size drives the work): IBUF one mask row (MCOLS), IRSPAN the
// row spans (2 x MROWS), ICSPAN the column spans (2 x MCOLS), IOUTL the clip
// outline (2 x MAXOUT). The variant comes from state.build.
// Returns false, leaving the mask unchanged, when the outline would need more
// than MAXOUT points or the mask is larger than the work areas.
bool RADCLP(const MincState& state, common::RawFile& MHAND, std::int32_t MCOLS, std::int32_t MROWS,
            std::int32_t NWIN, std::int32_t MAXOUT, std::int32_t* IBUF, std::int32_t* IRSPAN,
            std::int32_t* ICSPAN, std::int32_t* IOUTL);

// Points the clip outline of a MC x MR mask with window half-width r can need
// at most: one per non-empty span per side.
std::int32_t outlineCapacityNeeded(std::int32_t MC, std::int32_t MR, std::int32_t r);

}  // namespace lumsk
