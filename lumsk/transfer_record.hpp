#pragma once
// Whether every read and write of a call's files moved all of its bytes. A
// short transfer (a full disk, a failed read) is remembered until the call
// ends, which then fails with kStatusFileTransferFailed instead of gridding
// what a half-written file holds. The loops that feed a file stop on it, so
// that an endless point file sorted onto a full disk still ends.
#include <cstdint>

namespace lumsk {

class TransferRecord {
public:
    // Notes one transfer; true when it moved all `wanted` bytes.
    bool note(std::int64_t moved, std::int64_t wanted) const {
        const bool whole = moved == wanted;
        if (!whole) failed_ = true;
        return whole;
    }
    void markFailed() const { failed_ = true; }
    bool failed() const { return failed_; }

private:
    // The file routines see the call's state through const views; a failed
    // transfer is noted all the same.
    mutable bool failed_ = false;
};

}  // namespace lumsk
