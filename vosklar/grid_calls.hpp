#pragma once
// The three routines of the gridding library that vosklar calls, behind one
// interface, so that the stages can be exercised with a recorder in place of
// the library. The arguments are those of the library's routines.
#include <cstdint>
#include <string>
#include <vector>

#include "lumsk/minc.hpp"

namespace vosklar {

class GridCalls {
public:
    virtual ~GridCalls() = default;

    // GEOOUT with the rows taken from the array ZGRID (column index fastest).
    // True when the grid file was written.
    virtual bool GEOOUT(const std::string& OUTGRD, std::vector<float>& ROWBUF, std::int32_t NX, std::int32_t NY,
                        const std::vector<float>& ZGRID, float X0, float Y0, float DX, float DY, std::int32_t ITRANS,
                        std::int32_t KXFLAG, float DNULL, float& ZMIN, float& ZMAX) = 0;

    virtual void MINC(lumsk::MincRequest& request) = 0;

    // True when the turned grid was written (false, with nothing written,
    // when INGRD does not exist).
    virtual bool GEOFLIP(const std::string& INGRD, const std::string& OUTGRD) = 0;
};

}  // namespace vosklar
