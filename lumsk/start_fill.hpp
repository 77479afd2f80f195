#pragma once
// Builds a complete starting grid for the minimum-curvature iteration from a
// grid in which some nodes hold the null value.
#include <cstdint>
#include <span>

namespace lumsk {

// Fills every node of ZGRID (NX by NY, node (col, row) at (row - 1) * NX +
// col) that equals DNULL: window means on a lattice of every fourth node,
// line fills along lattice rows and along every column, then the mean of all
// values. WORK is scratch for one column (at least NY values). ISTAT: 0, or
// kStatusNoStartValue (-1010) when the grid holds no value at all (the grid
// is then returned unchanged).
void GRIDR(std::int32_t NX, std::int32_t NY, std::span<float> ZGRID, std::span<float> WORK,
           float DNULL, std::int32_t& ISTAT);

// Fills the null runs of one line of N values in place: leading and trailing
// runs take the nearest value, inner runs are interpolated linearly.
void PLUGM(std::int32_t N, std::span<float> LINE, float DNULL);

}  // namespace lumsk
