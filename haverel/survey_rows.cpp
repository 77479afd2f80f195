#include "haverel/survey_rows.hpp"

#include <cstddef>
#include <cstring>

#include "common/edit_format.hpp"

namespace haverel {

namespace {

// Rows are formatted in place at the end of the output buffer: the row's
// room is made once and each field is written into its columns.
class RowCursor {
public:
    RowCursor(std::string& out, std::size_t rowLength) : out_(out), start_(out.size()) {
        out_.resize(start_ + rowLength + 1);
        at_ = out_.data() + start_;
    }
    ~RowCursor() { *at_ = '\n'; }
    RowCursor(const RowCursor&) = delete;
    RowCursor& operator=(const RowCursor&) = delete;

    void F(double value, int width, int decimals) {
        common::writeF(at_, value, width, decimals);
        at_ += width;
    }
    void I(std::int32_t value, int width) {
        common::writeI(at_, value, width);
        at_ += width;
    }

private:
    std::string& out_;
    std::size_t start_;
    char* at_ = nullptr;
};

// Column widths of the rows.
constexpr std::size_t kLineAndDirection = 8 + 4;
constexpr std::size_t kPositionAndAltitudeWidth = 10 + 11 + 10 + 10 + 10;
constexpr std::size_t kChannelsWidth = 8 + kEmChannels * 7;
constexpr int kFinalMagWidth = 12;
constexpr std::size_t kMagRowLength = kLineAndDirection + kPositionAndAltitudeWidth + kFinalMagWidth;
constexpr std::size_t kEmRowLength = kLineAndDirection + kPositionAndAltitudeWidth + kChannelsWidth;
constexpr int kStationWidth = 10;
constexpr std::size_t kEmDataRowLength = kStationWidth + kPositionAndAltitudeWidth + kChannelsWidth;

// East, North, RadAlt, BarAlt and DTM: the position and altitude columns
// that all three rows share. DTM is the terrain height under the aircraft.
void writePositionAndAltitudes(RowCursor& row, const Sample& sample) {
    row.F(sample.east, 10, 1);
    row.F(sample.north, 11, 1);
    row.F(sample.radAlt, 10, 1);
    row.F(sample.barAlt, 10, 1);
    row.F(sample.barAlt - sample.radAlt, 10, 1);
}

void writeTimeConstantAndChannels(RowCursor& row, const Sample& sample) {
    row.F(sample.TC, 8, 2);
    for (const std::int32_t channel : sample.channels) row.I(channel, 7);
}

}  // namespace

void appendMagRow(std::string& out, std::int32_t lineNumber, std::int32_t direction, const Sample& sample) {
    RowCursor row(out, kMagRowLength);
    row.I(lineNumber, 8);
    row.I(direction, 4);
    writePositionAndAltitudes(row, sample);
    row.F(sample.finalMag, kFinalMagWidth, 2);
}

void appendEmRow(std::string& out, std::int32_t lineNumber, std::int32_t direction, const Sample& sample) {
    RowCursor row(out, kEmRowLength);
    row.I(lineNumber, 8);
    row.I(direction, 4);
    writePositionAndAltitudes(row, sample);
    writeTimeConstantAndChannels(row, sample);
}

void appendEmDataRow(std::string& out, double stationDistance, const Sample& sample) {
    RowCursor row(out, kEmDataRowLength);
    row.F(stationDistance, kStationWidth, 1);
    writePositionAndAltitudes(row, sample);
    writeTimeConstantAndChannels(row, sample);
}

std::size_t appendEmRows(std::string& em, std::string& emData, std::int32_t lineNumber, std::int32_t direction,
                         double stationDistance, const Sample& sample) {
    const std::size_t emAt = em.size();
    appendEmRow(em, lineNumber, direction, sample);
    // Position to the last channel, and the line end.
    constexpr std::size_t kSharedLength = kPositionAndAltitudeWidth + kChannelsWidth + 1;
    static_assert(kEmRowLength - kLineAndDirection + 1 == kSharedLength);
    static_assert(kEmDataRowLength - kStationWidth + 1 == kSharedLength);
    const std::size_t emDataAt = emData.size();
    emData.resize(emDataAt + kEmDataRowLength + 1);
    char* const row = emData.data() + emDataAt;
    common::writeF(row, stationDistance, kStationWidth, 1);
    std::memcpy(row + kStationWidth, em.data() + emAt + kLineAndDirection, kSharedLength);
    return emAt;
}

void appendMagRowAfterEmRow(std::string& mag, const std::string& em, std::size_t emRowAt, const Sample& sample) {
    constexpr std::size_t kSharedLength = kLineAndDirection + kPositionAndAltitudeWidth;
    const std::size_t magAt = mag.size();
    mag.resize(magAt + kMagRowLength + 1);
    char* const row = mag.data() + magAt;
    std::memcpy(row, em.data() + emRowAt, kSharedLength);
    common::writeF(row + kSharedLength, sample.finalMag, kFinalMagWidth, 2);
    row[kMagRowLength] = '\n';
}

}  // namespace haverel
