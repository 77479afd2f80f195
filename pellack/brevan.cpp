#include "pellack/brevan.hpp"

#include <string>

#include "common/console.hpp"
#include "common/output_guard.hpp"
#include "common/platform.hpp"
#include "common/run_stop.hpp"
#include "pellack/data_file_reader.hpp"
#include "pellack/passes.hpp"
#include "pellack/xyz_output.hpp"

namespace pellack {

namespace {

struct RunNames {
    std::string observed;
    std::string predicted;
    std::string xyz;
};

void writeBanner(common::Console& console) {
    console.line(" This program reads an EM1DFM obs and prd data files");
    console.line(" and converts them to standard xyz data format");
    console.usageBlock("   pellack obs prd outfile");
}

// An input name, tested for existence as soon as it is known.
std::string existingInputName(common::Console& console, int argument, const char* prompt,
                              const char* role) {
    std::string name = console.argumentOrPrompt(argument, prompt, common::ReplyKind::listItem);
    if (!common::fileExists(name)) {
        console.listLine(" that file does not exist");
        throw common::RunStop(std::string("the ") + role + " data file \"" + name + "\" does not exist");
    }
    return name;
}

RunNames obtainNames(common::Console& console) {
    RunNames names;
    names.observed = existingInputName(console, 1, " Enter name of the input obs file : ", "obs");
    names.predicted = existingInputName(console, 2, " Enter name of the input prd file : ", "prd");
    names.xyz = console.argumentOrPrompt(3, " Enter name of the output xyz data file : ",
                                         common::ReplyKind::listItem);
    return names;
}

}  // namespace

int brevan(int argc, char** argv) {
    common::Console console(argc, argv);
    writeBanner(console);
    const RunNames names = obtainNames(console);

    console.listLine(" Processing data file");
    DataFileReader observed(names.observed, "obs", console);
    DataFileReader predicted(names.predicted, "prd", console);
    // Both data files are read to the end of the run, after a rewind.
    common::requireDistinctOutput(names.xyz, {names.observed, names.predicted});
    XyzOutput output(names.xyz);

    RunState state;
    firstPass(observed, predicted, state, console);
    output.writeHeader(state.table);
    observed.rewind();
    predicted.rewind();
    secondPass(observed, predicted, state, output, console);
    output.close();
    return 0;
}

}  // namespace pellack
