#pragma once
// The model raster: resistivity at every node of the model grid (columns are
// positions along the line, rows elevations from the lowest up), filled by
// nearest-neighbour rules from the model layers, plus the work row that the
// grid writer uses.
#include <cstdint>
#include <vector>

#include "vosklar/model_geometry.hpp"

namespace vosklar {

class ModelRaster {
public:
    // Every node starts as the null value.
    explicit ModelRaster(const ModelGridGeometry& geometry);

    std::int32_t columns() const { return columns_; }
    std::int32_t rows() const { return rows_; }
    bool hasColumn(std::int64_t column) const { return column >= 1 && column <= columns_; }

    // 1-based node access.
    float& at(std::int32_t column, std::int32_t row) { return nodes_[index(column, row)]; }
    float at(std::int32_t column, std::int32_t row) const { return nodes_[index(column, row)]; }

    // Columns `first`..`last` (clipped to the raster) take column `source`
    // in every row; nothing happens when `source` lies outside the raster.
    void copyColumn(std::int64_t source, std::int64_t first, std::int64_t last);
    // Every node of the clipped block takes `value`.
    void fill(std::int64_t firstColumn, std::int64_t lastColumn, std::int32_t bottomRow, std::int32_t topRow,
              float value);

    // The nodes with the column index running fastest, one grid row after
    // the other from the lowest: the array layout the grid writer reads.
    std::vector<float>& nodes() { return nodes_; }
    // Room for one grid row (and more), lent to the grid writer.
    std::vector<float>& workRow() { return workRow_; }

private:
    std::size_t index(std::int32_t column, std::int32_t row) const {
        return static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(columns_) +
               static_cast<std::size_t>(column - 1);
    }

    std::int32_t columns_;
    std::int32_t rows_;
    std::vector<float> nodes_;
    std::vector<float> workRow_;
};

}  // namespace vosklar
