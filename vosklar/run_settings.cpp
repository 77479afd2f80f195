#include "vosklar/run_settings.hpp"

#include "common/list_input.hpp"
#include "common/platform.hpp"
#include "common/run_stop.hpp"

namespace vosklar {

namespace {

std::string_view withoutTrailingBlanks(std::string_view text) {
    const std::size_t end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view{} : text.substr(0, end + 1);
}

// Blanks and tabs alike only separate list items.
bool isBlank(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos;
}

// The maximum depth is read as one real. A reply of blanks holds no item, so
// the read goes on with the next typed line, as a list-directed read does.
float promptMaximumDepth(common::Console& console, float depth) {
    console.blankLine();
    std::string reply = console.prompt(" Enter the maximum depth to grid : ", common::ReplyKind::wholeLine);
    while (isBlank(reply)) reply = console.prompt("", common::ReplyKind::wholeLine);
    common::InputError error;
    if (common::readListFromText(reply, {&depth}, &error, "standard input") != common::ReadStatus::ok) {
        throw common::RunStop("the maximum depth '" + reply + "' is not a number");
    }
    return depth;
}

float maximumDepthFromArgument(const std::string& argument, float depth) {
    common::InputError error;
    if (common::readListFromText(argument, {&depth}, &error, "argument 4") != common::ReadStatus::ok) {
        throw common::RunStop("the maximum depth '" + argument + "' is not a number");
    }
    return depth;
}

}  // namespace

InversionMethod methodFromName(std::string_view name) {
    const std::string_view word = withoutTrailingBlanks(name);
    return word.empty() || word == "grendl" ? InversionMethod::grendl : InversionMethod::airbeo;
}

RunSettings readRunSettings(common::Console& console) {
    console.line(" This program reads GRENDL model data files");
    console.line(" and converts then to a standard xyz data file. ");
    console.usageBlock(kUsageLine);

    RunSettings settings;
    settings.method = methodFromName(console.argumentOrPrompt(
        1, " Enter name of the inversion method (airbeo,grendl) : ", common::ReplyKind::listItem));

    settings.listFileName =
        console.argumentOrPrompt(2, " Enter name of the input list file : ", common::ReplyKind::listItem);
    if (!common::fileExists(settings.listFileName)) {
        console.line(" that file does not exist");
        throw common::RunStop("the list file '" + settings.listFileName + "' does not exist");
    }

    settings.outputName =
        console.argumentOrPrompt(3, " Enter name of the output xyz data file : ", common::ReplyKind::listItem);

    // The maximum depth is asked for only when the program got no argument at all.
    if (console.argumentCount() == 0) {
        settings.maximumDepth = promptMaximumDepth(console, settings.maximumDepth);
    } else if (console.argumentCount() >= 4) {
        settings.maximumDepth = maximumDepthFromArgument(console.argument(4), settings.maximumDepth);
    }
    return settings;
}

}  // namespace vosklar
