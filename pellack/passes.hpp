#pragma once
// The two passes over the observed and predicted data files, read in step.
#include "common/console.hpp"
#include "pellack/data_file_reader.hpp"
#include "pellack/frequency_table.hpp"
#include "pellack/value_table.hpp"
#include "pellack/xyz_output.hpp"

namespace pellack {

// What the passes share: the frequency table made by the first, and the
// values, error modes and positions that carry from sounding to sounding.
struct RunState {
    FrequencyTable table;
    ValueTable values{};
    SoundingPosition position;
    SoundingLine observedSounding;
    SoundingLine predictedSounding;
    FrequencyLine frequency;
    float transmitterFirst = 0.0f;
};

// Checks that both files hold the same soundings at the same places, builds
// the frequency table and the component types. Stops the run on a mismatch.
void firstPass(DataFileReader& observed, DataFileReader& predicted, RunState& state,
               common::Console& console);

// Takes the values of every sounding, sets the residuals and writes one row
// per sounding.
void secondPass(DataFileReader& observed, DataFileReader& predicted, RunState& state,
                XyzOutput& output, common::Console& console);

}  // namespace pellack
