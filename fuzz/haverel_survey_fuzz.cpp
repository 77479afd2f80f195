// haverel on an arbitrary survey data file (header lines, sample line groups,
// the column files and the line folders), and the token readers on every
// line of it read as a sample line.
#include <cstdint>
#include <string_view>

#include "fuzz_support.hpp"
#include "haverel/interp.hpp"
#include "haverel/token_reader.hpp"

namespace {

void readEveryLineAsTokens(std::string_view text) {
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        haverel::SampleLine integers(line);
        haverel::SampleLine reals(line);
        // A line of n bytes holds at most n / 2 + 1 fields; read one more.
        for (std::size_t field = 0; field <= line.size() / 2 + 1; ++field) {
            (void)integers.GET_IVAL();
            (void)reals.GET_RVAL();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::ScratchFolder scratch;
    const std::string_view text = fuzz::asText(data, size);
    readEveryLineAsTokens(text);
    fuzz::writeFile("L100.dat", text);
    fuzz::writeFile("chan.txt", "channel times\n");
    fuzz::runInProcess(haverel::INTERP, {"haverel", "L100.dat", "out", "survey.txt", "chan.txt"});
    return 0;
}
