#include "vosklar/station_reading.hpp"

#include <cstdio>

#include "common/platform.hpp"
#include "common/run_stop.hpp"
#include "vosklar/list_line.hpp"
#include "vosklar/station_result.hpp"

namespace vosklar {

void readStations(common::LineReader& list, const RunSettings& settings, ModelLayerFile& layers,
                  StationStatistics& statistics, common::Console& console) {
    ListLineReader lineReader(settings.method, list.name());
    StationResultReader resultReader(settings.method, settings.maximumDepth, layers, statistics,
                                     [&console](const std::string& token, std::int32_t count) {
                                         console.listLine("Station " + token + " Number of layers: ", count);
                                     });
    std::string_view line;
    while (list.next(line)) {
        const StationEntry station = lineReader.read(line, list.lineNumber());
        statistics.countListLine(station.station);

        const std::string path = resultFileName(settings.method, station.token);
        if (!common::fileExists(path)) continue;
        common::LineReader result(path);
        if (!result.isOpen()) {
            std::fprintf(stderr, "vosklar: %s cannot be read; station %s is skipped\n", path.c_str(),
                         station.token.c_str());
            continue;
        }
        const ResultOutcome outcome = resultReader.read(result, station);
        if (outcome != ResultOutcome::complete) {
            std::fprintf(stderr, "vosklar: %s: %s; the layers of station %s read so far are kept\n", path.c_str(),
                         describe(outcome), station.token.c_str());
        }
    }
    if (list.failed()) throw common::RunStop("cannot read " + list.name());
}

}  // namespace vosklar
