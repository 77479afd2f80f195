#pragma once
// Block tiling: the gridder solves the padded grid block by block, each block
// small enough for the fixed work area and its edges small enough for the edge
// stores. PRTISH chooses how the grid is cut.
#include <cstdint>

namespace lumsk {

// PRTISH cuts an NXT by NYT padded grid into NSECT sections per tier and NTIER
// tiers of NCB by NRB nodes that overlap by NOVL nodes. A block holds at most
// MAXPTS / 8 nodes, and three of its columns or rows fit in MAXEDG values.
// The squarest block wins, unless a layout of fewer blocks is not too tall.
// When no layout fits: ISTAT = -1001 and NSECT = 0, NCB, NRB and NTIER
// untouched; on success ISTAT is left as it was.
void PRTISH(std::int32_t MAXPTS, std::int32_t MAXEDG, std::int32_t NXT, std::int32_t NYT, std::int32_t& NCB,
            std::int32_t& NRB, std::int32_t& NSECT, std::int32_t& NTIER, std::int32_t NOVL,
            std::int32_t& ISTAT);

}  // namespace lumsk
