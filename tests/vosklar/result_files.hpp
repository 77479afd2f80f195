#pragma once
// Hand-made station result files in the GRENDL and AIRBEO layouts that
// vosklar reads, and readers for the binary files it writes.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.hpp"

namespace vosklar_tests {

struct Layer {
    std::string resistivity;
    std::string thickness;  // empty for the half-space
};

// Layer rows "n resistivity thickness ...", one unused line between rows.
inline std::string layerRows(const std::vector<Layer>& layers, const std::string& tail) {
    std::string text;
    for (std::size_t index = 0; index < layers.size(); ++index) {
        text += "    " + std::to_string(index + 1) + "    " + layers[index].resistivity;
        text += layers[index].thickness.empty() ? "\n" : "    " + layers[index].thickness + tail + "\n\n";
    }
    return text;
}

// GRENDL: "NLIB = n", the final model table, one line under its header.
inline std::string grendlResult(const std::vector<Layer>& layers) {
    return " GRENDL inversion\n NLIB = " + std::to_string(layers.size()) +
           "\n\n Iteration   1   error  10.5\n\n FINAL MODEL AFTER   4 ITERATIONS\n"
           "   LAYER      RESISTIVITY      THICKNESS        DEPTH\n   -----\n" +
           layerRows(layers, "    0.0");
}

// AIRBEO: a starting table whose last row number is the count, then the
// final model table with two lines under its header.
inline std::string airbeoResult(const std::vector<Layer>& layers) {
    std::string text = "  AIRBEO inversion\n   Layer    Thickness   Resistivity\n   -----\n";
    for (std::size_t index = 0; index < layers.size(); ++index)
        text += "     " + std::to_string(index + 1) + "  10.0\n";
    return text +
           "\n  FINAL MODEL AFTER  3 ITERATIONS\n"
           "  LAYER   RESISTIVITY     THICKNESS      CONDUCTANCE      DEPTH\n  -----\n\n" +
           layerRows(layers, "    0.1    0.0");
}

inline void writeStation(const std::string& token, const std::string& name, const std::string& text) {
    std::filesystem::create_directory("Station_" + token);
    tests::writeFileBytes("Station_" + token + "/" + name, text);
}

template <typename Value>
Value valueAt(const std::string& bytes, std::size_t offset) {
    Value value{};
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

// The records of a file of floats, `width` floats each.
inline std::vector<std::vector<float>> floatRecords(const std::string& bytes, std::size_t width) {
    std::vector<std::vector<float>> records;
    for (std::size_t offset = 0; offset + 4 * width <= bytes.size(); offset += 4 * width) {
        records.emplace_back();
        for (std::size_t word = 0; word < width; ++word)
            records.back().push_back(valueAt<float>(bytes, offset + 4 * word));
    }
    return records;
}

}  // namespace vosklar_tests
