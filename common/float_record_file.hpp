#pragma once
// A headerless binary file of 4-byte little-endian floats, written and read
// in large blocks: the point data file that the gridding library reads and
// vosklar's model layer file are streams of such records.
#include <bit>
#include <initializer_list>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/platform.hpp"

namespace common {

static_assert(std::endian::native == std::endian::little, "binary records are written little-endian");

class FloatRecordFile {
public:
    // Creates the file anew: whatever had its name (a stale file, a planted
    // link) is removed first, and nothing is written through a link. Stops
    // the run (RunStop) when it cannot be created.
    explicit FloatRecordFile(std::string path);
    ~FloatRecordFile() = default;
    FloatRecordFile(const FloatRecordFile&) = delete;
    FloatRecordFile& operator=(const FloatRecordFile&) = delete;

    void append(std::span<const float> values);
    void append(std::initializer_list<float> values) { append(std::span<const float>(values.begin(), values.size())); }
    // Writes what is pending and reads again from byte 0.
    void rewind();
    // The next values.size() floats; false at the end of the file.
    bool read(std::span<float> values);
    // Writes what is pending and closes; stops the run when anything could
    // not be written.
    void close();

    const std::string& path() const { return path_; }

private:
    void flushPending();

    static constexpr std::size_t kBlockFloats = 1 << 16;
    std::string path_;
    common::RawFile file_;
    std::vector<float> pending_;  // values not yet written
    std::vector<float> readBlock_;
    std::size_t readPosition_ = 0;
    bool failed_ = false;
};

}  // namespace common
