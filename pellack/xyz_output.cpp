#include "pellack/xyz_output.hpp"

#include <cmath>

#include "common/edit_format.hpp"
#include "common/float_to_int.hpp"
#include "common/run_stop.hpp"

namespace pellack {

namespace {

constexpr int kNameWidth = 7;
constexpr int kPositionWidth = 12;
constexpr int kPositionDecimals = 1;
constexpr int kValueWidth = 10;
constexpr int kValueDecimals = 2;
constexpr int kResidualDecimals = 4;
// A progress line is shown after every this many rows.
constexpr std::int32_t kProgressInterval = 100;

void appendGroupNames(std::string& out, char component, const std::string& name) {
    for (const char* suffix : {"_obs", "_prd", "_err"}) {
        out.push_back(',');
        out.push_back(component);
        out.append(name);
        out.append(suffix);
    }
}

void appendGroupValues(std::string& out, const ValueRow& row, const ComponentSlots& component) {
    out.push_back(',');
    common::appendF(out, row.slots[component.observed], kValueWidth, kValueDecimals);
    out.push_back(',');
    common::appendF(out, row.slots[component.predicted], kValueWidth, kValueDecimals);
    out.push_back(',');
    common::appendF(out, row.slots[component.residual], kValueWidth, kResidualDecimals);
}

// Lines are written up to their last non-blank character.
void trimTrailingBlanks(std::string& text, std::size_t from) {
    while (text.size() > from && text.back() == ' ') text.pop_back();
}

}  // namespace

std::string frequencyName(float frequency) {
    const std::string field = common::formatI(common::roundToInt32(frequency), kNameWidth);
    return field.substr(field.find_first_not_of(' ')) + "Hz";
}

std::string headerLine(const FrequencyTable& table) {
    std::string header = "Dist,X,Y,Z";
    for (int index = 0; index < table.count(); ++index) {
        const FrequencyEntry& entry = table.entry(index);
        const std::string name = frequencyName(entry.frequency);
        if (hasInPhaseColumns(entry.componentType)) appendGroupNames(header, 'i', name);
        if (hasQuadratureColumns(entry.componentType)) appendGroupNames(header, 'q', name);
    }
    trimTrailingBlanks(header, 0);
    return header;
}

void appendRow(std::string& out, const SoundingPosition& position, const FrequencyTable& table,
               const ValueTable& values) {
    const std::size_t start = out.size();
    const float eastOffset = position.x - position.firstX;
    const float northOffset = position.y - position.firstY;
    const float dist = std::sqrt(eastOffset * eastOffset + northOffset * northOffset);
    common::appendF(out, dist, kPositionWidth, kPositionDecimals);
    for (const float value : {position.x, position.y, position.z}) {
        out.push_back(',');
        common::appendF(out, value, kPositionWidth, kPositionDecimals);
    }
    for (int index = 0; index < table.count(); ++index) {
        const ComponentType type = table.entry(index).componentType;
        const ValueRow& row = values[static_cast<std::size_t>(index)];
        if (hasInPhaseColumns(type)) appendGroupValues(out, row, kInPhaseSlots);
        if (hasQuadratureColumns(type)) appendGroupValues(out, row, kQuadratureSlots);
    }
    trimTrailingBlanks(out, start);
}

XyzOutput::XyzOutput(const std::string& path) : writer_(path) {
    if (!writer_.isOpen()) {
        throw common::RunStop("cannot create the xyz data file \"" + path + "\"");
    }
}

void XyzOutput::writeHeader(const FrequencyTable& table) { writer_.line(headerLine(table)); }

void XyzOutput::writeRow(const SoundingPosition& position, const FrequencyTable& table,
                         const ValueTable& values, common::Console& console) {
    std::string& buffer = writer_.buffer();
    appendRow(buffer, position, table, values);
    buffer.push_back('\n');
    writer_.commit();
    ++rowCount_;
    if (rowCount_ % kProgressInterval == 0) console.listLine(" Processed: ", rowCount_);
}

void XyzOutput::close() {
    if (!writer_.close()) {
        throw common::RunStop("cannot write the xyz data file \"" + writer_.path() + "\"");
    }
}

}  // namespace pellack
