#include "vosklar/raster_pass.hpp"

#include <algorithm>
#include <string>

#include "common/diagnostic.hpp"
#include "common/edit_format.hpp"
#include "common/float_to_int.hpp"
#include "common/run_stop.hpp"
#include "vosklar/number_text.hpp"

namespace vosklar {

float coordinateOn(GridAxis axis, const ModelLayerRecord& record) {
    switch (axis) {
        case GridAxis::station:
            return record.station;
        case GridAxis::easting:
            return record.east;
        case GridAxis::northing:
            return record.north;
    }
    return record.station;
}

void UngriddableValueWarning::note(float station, float resistivity) {
    if (raised_) return;
    raised_ = true;
    common::writeDiagnostic("vosklar", "station " + numberText(station) + " has a resistivity of " +
                                           numberText(resistivity) +
                                           "; a resistivity, conductivity or logarithm that is not a finite "
                                           "number is left out of the grids");
}

void UngriddableValueWarning::notePosition(float station, float position) {
    if (positionRaised_) return;
    positionRaised_ = true;
    common::writeDiagnostic("vosklar", "station " + numberText(station) + " lies at " + numberText(position) +
                                           ", which is not a finite number; points without a finite position are "
                                           "left out of the minimum-curvature grids");
}

// A new station takes the columns from the midpoint between it and the
// previous station up to its own column (the first station from column 1);
// the columns up to the midpoint keep the previous station's model.
void RasterPass::beginStation(const ModelLayerRecord& record, float x) {
    if (outputs_.stations != nullptr) outputs_.stations->push_back({record.east, record.north, record.station});
    const std::int64_t column = common::truncateToInt32((x - geometry_.X0) / geometry_.cell + 1.0f);
    if (previousColumn_ > 0) {
        const std::int64_t middle = (previousColumn_ + column) / 2;
        raster_.copyColumn(previousColumn_, previousColumn_ + 1, middle - 1);
        firstColumn_ = middle;
    } else {
        firstColumn_ = 1;
    }
    lastColumn_ = column;
    previousColumn_ = column;
}

void RasterPass::add(const ModelLayerRecord& record) {
    const float x = coordinateOn(axis_, record);
    if (depth_ == 0.0f) beginStation(record, x);

    // A station without an RL has its surface at elevation 0.0.
    const float surface = isNull(record.RL) ? depth_ : record.RL + depth_;
    const float cell = geometry_.cell;
    const std::int32_t top = common::truncateToInt32((surface - geometry_.Y0) / cell + 1.0f);
    std::int32_t bottom = 1;
    if (record.thickness <= 0.0f) {
        // The half-space reaches down to the lowest row and ends the station.
        depth_ = 0.0f;
    } else {
        bottom = common::truncateToInt32((surface - record.thickness - geometry_.Y0) / cell + 1.0f);
        depth_ = depth_ - record.thickness;
    }
    if (!(record.resistivity > 0.0f) || !std::isfinite(record.resistivity)) {
        outputs_.warning.note(record.station, record.resistivity);
    }
    raster_.fill(firstColumn_, lastColumn_, bottom, top, griddable(record.resistivity));
    writePoints(record, x, std::max(bottom, 1), std::min(top, geometry_.NROW));
}

void RasterPass::writePoints(const ModelLayerRecord& record, float x, std::int32_t bottom, std::int32_t top) {
    const float resistivity = record.resistivity;
    const float conductivity = 1.0f / resistivity;
    const float logResistivity = std::log10(resistivity);
    const bool placed = std::isfinite(x);
    if (!placed && bottom <= top) outputs_.warning.notePosition(record.station, x);
    if (placed && bottom <= top) {
        // The layer's points go to the file in one piece.
        layerPoints_.clear();
        for (std::int32_t row = bottom; row <= top; ++row) {
            layerPoints_.insert(layerPoints_.end(), {x, geometry_.nodeElevation(row), griddable(conductivity),
                                                     griddable(resistivity), griddable(logResistivity)});
        }
        outputs_.pointData.append(layerPoints_);
    }
    if (outputs_.xyz != nullptr) writeXyzRows(record, conductivity, logResistivity, bottom, top);
}

// Only the elevation changes from row to row of a layer: the fields before
// and after it are formatted once per layer, the elevations once per pass.
void RasterPass::writeXyzRows(const ModelLayerRecord& record, float conductivity, float logResistivity,
                              std::int32_t bottom, std::int32_t top) {
    if (bottom > top) return;
    xyzLead_.clear();
    common::appendF(xyzLead_, record.station, 10, 1);
    common::appendF(xyzLead_, record.east, 10, 1);
    common::appendF(xyzLead_, record.north, 10, 1);
    xyzTail_.clear();
    common::appendE(xyzTail_, conductivity, 12, 4);
    common::appendE(xyzTail_, record.resistivity, 12, 4);
    common::appendE(xyzTail_, logResistivity, 12, 4);
    xyzTail_.push_back('\n');
    std::string& rows = outputs_.xyz->buffer();
    for (std::int32_t row = top; row >= bottom; --row) {
        rows.append(xyzLead_);
        rows.append(elevationText(row));
        rows.append(xyzTail_);
        outputs_.xyz->commit();
    }
}

const std::string& RasterPass::elevationText(std::int32_t row) {
    if (elevationTexts_.empty()) elevationTexts_.resize(static_cast<std::size_t>(geometry_.NROW));
    std::string& text = elevationTexts_[static_cast<std::size_t>(row - 1)];
    if (text.empty()) common::appendF(text, geometry_.nodeElevation(row), 10, 1);
    return text;
}

void RasterPass::finish() {
    raster_.copyColumn(previousColumn_, previousColumn_ + 1, raster_.columns());
}

void runRasterPass(ModelLayerFile& layers, std::int32_t recordCount, RasterPass& pass) {
    layers.rewind();
    ModelLayerRecord record;
    for (std::int32_t index = 0; index < recordCount; ++index) {
        if (!layers.next(record)) throw common::RunStop("cannot read back the model layer file");
        pass.add(record);
    }
    pass.finish();
}

}  // namespace vosklar
