#pragma once
// Search-radius blanking: after the blocks are solved, the mask file holds
// code 1 on every node that received a data point. These routines decide from
// it which solved nodes are kept, streaming the mask row by row.
//
//   RADREM   clears data cells that have no other data cell in their search
//            window (a lone point makes no surface of its own);
//   RADMSK   gives code 2 to every blank cell that has a data cell in its
//            search window (the square reach of the radius);
//   TEMPLAT  copies the solved grid rows to the template grid file, writing the
//            null into every node whose mask code is the one given.
//
// The search window is the (2r+1) x (2r+1) cells centred on a cell, r being
// the half-width derived from the window size NWIN.
#include <cstdint>

#include "common/platform.hpp"
#include "lumsk/minc_state.hpp"

namespace lumsk {

inline constexpr const char* kTemplateFileName = "~minctm.tmp";

// r for a window size NWIN: NWIN / 2, lowered by 1 when 2r + 1 exceeds NWIN.
std::int32_t searchWindowHalfWidth(std::int32_t NWIN);

// Isolated-cell removal. COLSUM and IBUF hold MCOLS words, IRING MCOLS x
// (2r + 1). ISTAT: 0; -1013 when the mask is wider than MCOLS; -1014 when r
// is below 1 (the mask is unchanged in both cases); 1 when a read-ahead fails.
// NMIN does not enter the rule: a data cell goes when it is alone. Only rows
// that lost a cell are written back.
void RADREM(const MincState& state, std::int32_t NMIN, common::RawFile& MHAND, std::int32_t MCOLS,
            std::int32_t NWIN, std::int32_t* COLSUM, std::int32_t* IBUF, std::int32_t* IRING,
            std::int32_t& ISTAT);

// Reach marking: a blank cell with at least NMIN data cells in its search
// window gets code 2. Work areas as RADREM's; ISTAT 0, or 1 when a read-ahead
// fails. Only rows in which a code was set are written back.
void RADMSK(const MincState& state, std::int32_t NMIN, common::RawFile& MHAND, std::int32_t MCOLS,
            std::int32_t NWIN, std::int32_t* COLSUM, std::int32_t* IBUF, std::int32_t* IRING,
            std::int32_t& ISTAT);

// Reads NY rows of NX values from GHAND at its current position and writes
// them to OHAND, putting VALUE into every node whose mask code (mask column
// ICOL0 - 1 + j of mask row IROW0 - 1 + i) equals ICODE. ROWBUF holds NX
// values; rows move several at a time through a buffer of their own when more
// than one fits it, and the mask rows are read in chunks, so IBUF (MCOLS
// codes) is no longer needed. A window outside the mask writes nothing.
void TEMPLAT(const MincState& state, std::int32_t ICOL0, std::int32_t IROW0, std::int32_t ICODE,
             float VALUE, common::RawFile& MHAND, std::int32_t* IBUF, std::int32_t MCOLS,
             std::int32_t MROWS, common::RawFile& GHAND, float* ROWBUF, std::int32_t NX,
             std::int32_t NY, common::RawFile& OHAND);

}  // namespace lumsk
