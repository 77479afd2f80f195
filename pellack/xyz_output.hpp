#pragma once
// The xyz data file of observed values, predicted values and normalised
// residuals: one header line naming the columns, then one row per sounding.
#include <cstdint>
#include <string>

#include "common/console.hpp"
#include "common/text_writer.hpp"
#include "pellack/frequency_table.hpp"
#include "pellack/value_table.hpp"

namespace pellack {

// Where a sounding lies and where the survey began (Dist is measured in a
// straight line from the first sounding).
struct SoundingPosition {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float firstX = 0.0f;
    float firstY = 0.0f;
};

// A frequency's column name stem: the frequency rounded to whole hertz in a
// 7-character integer field, leading blanks removed, then "Hz".
std::string frequencyName(float frequency);

// "Dist,X,Y,Z" and, per entry, ",i<name>_obs,_prd,_err" and/or the same with q.
std::string headerLine(const FrequencyTable& table);

// Dist, X, Y and Z (F12.1 each, comma-joined), then per column group the
// observed (F10.2), predicted (F10.2) and residual (F10.4) values.
void appendRow(std::string& out, const SoundingPosition& position, const FrequencyTable& table,
               const ValueTable& values);

// The file itself, with the count of rows written and the progress line.
class XyzOutput {
public:
    // Creates the file (or empties it); stops the run when that fails.
    explicit XyzOutput(const std::string& path);

    void writeHeader(const FrequencyTable& table);
    void writeRow(const SoundingPosition& position, const FrequencyTable& table,
                  const ValueTable& values, common::Console& console);
    // Stops the run when anything could not be written.
    void close();

    std::int32_t rowCount() const { return rowCount_; }

private:
    common::TextWriter writer_;
    std::int32_t rowCount_ = 0;
};

}  // namespace pellack
