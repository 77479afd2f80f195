#include "tarnby/start_up.hpp"

#include <string>

#include "common/platform.hpp"
#include "common/run_stop.hpp"

namespace tarnby {

namespace {

constexpr std::string_view kUsageLine = "   tarnby infile outfile {topo}";

// A typed topography name is the whole reply line; blanks around it carry no
// meaning, and a reply of blanks only means that there is no topography.
std::string trimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

}  // namespace

void writeBanner(common::Console& console) {
    console.line(" This program reads an EM1DFM model data file");
    console.line(" and converts it to a standard xyz data file. ");
    console.usageBlock(kUsageLine);
}

RunNames obtainRunNames(common::Console& console) {
    RunNames names;
    names.model = console.argumentOrPrompt(1, " Enter name of the input file : ",
                                           common::ReplyKind::listItem);
    if (!common::fileExists(names.model)) {
        console.line(" that file does not exist");
        throw common::RunStop("model file '" + names.model + "' does not exist");
    }
    names.output = console.argumentOrPrompt(2, " Enter name of the output xyz data file : ",
                                            common::ReplyKind::listItem);
    // The topography file is optional: it is asked for only when the program
    // was started without any argument.
    if (console.argumentCount() >= 3) {
        const std::string& argument = console.argument(3);
        if (!trimBlanks(argument).empty()) names.topo = argument;
    } else if (console.argumentCount() == 0) {
        console.blankLine();
        names.topo = trimBlanks(
            console.prompt(" Enter name of the optional topo file : ", common::ReplyKind::wholeLine));
    }
    return names;
}

ModelKind modelKindFromName(std::string_view modelName) {
    const bool susceptibility = modelName.find("SUS") != std::string_view::npos ||
                                modelName.find("sus") != std::string_view::npos;
    return susceptibility ? ModelKind::susceptibility : ModelKind::conductivity;
}

}  // namespace tarnby
