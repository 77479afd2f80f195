#include "vosklar/model_grids.hpp"

#include <cmath>

#include "common/diagnostic.hpp"
#include "vosklar/raster_pass.hpp"
#include "vosklar/station_statistics.hpp"

namespace vosklar {

namespace {

using lumsk::ValueTransform;
// The grids of a pass are stored top row first.
using lumsk::kRowsLastToFirst;
constexpr std::size_t kNameFieldLength = 256;

void reportFailedGrid(const std::string& name, const char* reason) {
    common::writeDiagnostic("vosklar", "grid " + name + " was not made: " + reason);
}

// Counts the grids of one pass that could not be made, and flips the good
// ones when the pass runs along the northing.
class PassGridLog {
public:
    PassGridLog(GridCalls& grids, bool flip) : grids_(grids), flip_(flip) {}

    void written(const std::string& name, bool good, const char* reason) {
        if (!good) {
            reportFailedGrid(name, reason);
            ++failures_;
        }
        if (!flip_) return;
        const std::string flipped = flippedGridName(name);
        // A grid that was not made has nothing to flip; that failure is named already.
        if (!grids_.GEOFLIP(name, flipped) && good) {
            reportFailedGrid(flipped, "the grid could not be turned");
            ++failures_;
        }
    }
    std::int32_t failures() const { return failures_; }

private:
    GridCalls& grids_;
    bool flip_;
    std::int32_t failures_ = 0;
};

}  // namespace

std::string gridBaseName(std::string_view listFileName) {
    const std::size_t dot = listFileName.find('.');
    return dot == std::string_view::npos ? std::string{} : std::string(listFileName.substr(0, dot));
}

std::string gridName(std::string_view baseName, PassKind pass, std::string_view quantity) {
    const char* letter = pass == PassKind::easting ? "E" : pass == PassKind::northing ? "N" : "";
    return std::string(baseName) + "_" + letter + std::string(quantity) + ".grd";
}

std::string flippedGridName(std::string_view gridName) {
    std::string_view stem = gridName;
    if (stem.ends_with(".grd")) stem.remove_suffix(4);
    return std::string(stem) + "_rot.grd";
}

std::string pointDataArgument() {
    std::string argument(kPointDataFileName);
    argument.push_back('\0');
    argument.resize(kNameFieldLength, ' ');
    return argument;
}

void invertRaster(ModelRaster& raster) {
    for (float& node : raster.nodes()) {
        if (!isNull(node)) node = griddable(1.0f / node);
    }
}

void invertToLogRaster(ModelRaster& raster) {
    for (float& node : raster.nodes()) {
        if (!isNull(node)) node = griddable(std::log10(1.0f / node));
    }
}

std::int32_t writePassGrids(const PassGridRequest& request, ModelRaster& raster, GridCalls& grids,
                            common::Console& console) {
    const ModelGridGeometry& geometry = request.geometry;
    const float cell = geometry.cell;
    PassGridLog log(grids, request.pass == PassKind::northing);
    float zmin = 0.0f;
    float zmax = 0.0f;

    const auto writeRaster = [&](const char* message, const char* quantity) {
        console.listLine(message);
        const std::string name = gridName(request.baseName, request.pass, quantity);
        const bool good =
            grids.GEOOUT(name, raster.workRow(), geometry.NCOL, geometry.NROW, raster.nodes(), geometry.X0, geometry.Y0,
                         cell, cell, lumsk::transformCode(ValueTransform::asIs), kRowsLastToFirst, kNullValue, zmin,
                         zmax);
        log.written(name, good, "the grid file could not be written");
    };
    writeRaster(" Gridding NN resistivity", "res_NN");
    invertRaster(raster);
    writeRaster(" Gridding NN conductivity data", "con_NN");
    invertToLogRaster(raster);
    writeRaster(" Gridding NN log resistivity", "logres_NN");

    // One request for the three calls: the status is not reset between them,
    // so a failed call's negative status reaches the next call as its
    // iteration limit, where anything below 32 means the default.
    lumsk::MincRequest call;
    call.X0 = geometry.X0;
    call.Y0 = geometry.Y0;
    call.DX = cell;
    call.DY = cell;
    call.NCOL = geometry.NCOL;
    call.NROW = geometry.NROW;
    call.RADIUS = request.searchRadius;
    call.DATFIL = pointDataArgument();
    call.DNULL = kNullValue;
    call.MAXCHN = kPointChannels;
    call.KXFLAG = kRowsLastToFirst;
    const auto gridPoints = [&](const char* message, const char* quantity, std::int32_t channel,
                                ValueTransform transform) {
        console.listLine(message);
        const std::string name = gridName(request.baseName, request.pass, quantity);
        call.OUTGRD = name;
        call.ZCHAN = channel;
        call.ITRANS = transform;
        grids.MINC(call);
        const std::string reason = "gridding status " + std::to_string(call.ISTAT);
        log.written(name, call.ISTAT >= 0, reason.c_str());
    };
    gridPoints(" Gridding conductivity data", "con", 1, ValueTransform::naturalLog);
    gridPoints(" Gridding resistivity", "res", 2, ValueTransform::naturalLog);
    gridPoints(" Gridding log resistivity", "logres", 3, ValueTransform::asIs);
    return log.failures();
}

}  // namespace vosklar
