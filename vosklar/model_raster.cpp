#include "vosklar/model_raster.hpp"

#include <algorithm>

#include "vosklar/station_statistics.hpp"

namespace vosklar {

namespace {

// A column range clipped to 1..columns; empty (first > last) when it lies
// wholly outside.
struct ColumnSpan {
    std::int32_t first;
    std::int32_t last;
};

ColumnSpan clipColumns(std::int64_t first, std::int64_t last, std::int32_t columns) {
    return {static_cast<std::int32_t>(std::clamp<std::int64_t>(first, 1, std::int64_t{columns} + 1)),
            static_cast<std::int32_t>(std::clamp<std::int64_t>(last, 0, columns))};
}

}  // namespace

ModelRaster::ModelRaster(const ModelGridGeometry& geometry)
    : columns_(geometry.NCOL),
      rows_(geometry.NROW),
      nodes_(static_cast<std::size_t>(geometry.NCOL) * static_cast<std::size_t>(geometry.NROW), kNullValue),
      workRow_(static_cast<std::size_t>(geometry.NCOL) + static_cast<std::size_t>(geometry.NROW), 0.0f) {}

void ModelRaster::copyColumn(std::int64_t source, std::int64_t first, std::int64_t last) {
    if (!hasColumn(source)) return;
    const auto from = static_cast<std::int32_t>(source);
    const ColumnSpan span = clipColumns(first, last, columns_);
    for (std::int32_t row = 1; row <= rows_; ++row) {
        const float value = at(from, row);
        for (std::int32_t column = span.first; column <= span.last; ++column) at(column, row) = value;
    }
}

void ModelRaster::fill(std::int64_t firstColumn, std::int64_t lastColumn, std::int32_t bottomRow, std::int32_t topRow,
                       float value) {
    const ColumnSpan span = clipColumns(firstColumn, lastColumn, columns_);
    const std::int32_t bottom = std::max(bottomRow, 1);
    const std::int32_t top = std::min(topRow, rows_);
    for (std::int32_t row = bottom; row <= top; ++row) {
        for (std::int32_t column = span.first; column <= span.last; ++column) at(column, row) = value;
    }
}

}  // namespace vosklar
