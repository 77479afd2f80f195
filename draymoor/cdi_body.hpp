#pragma once
// The body of a CDI data file: per survey line a line header ("Line ..."),
// then data lines, each holding a station and one conductivity per depth.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "draymoor/cdi_rows.hpp"
#include "draymoor/cdi_text.hpp"
#include "draymoor/depth_header.hpp"

namespace draymoor {

enum class BodyLineKind {
    skipped,     // blank, or a comment beginning with "/"
    lineHeader,  // holds "Line" anywhere
    data,
};

BodyLineKind classifyBodyLine(std::string_view line);

struct LineHeader {
    std::int32_t lineNumber = 0;
    std::string fileName;  // the text after "Line", trimmed, then ".dat"
};

// Reads a line header (`text`: its TABs turned into blanks): its first four
// characters are dropped, the line
// number is the first list item of the rest, and the rest without its
// blanks at either end names the line data file. `lineNumber` keeps its
// value when the item is null.
void readLineHeader(std::string_view text, LineHeader& header, const FieldSource& source);

// Field numbers of a data line (counted from 1).
inline constexpr int kEastField = 2;
inline constexpr int kNorthField = 3;
inline constexpr int kLevelField = 4;
inline constexpr int kDistField = 6;
inline constexpr int kFirstConductivityField = 15;

// The values of the data lines; a field that a data line lacks keeps the
// value of the last data line that held it.
struct DataValues {
    Station station;
    std::array<float, kMaxDepths> conductivities{};
};

// Reads fields 2, 3, 4 and 6 and the conductivity fields of a data line
// (fields separated by blanks or TABs); the other fields are not looked at.
void readDataLine(std::string_view text, std::int32_t depthCount, DataValues& values,
                  const FieldSource& source);

}  // namespace draymoor
