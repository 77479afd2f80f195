#pragma once
// The model grids: one grid of susceptibility, or three of conductivity,
// resistivity and log resistivity, each made by one MINC call on the point
// data file.
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "common/console.hpp"
#include "lumsk/minc.hpp"
#include "tarnby/model.hpp"
#include "tarnby/profile_walk.hpp"

namespace tarnby {

// The arguments of one MINC call, as tarnby passes them; ZMIN, ZMAX and
// ISTAT come back filled.
struct MincArguments {
    std::string OUTGRD;  // grid file name, blank-padded to 80
    float X0 = 0.0f;
    float Y0 = 0.0f;
    float DX = 0.0f;
    float DY = 0.0f;
    std::int32_t NCOL = 0;
    std::int32_t NROW = 0;
    float RADIUS = 0.0f;
    std::string DATFIL;  // "tmpdat.tmp", a NUL, blanks up to 80
    std::int32_t ZCHAN = 1;
    float DNULL = 0.0f;
    std::int32_t MAXCHN = 0;
    std::int32_t ITRANS = 1;
    std::int32_t KXFLAG = 1;
    float ZMIN = 0.0f;
    float ZMAX = 0.0f;
    float ANGLE = 0.0f;
    std::int32_t ISTAT = 0;
};

// How a grid is made: the gridding library in a run, a recorder in tests.
using MincCall = std::function<void(MincArguments&)>;

// Calls the library's MINC through `gridder`, which must outlive the result.
MincCall libraryMinc(lumsk::Gridder& gridder);

// Makes the grids one after the other, whatever the status of the one
// before; a grid that fails is named with its status on standard error. A
// grid whose name leads to one of `keptFiles` (the run's inputs and its xyz
// data file) is not made, so that it never replaces them. Returns true when
// every grid was made.
bool makeModelGrids(const ModelData& model, std::string_view modelName, const WalkExtents& extents,
                    common::Console& console, const MincCall& minc, std::span<const std::string> keptFiles = {});

}  // namespace tarnby
