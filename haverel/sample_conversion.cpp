#include "haverel/sample_conversion.hpp"

#include <array>
#include <cmath>
#include <string_view>

#include "haverel/sample.hpp"
#include "haverel/survey_rows.hpp"

namespace haverel {

namespace {

bool isBlankOrComment(std::string_view line) {
    return line.empty() || line.front() == '*' || line.find_first_not_of(' ') == std::string_view::npos;
}

class SampleConverter {
public:
    SampleConverter(common::LineReader& input, std::int32_t lineNumber, std::int32_t direction,
                    SurveyLineOutputs outputs)
        : input_(input), lineNumber_(lineNumber), direction_(direction), outputs_(outputs) {}

    std::int32_t run() {
        while (openGroup()) {
            while (readGroup()) writeGroup();
            if (atEnd_) break;
            if (!skipToComment()) break;
        }
        writeUnfinishedOpeningLine();
        return dataPointCount_;
    }

private:
    // Sample k of the group, 1-based as the group is numbered.
    Sample& sample(int k) { return samples_[static_cast<std::size_t>(k - 1)]; }

    bool nextLine(std::string_view& line) {
        if (input_.next(line)) return true;
        atEnd_ = true;
        return false;
    }

    bool nextDataLine(std::string_view& line) {
        while (nextLine(line)) {
            if (!isBlankOrComment(line)) return true;
        }
        return false;
    }

    // The opening full line of a run of groups; false at the end of the input
    // or when its position is a dummy (then a skip follows).
    bool openGroup() {
        std::string_view line;
        if (!nextDataLine(line)) return false;
        readFullSampleLine(line, sample(5));
        if (hasDummyPosition(sample(5))) {
            openingUnwritten_ = false;
            return true;  // readGroup() sees the rejection and leaves the group loop
        }
        previousEast_ = sample(5).east;
        previousNorth_ = sample(5).north;
        openingUnwritten_ = true;
        return true;
    }

    // Reads the four lines after the opening line; false at the end of the
    // input or when the closing line is rejected.
    bool readGroup() {
        if (!openingUnwritten_) return false;
        sample(1) = sample(5);
        std::string_view line;
        if (!nextLine(line)) return false;
        readShortSampleLine(line, sample(2));
        if (!nextLine(line)) return false;
        readMiddleSampleLine(line, sample(3));
        if (!nextLine(line)) return false;
        readShortSampleLine(line, sample(4));
        if (!nextDataLine(line)) return false;
        dataPointCount_ += 4;
        readFullSampleLine(line, sample(5));
        if (hasDummyPosition(sample(5))) {
            openingUnwritten_ = false;
            return false;
        }
        return true;
    }

    void interpolate() {
        Sample& first = sample(1);
        Sample& last = sample(5);
        sample(2).east = (3.0 * first.east + last.east) / 4.0;
        sample(3).east = (first.east + last.east) / 2.0;
        sample(4).east = (first.east + 3.0 * last.east) / 4.0;
        sample(2).north = (3.0 * first.north + last.north) / 4.0;
        sample(3).north = (first.north + last.north) / 2.0;
        sample(4).north = (first.north + 3.0 * last.north) / 4.0;
        sample(2).radAlt = (first.radAlt + sample(3).radAlt) / 2.0;
        sample(4).radAlt = (sample(3).radAlt + last.radAlt) / 2.0;
        sample(2).barAlt = (first.barAlt + sample(3).barAlt) / 2.0;
        sample(4).barAlt = (sample(3).barAlt + last.barAlt) / 2.0;
    }

    void writeGroup() {
        interpolate();
        // Samples 1 and 3 also have a mag file row. When a sample has an em
        // file row too, the mag row copies the columns the two share.
        for (int k = 1; k <= 4; ++k) {
            const Sample& s = sample(k);
            const bool magRow = (k == 1 || k == 3) && s.magFlag == 1;
            if (s.emFlag == 1) {
                const std::size_t emRowAt = writeEmRows(s);
                if (magRow) appendMagRowAfterEmRow(outputs_.mag.buffer(), outputs_.em.buffer(), emRowAt, s);
            } else if (magRow) {
                appendMagRow(outputs_.mag.buffer(), lineNumber_, direction_, s);
            }
            advanceStationDistance(sample(k + 1));
        }
        commitAll();
        // The closing line is now the opening line of the next group.
    }

    // Rows are committed once per group: the buffers may run a few rows past
    // their block size before they are written.
    void commitAll() {
        outputs_.mag.commit();
        outputs_.em.commit();
        outputs_.emData.commit();
    }

    std::size_t writeEmRows(const Sample& s) {
        return appendEmRows(outputs_.em.buffer(), outputs_.emData.buffer(), lineNumber_, direction_,
                            stationDistance_, s);
    }

    // Station distance runs forward for direction codes up to 2, backward
    // above (the line was flown the other way).
    void advanceStationDistance(const Sample& next) {
        const double dNorth = next.north - previousNorth_;
        const double dEast = next.east - previousEast_;
        const double step = std::sqrt(dNorth * dNorth + dEast * dEast);
        stationDistance_ = direction_ <= 2 ? stationDistance_ + step : stationDistance_ - step;
        previousEast_ = next.east;
        previousNorth_ = next.north;
    }

    // After a rejected full line: drop lines up to and including the next
    // comment line. False at the end of the input.
    bool skipToComment() {
        std::string_view line;
        while (nextLine(line)) {
            if (!line.empty() && line.front() == '*') return true;
        }
        return false;
    }

    // At the end of the input the accepted opening line of an unfinished
    // group still owes its rows.
    void writeUnfinishedOpeningLine() {
        if (!openingUnwritten_) return;
        const Sample& s = sample(5);
        if (s.magFlag == 1) appendMagRow(outputs_.mag.buffer(), lineNumber_, direction_, s);
        if (s.emFlag == 1) writeEmRows(s);
        commitAll();
    }

    common::LineReader& input_;
    std::int32_t lineNumber_;
    std::int32_t direction_;
    SurveyLineOutputs outputs_;
    std::array<Sample, 5> samples_{};
    double stationDistance_ = 0.0;
    double previousEast_ = 0.0;
    double previousNorth_ = 0.0;
    std::int32_t dataPointCount_ = 1;
    bool openingUnwritten_ = false;
    bool atEnd_ = false;
};

}  // namespace

std::int32_t convertSampleLines(common::LineReader& input, std::int32_t lineNumber, std::int32_t direction,
                                SurveyLineOutputs outputs) {
    return SampleConverter(input, lineNumber, direction, outputs).run();
}

}  // namespace haverel
