#pragma once
// List-directed input in the manner of Fortran's READ(unit,*).
//
// One read statement starts on a new line, takes items separated by blanks,
// commas or line ends, runs on over further lines when a line holds too few,
// and ignores whatever follows its last needed item on the last line used.
// Accepted number forms are those of list-directed input: optional sign,
// digits with an optional point, an exponent written with E, D, Q or just a
// sign (1.5+3), repeat counts (3*0.5), null items (",,") that leave the
// target unchanged, and a "/" that ends the statement leaving the remaining
// targets unchanged. NaN and Inf spellings are accepted for reals.
//
// Character items: a quoted item may hold blanks and commas; an unquoted one
// ends at the first blank or comma. A slash inside a name belongs to it,
// because "/" is the path separator on this platform.
//
// A field that is not a number for its target is never a crash: the read
// stops with ReadStatus::badValue and an InputError that names the file, the
// line number and the offending text.
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "common/line_reader.hpp"

namespace common {

enum class ReadStatus { ok, endOfFile, badValue };

struct InputError {
    std::string fileName;
    long lineNumber = 0;
    std::string text;    // the offending field, or the line that ran short
    std::string reason;  // e.g. "not a number", "end of file"

    // One line for standard error: "<file>, line <n>: <reason>: '<text>'".
    std::string describe() const;
};

// A target of a read statement.
using ListTarget = std::variant<float*, double*, std::int32_t*, std::string*>;

// Convert one list item (already separated, no blanks) to a number. They
// return false when the text is not a number of that kind.
bool parseListReal(std::string_view item, float& value);
bool parseListDouble(std::string_view item, double& value);
bool parseListInteger(std::string_view item, std::int32_t& value);

class ListReader {
public:
    explicit ListReader(LineReader& lines) : lines_(lines) {}

    // One read statement over the targets, in order.
    ReadStatus read(std::initializer_list<ListTarget> targets);
    ReadStatus readReals(std::span<float> values);
    ReadStatus readDoubles(std::span<double> values);
    ReadStatus readIntegers(std::span<std::int32_t> values);

    // Set when a read did not return ok.
    const InputError& error() const { return error_; }

private:
    template <typename Target>
    ReadStatus readSpan(std::span<Target> values);

    LineReader& lines_;
    InputError error_;
};

// One read statement from a text held in memory (an internal read), the text
// being one record. `sourceName` and `lineNumber` only label errors.
ReadStatus readListFromText(std::string_view text, std::initializer_list<ListTarget> targets,
                            InputError* error = nullptr, std::string_view sourceName = {},
                            long lineNumber = 0);

// The first list item of `text` as a name, as a console reply or a name field
// is read: leading blanks skipped, an unquoted name ends at a blank or comma,
// a quoted one at its closing quote (doubled quotes stand for one). Empty when
// the text holds no item.
std::string firstListName(std::string_view text);

}  // namespace common
