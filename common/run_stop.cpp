#include "common/run_stop.hpp"

#include "common/diagnostic.hpp"

#include <cstdio>
#include <exception>
#include <new>

namespace common {

int runProgram(const char* programName, const std::function<int()>& routine) {
    int status = 1;
    try {
        status = routine();
    } catch (const RunStop& stop) {
        if (stop.what()[0] != '\0') writeDiagnostic(programName, stop.what());
        status = stop.exitStatus();
    } catch (const std::bad_alloc&) {
        writeDiagnostic(programName, "out of memory");
    } catch (const std::exception& error) {
        writeDiagnostic(programName, error.what());
    }
    std::fflush(stdout);
    return status;
}

}  // namespace common
