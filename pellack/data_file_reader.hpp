#pragma once
// Sequential reading of one EM1DFM data file (observed or predicted): the
// free-format count, sounding, frequency and transmitter lines, the data
// lines as text, and lines read past unseen.
//
// Every read either delivers what was asked for or stops the run: a number
// field that is not a number shows the program's read-error message; a file
// that ends early stops without one (the console stays as it is, the reason
// goes to standard error).
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "common/console.hpp"
#include "common/line_reader.hpp"
#include "common/list_input.hpp"

namespace pellack {

struct SoundingLine {
    float x = 0.0f;
    float y = 0.0f;
    std::int32_t frequencyCount = 0;
};

struct FrequencyLine {
    float frequency = 0.0f;
    std::int32_t transmitterCount = 0;
};

class DataFileReader {
public:
    // Opens the file for reading only; `role` ("obs" or "prd") names it in
    // diagnostics. Stops the run when the file cannot be opened.
    DataFileReader(const std::string& path, std::string role, common::Console& console);

    // The reads fill variables that live for the whole run: a null item of
    // free format (",,") leaves its variable as the line before set it.
    void readCount(std::int32_t& count);
    void readSounding(SoundingLine& sounding);
    void readFrequency(FrequencyLine& frequency);
    // The transmitter line's second number is the sounding's Z value.
    void readTransmitter(float& first, float& z);
    // Consumes one line without looking at it.
    void skipLine();
    // One whole line; valid until the next read.
    std::string_view readDataLine();
    // Starts again from the first line.
    void rewind();

    const std::string& path() const { return lines_.name(); }
    const std::string& role() const { return role_; }
    long lineNumber() const { return lines_.lineNumber(); }

private:
    void read(std::initializer_list<common::ListTarget> targets);
    [[noreturn]] void stopAtEnd();

    common::LineReader lines_;
    common::ListReader list_;
    std::string role_;
    common::Console& console_;
};

}  // namespace pellack
