#include "draymoor/cdi_rows.hpp"

#include <cstring>
#include <string_view>

#include "common/edit_format.hpp"
#include "common/output_guard.hpp"
#include "common/run_stop.hpp"

namespace draymoor {

namespace {

// A progress line is shown after every this many rows of a line.
constexpr std::int32_t kProgressInterval = 200;

// The row layout: 60 columns and a line end.
constexpr int kLineNumberWidth = 8;
constexpr int kDistWidth = 8;
constexpr int kCoordinateWidth = 12;
constexpr int kPositionDecimals = 2;
constexpr int kDepthWidth = 8;
constexpr int kDepthDecimals = 2;
constexpr int kConductivityWidth = 12;
constexpr int kConductivityDecimals = 4;
constexpr std::size_t kRowStartLength = 40;
constexpr std::size_t kRowLength = kRowStartLength + kDepthWidth + kConductivityWidth + 1;

void closeOrStop(common::TextWriter& writer) {
    const std::string path = writer.path();
    if (!writer.close()) throw common::RunStop("cannot write the file \"" + path + "\"");
}

// Checked before the output is opened, which would empty it.
const std::string& distinctOutput(const std::string& output, const std::string& inputPath) {
    common::requireDistinctOutput(output, {inputPath});
    return output;
}

}  // namespace

CdiOutputs::CdiOutputs(const std::string& xyzPath, const std::string& inputPath)
    : inputPath_(inputPath), xyz_(distinctOutput(xyzPath, inputPath)) {
    if (!xyz_.isOpen()) throw common::RunStop("cannot create the xyz data file \"" + xyzPath + "\"");
    xyz_.line(kHeaderLine);
}

void CdiOutputs::finishLine(common::Console& console) {
    if (!line_.isOpen()) return;
    closeOrStop(line_);
    std::string summary = " Processed line ";
    common::appendI(summary, lineNumber_, 6);
    summary += " Number output: ";
    common::appendI(summary, rowCount_, 6);
    console.line(summary);
}

void CdiOutputs::openLine(std::int32_t lineNumber, const std::string& linePath) {
    lineNumber_ = lineNumber;
    // A line data file may replace neither the CDI data file nor the xyz data
    // file that holds every row so far.
    common::requireDistinctOutput(linePath, {inputPath_, xyz_.path()});
    line_ = common::TextWriter(linePath);
    if (!line_.isOpen()) throw common::RunStop("cannot create the line data file \"" + linePath + "\"");
    line_.line(kHeaderLine);
    rowCount_ = 0;
}

void CdiOutputs::writeRows(const Station& station, const float* depths, const float* conductivities,
                           std::int32_t depthCount, common::Console& console) {
    // The rows of the data line are formatted once, into `rows_`, and the
    // block is copied to the xyz data file and the line data file.
    std::size_t rowCount = 0;
    for (std::int32_t k = 0; k < depthCount; ++k) {
        if (conductivities[k] > 0.0f) ++rowCount;
    }
    if (rowCount == 0) return;
    if (rows_.size() < rowCount * kRowLength) rows_.resize(rowCount * kRowLength);
    char* row = rows_.data();
    // The first 40 columns are the same in every row of the data line.
    common::writeI(row, lineNumber_, kLineNumberWidth);
    common::writeRealF(row + kLineNumberWidth, station.dist, kDistWidth, kPositionDecimals);
    common::writeRealF(row + kLineNumberWidth + kDistWidth, station.east, kCoordinateWidth, kPositionDecimals);
    common::writeRealF(row + kLineNumberWidth + kDistWidth + kCoordinateWidth, station.north, kCoordinateWidth,
               kPositionDecimals);
    const char* const rowStart = row;
    for (std::int32_t k = 0; k < depthCount; ++k) {
        const float conductivity = conductivities[k];
        if (!(conductivity > 0.0f)) continue;
        if (row != rowStart) std::memcpy(row, rowStart, kRowStartLength);
        // The level plus the depth, summed in single precision.
        const float depth = station.level + depths[k];
        common::writeRealF(row + kRowStartLength, depth, kDepthWidth, kDepthDecimals);
        common::writeRealF(row + kRowStartLength + kDepthWidth, conductivity, kConductivityWidth, kConductivityDecimals);
        row[kRowLength - 1] = '\n';
        row += kRowLength;
        ++rowCount_;
        if (rowCount_ % kProgressInterval == 0) console.listLine(" Processed: ", rowCount_);
    }
    const std::string_view block(rows_.data(), rowCount * kRowLength);
    xyz_.write(block);
    // Rows met before the first line header belong to no line.
    if (line_.isOpen()) line_.write(block);
}

void CdiOutputs::close() {
    if (line_.isOpen()) closeOrStop(line_);
    closeOrStop(xyz_);
}

}  // namespace draymoor
