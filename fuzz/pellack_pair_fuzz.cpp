// pellack on an arbitrary pair of observed and predicted data files (the
// input split at the pair marker): both passes and the xyz data file.
#include <cstdint>

#include "fuzz_support.hpp"
#include "pellack/brevan.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::ScratchFolder scratch;
    const fuzz::InputPair files = fuzz::splitPair(fuzz::asText(data, size));
    fuzz::writeFile("line.obs", files.first);
    fuzz::writeFile("line.prd", files.second);
    fuzz::runInProcess(pellack::brevan, {"pellack", "line.obs", "line.prd", "line.xyz"});
    return 0;
}
