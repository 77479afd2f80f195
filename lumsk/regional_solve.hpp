#pragma once
// The coarse regional solve: every point of every block chain, once each, is
// gridded onto a coarse grid over the whole padded grid, so that each block
// later starts from one regional surface and neighbouring blocks agree at
// large scale.
#include <cstdint>
#include <span>

#include "lumsk/minc_state.hpp"

namespace lumsk {

// REJONL: solves the coarse grid of MincSettings::coarse from the data-sorting
// file. XORG, YORG, CELL and ITRANS are not used. RECBUF holds one record
// (at least NPW values). ISTAT: 0, -1003 (a chain record outside the records
// in use), -1004 (a record of more than 900 points) or -1010 (no value).
void REJONL(MincState& state, float XORG, float YORG, float CELL, std::int32_t ITRANS, std::span<float> RECBUF,
            std::int32_t NPW, std::int32_t& ISTAT);

}  // namespace lumsk
