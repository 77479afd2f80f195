#include "vosklar/library_grid_calls.hpp"

#include "lumsk/lumsk.hpp"

namespace vosklar {

bool LibraryGridCalls::GEOOUT(const std::string& OUTGRD, std::vector<float>& ROWBUF, std::int32_t NX, std::int32_t NY,
                              const std::vector<float>& ZGRID, float X0, float Y0, float DX, float DY,
                              std::int32_t ITRANS, std::int32_t KXFLAG, float DNULL, float& ZMIN, float& ZMAX) {
    constexpr std::int32_t kRowsFromArray = 0;
    return lumsk::GEOOUT(kRowsFromArray, OUTGRD, ROWBUF, NX, NY, ZGRID, X0, Y0, DX, DY, ITRANS, KXFLAG, DNULL, ZMIN,
                         ZMAX);
}

void LibraryGridCalls::MINC(const std::string& OUTGRD, float X0, float Y0, float DX, float DY, std::int32_t NCOL,
                            std::int32_t NROW, float RADIUS, const std::string& DATFIL, std::int32_t ZCHAN, float DNULL,
                            std::int32_t MAXCHN, std::int32_t ITRANS, std::int32_t KXFLAG, float& ZMIN, float& ZMAX,
                            float ANGLE, std::int32_t& ISTAT) {
    gridder_.MINC(OUTGRD, X0, Y0, DX, DY, NCOL, NROW, RADIUS, DATFIL, ZCHAN, DNULL, MAXCHN, ITRANS, KXFLAG, ZMIN, ZMAX,
                  ANGLE, ISTAT);
}

bool LibraryGridCalls::GEOFLIP(const std::string& INGRD, const std::string& OUTGRD) {
    return lumsk::GEOFLIP(INGRD, OUTGRD);
}

}  // namespace vosklar
