#include "draymoor/cdi_rows.hpp"

#include "common/edit_format.hpp"
#include "common/run_stop.hpp"
#include "draymoor/fixed_field.hpp"

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

// One field of a row written in place.
inline void writeField(char* field, float value, int width, int decimals) {
    if (!writeFixedField(field, value, width, decimals)) {
        const std::string text = common::formatF(value, width, decimals);
        text.copy(field, static_cast<std::size_t>(width));
    }
}

void closeOrStop(common::TextWriter& writer) {
    const std::string path = writer.path();
    if (!writer.close()) throw common::RunStop("cannot write the file \"" + path + "\"");
}

}  // namespace

void appendRowStart(std::string& out, std::int32_t lineNumber, const Station& station) {
    common::appendI(out, lineNumber, kLineNumberWidth);
    appendFixed(out, station.dist, kDistWidth, kPositionDecimals);
    appendFixed(out, station.east, kCoordinateWidth, kPositionDecimals);
    appendFixed(out, station.north, kCoordinateWidth, kPositionDecimals);
}

CdiOutputs::CdiOutputs(const std::string& xyzPath) : xyz_(xyzPath) {
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
    line_ = common::TextWriter(linePath);
    if (!line_.isOpen()) throw common::RunStop("cannot create the line data file \"" + linePath + "\"");
    line_.line(kHeaderLine);
    rowCount_ = 0;
}

void CdiOutputs::writeRows(const Station& station, const float* depths, const float* conductivities,
                           std::int32_t depthCount, common::Console& console) {
    bool startMade = false;
    for (std::int32_t k = 0; k < depthCount; ++k) {
        const float conductivity = conductivities[k];
        if (!(conductivity > 0.0f)) continue;
        if (!startMade) {
            rowStart_.clear();
            appendRowStart(rowStart_, lineNumber_, station);
            startMade = true;
        }
        ++rowCount_;
        // The level plus the depth, summed in single precision.
        const float depth = station.level + depths[k];
        // The row is formatted in place at the end of the xyz buffer.
        std::string& buffer = xyz_.buffer();
        const std::size_t rowAt = buffer.size();
        buffer.resize(rowAt + kRowLength);
        char* const row = buffer.data() + rowAt;
        rowStart_.copy(row, kRowStartLength);
        writeField(row + kRowStartLength, depth, kDepthWidth, kDepthDecimals);
        writeField(row + kRowStartLength + kDepthWidth, conductivity, kConductivityWidth, kConductivityDecimals);
        row[kRowLength - 1] = '\n';
        // Rows met before the first line header belong to no line.
        if (line_.isOpen()) {
            line_.buffer().append(row, kRowLength);
            line_.commit();
        }
        xyz_.commit();
        if (rowCount_ % kProgressInterval == 0) console.listLine(" Processed: ", rowCount_);
    }
}

void CdiOutputs::close() {
    if (line_.isOpen()) closeOrStop(line_);
    closeOrStop(xyz_);
}

}  // namespace draymoor
