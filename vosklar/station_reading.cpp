#include "vosklar/station_reading.hpp"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "common/diagnostic.hpp"
#include "common/platform.hpp"
#include "common/run_stop.hpp"
#include "vosklar/list_line.hpp"
#include "vosklar/output_guard.hpp"
#include "vosklar/raster_pass.hpp"
#include "vosklar/station_result.hpp"

namespace vosklar {

namespace {

// The run's outputs, identified once when the list loop starts: none of them
// is made or replaced while the list is read, so a result file can only be
// one of them when it has one of these identities. Only then is the full
// check run, which names the clash; the other stations cost no look-up of
// the outputs.
class OutputIdentities {
public:
    explicit OutputIdentities(const RunSettings& settings) {
        for (const std::string& name : {settings.outputName, std::string(kModelLayerFileName),
                                        std::string(kPointDataFileName)}) {
            if (const auto identity = common::fileStatus(name).identity) identities_.push_back(*identity);
        }
    }

    bool includes(const std::optional<common::FileIdentity>& identity) const {
        return identity && std::find(identities_.begin(), identities_.end(), *identity) != identities_.end();
    }

private:
    std::vector<common::FileIdentity> identities_;
};

void report(const std::string& text) { common::writeDiagnostic("vosklar", text); }

}  // namespace

std::int32_t readStations(common::LineReader& list, const RunSettings& settings, ModelLayerFile& layers,
                          StationStatistics& statistics, common::Console& console) {
    ListLineReader lineReader(settings.method, list.name());
    StationResultReader resultReader(settings.method, settings.maximumDepth, layers, statistics,
                                     [&console](const std::string& token, std::int32_t count) {
                                         console.listLine("Station " + token + " Number of layers: ", count);
                                     });
    const OutputIdentities outputs(settings);
    std::int32_t unreadable = 0;
    std::string_view line;
    while (list.next(line)) {
        const StationEntry station = lineReader.read(line, list.lineNumber());
        statistics.countListLine(station.station);

        const std::string path = resultFileName(settings.method, station.token);
        // A station without a result file is skipped silently; one that is
        // there but is no regular file (a folder, a FIFO, a device) is never
        // opened: a FIFO would wait for a writer.
        const common::FileStatus found = common::fileStatus(path);
        if (found.kind == common::FileKind::missing) continue;
        if (outputs.includes(found.identity)) requireOutputsApartFromResult(settings, path);
        if (found.kind != common::FileKind::regular) {
            report(path + " is not a regular file that can be read; station " + station.token + " is skipped");
            ++unreadable;
            continue;
        }
        common::LineReader result(path);
        if (!result.isOpen()) {
            report(path + " cannot be opened for reading; station " + station.token + " is skipped");
            ++unreadable;
            continue;
        }
        const ResultOutcome outcome = resultReader.read(result, station);
        if (result.failed()) {
            report(path + " could not be read to its end; the layers of station " + station.token +
                   " read so far are kept");
            ++unreadable;
        } else if (outcome != ResultOutcome::complete) {
            report(path + ": " + describe(outcome, settings.method) + "; " +
                   (outcome == ResultOutcome::noLayerCount ? "station " + station.token + " gives no layers"
                                                           : "the layers of station " + station.token +
                                                                 " read so far are kept"));
        }
    }
    if (list.failed()) throw common::RunStop("cannot read " + list.name());
    return unreadable;
}

}  // namespace vosklar
