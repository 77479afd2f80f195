#include "common/float_record_file.hpp"

#include "common/run_stop.hpp"

namespace common {

FloatRecordFile::FloatRecordFile(std::string path) : path_(std::move(path)), file_(common::RawFile::createNew(path_)) {
    if (!file_.isOpen()) throw common::RunStop("cannot create " + path_);
    pending_.reserve(kBlockFloats);
}

void FloatRecordFile::append(std::span<const float> values) {
    pending_.insert(pending_.end(), values.begin(), values.end());
    if (pending_.size() >= kBlockFloats) flushPending();
}

void FloatRecordFile::flushPending() {
    if (pending_.empty()) return;
    const auto bytes = static_cast<std::int64_t>(pending_.size() * sizeof(float));
    if (file_.write(pending_.data(), bytes) != bytes) failed_ = true;
    pending_.clear();
}

void FloatRecordFile::rewind() {
    flushPending();
    if (failed_ || file_.seek(0) != 0) throw common::RunStop("cannot write " + path_);
    readBlock_.clear();
    readPosition_ = 0;
}

bool FloatRecordFile::read(std::span<float> values) {
    for (float& value : values) {
        if (readPosition_ == readBlock_.size()) {
            readBlock_.resize(kBlockFloats);
            const std::int64_t bytes =
                file_.read(readBlock_.data(), static_cast<std::int64_t>(kBlockFloats * sizeof(float)));
            readBlock_.resize(bytes > 0 ? static_cast<std::size_t>(bytes) / sizeof(float) : 0);
            readPosition_ = 0;
            if (readBlock_.empty()) return false;
        }
        value = readBlock_[readPosition_++];
    }
    return true;
}

void FloatRecordFile::close() {
    if (!file_.isOpen()) return;
    flushPending();
    file_.close();
    if (failed_) throw common::RunStop("cannot write " + path_);
}

}  // namespace common
