#include "draymoor/brevan.hpp"

#include <string>

#include "common/console.hpp"
#include "common/line_reader.hpp"
#include "common/platform.hpp"
#include "common/run_stop.hpp"
#include "draymoor/cdi_body.hpp"
#include "draymoor/cdi_rows.hpp"
#include "draymoor/depth_header.hpp"

namespace draymoor {

namespace {

struct RunNames {
    std::string input;
    std::string xyz;
};

RunNames frontEnd(common::Console& console) {
    console.line(" This program reads a Tempest CDI data file");
    console.line(" and converts it to a standard xyz data file. ");
    console.usageBlock("   draymoor infile outfil");
    RunNames names;
    names.input = console.argumentOrPrompt(1, " Enter name of the input file : ", common::ReplyKind::listItem);
    if (!common::fileExists(names.input)) {
        console.line(" that file does not exist");
        throw common::RunStop("the CDI data file \"" + names.input + "\" does not exist");
    }
    names.xyz = console.argumentOrPrompt(2, " Enter name of the output xyz data file : ",
                                         common::ReplyKind::listItem);
    return names;
}

// Every line header closes the line before and opens the next line data
// file; every data line gives one row per positive conductivity.
void convertBody(common::LineReader& lines, const DepthList& depths, CdiOutputs& outputs,
                 common::Console& console) {
    DataValues values;
    LineHeader header;
    std::string text;
    std::string_view line;
    while (lines.next(line)) {
        const FieldSource source{&lines.name(), lines.lineNumber()};
        switch (classifyBodyLine(line)) {
            case BodyLineKind::skipped:
                break;
            case BodyLineKind::lineHeader:
                outputs.finishLine(console);
                tabsToBlanks(line, text);
                readLineHeader(text, header, source);
                outputs.openLine(header.lineNumber, header.fileName);
                break;
            case BodyLineKind::data:
                readDataLine(line, depths.count, values, source);
                outputs.writeRows(values.station, depths.depths.data(), values.conductivities.data(),
                                  depths.count, console);
                break;
        }
    }
}

void stopOnReadFailure(const common::LineReader& lines) {
    if (lines.failed()) throw common::RunStop("cannot read the CDI data file \"" + lines.name() + "\"");
}

}  // namespace

int brevan(int argc, char** argv) {
    common::Console console(argc, argv);
    const RunNames names = frontEnd(console);

    console.listLine(" Processing the data file");
    common::LineReader lines(names.input);
    if (!lines.isOpen()) {
        throw common::RunStop("cannot open the CDI data file \"" + names.input + "\" for reading");
    }
    CdiOutputs outputs(names.xyz, names.input);

    DepthList depths;
    if (readDepthHeader(lines, depths, console) == HeaderResult::endedEarly) {
        stopOnReadFailure(lines);
        outputs.close();
        throw common::RunStop("the CDI data file \"" + names.input +
                              "\" ends before its depth count and depth list are complete");
    }
    convertBody(lines, depths, outputs, console);
    stopOnReadFailure(lines);
    // The input ends the run; the summary of the last line is not shown.
    outputs.close();
    return 0;
}

}  // namespace draymoor
