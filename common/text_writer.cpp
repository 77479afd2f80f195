#include "common/text_writer.hpp"

#include <utility>

namespace common {

TextWriter::TextWriter(const std::string& path) : path_(path), file_(std::fopen(path.c_str(), "wb")) {
    if (file_ != nullptr) buffer_.reserve(kBlockSize + 4096);
}

TextWriter::~TextWriter() { close(); }

TextWriter::TextWriter(TextWriter&& other) noexcept
    : path_(std::move(other.path_)),
      file_(std::exchange(other.file_, nullptr)),
      buffer_(std::move(other.buffer_)),
      failed_(other.failed_) {}

TextWriter& TextWriter::operator=(TextWriter&& other) noexcept {
    if (this != &other) {
        close();
        path_ = std::move(other.path_);
        file_ = std::exchange(other.file_, nullptr);
        buffer_ = std::move(other.buffer_);
        failed_ = other.failed_;
    }
    return *this;
}

void TextWriter::flushBuffer() {
    if (file_ == nullptr) {
        // Nothing can be written to a file that did not open; the caller
        // finds out through failed() or close().
        failed_ = failed_ || !buffer_.empty();
        buffer_.clear();
        return;
    }
    if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) {
        failed_ = true;
    }
    buffer_.clear();
}

bool TextWriter::flush() {
    flushBuffer();
    if (file_ != nullptr && std::fflush(file_) != 0) failed_ = true;
    return !failed_;
}

bool TextWriter::close() {
    if (file_ == nullptr) {
        buffer_.clear();
        return !failed_;
    }
    flushBuffer();
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    return !failed_;
}

}  // namespace common
