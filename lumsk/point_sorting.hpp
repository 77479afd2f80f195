#pragma once
// Point data scan and sorting: the points of the point data file are read,
// turned into padded node coordinates and a transformed value, and sorted into
// one chain of fixed-length records per block in the data-sorting file
// "~mincir.tmp", from which the coarse solve and the block loop read them.
//
// Data-sorting record r (1-based) lies at byte (r - 1) * RL * 4, RL = NPW + 2
// words (MincSettings::sortingRecordWords): int32 next record of the chain
// (0 = last), int32 point count, then NPW / 3 slots of (u, v, z) floats.
// Records 1..blocks are the chain heads; overflow records follow in the order
// in which the block buffers fill.
#include <cstdint>
#include <span>

#include "common/platform.hpp"
#include "lumsk/grid_file.hpp"
#include "lumsk/minc_state.hpp"

namespace lumsk {

inline constexpr const char* kDataSortingFileName = "~mincir.tmp";

// RNGDAT: the extent of the usable points (channel ZCHAN not null, and above 0
// under the log transform) in the rotated frame, in cells. With no usable
// point the extent stays at +1.0E32 / -1.0E32. ISHAND, CHANS and ISTAT are not
// used (records are read in blocks into the reader's own buffer).
void RNGDAT(MincState& state, common::RawFile& IDHAND, common::RawFile& ISHAND, std::span<float> CHANS,
            std::int32_t MAXCHN, std::int32_t ITRANS, float& XMIN, float& XMAX, float& YMIN, float& YMAX,
            std::int32_t& ISTAT);

// SEQDAT: sorts every usable point into the block chains of the data-sorting
// file ISHAND. CELL is the cell size in the solver frame; XORG, YORG place
// padded node (1, 1) in cells; NPW = 3 * points per record. The block buffers
// live in the work array, the per-block tables in the edge stores' storage.
// Sets MincSettings::sortingRecordsInUse. ISTAT = -1002 when no point was
// accepted, otherwise left as it was. CHANS is not used.
void SEQDAT(MincState& state, common::RawFile& IDHAND, common::RawFile& ISHAND, float CELL, float XORG,
            float YORG, std::int32_t NPW, std::span<float> CHANS, std::int32_t MAXCHN, std::int32_t ITRANS,
            std::int32_t& ISTAT);

// WRBLK2: writes data-sorting record IREC: NEXTR, NPTS and the first NVAL
// values of VALS.
void WRBLK2(const MincState& state, common::RawFile& ISHAND, std::int32_t IREC, std::int32_t NEXTR,
            std::int32_t NPTS, std::int32_t NVAL, std::span<const float> VALS);

// Reads data-sorting record `record` into `next`, `count` and the first NPW
// values of `values` (NPW = record length - 2). False when the record's
// position cannot be reached or the record cannot be read whole, which ends a
// chain walk (a short read is noted as a failed transfer of the call); next
// and count are untouched when the head itself could not be read.
bool readSortingRecord(const MincState& state, common::RawFile& ISHAND, std::int32_t record,
                       std::int32_t& next, std::int32_t& count, std::span<float> values);

}  // namespace lumsk
