#pragma once
// How a program run ends early: a stage throws RunStop, which unwinds to main,
// so that every open output is flushed and closed by its destructor on the way.
#include <functional>
#include <stdexcept>
#include <string>

namespace common {

class RunStop : public std::runtime_error {
public:
    // `diagnostic` goes to standard error (nothing when empty); the console
    // text that the program shows for a stop is written before throwing.
    explicit RunStop(std::string diagnostic, int exitStatus = 1)
        : std::runtime_error(std::move(diagnostic)), exitStatus_(exitStatus) {}
    int exitStatus() const { return exitStatus_; }

private:
    int exitStatus_;
};

// Runs a program's routine and turns its end into an exit status: 0 for a
// normal return, the RunStop's status (with its diagnostic on standard error)
// for a stop, 1 with a message for any other exception. Standard output is
// flushed in every case.
int runProgram(const char* programName, const std::function<int()>& routine);

}  // namespace common
