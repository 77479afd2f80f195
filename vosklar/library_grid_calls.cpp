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

bool LibraryGridCalls::GEOFLIP(const std::string& INGRD, const std::string& OUTGRD) {
    return lumsk::GEOFLIP(INGRD, OUTGRD);
}

}  // namespace vosklar
