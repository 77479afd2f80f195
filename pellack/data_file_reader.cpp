#include "pellack/data_file_reader.hpp"

#include <utility>

#include "common/run_stop.hpp"

namespace pellack {

DataFileReader::DataFileReader(const std::string& path, std::string role, common::Console& console)
    : lines_(path), list_(lines_), role_(std::move(role)), console_(console) {
    if (!lines_.isOpen()) {
        throw common::RunStop("cannot open the " + role_ + " data file \"" + path + "\" for reading");
    }
}

void DataFileReader::read(std::initializer_list<common::ListTarget> targets) {
    switch (list_.read(targets)) {
        case common::ReadStatus::ok:
            return;
        case common::ReadStatus::endOfFile:
            stopAtEnd();
        case common::ReadStatus::badValue:
            console_.listLine(" There was an error reading the specified data file");
            throw common::RunStop(list_.error().describe());
    }
}

void DataFileReader::stopAtEnd() {
    if (lines_.failed()) {
        throw common::RunStop("cannot read the " + role_ + " data file \"" + path() + "\"");
    }
    throw common::RunStop("the " + role_ + " data file \"" + path() + "\" ends early, after line " +
                          std::to_string(lines_.lineNumber()));
}

void DataFileReader::readCount(std::int32_t& count) { read({&count}); }

void DataFileReader::readSounding(SoundingLine& sounding) {
    read({&sounding.x, &sounding.y, &sounding.frequencyCount});
}

void DataFileReader::readFrequency(FrequencyLine& frequency) {
    read({&frequency.frequency, &frequency.transmitterCount});
}

void DataFileReader::readTransmitter(float& first, float& z) { read({&first, &z}); }

void DataFileReader::skipLine() {
    std::string_view line;
    if (!lines_.next(line)) stopAtEnd();
}

std::string_view DataFileReader::readDataLine() {
    std::string_view line;
    if (!lines_.next(line)) stopAtEnd();
    return line;
}

void DataFileReader::rewind() {
    if (!lines_.rewind()) {
        throw common::RunStop("cannot read the " + role_ + " data file \"" + path() + "\" again");
    }
}

}  // namespace pellack
