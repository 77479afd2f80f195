#pragma once
// Sequential reading of a text file, line by line, in large blocks.
//
// Lines end in LF or CR LF; the end marker is not part of the line. A last
// line without an end marker is still a line. Lines are returned whole,
// whatever their length.
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace common {

class LineReader {
public:
    // Opens `path` for reading only. isOpen() tells whether that worked.
    explicit LineReader(const std::string& path);
    // Reads from an already open descriptor (standard input: 0), which it does
    // not close. `name` is used in error texts.
    LineReader(int descriptor, std::string name);
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

    std::string name_;
    int descriptor_ = -1;
    bool ownsDescriptor_ = false;
    bool atEnd_ = false;
    bool failed_ = false;
    long lineNumber_ = 0;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;  // first unread byte in buffer_
    std::size_t end_ = 0;    // one past the last valid byte in buffer_
    std::string carry_;      // a line longer than the buffer is assembled here
};

}  // namespace common
