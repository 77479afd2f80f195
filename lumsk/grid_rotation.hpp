#pragma once
// Grid rotation: a grid solved in a turned frame is resampled, by bilinear
// interpolation between its nodes, onto the wanted axis-aligned grid.
#include <cstdint>
#include <span>
#include <string_view>

#include "lumsk/grid_file.hpp"

namespace lumsk {

// The nodes of a grid: cell sizes, the position of node (1, 1), nodes per
// row and rows.
struct GridLayout {
    float DX = 0.0f;
    float DY = 0.0f;
    float X0 = 0.0f;
    float Y0 = 0.0f;
    std::int32_t NX = 0;
    std::int32_t NY = 0;
};

// How a target node at (x, y) is carried into the source frame: turned by
// ANGLE degrees about (XC, YC), divided by the scales XSCL, YSCL and moved by
// XSHIFT, YSHIFT. The defaults neither scale nor move.
struct FrameTurn {
    float ANGLE = 0.0f;
    float XC = 0.0f;
    float YC = 0.0f;
    float XSHIFT = 0.0f;
    float YSHIFT = 0.0f;
    float XSCL = 1.0f;
    float YSCL = 1.0f;
};

// The arguments of GEOROT by name: the source grid file INGRD with its nodes
// in the turned frame, the target OUTGRD with its nodes in world units.
struct GridResampling {
    std::string_view INGRD;
    GridLayout source;
    std::string_view OUTGRD;
    GridLayout target;
    FrameTurn turn;
    std::span<float> ROWBUF;
    std::int32_t KXFLAG = kRowsFirstToLast;
    float DNULL = kNullValue;
    float ZMIN = 0.0f;
    float ZMAX = 0.0f;
};

// GEOROT resamples the source grid file INGRD (cells DXS, DYS, origin X0S,
// Y0S, NXS by NYS nodes, all in the turned frame) onto the target grid OUTGRD
// (cells DXO, DYO, origin X0O, Y0O, NXO by NYO nodes, world units). A target
// node at (x, y) is turned by ANGLE degrees about (XC, YC), divided by the
// scales XSCL, YSCL and moved by XSHIFT, YSHIFT. Nodes outside the source are
// null. ZMIN and ZMAX go into the target header as passed; DNULL is not used.
// ROWBUF (at least NXO values) holds the last target row on return.
//
// Returns true when the target was written; when the source cannot be opened
// or read, or the target cannot be created or written, no target is left
// behind and the result is false. A target that is the source file itself
// (any spelling, links included) is refused before anything is written.
bool GEOROT(std::string_view INGRD, std::string_view OUTGRD, float DXS, float DYS, float X0S, float Y0S,
            std::int32_t NXS, std::int32_t NYS, float DXO, float DYO, float X0O, float Y0O, std::int32_t NXO,
            std::int32_t NYO, std::span<float> ROWBUF, float ANGLE, float XC, float YC, float XSHIFT,
            float YSHIFT, float XSCL, float YSCL, std::int32_t KXFLAG, float DNULL, float ZMIN, float ZMAX);
// GEOROT with its arguments named.
bool GEOROT(const GridResampling& call);

// ROTGRD is the same resampling for a source and a target that share the cell
// size DX, DY, with the source origin X0S, Y0S given in cells and no offsets
// or scales.
bool ROTGRD(std::string_view INGRD, std::string_view OUTGRD, float X0S, float Y0S, std::int32_t NXS,
            std::int32_t NYS, float DX, float DY, float X0O, float Y0O, std::int32_t NXO, std::int32_t NYO,
            std::span<float> ROWBUF, float ANGLE, float XC, float YC, std::int32_t KXFLAG, float DNULL, float ZMIN,
            float ZMAX);

}  // namespace lumsk
