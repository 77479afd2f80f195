// List-directed input: items, separators, repeat counts, nulls, the slash,
// and the conversion of one item to a number.
//
// One read statement is run by a StatementScanner over a source of records:
// the lines of a file (a statement may run on over further lines) or one text
// held in memory (an internal read, a single record). Items are handed out
// as views into the current record, so reading numbers copies nothing.
#include "common/list_input.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>
#include <type_traits>
#include <utility>

namespace common {
namespace {

// ---------------------------------------------------------------------------
// Characters

// Blanks between items. A NUL before an item is skipped too (as a record
// padded with NULs reads); inside an item it is part of the item.
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\0'; }

// A semicolon separates items as a comma does.
bool isComma(char c) { return c == ',' || c == ';'; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isQuote(char c) { return c == '\'' || c == '"'; }

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view text, std::string_view lowerWord) {
    if (text.size() != lowerWord.size()) {
        return false;
    }
    for (std::size_t index = 0; index < text.size(); ++index) {
        if (lowerAscii(text[index]) != lowerWord[index]) {
            return false;
        }
    }
    return true;
}

// An unquoted item ends at a blank, a comma or a semicolon; a number also at
// a slash. A name keeps its slashes: "/" is the path separator here.
bool endsItem(char c, bool isName) {
    return c == ' ' || c == '\t' || c == '\r' || isComma(c) || (!isName && c == '/');
}

// ---------------------------------------------------------------------------
// Numbers

// Exponents are gathered with a ceiling: far beyond it every float over- or
// underflows alike.
constexpr std::int64_t kExponentCeiling = 1000000000;

// NaN, NaN(anything alphanumeric), Inf and Infinity, in any case.
template <typename Real>
bool parseSpecialReal(std::string_view word, bool negative, Real& value) {
    const Real sign = negative ? Real(-1) : Real(1);
    if (equalsIgnoringCase(word, "inf") || equalsIgnoringCase(word, "infinity")) {
        value = sign * std::numeric_limits<Real>::infinity();
        return true;
    }
    if (word.size() >= 3 && equalsIgnoringCase(word.substr(0, 3), "nan")) {
        std::string_view payload = word.substr(3);
        if (!payload.empty()) {
            if (payload.front() != '(' || payload.back() != ')') {
                return false;
            }
            for (const char c : payload.substr(1, payload.size() - 2)) {
                const char lower = lowerAscii(c);
                if (!isDigit(c) && !(lower >= 'a' && lower <= 'z') && c != '_') {
                    return false;
                }
            }
        }
        value = std::copysign(std::numeric_limits<Real>::quiet_NaN(), sign);
        return true;
    }
    return false;
}

// Converts "[-]mantissa" with a decimal exponent, correctly rounded. The C++
// conversion reports a result beyond the type's range without a value; list
// input gives an infinity for an overflow and a zero for an underflow, both
// signed, so the magnitude's decimal order tells which.
template <typename Real>
bool convertReal(std::string_view signedMantissa, std::int64_t exponent, bool standardForm,
                 std::int64_t order, bool negative, Real& value) {
    constexpr std::size_t kStackText = 256;
    char stack[kStackText];
    std::string heap;
    std::string_view text = signedMantissa;
    if (!standardForm) {
        // Spell the exponent the one way the conversion accepts: "e-12".
        char exponentText[24];
        exponentText[0] = 'e';
        const auto written = std::to_chars(exponentText + 1, exponentText + sizeof exponentText, exponent);
        const std::string_view exponentPart(exponentText, static_cast<std::size_t>(written.ptr - exponentText));
        const std::size_t length = signedMantissa.size() + exponentPart.size();
        char* target = stack;
        if (length > kStackText) {
            heap.resize(length);
            target = heap.data();
        }
        signedMantissa.copy(target, signedMantissa.size());
        exponentPart.copy(target + signedMantissa.size(), exponentPart.size());
        text = std::string_view(target, length);
    }
    Real converted{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), converted);
    if (error == std::errc::result_out_of_range) {
        const Real magnitude = order >= 0 ? std::numeric_limits<Real>::infinity() : Real(0);
        value = negative ? -magnitude : magnitude;
        return true;
    }
    if (error != std::errc() || end != text.data() + text.size()) {
        return false;
    }
    value = converted;
    return true;
}

// [sign] digits [. digits] [exponent], with at least one mantissa digit; the
// exponent is a letter E, D or Q with an optional sign, or a sign alone
// ("1.5+3"), followed by digits.
template <typename Real>
bool parseReal(std::string_view item, Real& value) {
    std::size_t index = 0;
    const std::size_t size = item.size();
    bool negative = false;
    if (index < size && (item[index] == '+' || item[index] == '-')) {
        negative = item[index] == '-';
        ++index;
    }
    const std::size_t mantissaStart = index;
    if (index < size && !isDigit(item[index]) && item[index] != '.') {
        return parseSpecialReal(item.substr(index), negative, value);
    }

    // The decimal order of the first significant digit, to tell an overflow
    // from an underflow.
    std::int64_t integerDigits = 0;  // significant digits before the point
    std::int64_t fractionZeros = 0;  // zeros after the point before a significant digit
    bool significant = false;
    bool anyDigit = false;
    for (; index < size && isDigit(item[index]); ++index) {
        anyDigit = true;
        significant = significant || item[index] != '0';
        integerDigits += significant ? 1 : 0;
    }
    if (index < size && item[index] == '.') {
        for (++index; index < size && isDigit(item[index]); ++index) {
            anyDigit = true;
            if (!significant && item[index] == '0') {
                ++fractionZeros;
            }
            significant = significant || item[index] != '0';
        }
    }
    if (!anyDigit) {
        return false;
    }
    const std::size_t mantissaEnd = index;

    std::int64_t exponent = 0;
    bool standardForm = true;
    if (index < size) {
        const char marker = lowerAscii(item[index]);
        if (marker == 'e' || marker == 'd' || marker == 'q') {
            standardForm = marker == 'e';
            ++index;
        } else if (marker != '+' && marker != '-') {
            return false;
        } else {
            standardForm = false;
        }
        bool exponentNegative = false;
        if (index < size && (item[index] == '+' || item[index] == '-')) {
            exponentNegative = item[index] == '-';
            ++index;
        }
        if (index == size) {
            return false;
        }
        for (; index < size; ++index) {
            if (!isDigit(item[index])) {
                return false;
            }
            exponent = std::min(exponent * 10 + (item[index] - '0'), kExponentCeiling);
        }
        exponent = exponentNegative ? -exponent : exponent;
    }

    const std::int64_t order = (integerDigits > 0 ? integerDigits - 1 : -(fractionZeros + 1)) + exponent;
    // The conversion takes a minus sign but no plus sign.
    const std::size_t textStart = negative ? mantissaStart - 1 : mantissaStart;
    if (standardForm) {
        return convertReal(item.substr(textStart), 0, true, order, negative, value);
    }
    return convertReal(item.substr(textStart, mantissaEnd - textStart), exponent, false, order, negative,
                       value);
}

enum class IntegerSpelling { ok, notAnInteger, outOfRange };

IntegerSpelling parseInteger(std::string_view item, std::int32_t& value) {
    std::size_t index = 0;
    bool negative = false;
    if (index < item.size() && (item[index] == '+' || item[index] == '-')) {
        negative = item[index] == '-';
        ++index;
    }
    if (index == item.size()) {
        return IntegerSpelling::notAnInteger;
    }
    // Gather the magnitude up to one past the int32 range (2^31, the size of
    // the most negative value), then stop growing; the rest is still checked.
    constexpr std::int64_t kLimit = std::int64_t{1} << 31;
    std::int64_t magnitude = 0;
    for (; index < item.size(); ++index) {
        if (!isDigit(item[index])) {
            return IntegerSpelling::notAnInteger;
        }
        magnitude = std::min(magnitude * 10 + (item[index] - '0'), kLimit + 1);
    }
    if (magnitude > (negative ? kLimit : kLimit - 1)) {
        return IntegerSpelling::outOfRange;
    }
    value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
    return IntegerSpelling::ok;
}

// ---------------------------------------------------------------------------
// Records

// Where a statement's records come from.
class RecordSource {
public:
    virtual ~RecordSource() = default;
    virtual bool next(std::string_view& record) = 0;
    virtual long lineNumber() const = 0;
    virtual std::string_view name() const = 0;
    virtual bool failed() const { return false; }
    // Whether a quoted text may go on over the end of a record.
    virtual bool continues() const = 0;
};

class FileRecords final : public RecordSource {
public:
    explicit FileRecords(LineReader& lines) : lines_(lines) {}
    bool next(std::string_view& record) override { return lines_.next(record); }
    long lineNumber() const override { return lines_.lineNumber(); }
    std::string_view name() const override { return lines_.name(); }
    bool failed() const override { return lines_.failed(); }
    bool continues() const override { return true; }

private:
    LineReader& lines_;
};

class TextRecord final : public RecordSource {
public:
    TextRecord(std::string_view text, std::string_view sourceName, long line)
        : text_(text), name_(sourceName), line_(line) {}
    bool next(std::string_view& record) override {
        if (used_) {
            return false;
        }
        used_ = true;
        record = text_;
        return true;
    }
    long lineNumber() const override { return line_; }
    std::string_view name() const override { return name_; }
    bool continues() const override { return false; }

private:
    std::string_view text_;
    std::string_view name_;
    long line_;
    bool used_ = false;
};

// ---------------------------------------------------------------------------
// One read statement

enum class ItemKind { value, null, slash, end, bad };

struct Item {
    ItemKind kind = ItemKind::end;
    std::string_view text;  // the value, or the offending text
    bool quoted = false;
    std::int64_t repeat = 1;
    long line = 0;
    const char* reason = "";
};

class StatementScanner {
public:
    // `error` also keeps the last record that held an item, so that an end of
    // file can name the line that ran short.
    StatementScanner(RecordSource& source, InputError& error) : source_(source), error_(error) {
        error_.text.clear();
        error_.lineNumber = 0;
    }

    template <typename TargetAt>
    ReadStatus run(std::size_t count, TargetAt targetAt);

private:
    bool nextRecord();
    Item nextItem(bool isName);
    Item scanQuoted(Item item);
    bool assign(const ListTarget& target, const Item& item, const char*& reason);
    ReadStatus fail(ReadStatus status, const Item& item);

    RecordSource& source_;
    InputError& error_;
    std::string_view record_;
    std::size_t position_ = 0;
    bool started_ = false;
    bool afterItem_ = false;  // an item (or a null) came before
    bool commaTaken_ = false; // ... and the comma after it was taken as its separator
    std::string quotedText_;
};

bool holdsBlanksOnly(std::string_view record) {
    for (const char c : record) {
        if (!isBlank(c)) {
            return false;
        }
    }
    return true;
}

bool StatementScanner::nextRecord() {
    if (started_ && !holdsBlanksOnly(record_)) {
        error_.text.assign(record_);
        error_.lineNumber = source_.lineNumber();
    }
    started_ = true;
    position_ = 0;
    if (!source_.next(record_)) {
        record_ = {};
        return false;
    }
    return true;
}

Item StatementScanner::nextItem(bool isName) {
    Item item;
    if (!started_ && !nextRecord()) {
        return item;  // end
    }
    for (;;) {
        while (position_ < record_.size() && isBlank(record_[position_])) {
            ++position_;
        }
        if (position_ == record_.size()) {
            // The end of a record separates like a blank.
            if (!nextRecord()) {
                return item;
            }
            continue;
        }
        const char c = record_[position_];
        if (isComma(c)) {
            ++position_;
            if (afterItem_ && !commaTaken_) {
                commaTaken_ = true;  // the separator after the item before
                continue;
            }
            afterItem_ = commaTaken_ = true;
            item.kind = ItemKind::null;
            return item;
        }
        if (c == '/' && !isName) {
            item.kind = ItemKind::slash;
            return item;
        }
        break;
    }
    afterItem_ = true;
    commaTaken_ = false;
    item.line = source_.lineNumber();
    const std::size_t start = position_;

    // A leading "digits*" is a repeat count.
    std::size_t digitsEnd = position_;
    while (digitsEnd < record_.size() && isDigit(record_[digitsEnd])) {
        ++digitsEnd;
    }
    if (digitsEnd > position_ && digitsEnd < record_.size() && record_[digitsEnd] == '*') {
        std::int64_t repeat = 0;
        for (std::size_t index = position_; index < digitsEnd; ++index) {
            repeat = std::min<std::int64_t>(repeat * 10 + (record_[index] - '0'), kExponentCeiling);
        }
        position_ = digitsEnd + 1;
        item.repeat = repeat;
        const bool nothingFollows = position_ == record_.size() || endsItem(record_[position_], isName) ||
                                    isBlank(record_[position_]);
        if (repeat == 0) {
            while (position_ < record_.size() && !endsItem(record_[position_], isName)) {
                ++position_;
            }
            item.kind = ItemKind::bad;
            item.text = record_.substr(start, position_ - start);
            item.reason = "zero repeat count";
            return item;
        }
        if (nothingFollows) {
            item.kind = ItemKind::null;  // "r*": r null values
            return item;
        }
    }
    if (isName && isQuote(record_[position_])) {
        return scanQuoted(item);
    }
    const std::size_t valueStart = position_;
    while (position_ < record_.size() && !endsItem(record_[position_], isName)) {
        ++position_;
    }
    item.kind = ItemKind::value;
    item.text = record_.substr(valueStart, position_ - valueStart);
    return item;
}

// A quoted name: blanks, commas and slashes are its own, a doubled quote
// stands for one, and in a file it may go on over the end of a line (which
// adds nothing). Text right after the closing quote is an error.
Item StatementScanner::scanQuoted(Item item) {
    const char quote = record_[position_];
    ++position_;
    quotedText_.clear();
    for (;;) {
        if (position_ == record_.size()) {
            if (!source_.continues() || !nextRecord()) {
                break;  // an unterminated quote at the end of the input
            }
            continue;
        }
        const char c = record_[position_++];
        if (c != quote) {
            quotedText_.push_back(c);
            continue;
        }
        if (position_ < record_.size() && record_[position_] == quote) {
            quotedText_.push_back(quote);
            ++position_;
            continue;
        }
        if (position_ < record_.size() && !endsItem(record_[position_], false) && !isBlank(record_[position_])) {
            const std::size_t junkStart = position_;
            while (position_ < record_.size() && !endsItem(record_[position_], true)) {
                ++position_;
            }
            item.kind = ItemKind::bad;
            item.text = record_.substr(junkStart, position_ - junkStart);
            item.reason = "text after a closing quote";
            return item;
        }
        break;
    }
    item.kind = ItemKind::value;
    item.quoted = true;
    item.text = quotedText_;
    return item;
}

bool StatementScanner::assign(const ListTarget& target, const Item& item, const char*& reason) {
    return std::visit(
        [&](auto* destination) {
            using Value = std::remove_pointer_t<decltype(destination)>;
            if constexpr (std::is_same_v<Value, std::string>) {
                destination->assign(item.text);
                return true;
            } else if constexpr (std::is_same_v<Value, std::int32_t>) {
                std::int32_t value = 0;
                const IntegerSpelling spelling =
                    item.quoted ? IntegerSpelling::notAnInteger : parseInteger(item.text, value);
                if (spelling != IntegerSpelling::ok) {
                    reason = spelling == IntegerSpelling::outOfRange ? "integer out of range" : "not an integer";
                    return false;
                }
                *destination = value;
                return true;
            } else {
                Value value{};
                if (item.quoted || !parseReal(item.text, value)) {
                    reason = "not a number";
                    return false;
                }
                *destination = value;
                return true;
            }
        },
        target);
}

ReadStatus StatementScanner::fail(ReadStatus status, const Item& item) {
    error_.fileName.assign(source_.name());
    if (status == ReadStatus::endOfFile) {
        error_.reason = source_.failed() ? "read error" : "end of file";
        if (error_.lineNumber == 0) {
            error_.lineNumber = source_.lineNumber();
        }
        return status;
    }
    error_.lineNumber = item.line;
    error_.text.assign(item.text);
    error_.reason = item.reason;
    return status;
}

template <typename TargetAt>
ReadStatus StatementScanner::run(std::size_t count, TargetAt targetAt) {
    if (count == 0) {
        // A statement without items still takes its record: it skips a line.
        return nextRecord() ? ReadStatus::ok : fail(ReadStatus::endOfFile, Item{});
    }
    Item repeated;
    std::int64_t repeatsLeft = 0;
    for (std::size_t index = 0; index < count; ++index) {
        const ListTarget target = targetAt(index);
        Item item;
        if (repeatsLeft > 0) {
            item = repeated;
            --repeatsLeft;
        } else {
            item = nextItem(std::holds_alternative<std::string*>(target));
            if (item.repeat > 1) {
                repeated = item;
                repeatsLeft = item.repeat - 1;
            }
        }
        switch (item.kind) {
            case ItemKind::value: {
                const char* reason = "";
                if (!assign(target, item, reason)) {
                    item.reason = reason;
                    return fail(ReadStatus::badValue, item);
                }
                break;
            }
            case ItemKind::null:
                break;  // the target keeps its value
            case ItemKind::slash:
                return ReadStatus::ok;  // so do all the targets after it
            case ItemKind::end:
                return fail(ReadStatus::endOfFile, item);
            case ItemKind::bad:
                return fail(ReadStatus::badValue, item);
        }
    }
    return ReadStatus::ok;
}

}  // namespace

// ---------------------------------------------------------------------------

std::string InputError::describe() const {
    std::string line;
    if (!fileName.empty()) {
        line.append(fileName).append(", ");
    }
    line.append("line ").append(std::to_string(lineNumber)).append(": ").append(reason);
    line.append(": '").append(text).append("'");
    return line;
}

bool parseListReal(std::string_view item, float& value) { return parseReal(item, value); }

bool parseListDouble(std::string_view item, double& value) { return parseReal(item, value); }

bool parseListInteger(std::string_view item, std::int32_t& value) {
    return parseInteger(item, value) == IntegerSpelling::ok;
}

ReadStatus ListReader::read(std::initializer_list<ListTarget> targets) {
    FileRecords records(lines_);
    StatementScanner scanner(records, error_);
    return scanner.run(targets.size(), [&](std::size_t index) { return targets.begin()[index]; });
}

template <typename Target>
ReadStatus ListReader::readSpan(std::span<Target> values) {
    FileRecords records(lines_);
    StatementScanner scanner(records, error_);
    return scanner.run(values.size(), [&](std::size_t index) { return ListTarget(&values[index]); });
}

ReadStatus ListReader::readReals(std::span<float> values) { return readSpan(values); }

ReadStatus ListReader::readDoubles(std::span<double> values) { return readSpan(values); }

ReadStatus ListReader::readIntegers(std::span<std::int32_t> values) { return readSpan(values); }

ReadStatus readListFromText(std::string_view text, std::initializer_list<ListTarget> targets, InputError* error,
                            std::string_view sourceName, long lineNumber) {
    InputError local;
    InputError& report = error != nullptr ? *error : local;
    TextRecord record(text, sourceName, lineNumber);
    StatementScanner scanner(record, report);
    const ReadStatus status = scanner.run(targets.size(), [&](std::size_t index) { return targets.begin()[index]; });
    if (status == ReadStatus::endOfFile) {
        report.lineNumber = lineNumber;
    }
    return status;
}

std::string firstListName(std::string_view text) {
    std::size_t index = 0;
    while (index < text.size() && isBlank(text[index])) {
        ++index;
    }
    if (index == text.size()) {
        return {};
    }
    std::string name;
    const char quote = text[index];
    if (!isQuote(quote)) {
        while (index < text.size() && text[index] != ' ' && text[index] != '\t' && text[index] != '\r' &&
               text[index] != ',') {
            name.push_back(text[index++]);
        }
        return name;
    }
    for (++index; index < text.size(); ++index) {
        if (text[index] == quote) {
            if (index + 1 < text.size() && text[index + 1] == quote) {
                ++index;  // a doubled quote stands for one
            } else {
                break;
            }
        }
        name.push_back(text[index]);
    }
    return name;
}

}  // namespace common
