#pragma once
// The model layer file "tmpmod.tmp": every usable layer of every station, in
// list order, top to bottom, each station ending with its half-space. It is
// written while the result files are read and replayed by each raster pass.
#include <array>

#include "common/float_record_file.hpp"

namespace vosklar {

inline constexpr char kModelLayerFileName[] = "tmpmod.tmp";
inline constexpr float kHalfSpaceThickness = -1.0f;

struct ModelLayerRecord {
    float station = 0.0f;
    float east = 0.0f;
    float north = 0.0f;
    float RL = 0.0f;
    float thickness = 0.0f;  // kHalfSpaceThickness for the bottom half-space
    float resistivity = 0.0f;
};

class ModelLayerFile {
public:
    explicit ModelLayerFile(std::string path = kModelLayerFileName) : stream_(std::move(path)) {}

    void append(const ModelLayerRecord& record) {
        const std::array<float, 6> words{record.station, record.east,      record.north,
                                         record.RL,      record.thickness, record.resistivity};
        stream_.append(words);
    }
    void rewind() { stream_.rewind(); }
    bool next(ModelLayerRecord& record) {
        std::array<float, 6> words{};
        if (!stream_.read(words)) return false;
        record = {words[0], words[1], words[2], words[3], words[4], words[5]};
        return true;
    }
    void close() { stream_.close(); }

private:
    common::FloatRecordFile stream_;
};

}  // namespace vosklar
