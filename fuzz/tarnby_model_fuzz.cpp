// tarnby on an arbitrary model file and, when the input holds the pair
// marker, a topography file: the header lines, the sounding and topography
// records, the profile walk with its xyz rows and point data file, and the
// grid geometry, with the gridding call itself left out (the point data file
// has a target of its own).
#include <cstdint>
#include <string>

#include "fuzz_support.hpp"
#include "tarnby/brevan.hpp"

namespace {

int runWithoutGridding(int argc, char** argv) {
    return tarnby::brevan(argc, argv, [](lumsk::MincRequest& call) { call.ISTAT = 0; });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::ScratchFolder scratch;
    const fuzz::InputPair files = fuzz::splitPair(fuzz::asText(data, size));
    // The model's kind follows its name: let the input length choose it.
    const std::string modelName = size % 2 == 0 ? "line.con" : "line_sus.mod";
    fuzz::writeFile(modelName, files.first);
    if (files.hasMarker) {
        fuzz::writeFile("line.topo", files.second);
        fuzz::runInProcess(runWithoutGridding, {"tarnby", modelName, "line.xyz", "line.topo"});
    } else {
        fuzz::runInProcess(runWithoutGridding, {"tarnby", modelName, "line.xyz"});
    }
    return 0;
}
