#include "tarnby/model_header.hpp"

#include <string>
#include <string_view>
#include <vector>

#include "common/list_input.hpp"
#include "common/run_stop.hpp"
#include "tarnby/input_stops.hpp"
#include "tarnby/layer_table.hpp"

namespace tarnby {

namespace {

// The markers carry their leading blank: the producer writes them that way.
constexpr std::string_view kLayerCountMarker = " Number of layers";
constexpr std::string_view kThicknessMarker = " Layer thicknesses";
constexpr std::string_view kSoundingCountMarker = " Number of soundings";

// A file that ends inside its header has nothing to convert; the producer
// never writes one, so the run ends without a console message.
std::string nextHeaderLine(common::LineReader& file) {
    std::string_view line;
    if (!file.next(line)) {
        stopQuietly(file.name() + " ends after line " + std::to_string(file.lineNumber()) +
                    ", before its sounding table");
    }
    return std::string(line);
}

void requireMarker(const std::string& line, std::string_view marker, common::LineReader& file,
                   common::Console& console) {
    if (line.find(marker) == std::string::npos) {
        stopOnBadFormat(console, file.name() + ", line " + std::to_string(file.lineNumber()) +
                                     ": no \"" + std::string(marker) + "\"");
    }
}

// A count is the first value after the line's first ':' (or on the whole line
// when it has none); words after it are ignored.
std::int32_t readCount(const std::string& line, common::LineReader& file) {
    const std::size_t colon = line.find(':');
    const std::string_view text =
        colon == std::string::npos ? std::string_view(line) : std::string_view(line).substr(colon + 1);
    std::int32_t count = 0;
    common::InputError error;
    const common::ReadStatus status =
        common::readListFromText(text, {&count}, &error, file.name(), file.lineNumber());
    if (status == common::ReadStatus::badValue) stopOnInputError(error);
    if (status == common::ReadStatus::endOfFile) {
        stopOnInputError({file.name(), file.lineNumber(), line, "no count on the line"});
    }
    return count;
}

// The thicknesses follow the line's first ':' as blank-separated fields, top
// layer first; only the first NLAYER - 1 are read.
std::vector<float> readThicknesses(const std::string& line, std::int32_t NLAYER,
                                   common::LineReader& file) {
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) {
        stopQuietly(file.name() + ", line 2: no ':' before the layer thicknesses");
    }
    std::string_view text = std::string_view(line).substr(colon + 1);
    std::vector<float> THICK(static_cast<std::size_t>(NLAYER - 1), 0.0f);
    for (float& thickness : THICK) {
        const std::size_t start = text.find_first_not_of(' ');
        if (start == std::string_view::npos) {
            stopQuietly(file.name() + ", line 2: fewer than " + std::to_string(NLAYER - 1) +
                        " layer thicknesses for " + std::to_string(NLAYER) + " layers");
        }
        text.remove_prefix(start);
        const std::size_t end = text.find(' ');
        const std::string_view token = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        common::InputError error;
        const common::ReadStatus status =
            common::readListFromText(token, {&thickness}, &error, file.name(), file.lineNumber());
        if (status == common::ReadStatus::badValue) stopOnInputError(error);
        if (status != common::ReadStatus::ok) {
            stopOnInputError({file.name(), file.lineNumber(), std::string(token), "not a thickness"});
        }
    }
    return THICK;
}

}  // namespace

ModelHeader readModelHeader(common::LineReader& modelFile, common::Console& console) {
    ModelHeader header;

    const std::string layerLine = nextHeaderLine(modelFile);
    requireMarker(layerLine, kLayerCountMarker, modelFile, console);
    const std::int32_t NLAYER = readCount(layerLine, modelFile);
    console.listLine(" Number of layers: ", NLAYER);
    // The layer tables hold 2 to 128 layers: a layer above the half-space is
    // needed for the depths, and more than the tables hold is refused.
    if (NLAYER < 2 || NLAYER > kMaxLayers) {
        stopQuietly(modelFile.name() + ": " + std::to_string(NLAYER) +
                    " layers; a model must have 2 to " + std::to_string(kMaxLayers));
    }

    const std::string thicknessLine = nextHeaderLine(modelFile);
    requireMarker(thicknessLine, kThicknessMarker, modelFile, console);
    header.layers = deriveLayerTable(readThicknesses(thicknessLine, NLAYER, modelFile));

    const std::string soundingLine = nextHeaderLine(modelFile);
    requireMarker(soundingLine, kSoundingCountMarker, modelFile, console);
    header.NSOUND = readCount(soundingLine, modelFile);
    console.listLine(" Number of soundings: ", header.NSOUND);
    if (header.NSOUND < 1) {
        console.line(" There are not enough soundings to convert");
        throw common::RunStop(modelFile.name() + ": no sounding to convert");
    }

    nextHeaderLine(modelFile);  // the table header names the columns; nothing in it is used
    return header;
}

}  // namespace tarnby
