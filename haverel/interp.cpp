#include "haverel/interp.hpp"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/console.hpp"
#include "common/diagnostic.hpp"
#include "common/edit_format.hpp"
#include "common/line_reader.hpp"
#include "common/list_input.hpp"
#include "common/output_guard.hpp"
#include "common/platform.hpp"
#include "common/run_stop.hpp"
#include "common/text_writer.hpp"
#include "haverel/sample_conversion.hpp"
#include "haverel/survey_rows.hpp"

namespace haverel {

namespace {

constexpr std::string_view kUsageLine = "   haverel filin dirout filout chnfil {Unix:Y/N}";
constexpr std::string_view kBoxIndent = "                 ";
constexpr std::string_view kBanner[] = {
    "*******************************************", "*                                         *",
    "*               haverel                   *", "*                                         *",
    "*      a program to convert Questem       *", "*          formatted data files           *",
    "*                                         *", "*                                         *",
    "*******************************************"};
constexpr std::string_view kPrompts[] = {
    " enter the name of the input file (*.dat): ", " enter the name of the output directory : ",
    " enter the name of the output file : ", " enter the name of the time channel file : "};

std::string trimmed(std::string_view text) {
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1));
}

bool isBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

struct RunSettings {
    std::string inputName;
    std::string outputDirectory;
    std::string outputName;
    std::string timeChannelFile;
};

void writeBanner(common::Console& console) {
    console.blankLine();
    for (const std::string_view line : kBanner) console.line(std::string(kBoxIndent) + std::string(line));
    console.usageBlock(kUsageLine);
}

// The four names, from the command line or the console. A blank one ends the
// run before anything is made.
RunSettings obtainSettings(common::Console& console) {
    std::string values[4];
    for (int k = 1; k <= 4; ++k) {
        values[k - 1] = console.argumentOrPrompt(k, kPrompts[k - 1], common::ReplyKind::wholeLine);
        if (isBlank(values[k - 1])) throw common::RunStop("no name given at \"" + trimmed(kPrompts[k - 1]) + "\"");
    }
    // The Unix answer changes nothing in how lines are read here (LF and CR LF
    // are both accepted), but it is still asked for when no argument was given.
    if (console.argumentCount() == 0) {
        console.blankLine();
        console.prompt(" Is this a unix data file [N]: ", common::ReplyKind::wholeLine);
    }
    return {values[0], values[1], values[2], values[3]};
}

// The input files: every match of a wildcard name ("*." in it), in the
// pattern's folder, or the one name as given. Each entry holds the name to
// show and the path to open.
struct InputFile {
    std::string shownName;
    std::string path;
};

struct InputFiles {
    std::vector<InputFile> files;
    bool skippedAny = false;  // a match that is no regular file was left out
};

// The console counts the files that are converted: a match that is not a
// regular file (a folder, a FIFO, a device) could only block the batch or
// fail, so it is left out with a line on standard error.
InputFiles findInputFiles(common::Console& console, const std::string& inputName) {
    if (inputName.find("*.") == std::string::npos) return {{{trimmed(inputName), trimmed(inputName)}}};
    const std::string pattern = trimmed(inputName);
    const common::FileSearch search = common::findFiles(pattern);
    const std::string folder = common::folderOf(pattern);
    for (const std::string& name : search.notRegular) {
        common::writeDiagnostic("haverel", common::joinPath(folder, name) + " matches " + pattern +
                                               " but is not a regular file (a folder, FIFO or device); skipped");
    }
    if (search.files.empty()) {
        console.listLine(" no matching files were found");
        throw common::RunStop("no regular file matches " + pattern);
    }
    console.blankLine();
    std::string line = " Number of matching files ";
    common::appendI(line, static_cast<std::int64_t>(search.files.size()), 4);
    console.line(line);
    InputFiles inputs;
    inputs.skippedAny = !search.notRegular.empty();
    for (const std::string& name : search.files) inputs.files.push_back({name, common::joinPath(folder, name)});
    return inputs;
}

// What no output of the run may be written over: every input file of the
// batch (those already converted too) and the time channel file, which each
// line folder receives a copy of.
struct GuardedFiles {
    std::vector<std::string> dataFiles;
    std::vector<std::string> dataAndChannelFiles;
};

GuardedFiles guardedFiles(const std::vector<InputFile>& inputs, const std::string& channelFile) {
    GuardedFiles guarded;
    for (const InputFile& input : inputs) guarded.dataFiles.push_back(input.path);
    guarded.dataAndChannelFiles = guarded.dataFiles;
    guarded.dataAndChannelFiles.push_back(channelFile);
    return guarded;
}

// Output directory joined with the output name, cut at its first "." (which
// drops the extension of the output name).
std::string baseName(const RunSettings& settings) {
    std::string base = common::joinPath(trimmed(settings.outputDirectory), trimmed(settings.outputName));
    const std::size_t dot = base.find('.');
    if (dot != std::string::npos) base.erase(dot);
    return base;
}

common::TextWriter openOutput(const std::string& path, std::string_view header,
                              const std::vector<std::string>& guarded) {
    common::requireDistinctOutput(path, guarded);
    common::TextWriter writer(path);
    if (!writer.isOpen()) throw common::RunStop("cannot create " + path);
    writer.line(header);
    return writer;
}

struct FileHeader {
    std::int32_t lineNumber = 0;
    std::int32_t direction = 0;
};

// Header line 1 (after blank and comment lines) and header line 2. False when
// the input ends first; a header line 1 without four integers stops the run.
bool readFileHeader(common::LineReader& input, FileHeader& header) {
    std::string_view line;
    do {
        if (!input.next(line)) return false;
    } while (line.empty() || line.front() == '*' || line.find_first_not_of(' ') == std::string_view::npos);
    const std::string headerLine(line);
    const long headerLineNumber = input.lineNumber();
    if (!input.next(line)) return false;

    std::int32_t unused2 = 0, unused4 = 0;
    common::InputError error;
    switch (common::readListFromText(headerLine, {&header.lineNumber, &unused2, &header.direction, &unused4},
                                     &error, input.name(), headerLineNumber)) {
        case common::ReadStatus::ok:
            return true;
        case common::ReadStatus::endOfFile:
            error = {input.name(), headerLineNumber, headerLine,
                     "the header line holds fewer than four integers (line number, a second integer, "
                     "direction code, a fourth integer)"};
            break;
        case common::ReadStatus::badValue:
            break;
    }
    throw common::RunStop(error.describe());
}

// The line folder, the copy of the time channel file in it, and the line's
// EM data file with its three header lines. A copy that fails leaves the line
// folder incomplete: it is reported and marks the run as failed. When the copy
// or the EM data file would land on an input, the run stops before anything
// of the folder is made.
common::TextWriter prepareLineFolder(const RunSettings& settings, std::int32_t lineNumber,
                                     const GuardedFiles& guarded, bool& copyFailed) {
    const std::string lineText = std::to_string(lineNumber);
    const std::string folder = common::joinPath(trimmed(settings.outputDirectory), lineText);
    const std::string channelFile = trimmed(settings.timeChannelFile);
    const std::string channelCopy = common::joinPath(folder, common::nameOf(channelFile));
    const std::string emDataPath = common::joinPath(folder, lineText + ".tem");
    // A channel file that already lies in the line folder is its own copy.
    common::requireDistinctOutput(channelCopy, guarded.dataFiles);
    common::requireDistinctOutput(emDataPath, guarded.dataAndChannelFiles);
    common::makeDirectory(folder);
    if (!common::copyFile(channelFile, channelCopy)) {
        common::writeDiagnostic("haverel", "could not copy " + channelFile + " into " + folder);
        copyFailed = true;
    }
    // Checked above, before the folder was made.
    common::TextWriter emData = openOutput(emDataPath, "EM DATA", {});
    emData.line("DATATYPE:TEM  UNITS:(ppm)  LINE:" + lineText + " CONFIG:InLoop CHANNELFILE:" + channelFile);
    emData.line(kEmDataColumnHeader);
    return emData;
}

void closeOrStop(common::TextWriter& writer) {
    if (!writer.close()) throw common::RunStop("cannot write " + writer.path());
}

}  // namespace

int INTERP(int argc, char** argv) {
    common::Console console(argc, argv);
    writeBanner(console);
    const RunSettings settings = obtainSettings(console);
    const InputFiles inputs = findInputFiles(console, settings.inputName);
    const GuardedFiles guarded = guardedFiles(inputs.files, trimmed(settings.timeChannelFile));

    common::makeDirectory(trimmed(settings.outputDirectory));
    const std::string base = baseName(settings);
    common::TextWriter mag = openOutput(base + "_mag.dat", kMagHeader, guarded.dataAndChannelFiles);
    common::TextWriter em = openOutput(base + "_em.dat", kEmHeader, guarded.dataAndChannelFiles);

    int exitStatus = inputs.skippedAny ? 1 : 0;
    for (const InputFile& input : inputs.files) {
        console.blankLine();
        console.blankLine();
        console.listLine(" processing data file " + input.shownName);
        console.blankLine();

        std::int32_t dataPointCount = 0;
        common::LineReader reader(input.path);
        FileHeader header;
        if (!reader.isOpen()) {
            common::writeDiagnostic("haverel", input.path + " does not exist or cannot be read");
            exitStatus = 1;
        } else if (readFileHeader(reader, header)) {
            bool copyFailed = false;
            common::TextWriter emData = prepareLineFolder(settings, header.lineNumber, guarded, copyFailed);
            if (copyFailed) exitStatus = 1;
            dataPointCount = convertSampleLines(reader, header.lineNumber, header.direction, {mag, em, emData});
            closeOrStop(emData);
        }
        // A read that fails (an input that is a folder, a device error) ends
        // the file like its end does, but it must not pass for a short file.
        if (reader.isOpen() && reader.failed()) {
            common::writeDiagnostic("haverel", input.path + " could not be read to its end");
            exitStatus = 1;
        }
        console.listLine(" number data points read    : ", dataPointCount);
    }
    closeOrStop(mag);
    closeOrStop(em);
    return exitStatus;
}

}  // namespace haverel
