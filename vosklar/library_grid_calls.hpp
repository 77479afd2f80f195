#pragma once
// The grid calls served by the gridding library in its vosklar build (wide
// outline rule, no mask when the search radius exceeds half the grid).
#include "lumsk/minc.hpp"
#include "vosklar/grid_calls.hpp"

namespace vosklar {

class LibraryGridCalls final : public GridCalls {
public:
    bool GEOOUT(const std::string& OUTGRD, std::vector<float>& ROWBUF, std::int32_t NX, std::int32_t NY,
                const std::vector<float>& ZGRID, float X0, float Y0, float DX, float DY, std::int32_t ITRANS,
                std::int32_t KXFLAG, float DNULL, float& ZMIN, float& ZMAX) override;

    void MINC(lumsk::MincRequest& request) override { gridder_.MINC(request); }

    bool GEOFLIP(const std::string& INGRD, const std::string& OUTGRD) override;

private:
    // One gridder for the whole run: the solver's sweep count carries over
    // from grid to grid.
    lumsk::Gridder gridder_{lumsk::LibraryBuild::wideOutline};
};

}  // namespace vosklar
