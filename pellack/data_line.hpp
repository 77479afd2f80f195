#pragma once
// The data line of a frequency: a component letter (B both, I in-phase, Q
// quadrature, either case) followed by value tokens and error-mode tokens.
// Taking its values fills the value slots of the frequency's row.
#include <cstddef>
#include <string_view>

#include "pellack/frequency_table.hpp"
#include "pellack/value_table.hpp"

namespace pellack {

// Which of the two data files a line comes from: observed lines carry values
// and errors, predicted lines only values.
enum class DataRole { observed, predicted };

struct TypeLetterMatch {
    TypeLetter letter = TypeLetter::none;
    // Where the tokens begin: just after the later of the first upper-case
    // and the first lower-case occurrence of the letter.
    std::size_t tokensStart = 0;
};

// B or b anywhere in the line wins over I or i, which wins over Q or q.
TypeLetterMatch findTypeLetter(std::string_view line);

enum class DataLineStatus {
    ok,
    noTypeLetter,  // none of B, I or Q in the line
    tooFewValues,  // the line ends before every slot of its letter is filled
    badValue,      // a value token is not a number
};

struct DataLineResult {
    DataLineStatus status = DataLineStatus::ok;
    std::string_view token;  // the offending token of a badValue
};

// Fills the slots that the line's letter and role name, in token order. An
// observed line with only one component marks the other component's
// observed, error and predicted slots missing. Error-mode tokens (holding V
// or v: absolute errors; else P or p: percentages) set the row's error mode
// and fill no slot. Tokens after the last slot needed are not looked at.
DataLineResult takeDataLine(std::string_view line, DataRole role, ValueRow& row);

}  // namespace pellack
