#pragma once
// Coarse-to-fine interpolation and block continuity: before a block is solved
// every node gets a start value from the coarse regional grid (ZGINT, cell by
// cell with CELL3, assembled through INSERT), and CONTIN then ties the block to
// the blocks already solved to its left and below across the overlap.
#include <cstdint>
#include <span>

#include "lumsk/minc_state.hpp"

namespace lumsk {

// ZGINT: fills the block grid (the first NCB * NRB values of the work array)
// from the coarse grid by piecewise cubic interpolation. XOFF, YOFF: padded
// offsets of the block. ISTAT: 0, -1005..-1009 when the coarse grid cannot
// cover the block, or -1011 from INSERT.
void ZGINT(MincState& state, float XOFF, float YOFF, std::int32_t& ISTAT);

// CELL3: the M by M patch ZOUT (first index fastest) of the coarse cell whose
// lower-left node is (IC, JC), at K fine steps per coarse cell, from the 4 by 4
// coarse nodes IC - 1..IC + 2, JC - 1..JC + 2 of ZC (NCX values per row).
void CELL3(std::int32_t M, std::int32_t K, std::int32_t IC, std::int32_t JC, std::int32_t NCX,
           std::span<const float> ZC, std::span<float> ZOUT);

// INSERT: copies the M1 by M2 array A into the N1 by N2 array B with A(1, 1)
// at B(I0, J0). ISTAT: 0, or -1011 (and nothing copied) when it does not fit.
void INSERT(std::int32_t I0, std::int32_t J0, std::span<const float> A, std::int32_t M1, std::int32_t M2,
            std::span<float> B, std::int32_t N1, std::int32_t N2, std::int32_t& ISTAT);

// CONTIN: overwrites the first three columns of the block grid with the left
// edge store (when a block lies to the left) and then the first three rows
// with the lower edge store (when a block lies below), fixing the outer two of
// each.
void CONTIN(MincState& state, std::int32_t ISECT, std::int32_t ITIER, std::int32_t NCB, std::int32_t NRB);

}  // namespace lumsk
