// vosklar's list loop on an arbitrary station list and one arbitrary result
// file (after the pair marker), which every station of the list that names a
// plain folder finds as its GRENDL or AIRBEO result: the list lines, the
// layer count, the final model table and the model layer file they fill.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "common/console.hpp"
#include "common/line_reader.hpp"
#include "common/run_stop.hpp"
#include "fuzz_support.hpp"
#include "vosklar/list_line.hpp"
#include "vosklar/model_layer_file.hpp"
#include "vosklar/run_settings.hpp"
#include "vosklar/station_reading.hpp"
#include "vosklar/station_statistics.hpp"

namespace {

// The result file goes to the folders of the first few stations whose token
// is a harmless folder name; the rest of the list finds no result.
void placeResultFiles(std::string_view list, vosklar::InversionMethod method, std::string_view result) {
    int placed = 0;
    while (!list.empty() && placed < 4) {
        const std::size_t end = list.find('\n');
        const std::string_view token = vosklar::splitToken(list.substr(0, end)).token;
        list = end == std::string_view::npos ? std::string_view() : list.substr(end + 1);
        if (token.empty() || token.size() > 32 || token.find_first_of(std::string_view("/\0", 2)) != std::string_view::npos) continue;
        const std::string path = vosklar::resultFileName(method, token);
        std::error_code error;
        std::filesystem::create_directory(std::filesystem::path(path).parent_path(), error);
        if (!error) {
            fuzz::writeFile(path, result);
            ++placed;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::ScratchFolder scratch;
    const fuzz::InputPair files = fuzz::splitPair(fuzz::asText(data, size));
    vosklar::RunSettings settings;
    settings.method = size % 2 == 0 ? vosklar::InversionMethod::grendl : vosklar::InversionMethod::airbeo;
    settings.listFileName = "stations.lst";
    settings.outputName = "model.xyz";
    fuzz::writeFile(settings.listFileName, files.first);
    placeResultFiles(files.first, settings.method, files.second);

    char programName[] = "vosklar";
    char* argv[] = {programName, nullptr};
    common::Console console(1, argv);
    try {
        common::LineReader list(settings.listFileName);
        vosklar::ModelLayerFile layers;
        vosklar::StationStatistics statistics;
        vosklar::readStations(list, settings, layers, statistics, console);
        layers.close();
    } catch (const common::RunStop&) {
        // A field that is not a number ends the run: an expected result.
    }
    return 0;
}
