#pragma once
// One raster pass: the model layer file is replayed once; each layer paints
// its station's columns of the raster, and every raster row it covers becomes
// a point for minimum-curvature gridding and, in the first pass, a row of the
// xyz data file.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "common/text_writer.hpp"
#include "common/float_record_file.hpp"
#include "vosklar/model_geometry.hpp"
#include "vosklar/model_layer_file.hpp"
#include "vosklar/model_raster.hpp"
#include "vosklar/station_statistics.hpp"

namespace vosklar {

// Which coordinate of a model layer is its position along the grid.
enum class GridAxis { station, easting, northing };

float coordinateOn(GridAxis axis, const ModelLayerRecord& record);

// One entry per station met in the first pass, for the profile test.
struct StationTableEntry {
    float east = 0.0f;
    float north = 0.0f;
    float station = 0.0f;
};

// The point data file "tmpdat.tmp" that MINC reads: x, elevation and three
// channels (conductivity, resistivity, log10 resistivity).
inline constexpr char kPointDataFileName[] = "tmpdat.tmp";
inline constexpr std::int32_t kPointChannels = 3;

// A resistivity of zero or less (or not finite) has no conductivity or
// logarithm that could be gridded; such channel values go to the point data
// file as the null value. A station whose position on the grid axis is not a
// finite number has no place on the grid; its points are left out of the
// point data file. Either way the run warns once on standard error.
class UngriddableValueWarning {
public:
    void note(float station, float resistivity);
    void notePosition(float station, float position);
    bool raised() const { return raised_ || positionRaised_; }

private:
    bool raised_ = false;
    bool positionRaised_ = false;
};

// The value as it may enter a grid: a NaN or an infinity becomes null.
inline float griddable(float value) {
    return std::isfinite(value) ? value : kNullValue;
}

struct RasterPassOutputs {
    common::FloatRecordFile& pointData;
    common::TextWriter* xyz = nullptr;                   // first pass only
    std::vector<StationTableEntry>* stations = nullptr;  // first pass only
    UngriddableValueWarning& warning;
};

class RasterPass {
public:
    RasterPass(const ModelGridGeometry& geometry, GridAxis axis, ModelRaster& raster, RasterPassOutputs outputs)
        : geometry_(geometry), axis_(axis), raster_(raster), outputs_(outputs) {}

    void add(const ModelLayerRecord& record);
    // Columns right of the last station take its model.
    void finish();

private:
    void beginStation(const ModelLayerRecord& record, float x);
    void writePoints(const ModelLayerRecord& record, float x, std::int32_t bottom, std::int32_t top);
    void writeXyzRows(const ModelLayerRecord& record, float conductivity, float logResistivity, std::int32_t bottom,
                      std::int32_t top);
    // The elevation field of a raster row (1..NROW) in the xyz data file.
    const std::string& elevationText(std::int32_t row);

    const ModelGridGeometry& geometry_;
    GridAxis axis_;
    ModelRaster& raster_;
    RasterPassOutputs outputs_;
    float depth_ = 0.0f;               // 0.0 between stations
    std::int64_t previousColumn_ = 0;  // 0 before the first station
    std::int64_t firstColumn_ = 0;     // the current station's columns
    std::int64_t lastColumn_ = 0;
    std::vector<float> layerPoints_;           // the point data records of the current layer
    std::string xyzLead_;                      // station, east, north of the current layer
    std::string xyzTail_;                      // its three channels and the line end
    std::vector<std::string> elevationTexts_;  // by row; empty until a row is written
};

// Rewinds the model layer file and replays its `recordCount` records.
void runRasterPass(ModelLayerFile& layers, std::int32_t recordCount, RasterPass& pass);

}  // namespace vosklar
