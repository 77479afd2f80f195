#pragma once
// The list loop: every line of the station list file, and the result file of
// each station that has one.
#include <cstdint>

#include "common/console.hpp"
#include "common/line_reader.hpp"
#include "vosklar/model_layer_file.hpp"
#include "vosklar/run_settings.hpp"
#include "vosklar/station_statistics.hpp"

namespace vosklar {

// Reads the list to its end, writes the usable layers to `layers` and
// gathers the statistics. Stations whose result file is missing are skipped
// without a message; a result file that ends before its model is complete is
// named on standard error, its layers read so far kept. A result file that is
// there but cannot be read is named on standard error and counted: the count
// is returned, and the run ends with exit status 1 when it is not 0. Stops
// the run before a result file is read that is one of the run's outputs.
std::int32_t readStations(common::LineReader& list, const RunSettings& settings, ModelLayerFile& layers,
                  StationStatistics& statistics, common::Console& console);

}  // namespace vosklar
