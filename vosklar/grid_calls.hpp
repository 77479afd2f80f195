#pragma once
// The three routines of the gridding library that vosklar calls, behind one
// interface, so that the stages can be exercised with a recorder in place of
// the library. The arguments are those of the library's routines.
#include <cstdint>
#include <string>
#include <vector>

namespace vosklar {

class GridCalls {
public:
    virtual ~GridCalls() = default;

    // GEOOUT with the rows taken from the array ZGRID (column index fastest).
    // True when the grid file was written.
    virtual bool GEOOUT(const std::string& OUTGRD, std::vector<float>& ROWBUF, std::int32_t NX, std::int32_t NY,
                        const std::vector<float>& ZGRID, float X0, float Y0, float DX, float DY, std::int32_t ITRANS,
                        std::int32_t KXFLAG, float DNULL, float& ZMIN, float& ZMAX) = 0;

    virtual void MINC(const std::string& OUTGRD, float X0, float Y0, float DX, float DY, std::int32_t NCOL,
                      std::int32_t NROW, float RADIUS, const std::string& DATFIL, std::int32_t ZCHAN, float DNULL,
                      std::int32_t MAXCHN, std::int32_t ITRANS, std::int32_t KXFLAG, float& ZMIN, float& ZMAX,
                      float ANGLE, std::int32_t& ISTAT) = 0;

    // True when the turned grid was written (false, with nothing written,
    // when INGRD does not exist).
    virtual bool GEOFLIP(const std::string& INGRD, const std::string& OUTGRD) = 0;
};

}  // namespace vosklar
