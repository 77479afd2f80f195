#include "common/run_stop.hpp"

#include <cstdio>
#include <exception>
#include <new>

namespace common {

int runProgram(const char* programName, const std::function<int()>& routine) {
    int status = 1;
    try {
        status = routine();
    } catch (const RunStop& stop) {
        if (stop.what()[0] != '\0') std::fprintf(stderr, "%s: %s\n", programName, stop.what());
        status = stop.exitStatus();
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "%s: out of memory\n", programName);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", programName, error.what());
    }
    std::fflush(stdout);
    return status;
}

}  // namespace common
