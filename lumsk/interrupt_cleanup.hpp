#pragma once
// While a gridding call runs, SIGINT and SIGTERM first remove the temporary
// files that the call has made and then end the process with that signal, as
// they would have without the call. The handler only unlinks names from a
// fixed table, resets the signal and raises it again: nothing else is safe
// inside a signal handler. A signal that the process ignores stays ignored.
//
// One call at a time: the temporary names are fixed in the working folder,
// so two calls could not run side by side anyway.
#include <cstddef>
#include <span>

namespace lumsk {

class InterruptCleanup {
public:
    static constexpr std::size_t kMaxFiles = 8;

    // `names` (at most kMaxFiles, each living as long as the guard) are the
    // files an interruption may remove; none is armed yet. The previous
    // handlers come back when the guard ends.
    explicit InterruptCleanup(std::span<const char* const> names);
    ~InterruptCleanup();
    InterruptCleanup(const InterruptCleanup&) = delete;
    InterruptCleanup& operator=(const InterruptCleanup&) = delete;

    // Armed just before the call creates names[index]: an interruption from
    // then on removes it. Disarmed once the call has removed it itself.
    void arm(std::size_t index);
    void disarm(std::size_t index);
};

}  // namespace lumsk
