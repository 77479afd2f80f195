// List-directed input: items, separators, repeat counts, nulls and the
// slash (the spelling of a number is list_number.cpp's).
//
// One read statement is run by a StatementScanner over a source of records:
// the lines of a file (a statement may run on over further lines) or one text
// held in memory (an internal read, a single record). Items are handed out
// as views into the current record, so reading numbers copies nothing.
#include "common/list_input.hpp"

#include <algorithm>
#include <type_traits>

#include "common/list_number.hpp"

namespace common {
namespace {

// ---------------------------------------------------------------------------
// Characters

// Blanks between items. A NUL before an item is skipped too (as a record
// padded with NULs reads); inside an item it is part of the item.
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\0'; }

// A semicolon separates items as a comma does.
bool isComma(char c) { return c == ',' || c == ';'; }

bool isQuote(char c) { return c == '\'' || c == '"'; }

// An unquoted item ends at a blank, a comma or a semicolon; a number also at
// a slash. A name keeps its slashes: "/" is the path separator here.
bool endsItem(char c, bool isName) {
    return c == ' ' || c == '\t' || c == '\r' || isComma(c) || (!isName && c == '/');
}

bool parseItem(std::string_view text, float& value) { return parseListReal(text, value); }
bool parseItem(std::string_view text, double& value) { return parseListDouble(text, value); }

// Repeat counts are gathered with a ceiling: no statement has more items.
constexpr std::int64_t kRepeatCeiling = 1000000000;

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
    template <typename Real>
    bool takeShortDecimal(Real& target);
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

// The usual item of a record of numbers: a short decimal after blanks, ended
// by a blank, a separator or the end of the record, read straight into its
// target. False, taking nothing, for anything else (a null, a slash, a repeat
// count, the end of the record, another spelling), which nextItem() reads.
template <typename Real>
bool StatementScanner::takeShortDecimal(Real& target) {
    if (!started_) return false;
    const char* const first = record_.data();
    const char* const end = first + record_.size();
    const char* at = first + position_;
    while (at != end && isBlank(*at)) ++at;
    if (at == end) return false;
    Real value{};
    const char* const after = scanExactDecimal(at, end, value);
    if (after == nullptr || (after != end && !endsItem(*after, false))) return false;
    target = value;
    position_ = static_cast<std::size_t>(after - first);
    afterItem_ = true;
    commaTaken_ = false;
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
    while (digitsEnd < record_.size() && isAsciiDigit(record_[digitsEnd])) {
        ++digitsEnd;
    }
    if (digitsEnd > position_ && digitsEnd < record_.size() && record_[digitsEnd] == '*') {
        std::int64_t repeat = 0;
        for (std::size_t index = position_; index < digitsEnd; ++index) {
            repeat = std::min<std::int64_t>(repeat * 10 + (record_[index] - '0'), kRepeatCeiling);
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
                    item.quoted ? IntegerSpelling::notAnInteger : spellInteger(item.text, value);
                if (spelling != IntegerSpelling::ok) {
                    reason = spelling == IntegerSpelling::outOfRange ? "integer out of range" : "not an integer";
                    return false;
                }
                *destination = value;
                return true;
            } else {
                Value value{};
                if (item.quoted || !parseItem(item.text, value)) {
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
        if (repeatsLeft == 0) {
            if (float* const* real = std::get_if<float*>(&target); real != nullptr && takeShortDecimal(**real)) {
                continue;
            }
            if (double* const* wide = std::get_if<double*>(&target); wide != nullptr && takeShortDecimal(**wide)) {
                continue;
            }
        }
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
    return scanner.run(targets.size(), [&](std::size_t index) { return targets.begin()[index]; });
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
