// Line-by-line reading in large blocks.
//
// The input files run to hundreds of megabytes, so bytes are read a block at
// a time and each line is handed out as a view into the block. Only a line
// that straddles two blocks is copied, into `carry_`, where it is assembled
// whole however long it is.
#include "common/line_reader.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "common/run_stop.hpp"

namespace common {
namespace {

#ifdef AEM_FUZZ_SMALL_BLOCKS
// Fuzzing builds read in small blocks: lines straddle blocks often, and each
// input stays quick.
constexpr std::size_t kBlockBytes = 512;
#else
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
#endif

// A CR that ends a line is part of a CR LF line end, not of the text. A CR
// just before the end of the input is taken the same way, as a DOS file
// whose last line end lost its LF.
std::string_view withoutLineEnd(std::string_view line) {
    if (!line.empty() && line.back() == '\r') {
        line.remove_suffix(1);
    }
    return line;
}

// A lone CR: one not followed by LF, which would end a CR LF line.
bool holdsLoneCarriageReturn(std::string_view text) {
    const std::size_t cr = text.find('\r');
    return cr != std::string_view::npos && cr + 1 < text.size();
}

std::string describeSize(std::size_t bytes) {
    constexpr std::size_t kMiB = std::size_t{1} << 20;
    return bytes % kMiB == 0 ? std::to_string(bytes / kMiB) + " MiB" : std::to_string(bytes) + " bytes";
}

}  // namespace

LineReader::LineReader(const std::string& path, std::size_t maxLineBytes)
    : name_(path),
      maxLineBytes_(maxLineBytes),
      descriptor_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)),
      ownsDescriptor_(true) {}

LineReader::LineReader(int descriptor, std::string name, std::size_t maxLineBytes)
    : name_(std::move(name)), maxLineBytes_(maxLineBytes), descriptor_(descriptor), ownsDescriptor_(false) {}

LineReader::~LineReader() {
    if (ownsDescriptor_ && descriptor_ >= 0) {
        ::close(descriptor_);
    }
}

LineReader::LineReader(LineReader&& other) noexcept
    : name_(std::move(other.name_)),
      maxLineBytes_(other.maxLineBytes_),
      descriptor_(std::exchange(other.descriptor_, -1)),
      ownsDescriptor_(std::exchange(other.ownsDescriptor_, false)),
      atEnd_(other.atEnd_),
      failed_(other.failed_),
      lineNumber_(other.lineNumber_),
      buffer_(std::move(other.buffer_)),
      begin_(std::exchange(other.begin_, 0)),
      end_(std::exchange(other.end_, 0)),
      carry_(std::move(other.carry_)) {}

LineReader& LineReader::operator=(LineReader&& other) noexcept {
    if (this != &other) {
        if (ownsDescriptor_ && descriptor_ >= 0) {
            ::close(descriptor_);
        }
        name_ = std::move(other.name_);
        maxLineBytes_ = other.maxLineBytes_;
        descriptor_ = std::exchange(other.descriptor_, -1);
        ownsDescriptor_ = std::exchange(other.ownsDescriptor_, false);
        atEnd_ = other.atEnd_;
        failed_ = other.failed_;
        lineNumber_ = other.lineNumber_;
        buffer_ = std::move(other.buffer_);
        begin_ = std::exchange(other.begin_, 0);
        end_ = std::exchange(other.end_, 0);
        carry_ = std::move(other.carry_);
    }
    return *this;
}

bool LineReader::next(std::string_view& line) {
    // The line handed out last may live in `carry_`; it is no longer needed.
    carry_.clear();
    if (descriptor_ < 0 || failed_) {
        return false;
    }
    for (;;) {
        const char* start = buffer_.get() + begin_;
        const std::size_t available = end_ - begin_;
        const void* found = available > 0 ? std::memchr(start, '\n', available) : nullptr;
        if (found != nullptr) {
            const auto length = static_cast<std::size_t>(static_cast<const char*>(found) - start);
            begin_ += length + 1;
            if (carry_.empty() && length <= maxLineBytes_) {
                line = withoutLineEnd(std::string_view(start, length));
            } else {
                appendToCarry(start, length);
                line = withoutLineEnd(carry_);
            }
            ++lineNumber_;
            return true;
        }
        // No line end in what is left of the block: keep the partial line
        // and read on.
        appendToCarry(start, available);
        begin_ = end_ = 0;
        if (atEnd_ || !fill()) {
            if (failed_ || carry_.empty()) {
                return false;
            }
            // The whole input is one line: no LF anywhere.
            if (lineNumber_ == 0 && holdsLoneCarriageReturn(carry_)) stopOnLoneCarriageReturns();
            ++lineNumber_;  // a last line without a line end
            line = withoutLineEnd(carry_);
            return true;
        }
    }
}

void LineReader::appendToCarry(const char* start, std::size_t length) {
    carry_.append(start, length);
    // One byte more may be the CR of a CR LF line end.
    if (carry_.size() > maxLineBytes_ + 1) {
        if (lineNumber_ == 0 && holdsLoneCarriageReturn(carry_)) stopOnLoneCarriageReturns();
        throw RunStop(name_ + ": line " + std::to_string(lineNumber_ + 1) + " is longer than " +
                      describeSize(maxLineBytes_) + "; the input has no usable line ends");
    }
}

void LineReader::stopOnLoneCarriageReturns() const {
    throw RunStop(name_ + ": its lines end in a lone CR, with no LF anywhere; convert its line ends to LF or CR LF");
}

// Reads the next block into the (empty) buffer; false at the end of the
// input or on a read error.
bool LineReader::fill() {
    if (!buffer_) {
        // Not zeroed: a program that opens many small files (one per station)
        // would otherwise clear a whole block for each.
        buffer_ = std::make_unique_for_overwrite<char[]>(kBlockBytes);
    }
    for (;;) {
        const ssize_t got = ::read(descriptor_, buffer_.get(), kBlockBytes);
        if (got > 0) {
            end_ = static_cast<std::size_t>(got);
            return true;
        }
        if (got < 0 && errno == EINTR) {
            continue;
        }
        atEnd_ = true;
        failed_ = got < 0;
        return false;
    }
}

bool LineReader::rewind() {
    if (descriptor_ < 0 || ::lseek(descriptor_, 0, SEEK_SET) != 0) {
        return false;
    }
    atEnd_ = false;
    failed_ = false;
    lineNumber_ = 0;
    begin_ = end_ = 0;
    carry_.clear();
    return true;
}

}  // namespace common
