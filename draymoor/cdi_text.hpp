#pragma once
// Text handling of the CDI data file: TABs count as blanks, fields are
// separated by runs of blanks, and every field that is used is read as one
// list item (a number).
#include <cstdint>
#include <string>
#include <string_view>

namespace draymoor {

// `text` with every TAB turned into a blank, into `out` (whose storage is
// reused from line to line).
void tabsToBlanks(std::string_view text, std::string& out);

// True for a line of nothing but blanks and TABs.
bool isBlankText(std::string_view text);

// The next field of `rest`, fields being separated by runs of blanks or
// TABs (a TAB counts as a blank); `rest` becomes the text after the blank
// that ends the field. Empty when only blanks are left.
std::string_view nextField(std::string_view& rest);

// `text` without leading / trailing blanks.
std::string_view skipLeadingBlanks(std::string_view text);
std::string_view trimTrailingBlanks(std::string_view text);

// Where a field came from, to name it when it is not a number.
struct FieldSource {
    const std::string* fileName = nullptr;
    long lineNumber = 0;
};

// Reads the field as one list item into `target`, which a null item (",")
// leaves as it was. Stops the run (common::RunStop, naming file, line and
// text) when the field does not read as a number of that kind.
void readRealField(std::string_view field, float& target, const FieldSource& source);
void readIntegerField(std::string_view field, std::int32_t& target, const FieldSource& source);

// The fields of a data line, read left to right in one pass: each field is
// found and, when wanted, read as it is scanned. Separators are as for
// nextField().
class FieldScanner {
public:
    explicit FieldScanner(std::string_view text) : at_(text.data()), end_(text.data() + text.size()) {}

    // Passes over the next field; false when only blanks are left.
    bool skip();
    // Reads the next field as readRealField() does; false, leaving `target`
    // alone, when only blanks are left.
    bool readReal(float& target, const FieldSource& source);

private:
    // At the first character of the next field; false when there is none.
    bool toField();

    const char* at_;
    const char* end_;
};

}  // namespace draymoor
