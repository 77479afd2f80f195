#include "vosklar/station_reading.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <vector>

#include "common/diagnostic.hpp"
#include "common/run_stop.hpp"
#include "vosklar/list_line.hpp"
#include "vosklar/output_guard.hpp"
#include "vosklar/raster_pass.hpp"
#include "vosklar/station_result.hpp"

namespace vosklar {

namespace {

// A file as the system knows it, whatever its name.
struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// A station without a result file is skipped silently; one that is there
// but is no regular file (a folder, a FIFO, a device) is never opened: a
// FIFO would wait for a writer.
enum class ResultFileKind { missing, regular, notRegular };

struct ResultFileStatus {
    ResultFileKind kind = ResultFileKind::missing;
    FileIdentity identity;
};

ResultFileStatus resultFileStatus(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        // A path that is not there, or runs through something that is no
        // folder, names no file; any other failure is a file that cannot be read.
        const bool absent = errno == ENOENT || errno == ENOTDIR;
        return {absent ? ResultFileKind::missing : ResultFileKind::notRegular, {}};
    }
    return {S_ISREG(status.st_mode) ? ResultFileKind::regular : ResultFileKind::notRegular,
            {status.st_dev, status.st_ino}};
}

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
            struct stat status {};
            if (::stat(name.c_str(), &status) == 0) identities_.push_back({status.st_dev, status.st_ino});
        }
    }

    bool includes(const FileIdentity& identity) const {
        return std::find(identities_.begin(), identities_.end(), identity) != identities_.end();
    }

private:
    std::vector<FileIdentity> identities_;
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
        const ResultFileStatus found = resultFileStatus(path);
        if (found.kind == ResultFileKind::missing) continue;
        if (outputs.includes(found.identity)) requireOutputsApartFromResult(settings, path);
        if (found.kind == ResultFileKind::notRegular) {
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
