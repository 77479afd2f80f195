#pragma once
// Reading of one station result file (GRENDL "output.out" or AIRBEO
// "airbeo.out"): the layer count, then the final model table, whose usable
// layers go to the model layer file.
#include <cstdint>
#include <functional>
#include <string>

#include "vosklar/list_line.hpp"
#include "vosklar/model_layer_file.hpp"
#include "vosklar/run_settings.hpp"
#include "vosklar/station_statistics.hpp"

namespace vosklar {

// How far a result file was read. Anything short of `complete` means the
// file ended (or held no usable count) first; the layers written so far stay.
enum class ResultOutcome {
    complete,
    noLayerCount,   // the line or table that states the layer count was never found whole
    noModelTable,   // the final model table was never found
    tableCutShort,  // the table ended inside its layers
};

// Text for a diagnostic, e.g. "no layer count was found", saying which
// line or table of the method's layout was looked for.
std::string describe(ResultOutcome outcome, InversionMethod method);

class StationResultReader {
public:
    // Called with the station token and the layer count whenever a count is
    // found (GRENDL may find several, while they are 0).
    using CountAnnouncer = std::function<void(const std::string& token, std::int32_t count)>;

    StationResultReader(InversionMethod method, float maximumDepth, ModelLayerFile& layers,
                        StationStatistics& statistics, CountAnnouncer announceCount);

    // Reads the open result file. Stops the run (RunStop naming file, line
    // and text) on a count or layer value that is not a number.
    ResultOutcome read(common::LineReader& lines, const StationEntry& station);

private:
    class Cursor;
    // `complete` when the count was found.
    ResultOutcome findGrendlLayerCount(Cursor& cursor, const StationEntry& station, std::int32_t& count);
    ResultOutcome findAirbeoLayerCount(Cursor& cursor, const StationEntry& station, std::int32_t& count);
    bool findModelTable(Cursor& cursor);
    ResultOutcome readLayers(Cursor& cursor, const StationEntry& station, std::int32_t count);

    InversionMethod method_;
    float maximumDepth_;
    ModelLayerFile& layers_;
    StationStatistics& statistics_;
    CountAnnouncer announceCount_;
    // The values of the last layer row read. They outlive a station: the
    // half-space takes the thickness last read, which is normally that of the
    // layer above it.
    std::int32_t layerNumber_ = 0;
    float resistivity_ = 0.0f;
    float thickness_ = 0.0f;
};

}  // namespace vosklar
