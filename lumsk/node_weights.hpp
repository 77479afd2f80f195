#pragma once
// Ties the scattered points of one solver grid (the coarse grid or a block
// grid) to its nodes before the minimum-curvature iteration.
//
// ASSIGN gives every point to its nearest node and accumulates, in the node
// data record, either weighted sums (WEPS > 0) or the nearest point
// (WEPS <= 0). BWTS then makes each node that got data either a fixed node
// (the data sit on the node) or a data node with its quadrant code and, in
// the interior, the coefficients c1 to c6 of the data equation.
//
// Node (col, row) of an NX by NY grid is number (row - 1) * NX + col, 1-based;
// its record occupies words 6(n - 1) + 1 to 6n of NODREC.
#include <cstdint>
#include <span>

namespace lumsk {

// Node flag values; 1 to 4 are the quadrant codes of a data node.
inline constexpr std::int32_t kFixedNode = -1;
inline constexpr std::int32_t kFreeNode = 0;

// Accumulates the points PTS (NWORDS / 3 triples x, y, z) into the node data
// records. XOFF and YOFF are subtracted from every x and y so that node
// (col, row) sits at (col, row). Points that fall outside the grid are
// dropped. May be called once per buffer of points.
void ASSIGN(float WEPS, float XOFF, float YOFF, std::int32_t NX, std::int32_t NY,
            std::span<float> NODREC, std::int32_t NWORDS, std::span<const float> PTS);

// Turns the accumulated records into fixed nodes and data nodes (flags in
// IFLAG) and gives the interior data nodes their data-equation coefficients.
// ISETZ non-zero: data nodes start from their mean data value. WMODE > 0: the
// records hold weighted sums. EMPTY: word 1 of a node that got no point.
void BWTS(std::int32_t ISETZ, float WMODE, float EMPTY, std::int32_t NX, std::int32_t NY,
          std::span<float> ZGRID, std::span<std::int32_t> IFLAG, std::span<float> NODREC);

}  // namespace lumsk
