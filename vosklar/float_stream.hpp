#pragma once
// A headerless binary stream of 4-byte little-endian floats in the working
// folder, written and read in large blocks (the model layer file and the
// point data file are made of such records).
#include <bit>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "common/platform.hpp"

namespace vosklar {

static_assert(std::endian::native == std::endian::little, "binary records are written little-endian");

class FloatStream {
public:
    // Creates the file, or truncates it when it exists. Stops the run
    // (RunStop) when it cannot be created.
    explicit FloatStream(std::string path);
    ~FloatStream() = default;
    FloatStream(const FloatStream&) = delete;
    FloatStream& operator=(const FloatStream&) = delete;

    void append(std::span<const float> values);
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

}  // namespace vosklar
