// Line reading: line ends, lines longer than a read block, line numbers,
// rewinding, descriptors, missing files and read errors.
#include "common/line_reader.hpp"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <string_view>
#include <vector>

#include "common/run_stop.hpp"
#include "support/temp_folder.hpp"

namespace {

std::vector<std::string> allLines(common::LineReader& reader) {
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.next(line)) {
        lines.emplace_back(line);
    }
    return lines;
}

std::vector<std::string> linesOfFile(const std::string& bytes) {
    tests::writeFileBytes("lines.txt", bytes);
    common::LineReader reader("lines.txt");
    EXPECT_TRUE(reader.isOpen());
    std::vector<std::string> lines = allLines(reader);
    EXPECT_FALSE(reader.failed());
    return lines;
}

using Lines = std::vector<std::string>;

TEST(LineReader, LineEnds) {
    tests::TempFolder folder;
    EXPECT_EQ(linesOfFile("a\nb\r\nc"), (Lines{"a", "b", "c"}));
    EXPECT_EQ(linesOfFile("a\n"), (Lines{"a"}));
    EXPECT_EQ(linesOfFile("\n\r\n\n"), (Lines{"", "", ""}));
    EXPECT_EQ(linesOfFile(""), Lines{});
    // Only the CR of a line end goes: one inside a line stays.
    EXPECT_EQ(linesOfFile("x\ry\r\r\n"), (Lines{"x\ry\r"}));
    // A CR as the very last byte is the remains of a CR LF.
    EXPECT_EQ(linesOfFile("\r"), (Lines{""}));
    EXPECT_EQ(linesOfFile("last\r"), (Lines{"last"}));
    // Binary bytes are carried as they are.
    EXPECT_EQ(linesOfFile(std::string("\0\xFF\n", 3)), (Lines{std::string("\0\xFF", 2)}));
}

TEST(LineReader, LinesLongerThanABlockAndAcrossBlockEdges) {
    tests::TempFolder folder;
    constexpr std::size_t kMiB = std::size_t{1} << 20;
    // A CR LF whose CR is the last byte of a 1 MiB block, a line of several
    // blocks, short lines after them, and a last line without its LF.
    const std::string first(kMiB - 1, 'a');
    const std::string huge(3 * kMiB + 17, 'b');
    std::string bytes = first + "\r\n" + huge + "\r\n";
    Lines expected = {first, huge};
    for (int index = 0; index < 50000; ++index) {
        expected.push_back(std::to_string(index * 7919));
        bytes += expected.back() + (index % 2 == 0 ? "\n" : "\r\n");
    }
    bytes += "tail";
    expected.push_back("tail");
    EXPECT_EQ(linesOfFile(bytes), expected);
}

TEST(LineReader, LineNumbersAndRewind) {
    tests::TempFolder folder;
    tests::writeFileBytes("n.txt", "one\ntwo\nthree\n");
    common::LineReader reader("n.txt");
    std::string_view line;
    EXPECT_EQ(reader.lineNumber(), 0);
    ASSERT_TRUE(reader.next(line));
    ASSERT_TRUE(reader.next(line));
    EXPECT_EQ(line, "two");
    EXPECT_EQ(reader.lineNumber(), 2);
    ASSERT_TRUE(reader.rewind());
    EXPECT_EQ(reader.lineNumber(), 0);
    EXPECT_EQ(allLines(reader), (Lines{"one", "two", "three"}));
    EXPECT_EQ(reader.lineNumber(), 3);
    EXPECT_FALSE(reader.next(line));
    EXPECT_EQ(reader.name(), "n.txt");
}

TEST(LineReader, MovedReaderGoesOn) {
    tests::TempFolder folder;
    tests::writeFileBytes("m.txt", "first\nsecond\n");
    common::LineReader original("m.txt");
    std::string_view line;
    ASSERT_TRUE(original.next(line));
    common::LineReader moved(std::move(original));
    EXPECT_FALSE(original.isOpen());
    ASSERT_TRUE(moved.next(line));
    EXPECT_EQ(line, "second");
    EXPECT_EQ(moved.lineNumber(), 2);
}

TEST(LineReader, DescriptorIsReadButNotClosed) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const std::string typed = "reply one\r\nreply two";
    ASSERT_EQ(::write(ends[1], typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
    ::close(ends[1]);
    {
        common::LineReader reader(ends[0], "standard input");
        EXPECT_EQ(allLines(reader), (Lines{"reply one", "reply two"}));
        EXPECT_EQ(reader.name(), "standard input");
        EXPECT_FALSE(reader.rewind());  // a pipe cannot start again
    }
    EXPECT_NE(::fcntl(ends[0], F_GETFD), -1);
    ::close(ends[0]);
}

TEST(LineReader, MissingFileAndReadError) {
    tests::TempFolder folder;
    common::LineReader missing("no such file.txt");
    std::string_view line;
    EXPECT_FALSE(missing.isOpen());
    EXPECT_FALSE(missing.next(line));
    // A folder opens for reading but cannot be read.
    ASSERT_EQ(::mkdir("folder", 0700), 0);
    common::LineReader folderReader("folder");
    EXPECT_FALSE(folderReader.next(line));
    EXPECT_TRUE(folderReader.failed());
}

}  // namespace

namespace {

TEST(LineReaderLimits, AnOverlongLineOrALoneCrFileStopsTheRunInsteadOfBeingMisread) {
    tests::TempFolder folder;
    struct Case {
        const char* bytes;
        const char* expectedInStop;  // nullptr: read normally
        int linesBeforeStop;
    };
    for (const Case& c : std::vector<Case>{{"12345678\nabc\n", nullptr, 2},
                                           {"abc\n1234567890\n", "line 2 is longer than 8 bytes", 1},
                                           {"abc\n1234567890123456789012", "line 2 is longer than 8 bytes", 1},
                                           {"a b\rc d\re\r", "lone CR", 0},
                                           {"a\rb\r\nc\n", nullptr, 2},
                                           {"abcdefgh\r", nullptr, 1},
                                           {"ab\rcdefghijkl", "lone CR", 0}}) {
        tests::writeFileBytes("in.txt", c.bytes);
        common::LineReader reader("in.txt", 8);
        std::string_view line;
        int lines = 0;
        try {
            while (reader.next(line)) ++lines;
            EXPECT_EQ(c.expectedInStop, nullptr) << c.bytes;
        } catch (const common::RunStop& stop) {
            ASSERT_NE(c.expectedInStop, nullptr) << c.bytes << ": " << stop.what();
            EXPECT_NE(std::string(stop.what()).find(c.expectedInStop), std::string::npos) << c.bytes << stop.what();
            EXPECT_NE(std::string(stop.what()).find("in.txt"), std::string::npos) << stop.what();
        }
        EXPECT_EQ(lines, c.linesBeforeStop) << c.bytes;
    }
}

}  // namespace
