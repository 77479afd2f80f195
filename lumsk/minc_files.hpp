#pragma once
// The temporary files of one MINC call, all under fixed names in the working
// folder. Each is created new, never through whatever already has its name,
// and deleted at the end of the call, good run or failure, or when SIGINT or
// SIGTERM ends the process during the call; but only once this call has
// created it: a file of that name that the call never made is not the call's
// to remove.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "common/platform.hpp"
#include "lumsk/interrupt_cleanup.hpp"

namespace lumsk {

inline constexpr const char* kRotationScratchName = "~mincrt.tmp";

class MincTemporaryFiles {
public:
    // In the order they are deleted; the rotation scratch grid last.
    enum Kind : int { gridRows = 0, mask, dataSorting, block, templateGrid, rotationScratch, kindCount };

    MincTemporaryFiles();
    MincTemporaryFiles(const MincTemporaryFiles&) = delete;
    MincTemporaryFiles& operator=(const MincTemporaryFiles&) = delete;

    static const char* name(Kind kind);

    // Creates the file anew; a handle that is not open when it could not be
    // created.
    common::RawFile create(Kind kind);
    // The rotation scratch grid is created by the grid writer; the call notes
    // just before that it asked for it.
    void noteRotationScratch() { noteCreated(rotationScratch); }

    // Deletes every file this call created, in the order of Kind.
    void deleteAll();

private:
    void noteCreated(Kind kind);

    InterruptCleanup interruptCleanup_;
    std::array<bool, kindCount> created_{};
};

// True when the call may not write the grid `gridName` while it reads the
// point data file `pointDataName` (nullopt when the call names none): the
// grid is the point data file, whatever the spelling or link, or takes one of
// the fixed temporary names; or one of the call's own files (its temporary
// files and "minc.log") is the point data file.
bool mincOutputOverwritesInput(const std::string& gridName, const std::optional<std::string>& pointDataName);

}  // namespace lumsk
