#include "lumsk/minc_files.hpp"

#include "common/output_guard.hpp"
#include "lumsk/block_solve.hpp"
#include "lumsk/mask_file.hpp"
#include "lumsk/minc_log.hpp"
#include "lumsk/point_sorting.hpp"
#include "lumsk/radius_mask.hpp"

namespace lumsk {

namespace {

constexpr std::array<const char*, MincTemporaryFiles::kindCount> kNames = {
    kGridRowFileName, kMaskFileName, kDataSortingFileName, kBlockFileName, kTemplateFileName, kRotationScratchName,
};

}  // namespace

MincTemporaryFiles::MincTemporaryFiles() : interruptCleanup_(kNames) {}

const char* MincTemporaryFiles::name(Kind kind) { return kind >= 0 && kind < kindCount ? kNames[kind] : ""; }

void MincTemporaryFiles::noteCreated(Kind kind) {
    // Armed before the file exists, so that no interruption can fall between
    // its creation and the note.
    interruptCleanup_.arm(static_cast<std::size_t>(kind));
    created_[kind] = true;
}

common::RawFile MincTemporaryFiles::create(Kind kind) {
    noteCreated(kind);
    return common::RawFile::createNew(name(kind));
}

void MincTemporaryFiles::deleteAll() {
    for (int kind = 0; kind < kindCount; ++kind) {
        if (created_[kind]) common::deleteFile(kNames[kind]);
        created_[kind] = false;
        interruptCleanup_.disarm(static_cast<std::size_t>(kind));
    }
}

bool mincOutputOverwritesInput(const std::string& gridName, const std::optional<std::string>& pointDataName) {
    std::span<const std::string> inputs;
    if (pointDataName) inputs = std::span<const std::string>(&*pointDataName, 1);
    if (!common::outputClash(gridName, inputs, common::OutputKind::named).empty()) return true;
    if (!common::outputClash(kMincLogName, inputs, common::OutputKind::temporary).empty()) return true;
    for (const char* name : kNames) {
        if (!common::outputClash(name, inputs, common::OutputKind::temporary).empty()) return true;
    }
    return false;
}

}  // namespace lumsk
