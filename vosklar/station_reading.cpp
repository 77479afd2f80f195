#include "vosklar/station_reading.hpp"

#include <filesystem>
#include <system_error>

#include "common/diagnostic.hpp"
#include "common/run_stop.hpp"
#include "vosklar/list_line.hpp"
#include "vosklar/output_guard.hpp"
#include "vosklar/station_result.hpp"

namespace vosklar {

namespace {

// A station without a result file is skipped silently; one that is there
// but is no regular file (a folder, a FIFO, a device) is never opened: a
// FIFO would wait for a writer.
enum class ResultFileKind { missing, regular, notRegular };

ResultFileKind resultFileKind(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    switch (status.type()) {
        case std::filesystem::file_type::not_found:
        case std::filesystem::file_type::none:
            return error && error != std::errc::no_such_file_or_directory && error != std::errc::not_a_directory
                       ? ResultFileKind::notRegular
                       : ResultFileKind::missing;
        case std::filesystem::file_type::regular:
            return ResultFileKind::regular;
        default:
            return ResultFileKind::notRegular;
    }
}

void report(const std::string& text) { common::writeDiagnostic("vosklar", text); }

}  // namespace

std::int32_t readStations(common::LineReader& list, const RunSettings& settings, ModelLayerFile& layers,
                          StationStatistics& statistics, common::Console& console) {
    ListLineReader lineReader(settings.method, list.name());
    StationResultReader resultReader(settings.method, settings.maximumDepth, layers, statistics,
                                     [&console](const std::string& token, std::int32_t count) {
                                         console.listLine("Station " + token + " Number of layers: ", count);
                                     });
    std::int32_t unreadable = 0;
    std::string_view line;
    while (list.next(line)) {
        const StationEntry station = lineReader.read(line, list.lineNumber());
        statistics.countListLine(station.station);

        const std::string path = resultFileName(settings.method, station.token);
        const ResultFileKind kind = resultFileKind(path);
        if (kind == ResultFileKind::missing) continue;
        requireOutputsApartFromResult(settings, path);
        if (kind == ResultFileKind::notRegular) {
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
