#pragma once
// The temporary files of one MINC call, all under fixed names in the working
// folder. Each is deleted at the end of the call, good run or failure, but
// only when this call created it: a file of that name that the call never
// made is not the call's to remove.
#include <array>
#include <cstdint>
#include <string>

#include "common/platform.hpp"

namespace lumsk {

inline constexpr const char* kRotationScratchName = "~mincrt.tmp";

class MincTemporaryFiles {
public:
    // In the order they are deleted.
    enum Kind : int { gridRows = 0, mask, dataSorting, block, templateGrid, kindCount };

    MincTemporaryFiles() = default;
    MincTemporaryFiles(const MincTemporaryFiles&) = delete;
    MincTemporaryFiles& operator=(const MincTemporaryFiles&) = delete;

    static const char* name(Kind kind);

    // Creates (or truncates) the file; a handle that is not open when it
    // could not be created.
    common::RawFile create(Kind kind);
    // The rotation scratch grid is created by the grid writer; the call notes
    // that it asked for it.
    void noteRotationScratch() { rotationScratch_ = true; }

    // Deletes every file this call created, in the order of Kind, then the
    // rotation scratch grid.
    void deleteAll();

private:
    std::array<bool, kindCount> created_{};
    bool rotationScratch_ = false;
};

}  // namespace lumsk
