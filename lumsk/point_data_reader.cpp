#include "lumsk/point_data_reader.hpp"

#include <algorithm>
#include <cmath>

namespace lumsk {

namespace {
// About 256 KiB per read: few system calls, little memory.
constexpr std::size_t kBlockBytes = std::size_t{1} << 18;
// Far more channels than any converter writes; a record count beyond this is
// taken as naming no usable channel rather than as a buffer of gigabytes.
constexpr std::int64_t kMostChannels = std::int64_t{1} << 20;
}  // namespace

bool isFinitePoint(const CellPoint& point) {
    return std::isfinite(point.x) && std::isfinite(point.y) && std::isfinite(point.z);
}

bool channelExists(std::int32_t MAXCHN, std::int32_t ZCHAN) { return ZCHAN >= 1 && ZCHAN <= MAXCHN; }

PointDataReader::PointDataReader(common::RawFile& file, std::int32_t MAXCHN, std::int32_t ZCHAN)
    : file_(file), recordWords_(2 + std::clamp<std::int64_t>(MAXCHN, 0, kMostChannels)) {
    // Without the gridded channel there is nothing to read for.
    exhausted_ = !channelExists(MAXCHN, ZCHAN) || MAXCHN > kMostChannels;
    const std::size_t recordBytes = static_cast<std::size_t>(recordWords_) * sizeof(float);
    const std::size_t recordsPerBlock = kBlockBytes / recordBytes > 0 ? kBlockBytes / recordBytes : 1;
    buffer_.resize(recordsPerBlock * static_cast<std::size_t>(recordWords_));
    if (file_.seek(0) != 0) {
        exhausted_ = true;
    }
}

bool PointDataReader::refill() {
    if (exhausted_) {
        return false;
    }
    const std::int64_t wanted = static_cast<std::int64_t>(buffer_.size() * sizeof(float));
    const std::int64_t got = file_.read(buffer_.data(), wanted);
    if (got < wanted) {
        exhausted_ = true;
    }
    if (got <= 0) {
        return false;
    }
    recordsHeld_ = static_cast<std::size_t>(got) / (static_cast<std::size_t>(recordWords_) * sizeof(float));
    nextRecord_ = 0;
    return recordsHeld_ > 0;
}

bool PointDataReader::next(std::span<const float>& record) {
    if (nextRecord_ >= recordsHeld_ && !refill()) {
        return false;
    }
    const std::size_t words = static_cast<std::size_t>(recordWords_);
    record = std::span<const float>(buffer_.data() + nextRecord_ * words, words);
    ++nextRecord_;
    return true;
}

CellPoint toCellPoint(const MincSettings& settings, std::span<const float> record) {
    float x = record[0];
    float y = record[1];
    if (std::fabs(settings.rotationAngle) > 1.0f) {
        // Both rotated coordinates come from the unrotated ones and stay
        // relative to the rotation centre.
        const float dx = x - settings.rotationCentreX;
        const float dy = y - settings.rotationCentreY;
        x = dx * settings.cosine - dy * settings.sine;
        y = dx * settings.sine + dy * settings.cosine;
    }
    CellPoint point;
    point.x = x / settings.DX;
    point.y = y / settings.DY;
    point.z = record[static_cast<std::size_t>(settings.ZCHAN) + 1];
    return point;
}

}  // namespace lumsk
