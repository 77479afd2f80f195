#include "common/console.hpp"

#include <cstdio>

#include "common/edit_format.hpp"
#include "common/list_input.hpp"
#include "common/run_stop.hpp"

namespace common {

namespace {
constexpr std::size_t kFlushThreshold = 1 << 16;
}

Console::Console(int argc, char** argv) : input_(0, "standard input") {
    for (int i = 1; i < argc; ++i) arguments_.emplace_back(argv[i]);
}

Console::~Console() { flush(); }

std::string Console::argumentOrPrompt(int n, std::string_view promptText, ReplyKind kind) {
    if (argumentCount() >= n) return argument(n);
    blankLine();
    return prompt(promptText, kind);
}

std::string Console::prompt(std::string_view promptText, ReplyKind kind) {
    write(promptText);
    flush();
    std::string_view reply;
    if (!input_.next(reply)) {
        throw RunStop("no reply on standard input to \"" + std::string(promptText) + "\"");
    }
    if (kind == ReplyKind::wholeLine) return std::string(reply);
    // A list-directed read takes a line of blanks as separators only and goes
    // on with the next line until it meets an item.
    while (reply.find_first_not_of(" \t") == std::string_view::npos) {
        if (!input_.next(reply)) {
            throw RunStop("no reply on standard input to \"" + std::string(promptText) + "\"");
        }
    }
    return firstListName(reply);
}

void Console::write(std::string_view text) {
    pending_.append(text);
    if (pending_.size() >= kFlushThreshold) flush();
}

void Console::line(std::string_view text) {
    pending_.append(text);
    pending_.push_back('\n');
    if (pending_.size() >= kFlushThreshold) flush();
}

void Console::blankLine() { line(""); }

void Console::listLine(std::string_view text) {
    pending_.push_back(' ');
    line(text);
}

void Console::listLine(std::string_view text, std::int32_t value) {
    pending_.push_back(' ');
    pending_.append(text);
    line(listInteger(value));
}

void Console::usageBlock(std::string_view usageLine) {
    blankLine();
    listLine(" Command line usage : ");
    listLine(usageLine);
    blankLine();
}

void Console::flush() {
    if (!pending_.empty()) {
        std::fwrite(pending_.data(), 1, pending_.size(), stdout);
        pending_.clear();
    }
    std::fflush(stdout);
}

std::string listInteger(std::int32_t value) { return formatI(value, 12); }

}  // namespace common
