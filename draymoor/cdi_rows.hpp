#pragma once
// The rows that draymoor writes: one per positive conductivity, in the same
// 60-column layout in the xyz data file and in the line data file.
#include <cstdint>
#include <string>

#include "common/console.hpp"
#include "common/text_writer.hpp"

namespace draymoor {

inline constexpr const char* kHeaderLine = "Line,Dist,East,North,Depth,Con";

// What a data line holds besides its conductivities. The values carry over
// from one data line to the next when a line lacks their fields.
struct Station {
    float east = 0.0f;
    float north = 0.0f;
    float level = 0.0f;  // each depth is added to it
    float dist = 0.0f;
};

// A row: line number I8, Dist F8.2, East F12.2, North F12.2 (the same for
// every depth of one data line), then Depth (the level plus the depth) F8.2
// and Con F12.4.

// The xyz data file, the line data file of the current survey line, and the
// count of rows written for the line.
class CdiOutputs {
public:
    // Creates the xyz data file and writes its header line; stops the run
    // when the file cannot be created, or when it or a later line data file
    // would be the CDI data file that is being read.
    CdiOutputs(const std::string& xyzPath, const std::string& inputPath);

    // At a line header: closes the line data file of the line before, if
    // any, and shows that line's summary on the console.
    void finishLine(common::Console& console);
    // Creates the line data file of the new line, writes its header line and
    // starts its row count; stops the run when the file cannot be created or
    // is the CDI data file itself (a line header "Line 4" in a file named 4.dat).
    void openLine(std::int32_t lineNumber, const std::string& linePath);
    std::int32_t lineNumber() const { return lineNumber_; }
    bool lineOpen() const { return line_.isOpen(); }

    // One row per positive conductivity of a data line.
    void writeRows(const Station& station, const float* depths, const float* conductivities,
                   std::int32_t depthCount, common::Console& console);

    // Closes every file; stops the run when anything could not be written.
    void close();

    std::int32_t rowCount() const { return rowCount_; }

private:
    std::string inputPath_;
    common::TextWriter xyz_;
    common::TextWriter line_;
    std::int32_t lineNumber_ = 0;
    std::int32_t rowCount_ = 0;
    std::string rows_;  // the rows of one data line, copied to both files
};

}  // namespace draymoor
