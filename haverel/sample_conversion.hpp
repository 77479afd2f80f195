#pragma once
// Conversion of the sample lines of one survey data file into rows of the
// mag file, the em file and the file's EM data file.
//
// Samples come in groups of five lines: full, short, middle, short, full;
// the closing full line of a group opens the next. Only full lines carry a
// position, so the three samples between them are placed at 1/4, 1/2 and
// 3/4 of the way, and the short samples take the mean altitudes of their
// neighbours. A full line with a dummy position drops its whole group.
#include <cstdint>

#include "common/line_reader.hpp"
#include "common/text_writer.hpp"

namespace haverel {

struct SurveyLineOutputs {
    common::TextWriter& mag;
    common::TextWriter& em;
    common::TextWriter& emData;
};

// Reads `input` (positioned behind the file's two header lines) to its end
// and returns the data point count: 1 plus 4 for every closing full line read.
std::int32_t convertSampleLines(common::LineReader& input, std::int32_t lineNumber, std::int32_t direction,
                                SurveyLineOutputs outputs);

}  // namespace haverel
