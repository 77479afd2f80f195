#include "tarnby/brevan.hpp"

#include "common/console.hpp"
#include "common/line_reader.hpp"
#include "common/run_stop.hpp"
#include "common/text_writer.hpp"
#include "tarnby/model_header.hpp"
#include "tarnby/model_records.hpp"
#include "tarnby/profile_walk.hpp"
#include "tarnby/start_up.hpp"
#include "tarnby/xyz_rows.hpp"

namespace tarnby {

int brevan(int argc, char** argv) {
    // The gridder lives for the whole run: one of its counters carries over
    // from grid to grid.
    lumsk::Gridder gridder(lumsk::LibraryBuild::narrowOutline);
    return brevan(argc, argv, libraryMinc(gridder));
}

int brevan(int argc, char** argv, const MincCall& minc) {
    common::Console console(argc, argv);
    writeBanner(console);
    const RunNames names = obtainRunNames(console);

    ModelData model;
    model.kind = modelKindFromName(names.model);
    model.hasTopography = names.hasTopography();
    console.listLine(" Processing data file");

    common::TextWriter xyz;
    {
        common::LineReader modelFile(names.model);
        if (!modelFile.isOpen()) throw common::RunStop("cannot open model file '" + names.model + "'");
        xyz = common::TextWriter(names.output);
        if (!xyz.isOpen()) {
            throw common::RunStop("cannot create xyz data file '" + names.output + "'");
        }
        ModelHeader header = readModelHeader(modelFile, console);
        model.layers = std::move(header.layers);
        model.NSOUND = header.NSOUND;
        xyz.line(xyzHeaderLine(model.kind, model.hasTopography));
        if (model.hasTopography) model.TOPO = readTopography(names.topo, model.NSOUND, console);
        readSoundings(modelFile, model, console);
    }

    const WalkExtents extents = runProfileStage(model, xyz, console);
    const bool allGridsMade = makeModelGrids(model, names.model, extents, console, minc);
    if (!xyz.close()) throw common::RunStop("cannot write xyz data file '" + names.output + "'");
    return allGridsMade ? 0 : 1;
}

}  // namespace tarnby
