#pragma once
// The gridding status codes: the value MINC leaves in its last argument.
// 0 is a good run; every negative value is a failure after which no grid file
// is written; a positive value is not a failure.
#include <cstdint>

namespace lumsk {

inline constexpr std::int32_t kStatusGood = 0;
inline constexpr std::int32_t kStatusTooManyBlocks = -2;          // layout of more than 3600 blocks
inline constexpr std::int32_t kStatusBlocksCannotOverlap = -999;  // NCOL or NROW of 5 or less
inline constexpr std::int32_t kStatusBadDataFile = -1000;         // unusable point data name, or empty rotated extent
inline constexpr std::int32_t kStatusNoBlockLayout = -1001;       // no block layout fits the work area
inline constexpr std::int32_t kStatusNoPointInGrid = -1002;       // no usable point inside the grid
inline constexpr std::int32_t kStatusChainBroken = -1003;         // a point chain cannot be followed
inline constexpr std::int32_t kStatusChainBrokenRecord = -1004;   // likewise, at a record of the chain
// -1005 .. -1009: the coarse grid cannot be interpolated onto a block.
inline constexpr std::int32_t kStatusCoarseTooNarrow = -1005;     // its columns do not cover the block
inline constexpr std::int32_t kStatusCoarseTooShort = -1006;      // its rows do not cover the block
inline constexpr std::int32_t kStatusCoarseWindowTooLarge = -1007;  // the window or block exceeds its work area
inline constexpr std::int32_t kStatusBlockBeforeWindow = -1008;   // the block starts before the interpolated window
inline constexpr std::int32_t kStatusBlockBeyondWindow = -1009;   // the block ends beyond the interpolated window
inline constexpr std::int32_t kStatusCoarseFirst = kStatusCoarseTooNarrow;
inline constexpr std::int32_t kStatusCoarseLast = kStatusBlockBeyondWindow;
inline constexpr std::int32_t kStatusNoStartValue = -1010;        // a starting grid holds no value at all
inline constexpr std::int32_t kStatusSubArrayTooBig = -1011;      // a sub-array does not fit its target
inline constexpr std::int32_t kStatusMaskTooNarrow = -1013;       // the mask is narrower than its header says
inline constexpr std::int32_t kStatusMaskRadiusTooSmall = -1014;  // the mask window radius is below 1
// A file of the call could not be created or opened (for example in a
// read-only working folder): the call fails cleanly, leaving no temporary
// file and writing no grid.
inline constexpr std::int32_t kStatusFileUnavailable = -1015;
// The grid file would overwrite the point data file (any spelling, links
// included), or takes the name of one of the suite's fixed temporary files
// (which the call itself creates and deletes), or the point data file is one
// of the call's own files ("minc.log", a "~minc" temporary file): the call
// fails before creating anything, "minc.log" included. GEOFLIP and GEOROT
// likewise write nothing over their own input grid (they return false).
inline constexpr std::int32_t kStatusOutputIsInput = -1016;
// A read or write of "minc.log" or of a temporary file came up short (a full
// disk, a failed read): the call ends with no grid and no temporary file
// left. A grid file that cannot be written whole is removed and reported as
// kStatusFileUnavailable.
inline constexpr std::int32_t kStatusFileTransferFailed = -1017;
// The null value, angle, origin, cell size or search radius is not finite.
inline constexpr std::int32_t kStatusArgumentNotFinite = -1018;
// The solve would put a value that is not finite into a node (values near the
// float32 limit overflow in its sums), or turning a solved value back into
// data units would; no grid is written. Points that are not finite never
// reach the solve: they are skipped like nulls.
inline constexpr std::int32_t kStatusSolveNotFinite = -1019;
// The grid is wider than the fixed work area can hold a row of: one grid row
// (and, with a mask, one mask row) must fit beside one block, G + NCB * NRB
// <= 256000, which ends at about 224 000 columns for the largest blocks.
inline constexpr std::int32_t kStatusGridTooWide = -1020;

}  // namespace lumsk
