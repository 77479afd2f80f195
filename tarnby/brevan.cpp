#include "tarnby/brevan.hpp"

#include <string>
#include <vector>


#include "common/console.hpp"
#include "common/line_reader.hpp"
#include "common/output_guard.hpp"
#include "common/run_stop.hpp"
#include "common/text_writer.hpp"
#include "tarnby/model_header.hpp"
#include "tarnby/model_records.hpp"
#include "tarnby/profile_walk.hpp"
#include "tarnby/start_up.hpp"
#include "tarnby/xyz_rows.hpp"

namespace tarnby {

namespace {

// The xyz data file and the point data file are written over whatever has
// their names, so neither may be the model or the topography file. Both are
// checked before anything is opened: a clash stops the run with the inputs
// untouched and nothing created.
void requireOutputsApartFromInputs(const RunNames& names) {
    std::vector<std::string> inputs{names.model};
    if (names.hasTopography()) inputs.push_back(names.topo);
    common::requireDistinctOutput(names.output, inputs, common::OutputKind::named);
    common::requireDistinctOutput(kPointDataFileName, inputs, common::OutputKind::temporary);
}

}  // namespace

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
    requireOutputsApartFromInputs(names);

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
    std::vector<std::string> keptFiles{names.model, names.output};
    if (names.hasTopography()) keptFiles.push_back(names.topo);
    const bool allGridsMade = makeModelGrids(model, names.model, extents, console, minc, keptFiles);
    if (!xyz.close()) throw common::RunStop("cannot write xyz data file '" + names.output + "'");
    return allGridsMade ? 0 : 1;
}

}  // namespace tarnby
