#include "lumsk/minc_files.hpp"

#include "lumsk/block_solve.hpp"
#include "lumsk/mask_file.hpp"
#include "lumsk/point_sorting.hpp"
#include "lumsk/radius_mask.hpp"

namespace lumsk {

const char* MincTemporaryFiles::name(Kind kind) {
    switch (kind) {
        case gridRows: return kGridRowFileName;
        case mask: return kMaskFileName;
        case dataSorting: return kDataSortingFileName;
        case block: return kBlockFileName;
        case templateGrid: return kTemplateFileName;
        case kindCount: break;
    }
    return "";
}

common::RawFile MincTemporaryFiles::create(Kind kind) {
    common::RawFile file = common::RawFile::create(name(kind));
    if (file.isOpen()) created_[kind] = true;
    return file;
}

void MincTemporaryFiles::deleteAll() {
    for (int kind = gridRows; kind < kindCount; ++kind) {
        if (created_[kind]) common::deleteFile(name(static_cast<Kind>(kind)));
        created_[kind] = false;
    }
    if (rotationScratch_) common::deleteFile(kRotationScratchName);
    rotationScratch_ = false;
}

}  // namespace lumsk
