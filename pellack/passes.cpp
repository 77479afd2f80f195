#include "pellack/passes.hpp"

#include <cmath>
#include <optional>
#include <string>

#include "common/list_input.hpp"
#include "common/run_stop.hpp"
#include "pellack/data_line.hpp"

namespace pellack {

namespace {

// Observed and predicted positions of a sounding may differ by this much.
constexpr float kPositionTolerance = 1.0f;

std::string where(const DataFileReader& file) {
    return file.path() + ", line " + std::to_string(file.lineNumber());
}

void readSoundingCounts(DataFileReader& observed, DataFileReader& predicted, std::int32_t& observedCount,
                        common::Console& console) {
    observed.readCount(observedCount);
    console.listLine(" Number of soundings : ", observedCount);
    std::int32_t predictedCount = 0;
    predicted.readCount(predictedCount);
    if (predictedCount != observedCount) {
        console.listLine(" The number of soundings are not consistent : ", predictedCount);
        throw common::RunStop("the obs data file has " + std::to_string(observedCount) +
                              " soundings, the prd data file " + std::to_string(predictedCount));
    }
}

// Both files' sounding lines; the predicted file's frequency count is the
// one that governs the sounding in both files.
std::int32_t readSoundingLines(DataFileReader& observed, DataFileReader& predicted, RunState& state) {
    observed.readSounding(state.observedSounding);
    predicted.readSounding(state.predictedSounding);
    return state.predictedSounding.frequencyCount;
}

void checkLocation(const RunState& state, std::int32_t sounding, common::Console& console) {
    const SoundingLine& obs = state.observedSounding;
    const SoundingLine& prd = state.predictedSounding;
    if (std::fabs(obs.x - prd.x) > kPositionTolerance || std::fabs(obs.y - prd.y) > kPositionTolerance) {
        console.listLine(" The location of the sounding is not consistent : ", sounding);
        throw common::RunStop("sounding " + std::to_string(sounding) +
                              " lies at different places in the obs and prd data files");
    }
}

// The frequency-table entry of the frequency just read.
int placeFrequency(RunState& state, const DataFileReader& observed, common::Console& console) {
    if (state.frequency.transmitterCount != 1) {
        console.listLine(" This program cannot handle multiple Tx");
        throw common::RunStop(where(observed) + ": " + std::to_string(state.frequency.transmitterCount) +
                              " transmitters for one frequency");
    }
    const std::optional<int> placed = state.table.place(state.frequency.frequency);
    if (!placed) {
        throw common::RunStop(where(observed) + ": more than " + std::to_string(kMaxFrequencies) +
                              " different frequencies in the data files");
    }
    return *placed;
}

// The predicted file's frequency count governs both files. When it is the
// larger, the reads of the observed file run on into its next sounding, and
// whatever they stumble on there is only a symptom: the stop names the cause.
template <typename ReadFrequency>
void readFrequencyInStep(const DataFileReader& observed, const DataFileReader& predicted, const RunState& state,
                         std::int32_t sounding, std::int32_t frequency, ReadFrequency read) {
    const std::int32_t observedCount = state.observedSounding.frequencyCount;
    if (frequency <= observedCount) {
        read();
        return;
    }
    try {
        read();
    } catch (const common::RunStop&) {
        throw common::RunStop("sounding " + std::to_string(sounding) + ": the prd data file " + predicted.path() +
                              " lists " + std::to_string(state.predictedSounding.frequencyCount) +
                              " frequencies, the obs data file " + observed.path() + " only " +
                              std::to_string(observedCount));
    }
}

void takeValues(DataFileReader& file, DataRole role, ValueRow& row, common::Console& console) {
    const std::string_view line = file.readDataLine();
    const DataLineResult result = takeDataLine(line, role, row);
    switch (result.status) {
        case DataLineStatus::ok:
            return;
        case DataLineStatus::noTypeLetter:
            console.listLine(" The data line was not valid");
            throw common::RunStop(where(file) + ": the data line has no B, I or Q component letter");
        case DataLineStatus::tooFewValues:
            throw common::RunStop(where(file) + ": the data line holds fewer values than its " +
                                  "component letter needs");
        case DataLineStatus::badValue:
            throw common::RunStop(common::InputError{file.path(), file.lineNumber(),
                                                     std::string(result.token), "not a number"}
                                      .describe());
    }
}

}  // namespace

void firstPass(DataFileReader& observed, DataFileReader& predicted, RunState& state,
               common::Console& console) {
    std::int32_t soundingCount = 0;
    readSoundingCounts(observed, predicted, soundingCount, console);
    for (std::int32_t sounding = 1; sounding <= soundingCount; ++sounding) {
        const std::int32_t frequencyCount = readSoundingLines(observed, predicted, state);
        if (sounding == 1) {
            state.position.firstX = state.observedSounding.x;
            state.position.firstY = state.observedSounding.y;
        }
        checkLocation(state, sounding, console);
        for (std::int32_t k = 1; k <= frequencyCount; ++k) {
            readFrequencyInStep(observed, predicted, state, sounding, k, [&] {
                observed.readFrequency(state.frequency);
                predicted.skipLine();
                const int index = placeFrequency(state, observed, console);
                // The transmitter line is read but its Z value is the second
                // pass's business: a sounding without frequencies shows the Z
                // of the sounding before it, 0.0 for the first one.
                float unusedZ = 0.0f;
                observed.readTransmitter(state.transmitterFirst, unusedZ);
                predicted.skipLine();
                state.table.noteTypeLetter(index, findTypeLetter(observed.readDataLine()).letter);
                predicted.skipLine();
            });
        }
    }
}

void secondPass(DataFileReader& observed, DataFileReader& predicted, RunState& state,
                XyzOutput& output, common::Console& console) {
    std::int32_t soundingCount = 0;
    observed.readCount(soundingCount);
    std::int32_t unusedCount = 0;
    predicted.readCount(unusedCount);
    for (std::int32_t sounding = 1; sounding <= soundingCount; ++sounding) {
        const std::int32_t frequencyCount = readSoundingLines(observed, predicted, state);
        state.position.x = state.observedSounding.x;
        state.position.y = state.observedSounding.y;
        for (ValueRow& row : state.values) row.present = false;
        for (std::int32_t k = 1; k <= frequencyCount; ++k) {
            readFrequencyInStep(observed, predicted, state, sounding, k, [&] {
                observed.readFrequency(state.frequency);
                predicted.skipLine();
                ValueRow& row = state.values[static_cast<std::size_t>(state.table.find(state.frequency.frequency))];
                row.present = true;
                observed.readTransmitter(state.transmitterFirst, state.position.z);
                predicted.skipLine();
                takeValues(observed, DataRole::observed, row, console);
                takeValues(predicted, DataRole::predicted, row, console);
            });
        }
        setResiduals(state.values, state.table.count());
        output.writeRow(state.position, state.table, state.values, console);
    }
}

}  // namespace pellack
