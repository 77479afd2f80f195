#pragma once
// MINC: grids the points of one channel of a point data file onto a regular
// grid by minimum curvature and writes a grid file.
#include <cstdint>
#include <string_view>

#include "lumsk/status.hpp"

namespace lumsk {

// The library is built into two programs that differ in two rules: the
// search-radius rule of MINC and the outline clipping of the mask.
enum class LibraryBuild {
    narrowOutline,  // tarnby: radius always in cells; a data cell widens only its own row and column
    wideOutline,    // vosklar: no mask when the radius exceeds half the grid; neighbours widened too
};

// A gridder lives as long as the program: every MINC call starts afresh, but
// the solver's count of rising sweeps carries over from call to call.
class Gridder {
public:
    explicit Gridder(LibraryBuild build) : build_(build) {}

    LibraryBuild build() const { return build_; }
    std::int32_t& risingSweepCount() { return risingSweepCount_; }

    // Arguments as the callers pass them. OUTGRD and DATFIL may be NUL-
    // terminated or blank-padded. ISTAT is the iteration limit on entry
    // (below 32 selects 512) and the gridding status on return. ZMIN and ZMAX
    // are set only by a good run.
    void MINC(std::string_view OUTGRD, float X0, float Y0, float DX, float DY, std::int32_t NCOL,
              std::int32_t NROW, float RADIUS, std::string_view DATFIL, std::int32_t ZCHAN,
              float DNULL, std::int32_t MAXCHN, std::int32_t ITRANS, std::int32_t KXFLAG,
              float& ZMIN, float& ZMAX, float ANGLE, std::int32_t& ISTAT);

private:
    LibraryBuild build_;
    std::int32_t risingSweepCount_ = 0;
};

}  // namespace lumsk
