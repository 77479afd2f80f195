// draymoor on an arbitrary conductivity-depth data file: the depth header,
// the body rows, the xyz data file and the per-line data files.
#include <cstdint>

#include "draymoor/brevan.hpp"
#include "fuzz_support.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::ScratchFolder scratch;
    fuzz::writeFile("survey.cdi", fuzz::asText(data, size));
    fuzz::runInProcess(draymoor::brevan, {"draymoor", "survey.cdi", "survey.xyz"});
    return 0;
}
