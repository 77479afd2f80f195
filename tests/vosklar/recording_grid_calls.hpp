#pragma once
// A stand-in for the gridding library that records every call, so that tests
// see what vosklar hands to the library.
#include <cstdint>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "vosklar/grid_calls.hpp"

namespace vosklar_tests {

struct GridCall {
    std::string routine;  // "GEOOUT", "MINC" or "GEOFLIP"
    std::string OUTGRD;
    std::string INGRD;                   // GEOFLIP
    std::vector<std::int32_t> integers;  // NX, NY, ITRANS, KXFLAG (+ ZCHAN, MAXCHN, ISTAT on entry for MINC)
    std::vector<float> reals;            // X0, Y0, DX, DY, DNULL (+ RADIUS, ANGLE for MINC)
    std::vector<float> ZGRID;            // GEOOUT
    std::string DATFIL;                  // MINC
};

class RecordingGridCalls final : public vosklar::GridCalls {
public:
    // The status MINC leaves for a grid name.
    std::function<std::int32_t(const std::string&)> mincStatus = [](const std::string&) { return 0; };
    std::vector<GridCall> calls;

    bool GEOOUT(const std::string& OUTGRD, std::vector<float>& ROWBUF, std::int32_t NX, std::int32_t NY,
                const std::vector<float>& ZGRID, float X0, float Y0, float DX, float DY, std::int32_t ITRANS,
                std::int32_t KXFLAG, float DNULL, float&, float&) override {
        if (ROWBUF.size() < static_cast<std::size_t>(NX)) throw std::logic_error("row buffer too short");
        calls.push_back({"GEOOUT", OUTGRD, {}, {NX, NY, ITRANS, KXFLAG}, {X0, Y0, DX, DY, DNULL}, ZGRID, {}});
        made_.insert(OUTGRD);
        return true;
    }

    void MINC(lumsk::MincRequest& r) override {
        calls.push_back({"MINC",
                         r.OUTGRD,
                         {},
                         {r.NCOL, r.NROW, lumsk::transformCode(r.ITRANS), r.KXFLAG, r.ZCHAN, r.MAXCHN, r.ISTAT},
                         {r.X0, r.Y0, r.DX, r.DY, r.DNULL, r.RADIUS, r.ANGLE},
                         {},
                         r.DATFIL});
        r.ISTAT = mincStatus(r.OUTGRD);
        if (r.ISTAT >= 0) made_.insert(r.OUTGRD);
    }

    bool GEOFLIP(const std::string& INGRD, const std::string& OUTGRD) override {
        calls.push_back({"GEOFLIP", OUTGRD, INGRD, {}, {}, {}, {}});
        return made_.count(INGRD) > 0;
    }

private:
    std::set<std::string> made_;
};

}  // namespace vosklar_tests
