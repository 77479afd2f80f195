#include "tarnby/point_data_writer.hpp"

#include <bit>
#include <cstdint>

namespace tarnby {

namespace {

// The gridder reads little-endian floats; they are written as they lie in memory.
static_assert(std::endian::native == std::endian::little, "point data are written little-endian");

constexpr std::size_t kBlockFloats = 1 << 16;

}  // namespace

PointDataWriter::PointDataWriter(const std::string& path) : file_(common::RawFile::create(path)) {
    gathered_.reserve(kBlockFloats);
}

PointDataWriter::~PointDataWriter() { close(); }

void PointDataWriter::record(float x, float y, std::span<const float> channels) {
    gathered_.push_back(x);
    gathered_.push_back(y);
    gathered_.insert(gathered_.end(), channels.begin(), channels.end());
    if (gathered_.size() >= kBlockFloats) writeGathered();
}

void PointDataWriter::writeGathered() {
    if (gathered_.empty()) return;
    const auto bytes = static_cast<std::int64_t>(gathered_.size() * sizeof(float));
    if (file_.write(gathered_.data(), bytes) != bytes) failed_ = true;
    gathered_.clear();
}

bool PointDataWriter::close() {
    if (file_.isOpen()) {
        writeGathered();
        file_.close();
    }
    return !failed_;
}

}  // namespace tarnby
