#pragma once
// The console front end that all five programs share.
//
// Everything a program shows goes to standard output through this class, byte
// for byte, in one buffered stream that is flushed before every read of the
// console and at the end. Lines written "as list items" begin with one blank;
// an integer item stands right-aligned in 12 columns after the text before it.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/line_reader.hpp"

namespace common {

enum class ReplyKind {
    listItem,   // the first list item of the typed line (a name)
    wholeLine,  // the typed line as it stands
};

class Console {
public:
    // `argc`/`argv` as main() gets them; argv[0] is the program name.
    Console(int argc, char** argv);
    ~Console();
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    // Number of arguments after the program name.
    int argumentCount() const { return static_cast<int>(arguments_.size()); }
    // Argument n, counted from 1, as given.
    const std::string& argument(int n) const { return arguments_.at(static_cast<std::size_t>(n - 1)); }

    // Argument n when at least n arguments were given; otherwise a blank line,
    // the prompt (no line end) and the reply read from standard input. A list
    // item reply skips lines that hold only blanks, as a list-directed read
    // does. At the end of standard input the run stops (RunStop, exit status 1).
    std::string argumentOrPrompt(int n, std::string_view prompt, ReplyKind kind);
    // Only the prompt and reply (the caller decides whether to ask).
    std::string prompt(std::string_view prompt, ReplyKind kind);

    void write(std::string_view text);      // as it stands, no line end
    void line(std::string_view text);       // text and a line end
    void blankLine();
    void listLine(std::string_view text);   // " " + text
    // " " + text + the integer right-aligned in 12 columns.
    void listLine(std::string_view text, std::int32_t value);
    // A blank line, " Command line usage : " and the usage line as list items,
    // and a blank line.
    void usageBlock(std::string_view usageLine);
    void flush();

private:
    std::vector<std::string> arguments_;
    std::string pending_;
    LineReader input_;
};

// The text of an integer written as a list item: right-aligned in 12 columns.
std::string listInteger(std::int32_t value);

}  // namespace common
