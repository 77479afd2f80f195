#pragma once
// A text output file written in large blocks: rows are formatted into a
// buffer and handed to the system when it fills, and once more on close.
// Created, or overwritten from its start when it exists.
#include <cstdio>
#include <string>
#include <string_view>

namespace common {

class TextWriter {
public:
    TextWriter() = default;
    explicit TextWriter(const std::string& path);
    ~TextWriter();  // flushes and closes; never throws
    TextWriter(TextWriter&& other) noexcept;
    TextWriter& operator=(TextWriter&& other) noexcept;
    TextWriter(const TextWriter&) = delete;
    TextWriter& operator=(const TextWriter&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    const std::string& path() const { return path_; }

    // The buffer rows are built in; call commit() after appending to it.
    std::string& buffer() { return buffer_; }
    void commit() { if (buffer_.size() >= kBlockSize) flushBuffer(); }
    void write(std::string_view text) { buffer_.append(text); commit(); }
    void line(std::string_view text) { buffer_.append(text); buffer_.push_back('\n'); commit(); }

    // Writes what is buffered; false once any write has failed.
    bool flush();
    // Flushes and closes; false when anything could not be written.
    bool close();
    bool failed() const { return failed_; }

private:
    static constexpr std::size_t kBlockSize = 1 << 20;
    void flushBuffer();

    std::string path_;
    std::FILE* file_ = nullptr;
    std::string buffer_;
    bool failed_ = false;
};

}  // namespace common
