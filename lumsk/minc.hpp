#pragma once
// MINC: grids the points of one channel of a point data file onto a regular
// grid by minimum curvature and writes a grid file.
#include <cstdint>
#include <string>
#include <string_view>

#include "lumsk/grid_file.hpp"
#include "lumsk/status.hpp"

namespace lumsk {

// One MINC call, its arguments under the routine's own names. The caller
// fills the arguments; ISTAT goes in and comes back; ZMIN and ZMAX come back.
// A request can be used again for the next grid: what the last call left in
// ISTAT, ZMIN and ZMAX is what the next one starts from.
struct MincRequest {
    // The grid file; the name ends at a NUL that is its second character or
    // later, else at trailing blanks ("outfile.grd" when that is too short).
    std::string OUTGRD;
    float X0 = 0.0f;  // x of the first grid column, world units
    float Y0 = 0.0f;  // y of the first grid row
    float DX = 0.0f;  // cell size
    float DY = 0.0f;
    std::int32_t NCOL = 0;  // grid columns
    std::int32_t NROW = 0;  // grid rows
    float RADIUS = 0.0f;    // search radius, world units: the reach of the data beyond which nodes are blanked
    // The point data file, NUL-terminated or blank-padded like OUTGRD.
    std::string DATFIL;
    std::int32_t ZCHAN = 1;     // the channel gridded, counted from 1
    float DNULL = kNullValue;   // points whose channel equals it are skipped
    std::int32_t MAXCHN = 1;    // channels in each point data record
    ValueTransform ITRANS = ValueTransform::asIs;
    std::int32_t KXFLAG = kRowsFirstToLast;
    float ANGLE = 0.0f;  // rotation of the working frame, degrees
    // On entry the iteration limit of every solve (below 32 selects 512); on
    // return the gridding status.
    std::int32_t ISTAT = 0;
    // The smallest and largest value written (for a turned frame, those of
    // the solved grid before resampling); set only by a good run.
    float ZMIN = 0.0f;
    float ZMAX = 0.0f;
};

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

    // Grids one channel as the request says and fills in its results.
    void MINC(MincRequest& request);

    // The routine with its own argument list, meaning what the fields of
    // MincRequest mean; it makes a request and passes the results back.
    void MINC(std::string_view OUTGRD, float X0, float Y0, float DX, float DY, std::int32_t NCOL,
              std::int32_t NROW, float RADIUS, std::string_view DATFIL, std::int32_t ZCHAN,
              float DNULL, std::int32_t MAXCHN, std::int32_t ITRANS, std::int32_t KXFLAG,
              float& ZMIN, float& ZMAX, float ANGLE, std::int32_t& ISTAT);

private:
    LibraryBuild build_;
    std::int32_t risingSweepCount_ = 0;
};

}  // namespace lumsk
