#pragma once
// The rules by which MINC turns its arguments into the settings of a call:
// iteration limit, rotation of the working frame, search radius and half
// window, and the names of the files it is given. Pure calculations, so that
// each rule can be shown on its own.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "lumsk/minc.hpp"

namespace lumsk {

// The iteration limit of every block solve: ISTAT on entry when at least 32,
// else 512.
std::int32_t iterationLimitFor(std::int32_t ISTAT);

// ANGLE folded into -45..45 degrees: frames that differ by a multiple of 90
// degrees are the same working frame.
float foldAngle(float ANGLE);
// A folded angle below 2 degrees in size leaves the frame unrotated.
bool isRotatedAngle(float foldedAngle);

// The search radius in x cells. The wide-outline build makes no mask (0) when
// the radius exceeds half the grid's width or height; the narrow build always
// converts.
float searchRadiusInCells(LibraryBuild build, float RADIUS, std::int32_t NCOL, std::int32_t NROW, float DX,
                          float DY);

// The half window: the search radius in whole cells, reduced when the mask
// routines' window of 2h + 3 rows of 2h + working columns would not fit the
// work area.
struct HalfWindow {
    std::int32_t cells = 0;
    bool reduced = false;
};
HalfWindow halfWindowFor(float radiusCells, float unitCell, std::int32_t workingColumns);

// Words of the work area the mask routines need for a mask of MC x MR cells
// and half window h: the isolated-cell removal and reach marking keep two rows
// and a ring of 2h + 1 rows, MC (2h + 3) words; the outline clipping a row,
// the row and column spans and the longest clip outline. Never less than the
// library's work array. The reduced half window is found in float32 and can
// come out one too large for the work array, so the ring is counted here.
std::int64_t maskWorkWords(std::int32_t maskColumns, std::int32_t maskRows, std::int32_t halfWindow);

// The working grid of a rotated call: the turned extent of the data (in
// cells) plus one cell on every side.
struct WorkingFrame {
    float xOriginCells = 0.0f;
    float yOriginCells = 0.0f;
    std::int32_t columns = 0;
    std::int32_t rows = 0;
};
// nullopt when the extent is empty (no usable point).
std::optional<WorkingFrame> rotatedWorkingFrame(float xmin, float xmax, float ymin, float ymax);

// Whether the real arguments of a call are all finite: null value, angle,
// origin, cell sizes and search radius. A NaN or infinity among them would
// give no error of its own and leave NaN nodes or an empty grid behind.
bool realArgumentsFinite(float DNULL, float ANGLE, float X0, float Y0, float DX, float DY, float RADIUS);

// The grid name MINC builds from OUTGRD, held with a NUL after it: the grid
// writers apply the same name rule, and the NUL makes the name pass through
// it unchanged (a one-character name stays itself, trailing blanks before the
// NUL stay). nullopt when the rule yields the empty name (OUTGRD starts with a
// NUL and is longer than one character), which no file can have.
std::optional<std::string> heldGridName(std::string_view OUTGRD);

// The point data file's name: the part of DATFIL before its first NUL when
// that NUL is the second character or later; otherwise, unless a NUL is
// required, DATFIL without trailing blanks when that is at least 2
// characters. nullopt when DATFIL names no file.
std::optional<std::string> pointDataFileName(std::string_view DATFIL, bool nulRequired);

}  // namespace lumsk
