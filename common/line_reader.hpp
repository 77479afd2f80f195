#pragma once
// Sequential reading of a text file, line by line, in large blocks.
//
// Lines end in LF or CR LF; the end marker is not part of the line. A last
// line without an end marker is still a line. Lines are returned whole up to
// 256 MiB. Two kinds of input stop the run (RunStop) instead of being read
// wrongly: a line longer than that (an input with no line ends at all, such as
// a device, would otherwise fill memory), and a file whose lines end in a lone
// CR with no LF anywhere (it would read as one long line).
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace common {

class LineReader {
public:
    // Opens `path` for reading only. isOpen() tells whether that worked.
    static constexpr std::size_t kMaxLineBytes = std::size_t{256} << 20;

    explicit LineReader(const std::string& path, std::size_t maxLineBytes = kMaxLineBytes);
    // Reads from an already open descriptor (standard input: 0), which it does
    // not close. `name` is used in error texts.
    LineReader(int descriptor, std::string name, std::size_t maxLineBytes = kMaxLineBytes);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;
    LineReader(LineReader&&) noexcept;
    LineReader& operator=(LineReader&&) noexcept;

    bool isOpen() const { return descriptor_ >= 0; }

    // The next line, valid until the next call; false at the end of the input
    // (or on a read error, which then also sets failed()).
    bool next(std::string_view& line);
    bool failed() const { return failed_; }

    // 1-based number of the line last returned by next(); 0 before the first.
    long lineNumber() const { return lineNumber_; }
    const std::string& name() const { return name_; }

    // Starts again from the first line (files only).
    bool rewind();

private:
    bool fill();
    void appendToCarry(const char* start, std::size_t length);
    [[noreturn]] void stopOnLoneCarriageReturns() const;

    std::string name_;
    std::size_t maxLineBytes_ = kMaxLineBytes;
    int descriptor_ = -1;
    bool ownsDescriptor_ = false;
    bool atEnd_ = false;
    bool failed_ = false;
    long lineNumber_ = 0;
    std::unique_ptr<char[]> buffer_;  // one read block, made on the first read
    std::size_t begin_ = 0;  // first unread byte in buffer_
    std::size_t end_ = 0;    // one past the last valid byte in buffer_
    std::string carry_;      // a line longer than the buffer is assembled here
};

}  // namespace common
