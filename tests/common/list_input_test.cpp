// List-directed input against the reference table data/fortran/listread.tsv
// (internal reads, file reads, standard input), then the error reports, the
// hostile inputs and the name reading of console replies.
#include "common/list_input.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <fstream>
#include <limits>
#include <map>
#include <string>
#include <variant>
#include <vector>

#include "common/line_reader.hpp"
#include "support/temp_folder.hpp"

namespace {

// ---------------------------------------------------------------------------
// The reference table

std::vector<std::string> splitOn(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t found = text.find(separator, start);
        parts.push_back(text.substr(start, found - start));
        if (found == std::string::npos) {
            return parts;
        }
        start = found + 1;
    }
}

// "|...|" with the escapes \\ \t \n \r \xHH.
std::string unescape(const std::string& wrapped) {
    const std::string text = wrapped.substr(1, wrapped.size() - 2);
    std::string bytes;
    for (std::size_t index = 0; index < text.size(); ++index) {
        if (text[index] != '\\') {
            bytes.push_back(text[index]);
            continue;
        }
        const char code = text[++index];
        if (code == 't') {
            bytes.push_back('\t');
        } else if (code == 'n') {
            bytes.push_back('\n');
        } else if (code == 'r') {
            bytes.push_back('\r');
        } else if (code == 'x') {
            unsigned value = 0;
            std::from_chars(text.data() + index + 1, text.data() + index + 3, value, 16);
            bytes.push_back(static_cast<char>(value));
            index += 2;
        } else {
            bytes.push_back(code);
        }
    }
    return bytes;
}

struct ReadRow {
    std::string caseId;
    std::string source;
    int length = -1;
    std::string input;
    std::vector<std::string> statements;
    int statement = 0;
    std::string status;
    std::vector<std::string> values;  // as written in the table
};

std::vector<ReadRow> loadReadTable() {
    std::ifstream file(std::string(TEST_DATA_DIR) + "/fortran/listread.tsv");
    EXPECT_TRUE(file.good());
    std::vector<ReadRow> rows;
    std::string line;
    std::getline(file, line);  // header
    while (std::getline(file, line)) {
        const std::vector<std::string> fields = splitOn(line, '\t');
        ReadRow row;
        row.caseId = fields.at(0);
        row.source = fields.at(1);
        row.length = fields.at(2).empty() ? -1 : std::stoi(fields.at(2));
        row.input = unescape(fields.at(3));
        row.statements = splitOn(fields.at(4), ';');
        row.statement = std::stoi(fields.at(5));
        row.status = fields.at(8);
        for (std::size_t column = 10; column <= 13 && column < fields.size(); ++column) {
            if (!fields[column].empty()) {
                row.values.push_back(fields[column]);
            }
        }
        rows.push_back(row);
    }
    return rows;
}

// Where this suite reads differently from the table on purpose: a slash
// belongs to a name (it is the path separator), a name is never cut to the
// length of a CHARACTER*80 variable, and a number without any digit leaves
// its target unchanged like every other bad value.
std::string barredRun(std::size_t count, char letter) {
    std::string text(1, '|');
    text.append(count, letter);
    text.push_back('|');
    return text;
}

const std::map<std::string, std::vector<std::string>>& deliberateDifferences() {
    static const std::map<std::string, std::vector<std::string>> differences = {
        {"C005", {"|abc/def|"}},
        {"C006", {"|../dir/file.dat|"}},
        {"C007", {"|/abs/path|"}},
        {"CM04", {"|a/b|", "|c|"}},
        {"S10", {"|dir/name.dat|"}},
        {"C038", {barredRun(100, 'x')}},
        {"C039", {barredRun(90, 'y')}},
        {"R025", {"C4424000:-777.0"}},
        {"R029", {"C4424000:-777.0"}},
        {"R128", {"C4424000:-777.0"}},
        {"R129", {"C4424000:-777.0"}},
        {"R130", {"C4424000:-777.0"}},
        {"R131", {"C4424000:-777.0"}},
        {"R133", {"C4424000:-777.0"}},
    };
    return differences;
}

// The items of one statement, preset to the table's sentinels.
using Slot = std::variant<float, double, std::int32_t, std::string>;

std::vector<Slot> makeSlots(const std::string& statement) {
    std::vector<Slot> slots;
    for (const std::string& part : splitOn(statement, ',')) {
        const std::size_t star = part.find('*');
        const std::string type = part.substr(0, star);
        const int count = star == std::string::npos ? 1 : std::stoi(part.substr(star + 1));
        for (int index = 0; index < count; ++index) {
            if (type == "r4") {
                slots.emplace_back(-777.0f);
            } else if (type == "r8") {
                slots.emplace_back(-777.0);
            } else if (type == "i4") {
                slots.emplace_back(std::int32_t{-777});
            } else {
                slots.emplace_back(std::string("UNSET"));
            }
        }
    }
    return slots;
}

std::vector<common::ListTarget> targetsOf(std::vector<Slot>& slots) {
    std::vector<common::ListTarget> targets;
    for (Slot& slot : slots) {
        std::visit([&](auto& value) { targets.emplace_back(&value); }, slot);
    }
    return targets;
}

// The table's spelling of a slot: HEX:decimal for reals (only the bits are
// compared), the number for integers, |text| without trailing blanks.
std::string hexOf(std::uint64_t bits, int digits) {
    std::string hex(static_cast<std::size_t>(digits), '0');
    for (int index = digits - 1; index >= 0; --index) {
        hex[static_cast<std::size_t>(index)] = "0123456789ABCDEF"[bits & 0xF];
        bits >>= 4;
    }
    return hex;
}

std::string spell(const Slot& slot) {
    if (const float* real = std::get_if<float>(&slot)) {
        return hexOf(std::bit_cast<std::uint32_t>(*real), 8);
    }
    if (const double* real = std::get_if<double>(&slot)) {
        return hexOf(std::bit_cast<std::uint64_t>(*real), 16);
    }
    if (const std::int32_t* integer = std::get_if<std::int32_t>(&slot)) {
        return std::to_string(*integer);
    }
    std::string text = std::get<std::string>(slot);
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

std::string expectedSpelling(const std::string& tableValue) {
    if (tableValue.front() == '|') {
        return unescape(tableValue);
    }
    return tableValue.substr(0, tableValue.find(':'));
}

common::ReadStatus statusOf(const std::string& word) {
    if (word == "ok") return common::ReadStatus::ok;
    if (word == "end") return common::ReadStatus::endOfFile;
    return common::ReadStatus::badValue;
}

// The API takes an initializer list; the table's statements have 1 to 4 items.
template <typename Read>
common::ReadStatus withTargets(const std::vector<common::ListTarget>& t, Read read) {
    switch (t.size()) {
        case 1: return read({t[0]});
        case 2: return read({t[0], t[1]});
        case 3: return read({t[0], t[1], t[2]});
        default: return read({t[0], t[1], t[2], t[3]});
    }
}

// Runs one case (every statement of it) and checks its rows; returns the
// number of failing rows.
int checkCase(const std::vector<ReadRow>& rows) {
    const ReadRow& first = rows.front();
    tests::TempFolder folder;
    std::unique_ptr<common::LineReader> lines;
    int pipeEnds[2] = {-1, -1};
    if (first.source == "file") {
        tests::writeFileBytes("input.txt", first.input);
        lines = std::make_unique<common::LineReader>("input.txt");
    } else if (first.source == "stdin") {
        // Standard input is a pipe here, read through its descriptor.
        EXPECT_EQ(::pipe(pipeEnds), 0);
        EXPECT_EQ(::write(pipeEnds[1], first.input.data(), first.input.size()),
                  static_cast<ssize_t>(first.input.size()));
        ::close(pipeEnds[1]);
        lines = std::make_unique<common::LineReader>(pipeEnds[0], "standard input");
    }
    std::unique_ptr<common::ListReader> reader;
    if (lines) {
        reader = std::make_unique<common::ListReader>(*lines);
    }

    int failures = 0;
    const auto differences = deliberateDifferences();
    for (const ReadRow& row : rows) {
        std::vector<Slot> slots = makeSlots(row.statements.at(static_cast<std::size_t>(row.statement - 1)));
        const std::vector<common::ListTarget> targets = targetsOf(slots);
        common::ReadStatus status;
        if (reader) {
            status = withTargets(targets, [&](std::initializer_list<common::ListTarget> list) {
                return reader->read(list);
            });
        } else {
            std::string text = row.input;
            if (row.length == 32) {
                text.resize(32, ' ');
            }
            status = withTargets(targets, [&](std::initializer_list<common::ListTarget> list) {
                return common::readListFromText(text, list);
            });
        }
        std::vector<std::string> expected = row.values;
        if (const auto found = differences.find(row.caseId); found != differences.end()) {
            expected = found->second;
        }
        bool same = status == statusOf(row.status) && expected.size() == slots.size();
        for (std::size_t index = 0; same && index < slots.size(); ++index) {
            same = spell(slots[index]) == expectedSpelling(expected[index]);
        }
        if (!same) {
            ++failures;
            std::string got;
            for (const Slot& slot : slots) {
                got += " |" + spell(slot) + "|";
            }
            ADD_FAILURE() << row.caseId << " statement " << row.statement << " (" << row.status
                          << "): got status " << static_cast<int>(status) << " and" << got;
        }
    }
    if (pipeEnds[0] >= 0) {
        lines.reset();
        ::close(pipeEnds[0]);
    }
    return failures;
}

TEST(ListInputTable, EveryRowExceptNameTruncation) {
    const std::vector<ReadRow> rows = loadReadTable();
    ASSERT_EQ(rows.size(), 788U);
    int failures = 0;
    int checked = 0;
    int skipped = 0;
    for (std::size_t start = 0; start < rows.size();) {
        std::size_t end = start + 1;
        while (end < rows.size() && rows[end].caseId == rows[start].caseId) {
            ++end;
        }
        const std::vector<ReadRow> rowsOfCase(rows.begin() + static_cast<std::ptrdiff_t>(start),
                                              rows.begin() + static_cast<std::ptrdiff_t>(end));
        // CHARACTER*10 targets cut long names; this suite never cuts a name.
        if (rowsOfCase.front().statements.front().starts_with("c10")) {
            skipped += static_cast<int>(rowsOfCase.size());
        } else {
            failures += checkCase(rowsOfCase);
            checked += static_cast<int>(rowsOfCase.size());
        }
        start = end;
    }
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(skipped, 3);
    EXPECT_EQ(checked, 785);
}

// ---------------------------------------------------------------------------
// Errors and hostile input

TEST(ListInputErrors, BadFieldNamesFileLineAndText) {
    tests::TempFolder folder;
    tests::writeFileBytes("model.dat", "1.0 2.0\n3.0 x7.5 4.0\n");
    common::LineReader lines("model.dat");
    common::ListReader reader(lines);
    float values[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    EXPECT_EQ(reader.readReals(values), common::ReadStatus::badValue);
    EXPECT_EQ(values[2], 3.0f);
    EXPECT_EQ(values[3], 0.0f);  // never reached
    const common::InputError& error = reader.error();
    EXPECT_EQ(error.fileName, "model.dat");
    EXPECT_EQ(error.lineNumber, 2);
    EXPECT_EQ(error.text, "x7.5");
    EXPECT_EQ(error.describe(), "model.dat, line 2: not a number: 'x7.5'");
}

TEST(ListInputErrors, EndOfFileNamesTheLineThatRanShort) {
    tests::TempFolder folder;
    tests::writeFileBytes("short.dat", "5 6\n\n7\n\n");
    common::LineReader lines("short.dat");
    common::ListReader reader(lines);
    std::int32_t values[4] = {};
    EXPECT_EQ(reader.readIntegers(values), common::ReadStatus::endOfFile);
    EXPECT_EQ(reader.error().lineNumber, 3);
    EXPECT_EQ(reader.error().text, "7");
    EXPECT_EQ(reader.error().reason, "end of file");
}

TEST(ListInputErrors, InternalReadLabelsItsErrorsAsTold) {
    common::InputError error;
    std::int32_t count = 9;
    EXPECT_EQ(common::readListFromText("  12.5", {&count}, &error, "observed.obs", 4),
              common::ReadStatus::badValue);
    EXPECT_EQ(count, 9);
    EXPECT_EQ(error.describe(), "observed.obs, line 4: not an integer: '12.5'");
    EXPECT_EQ(common::readListFromText("3000000000", {&count}, &error), common::ReadStatus::badValue);
    EXPECT_EQ(error.reason, "integer out of range");
}

TEST(ListInputHostile, EmptyLoneCrBinaryAndHugeInputsNeverCrash) {
    tests::TempFolder folder;
    float value = -1.0f;
    const std::string binary("\xFF\xFE\x00\x01\n", 5);
    tests::writeFileBytes("empty.dat", "");
    tests::writeFileBytes("cr.dat", "\r");
    tests::writeFileBytes("binary.dat", binary);
    {
        common::LineReader lines("empty.dat");
        common::ListReader reader(lines);
        EXPECT_EQ(reader.read({&value}), common::ReadStatus::endOfFile);
    }
    {
        common::LineReader lines("cr.dat");
        common::ListReader reader(lines);
        EXPECT_EQ(reader.read({&value}), common::ReadStatus::endOfFile);
    }
    {
        common::LineReader lines("binary.dat");
        common::ListReader reader(lines);
        EXPECT_EQ(reader.read({&value}), common::ReadStatus::badValue);
        EXPECT_EQ(reader.error().text, std::string("\xFF\xFE\x00\x01", 4));
    }
    EXPECT_EQ(value, -1.0f);

    // Several megabytes of blanks before one number, and a several-megabyte
    // number (which is still exact: a long run of zeros after 2.5).
    std::string longLine(5'000'000, ' ');
    longLine += "2.5";
    const std::string longNumber = "2.5" + std::string(5'000'000, '0');
    tests::writeFileBytes("long.dat", longLine + "\n" + longNumber + "\n");
    common::LineReader lines("long.dat");
    common::ListReader reader(lines);
    EXPECT_EQ(reader.read({&value}), common::ReadStatus::ok);
    EXPECT_EQ(value, 2.5f);
    value = 0.0f;
    EXPECT_EQ(reader.read({&value}), common::ReadStatus::ok);
    EXPECT_EQ(value, 2.5f);

    double wide = 0.0;
    EXPECT_EQ(common::readListFromText(longNumber, {&wide}), common::ReadStatus::ok);
    EXPECT_EQ(wide, 2.5);
}

TEST(ListInputStatements, AStatementWithoutItemsSkipsALine) {
    tests::TempFolder folder;
    tests::writeFileBytes("table.dat", "  x  y  value\n1 2 3\n");
    common::LineReader lines("table.dat");
    common::ListReader reader(lines);
    EXPECT_EQ(reader.read({}), common::ReadStatus::ok);
    float values[3] = {};
    EXPECT_EQ(reader.readReals(values), common::ReadStatus::ok);
    EXPECT_EQ(values[2], 3.0f);
    EXPECT_EQ(reader.read({}), common::ReadStatus::endOfFile);
}

// ---------------------------------------------------------------------------
// Single items

TEST(ListInputItems, AnItemIsTakenWholeOrNotAtAll) {
    // The table reads items out of records; here the item is given alone, so
    // a blank or a second sign is part of it and spoils it.
    for (const char* text : {"", "1.5 ", " 1.5", "1.5,", "2+-3"}) {
        float value = 7.0f;
        EXPECT_FALSE(common::parseListReal(text, value)) << '|' << text << '|';
        EXPECT_EQ(value, 7.0f);
    }
    std::int32_t count = 7;
    EXPECT_FALSE(common::parseListInteger(" 12", count));
    EXPECT_EQ(count, 7);
}

TEST(ListInputItems, OverflowAndUnderflowKeepTheirSign) {
    double value = 0.0;
    EXPECT_TRUE(common::parseListDouble("-1D400", value));
    EXPECT_EQ(value, -std::numeric_limits<double>::infinity());
    // 0.000...1 with the digit at 10^-1000, written with a positive exponent.
    EXPECT_TRUE(common::parseListDouble("-0." + std::string(999, '0') + "1+5", value));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(value), std::bit_cast<std::uint64_t>(-0.0));
    // An exponent too long for any integer type still reads.
    float real = 0.0f;
    EXPECT_TRUE(common::parseListReal("1e99999999999999999999", real));
    EXPECT_EQ(real, std::numeric_limits<float>::infinity());
    EXPECT_TRUE(common::parseListReal("1e-99999999999999999999", real));
    EXPECT_EQ(real, 0.0f);
}

// ---------------------------------------------------------------------------
// Names typed at a prompt

TEST(FirstListName, UnquotedQuotedAndEmpty) {
    EXPECT_EQ(common::firstListName("   data/line1.con  rest"), "data/line1.con");
    EXPECT_EQ(common::firstListName("\tmodel.mod,topo.dat"), "model.mod");
    EXPECT_EQ(common::firstListName("'my model.mod' x"), "my model.mod");
    EXPECT_EQ(common::firstListName("\"say \"\"hi\"\"\""), "say \"hi\"");
    EXPECT_EQ(common::firstListName("'it''s'"), "it's");
    EXPECT_EQ(common::firstListName("'unterminated"), "unterminated");
    EXPECT_EQ(common::firstListName("name.dat\r"), "name.dat");
    EXPECT_EQ(common::firstListName("   "), "");
    EXPECT_EQ(common::firstListName(""), "");
    EXPECT_EQ(common::firstListName(",after"), "");
}

}  // namespace
