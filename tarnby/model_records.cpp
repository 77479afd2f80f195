#include "tarnby/model_records.hpp"

#include <algorithm>
#include <cstddef>
#include <span>

#include "common/list_input.hpp"
#include "common/platform.hpp"
#include "tarnby/input_stops.hpp"

namespace tarnby {

namespace {

// Room is made as records arrive, so that a sounding count far larger than
// the file holds costs nothing before the file runs short.
constexpr std::size_t kInitialSoundings = 1 << 16;

std::size_t initialCapacity(std::int32_t NSOUND) {
    return std::min(static_cast<std::size_t>(NSOUND), kInitialSoundings);
}

std::string shortFileReason(const common::LineReader& file, std::int32_t recordsRead,
                            std::int32_t recordsWanted) {
    return file.name() + " ends after " + std::to_string(recordsRead) + " of " +
           std::to_string(recordsWanted) + " records";
}

}  // namespace

std::vector<float> readTopography(const std::string& topoName, std::int32_t NSOUND,
                                  common::Console& console) {
    // A topography file is only ever read: a missing one is not created.
    if (!common::fileExists(topoName)) stopQuietly("topography file '" + topoName + "' does not exist");
    common::LineReader file(topoName);
    if (!file.isOpen()) stopQuietly("cannot open topography file '" + topoName + "'");
    std::string_view headerLine;
    if (!file.next(headerLine)) stopQuietly("topography file '" + topoName + "' is empty");

    std::vector<float> TOPO;
    TOPO.reserve(initialCapacity(NSOUND));
    common::ListReader records(file);
    for (std::int32_t i = 0; i < NSOUND; ++i) {
        float east = 0.0f;
        float north = 0.0f;
        float elevation = 0.0f;
        const common::ReadStatus status = records.read({&east, &north, &elevation});
        if (status == common::ReadStatus::badValue) stopOnInputError(records.error());
        if (status != common::ReadStatus::ok) stopOnShortRecords(console, shortFileReason(file, i, NSOUND));
        TOPO.push_back(elevation);
    }
    return TOPO;
}

void readSoundings(common::LineReader& modelFile, ModelData& model, common::Console& console) {
    const std::int32_t NLAYER = model.layers.NLAYER;
    const float scale =
        model.kind == ModelKind::conductivity ? kConductivityScale : kSusceptibilityScale;
    model.EAST.reserve(initialCapacity(model.NSOUND));
    model.NORTH.reserve(initialCapacity(model.NSOUND));
    model.MODVAL.reserve(initialCapacity(model.NSOUND) * static_cast<std::size_t>(NLAYER));

    // One record: easting, northing, then the layer values, top layer first.
    std::vector<float> record(static_cast<std::size_t>(NLAYER) + 2, 0.0f);
    common::ListReader records(modelFile);
    for (std::int32_t i = 0; i < model.NSOUND; ++i) {
        // A null item leaves its value unset: zero, not the previous sounding's.
        std::fill(record.begin(), record.end(), 0.0f);
        const common::ReadStatus status = records.readReals(record);
        if (status == common::ReadStatus::badValue) stopOnInputError(records.error());
        if (status != common::ReadStatus::ok) {
            stopOnShortRecords(console, shortFileReason(modelFile, i, model.NSOUND));
        }
        model.EAST.push_back(record[0]);
        model.NORTH.push_back(record[1]);
        for (std::size_t j = 2; j < record.size(); ++j) model.MODVAL.push_back(record[j] * scale);
    }
}

}  // namespace tarnby
