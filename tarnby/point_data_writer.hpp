#pragma once
// Writes the point data file that the gridding library reads: a headerless
// stream of records of 4-byte little-endian floats (x, y, then the
// channels), gathered in memory and written in large blocks.
#include <span>
#include <string>
#include <vector>

#include "common/platform.hpp"

namespace tarnby {

// The fixed name under which the points are handed to the gridder; the file
// stays in the working folder after the run.
inline constexpr const char* kPointDataFileName = "tmpdat.tmp";

class PointDataWriter {
public:
    // Creates the file, or empties it when it exists.
    explicit PointDataWriter(const std::string& path);
    ~PointDataWriter();  // writes what is gathered and closes; never throws
    PointDataWriter(const PointDataWriter&) = delete;
    PointDataWriter& operator=(const PointDataWriter&) = delete;

    bool isOpen() const { return file_.isOpen(); }
    void record(float x, float y, std::span<const float> channels);
    // Writes what is gathered and closes; false when any write fell short.
    bool close();

private:
    void writeGathered();

    common::RawFile file_;
    std::vector<float> gathered_;
    bool failed_ = false;
};

}  // namespace tarnby
