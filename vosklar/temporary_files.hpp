#pragma once
// The run's temporary files in the working folder, the point data file and
// the model layer file, are deleted at the end of every run, also when it
// stops early.
#include "common/platform.hpp"
#include "vosklar/model_layer_file.hpp"
#include "vosklar/raster_pass.hpp"

namespace vosklar {

class TemporaryFiles {
public:
    TemporaryFiles() = default;
    ~TemporaryFiles() { removeAll(); }
    TemporaryFiles(const TemporaryFiles&) = delete;
    TemporaryFiles& operator=(const TemporaryFiles&) = delete;

    // A file that is not there is no error.
    void removeAll() {
        common::deleteFile(kPointDataFileName);
        common::deleteFile(kModelLayerFileName);
    }
};

}  // namespace vosklar
