#include "vosklar/station_result.hpp"

#include <string>
#include <string_view>

#include "common/list_input.hpp"
#include "common/run_stop.hpp"

namespace vosklar {

namespace {

constexpr std::string_view kGrendlCountMarker = "NLIB =";
constexpr std::string_view kAirbeoCountHeader = "Layer    Thickness   Resistivity";
constexpr std::string_view kFinalModelMarker = "FINAL MODEL AFTER";
constexpr std::string_view kGrendlTableHeader = "RESISTIVITY      THICKNESS        DEPTH";
constexpr std::string_view kAirbeoTableHeader = "RESISTIVITY     THICKNESS      CONDUCTANCE      DEPTH";

// Depths are negative below the surface; a layer this deep or deeper is a
// sign of a broken model and never reaches the grids.
constexpr float kDepthLimit = 10000.0f;
// Layers of this thickness or less are too thin to show on the grids.
constexpr float kThinnestUsableLayer = 1.0f;

bool isBlank(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

[[noreturn]] void stopOnBadValue(common::InputError error, const common::LineReader& lines, std::string_view text) {
    error.fileName = lines.name();
    error.lineNumber = lines.lineNumber();
    if (error.text.empty()) error.text = std::string(text);
    if (error.reason.empty()) error.reason = "not a number";
    throw common::RunStop(error.describe());
}

}  // namespace

std::string describe(ResultOutcome outcome, InversionMethod method) {
    const bool grendl = method == InversionMethod::grendl;
    switch (outcome) {
        case ResultOutcome::complete:
            return "the model was read";
        case ResultOutcome::noLayerCount:
            // Current AIRBEO versions write another layout, without this table.
            return grendl ? "no layer count was found: no line holds \"" + std::string(kGrendlCountMarker) +
                                 "\" with a count other than 0"
                          : "no layer count was found: the file has no whole \"" + std::string(kAirbeoCountHeader) +
                                "\" table (rows that begin with the layer number, then a blank line), so it is "
                                "not in the AIRBEO layout that is read";
        case ResultOutcome::noModelTable:
            return "no final model table was found: no \"" + std::string(kFinalModelMarker) +
                   "\" line followed by \"" +
                   std::string(grendl ? kGrendlTableHeader : kAirbeoTableHeader) + "\"";
        case ResultOutcome::tableCutShort:
            return "the final model table ended before its last layer";
    }
    return "";
}

// The line being looked at, and the way forward through the file.
class StationResultReader::Cursor {
public:
    explicit Cursor(common::LineReader& lines) : lines_(lines) {}

    bool advance() { return lines_.next(line_); }
    std::string_view line() const { return line_; }
    common::LineReader& lines() { return lines_; }

    // Reads lines until one contains `text`; the line found becomes current.
    bool findNext(std::string_view text) {
        while (advance()) {
            if (line_.find(text) != std::string_view::npos) return true;
        }
        return false;
    }
    // As findNext, but the current line is looked at first.
    bool findFromCurrent(std::string_view text) {
        if (line_.find(text) != std::string_view::npos) return true;
        return findNext(text);
    }

private:
    common::LineReader& lines_;
    std::string_view line_;
};

StationResultReader::StationResultReader(InversionMethod method, float maximumDepth, ModelLayerFile& layers,
                                         StationStatistics& statistics, CountAnnouncer announceCount)
    : method_(method),
      maximumDepth_(maximumDepth),
      layers_(layers),
      statistics_(statistics),
      announceCount_(std::move(announceCount)) {}

ResultOutcome StationResultReader::read(common::LineReader& lines, const StationEntry& station) {
    Cursor cursor(lines);
    std::int32_t count = 0;
    const ResultOutcome counted = method_ == InversionMethod::grendl ? findGrendlLayerCount(cursor, station, count)
                                                                     : findAirbeoLayerCount(cursor, station, count);
    if (counted != ResultOutcome::complete) return counted;
    if (!findModelTable(cursor)) return ResultOutcome::noModelTable;
    return readLayers(cursor, station, count);
}

// GRENDL states the count as "NLIB = n"; a count of 0 is announced and the
// search goes on for the next one.
ResultOutcome StationResultReader::findGrendlLayerCount(Cursor& cursor, const StationEntry& station,
                                                        std::int32_t& count) {
    do {
        if (!cursor.findNext(kGrendlCountMarker)) return ResultOutcome::noLayerCount;
        const std::string_view line = cursor.line();
        const std::string_view text = line.substr(line.find('=') + 1);
        common::InputError error;
        if (common::readListFromText(text, {&count}, &error) != common::ReadStatus::ok) {
            stopOnBadValue(error, cursor.lines(), text);
        }
        announceCount_(station.token, count);
    } while (count == 0);
    return ResultOutcome::complete;
}

// AIRBEO lists the layers in a table; the count is the layer number of its
// last row, the table ending at the first blank line.
ResultOutcome StationResultReader::findAirbeoLayerCount(Cursor& cursor, const StationEntry& station,
                                                        std::int32_t& count) {
    if (!cursor.findNext(kAirbeoCountHeader)) return ResultOutcome::noLayerCount;
    if (!cursor.advance() || !cursor.advance()) return ResultOutcome::noLayerCount;
    while (!isBlank(cursor.line())) {
        if (common::readListFromText(cursor.line(), {&count}) != common::ReadStatus::ok) {
            return ResultOutcome::noLayerCount;
        }
        if (!cursor.advance()) return ResultOutcome::noLayerCount;
    }
    announceCount_(station.token, count);
    return ResultOutcome::complete;
}

bool StationResultReader::findModelTable(Cursor& cursor) {
    if (!cursor.findFromCurrent(kFinalModelMarker)) return false;
    const bool grendl = method_ == InversionMethod::grendl;
    if (!cursor.findFromCurrent(grendl ? kGrendlTableHeader : kAirbeoTableHeader)) return false;
    const int linesBelowHeader = grendl ? 1 : 2;
    for (int skipped = 0; skipped < linesBelowHeader; ++skipped) {
        if (!cursor.advance()) return false;
    }
    return true;
}

// Layer rows are "number resistivity thickness ..." with one unused line
// between two rows; the half-space row is "number resistivity". The running
// depth goes down through the middle of each layer, where its elevation is
// taken.
ResultOutcome StationResultReader::readLayers(Cursor& cursor, const StationEntry& station, std::int32_t count) {
    float depth = 0.0f;
    for (std::int32_t layer = 1; layer <= count; ++layer) {
        if (!cursor.advance()) return ResultOutcome::tableCutShort;
        const bool halfSpace = layer == count;
        common::InputError error;
        const common::ReadStatus status =
            halfSpace ? common::readListFromText(cursor.line(), {&layerNumber_, &resistivity_}, &error)
                      : common::readListFromText(cursor.line(), {&layerNumber_, &resistivity_, &thickness_}, &error);
        if (status == common::ReadStatus::endOfFile) return ResultOutcome::tableCutShort;
        if (status == common::ReadStatus::badValue) stopOnBadValue(error, cursor.lines(), cursor.line());

        if (!halfSpace) {
            if (thickness_ > maximumDepth_) thickness_ = maximumDepth_;
            depth -= thickness_ / 2.0f;
            if (thickness_ > kThinnestUsableLayer && depth < kDepthLimit) {
                layers_.append({station.station, station.east, station.north, station.RL, thickness_, resistivity_});
                statistics_.countLayer(thickness_);
            }
        } else {
            if (depth < kDepthLimit) {
                layers_.append(
                    {station.station, station.east, station.north, station.RL, kHalfSpaceThickness, resistivity_});
                statistics_.countHalfSpace();
            }
            depth -= thickness_;
        }
        if (thickness_ > kThinnestUsableLayer && depth < kDepthLimit) statistics_.widenElevation(station.RL, depth);
        if (!halfSpace) {
            depth -= thickness_ / 2.0f;
            if (!cursor.advance()) return ResultOutcome::tableCutShort;
        }
    }
    return ResultOutcome::complete;
}

}  // namespace vosklar
