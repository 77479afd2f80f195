#include "vosklar/output_guard.hpp"

#include "common/output_guard.hpp"
#include "vosklar/model_layer_file.hpp"
#include "vosklar/raster_pass.hpp"

namespace vosklar {

namespace {

void requireOutputsApartFrom(const RunSettings& settings, const std::string& input) {
    common::requireDistinctOutput(settings.outputName, {input}, common::OutputKind::named);
    common::requireDistinctOutput(kModelLayerFileName, {input}, common::OutputKind::temporary);
    common::requireDistinctOutput(kPointDataFileName, {input}, common::OutputKind::temporary);
}

}  // namespace

void requireOutputsApartFromList(const RunSettings& settings) {
    requireOutputsApartFrom(settings, settings.listFileName);
}

void requireOutputsApartFromResult(const RunSettings& settings, const std::string& resultPath) {
    requireOutputsApartFrom(settings, resultPath);
}

}  // namespace vosklar
