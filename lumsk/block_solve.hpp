#pragma once
// The block loop: blocks are solved tier by tier (from the lowest y up) and
// section by section (left to right), each starting from the coarse surface
// and continuing its left and lower neighbours; after each tier the blocks are
// pasted into full-width rows of the grid row scratch file "~mincgr.tmp" and,
// with a search-radius mask, into mask rows. The solved blocks of one tier
// (and their node flags) pass through the block file "~mincsb.tmp", record r
// at byte (r - 1) * NCB * NRB * 4. Every solved block adds a line to the table
// of the MINC log.
#include <cstdint>
#include <span>
#include <string>

#include "common/platform.hpp"
#include "lumsk/minc_state.hpp"

namespace lumsk {

inline constexpr const char* kBlockFileName = "~mincsb.tmp";
inline constexpr const char* kGridRowFileName = "~mincgr.tmp";

// PCONTL: solves every block and writes the NTOTR working rows of NTOTC values
// to the grid row scratch file (and, with a half window above 0, the mask
// rows), and the block table to the log. NODES = NCB * NRB; WORK the work
// array; RECBUF one data-sorting record. ISTAT: 0 or the first negative
// status met; -1020 when not even one row fits in the work array beside a
// block; -1019 when a solved block holds a node that is not finite.
void PCONTL(MincState& state, std::int32_t NTOTC, std::int32_t NTOTR, std::int32_t NODES, std::span<float> WORK,
            std::int32_t NPW, std::span<float> RECBUF, std::int32_t& ISTAT);

// ICONTL: solves block (ISECT, ITIER) into the block grid at the start of the
// work array and records it in the block file (its node flags too when IHW is
// above 0). XOFF = (ISECT - 1) * S, YOFF = (ITIER - 1) * T.
void ICONTL(MincState& state, std::int32_t ISECT, std::int32_t ITIER, std::int32_t IHW, float XOFF, float YOFF,
            std::span<float> RECBUF, std::int32_t NPW, std::int32_t& ISTAT);

// ASSEMB: pastes the blocks of tier ITIER into full-width rows, at most
// MAXROW rows at a time, reading from the block file only the block rows it
// pastes. With ROWS: the grid rows (working columns wide) are appended to the
// grid row scratch file. With IROWS: the mask rows (mask columns wide) are
// made from the node flag records and written to the mask file, with
// half-window blank columns at each end; IROWS holds them as mask file
// records (mask record words apart, codes from word 1), so that a chunk is
// written in one transfer. The block itself passes through the
// work array (the node flags for mask rows). Returns 0, or -1011 when the
// layout or the row buffer cannot hold what is pasted.
std::int32_t ASSEMB(MincState& state, std::int32_t ITIER, std::int32_t MAXROW, std::span<float> ROWS);
std::int32_t ASSEMB(MincState& state, std::int32_t ITIER, std::int32_t MAXROW, std::span<std::int32_t> IROWS);

// PADROW: writes IHW blank mask rows of NW codes after row NROWS, counting
// NROWS up. IBUF (at least NW words) is cleared and used as the row.
void PADROW(const MincState& state, std::int32_t IHW, std::int32_t& NROWS, common::RawFile& MHAND,
            std::int32_t NW, std::span<std::int32_t> IBUF);

// Byte offset of block file record `record` (1-based): NCB * NRB values each.
std::int64_t blockRecordOffset(const MincSettings& settings, std::int32_t record);
// Reads block rows firstRow..firstRow + rowCount - 1 of block file record
// `record` (whole rows, one transfer) into `values`: a tier pastes only a few
// rows of each block at a time, and a block takes only its edge rows from the
// one below, so only those are read. A short read is noted in the call's
// transfers.
void readBlockRows(MincState& state, std::int32_t record, std::int32_t firstRow, std::int32_t rowCount,
                   void* values);

// WRBLK: writes the first NVAL values of VALS at block file record IREC.
void WRBLK(const MincState& state, common::RawFile& IBHAND, std::int32_t IREC, std::int32_t NVAL,
           std::span<const float> VALS);
void WRBLK(const MincState& state, common::RawFile& IBHAND, std::int32_t IREC, std::int32_t NVAL,
           std::span<const std::int32_t> VALS);

// The block table of the MINC log: the heading written before every block
// (an empty line and the header line) and the 43-byte line of a solved block.
std::string blockTableHeading();
std::string blockTableLine(std::int32_t tier, std::int32_t section, float firstError, float endError,
                           std::int32_t iterations);

}  // namespace lumsk
