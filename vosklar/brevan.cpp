#include "vosklar/brevan.hpp"

#include <optional>
#include <string>
#include <vector>

#include "common/line_reader.hpp"
#include "common/run_stop.hpp"
#include "common/text_writer.hpp"
#include "vosklar/library_grid_calls.hpp"
#include "vosklar/model_grids.hpp"
#include "vosklar/model_layer_file.hpp"
#include "vosklar/output_guard.hpp"
#include "vosklar/profile_test.hpp"
#include "vosklar/raster_pass.hpp"
#include "vosklar/run_settings.hpp"
#include "vosklar/station_reading.hpp"
#include "vosklar/temporary_files.hpp"

namespace vosklar {

namespace {

constexpr char kXyzHeader[] = "Station,East,North,RL,Con,Res,LogRes";
constexpr std::int32_t kFewestRecordsToGrid = 2;

// What every pass shares: the model, the cell size and the elevation range
// that the first pass narrows and a profile pass takes over.
struct PassContext {
    const RunSettings& settings;
    ModelLayerFile& layers;
    std::int32_t recordCount;
    CellChoice cells;
    ElevationRange elevations;
    UngriddableValueWarning warning;
    GridCalls& grids;
    common::Console& console;
};

struct PassPlan {
    PassKind kind = PassKind::first;
    GridAxis axis = GridAxis::station;
    float xLow = 0.0f;
    float xHigh = 0.0f;
};

common::TextWriter openXyzFile(const std::string& name) {
    common::TextWriter xyz(name);
    if (!xyz.isOpen()) throw common::RunStop("cannot create the xyz data file " + name);
    xyz.line(kXyzHeader);
    return xyz;
}

// One raster pass and the grids made from it; the first pass also writes the
// xyz data file and the station table. Returns the number of grids that
// could not be made.
std::int32_t runPass(PassContext& context, const PassPlan& plan, std::vector<StationTableEntry>* stations) {
    const ElevationRange gathered = context.elevations;
    const ModelGridGeometry geometry =
        placeModelGrid(plan.xLow, plan.xHigh, context.cells.cell, context.settings.maximumDepth, context.elevations);
    if (!geometry.isUsable()) {
        const char* positions = plan.axis == GridAxis::easting    ? "eastings"
                                : plan.axis == GridAxis::northing ? "northings"
                                                                  : "stations";
        throw common::RunStop("the model grid cannot be made: " +
                              describeUnusableGrid(positions, plan.xLow, plan.xHigh, context.cells.cell,
                                                   context.settings.maximumDepth, gathered));
    }
    common::FloatRecordFile pointData(kPointDataFileName);
    std::optional<common::TextWriter> xyz;
    if (plan.kind == PassKind::first) xyz.emplace(openXyzFile(context.settings.outputName));
    ModelRaster raster(geometry);
    RasterPass pass(geometry, plan.axis, raster, {pointData, xyz ? &*xyz : nullptr, stations, context.warning});
    runRasterPass(context.layers, context.recordCount, pass);
    if (xyz && !xyz->close()) throw common::RunStop("cannot write the xyz data file " + xyz->path());
    // MINC opens the point data file by name: it has to be complete and closed.
    pointData.close();

    const PassGridRequest request{plan.kind, gridBaseName(context.settings.listFileName), geometry,
                                  context.cells.searchRadius};
    return writePassGrids(request, raster, context.grids, context.console);
}

std::int32_t runProfilePass(PassContext& context, const std::vector<StationTableEntry>& stations) {
    const std::optional<ProfileChoice> profile = chooseProfilePass(stations);
    if (!profile) return 0;
    const bool easting = profile->axis == GridAxis::easting;
    context.console.listLine(easting ? " processing profile grids using the easting"
                                     : " processing profile grids using the northing");
    const PassPlan plan{easting ? PassKind::easting : PassKind::northing, profile->axis, profile->xLow, profile->xHigh};
    return runPass(context, plan, nullptr);
}

}  // namespace

int brevan(common::Console& console, GridCalls& grids) {
    const RunSettings settings = readRunSettings(console);
    console.listLine(" Processing data file");
    // Checked before the temporary files exist, whose end-of-run deletion
    // would otherwise take a list file that has one of their names.
    requireOutputsApartFromList(settings);

    TemporaryFiles temporaryFiles;
    common::LineReader list(settings.listFileName);
    if (!list.isOpen()) throw common::RunStop("cannot open the list file " + settings.listFileName);
    ModelLayerFile layers;
    StationStatistics statistics;
    const std::int32_t unreadableResults = readStations(list, settings, layers, statistics, console);

    if (statistics.recordCount < kFewestRecordsToGrid) {
        console.listLine(" Not enough data to allow gridding");
        layers.close();
        temporaryFiles.removeAll();
        throw common::RunStop("fewer than two model layers were read: nothing to grid");
    }

    const ElevationRange elevations{statistics.lowestElevation, statistics.highestElevation};
    PassContext context{settings, layers, statistics.recordCount, chooseCellSize(statistics), elevations, {}, grids,
                        console};
    std::vector<StationTableEntry> stations;
    stations.reserve(static_cast<std::size_t>(statistics.listLineCount));
    std::int32_t failedGrids = runPass(
        context, {PassKind::first, GridAxis::station, statistics.lowestStation, statistics.highestStation}, &stations);
    failedGrids += runProfilePass(context, stations);

    layers.close();
    temporaryFiles.removeAll();
    return failedGrids > 0 || unreadableResults > 0 ? 1 : 0;
}

int brevan(int argc, char** argv) {
    common::Console console(argc, argv);
    LibraryGridCalls grids;
    return brevan(console, grids);
}

}  // namespace vosklar
