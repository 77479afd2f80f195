#pragma once
// The mask file "~mincms.tmp": an integer image of the working grid, widened
// by the half window on every side, holding one mask code per cell. It decides
// which solved nodes survive the search-radius blanking.
//
// Layout: fixed-length records of `maskRecordWords` 4-byte words (mask columns
// + 1, at least 30), record k at byte k * record length * 4. Record 0 is the
// header; record k (1..mask rows) holds mask row k as one leading word (written
// 0, ignored when read) followed by the codes of columns 1..mask columns.
#include <cstdint>
#include <string>

#include "common/platform.hpp"
#include "lumsk/minc_state.hpp"

namespace lumsk {

inline constexpr const char* kMaskFileName = "~mincms.tmp";

// Mask codes.
inline constexpr std::int32_t kMaskBlank = 0;  // the node is blanked
inline constexpr std::int32_t kMaskData = 1;   // a data point was assigned to the node
inline constexpr std::int32_t kMaskReach = 2;  // within the search window of a data cell

// Shortest record, in words, whatever the mask's width.
inline constexpr std::int32_t kMinMaskRecordWords = 30;

// The seven words of record 0.
struct MaskHeader {
    std::int32_t columns = 0;
    std::int32_t rows = 0;
    float xOrigin = 0.0f;  // x of mask column 1, in cells (grid x origin in cells - half window)
    float yOrigin = 0.0f;  // y of mask row 1, in cells
};

// Record length in words for a mask of `maskColumns` columns.
std::int32_t maskRecordWords(std::int32_t maskColumns);

// Byte offset of record `record` for records of `recordWords` words.
std::int64_t maskRecordOffset(std::int32_t record, std::int32_t recordWords);

// Writes the header and mask rows x mask columns zero codes from byte 0, in
// one stream, as the mask file is laid down before the block loop fills it.
// False when not everything could be written.
bool writeEmptyMask(common::RawFile& file, const MaskHeader& header);

// Reads mask columns and mask rows from the header; false when the header
// cannot be read whole.
bool readMaskSize(common::RawFile& MHAND, std::int32_t& columns, std::int32_t& rows);

// Whether the window of NX x NY cells whose first cell is mask column ICOL0,
// row IROW0 lies inside a mask of MCOLS x MROWS cells.
bool maskWindowFits(std::int32_t ICOL0, std::int32_t IROW0, std::int32_t MCOLS, std::int32_t MROWS,
                    std::int32_t NX, std::int32_t NY);

// Moves one mask row record: MODE 0 writes the N codes of record IROW from
// IBUF (its leading word stays the 0 it already is); any other MODE reads its
// N codes into IBUF. IERR is always 0:
// the transfers are not examined.
void ROWDA(const MincState& state, common::RawFile& MHAND, std::int32_t N, std::int32_t* IBUF,
           std::int32_t MODE, std::int32_t IROW, std::int32_t& IERR);

// Reads the N codes of record IROW into IBUF; IERR 1 when the read fails,
// else 0.
void ROWMSK(const MincState& state, std::int32_t N, std::int32_t* IBUF, std::int32_t IROW,
            common::RawFile& MHAND, std::int32_t& IERR);

// Writes the mask window of NX columns by NY rows that starts at mask column
// ICOL0 and row IROW0 to OHAND, one row of NX float32 codes at a time. A
// window that does not lie inside the MCOLS x MROWS mask writes nothing. A
// debugging aid: nothing in the library calls it.
void MSKOUT(const MincState& state, std::int32_t ICOL0, std::int32_t IROW0,
            common::RawFile& MHAND, std::int32_t* IBUF, std::int32_t MCOLS, std::int32_t MROWS,
            float* ROWBUF, std::int32_t NX, std::int32_t NY, common::RawFile& OHAND);

}  // namespace lumsk
