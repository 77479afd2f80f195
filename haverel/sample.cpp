#include "haverel/sample.hpp"

#include "haverel/token_reader.hpp"

namespace haverel {

namespace {

enum class LineKind { shortLine, middleLine, fullLine };

void readSampleLine(std::string_view text, LineKind kind, Sample& sample) {
    SampleLine line(text);
    sample.field1 = line.GET_IVAL();
    sample.emFlag = line.GET_IVAL();
    for (std::int32_t& channel : sample.channels) channel = line.GET_IVAL();
    sample.field18 = line.GET_IVAL();
    sample.field19 = line.GET_IVAL();
    sample.TC = line.GET_RVAL();
    if (kind == LineKind::shortLine) return;
    sample.radAlt = line.GET_RVAL();
    sample.barAlt = line.GET_RVAL();
    sample.magFlag = line.GET_IVAL();
    sample.finalMag = line.GET_RVAL();
    sample.field25 = line.GET_RVAL();
    if (kind == LineKind::middleLine) return;
    sample.field26 = line.GET_RVAL();
    sample.field27 = line.GET_RVAL();
    sample.field28 = line.GET_IVAL();
    sample.field29 = line.GET_IVAL();
    sample.east = line.GET_RVAL();
    sample.north = line.GET_RVAL();
}

}  // namespace

void readShortSampleLine(std::string_view line, Sample& sample) { readSampleLine(line, LineKind::shortLine, sample); }

void readMiddleSampleLine(std::string_view line, Sample& sample) {
    readSampleLine(line, LineKind::middleLine, sample);
}

void readFullSampleLine(std::string_view line, Sample& sample) { readSampleLine(line, LineKind::fullLine, sample); }

bool hasDummyPosition(const Sample& sample) { return sample.east == kNoRealValue || sample.north == kNoRealValue; }

}  // namespace haverel
