// The list-directed readers on arbitrary text: whole read statements over a
// file (mixed targets, and runs of reals, doubles and integers), the internal
// read of one record, the single-item conversions and the name reply.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/line_reader.hpp"
#include "common/list_input.hpp"
#include "common/run_stop.hpp"
#include "fuzz_support.hpp"

namespace {

void readStatementsToTheEnd(const std::string& path) {
    common::LineReader lines(path);
    common::ListReader reader(lines);
    float real = 0.0f;
    double wide = 0.0;
    std::int32_t integer = 0;
    std::string name;
    std::array<float, 3> reals{};
    std::array<double, 2> doubles{};
    std::array<std::int32_t, 4> integers{};
    // Every statement starts on a new line, so the file is used up after at
    // most one statement per line; a bad value ends the reading as it ends a
    // program's.
    for (int statement = 0;; ++statement) {
        common::ReadStatus status = common::ReadStatus::ok;
        switch (statement % 4) {
            case 0: status = reader.read({&integer, &real, &name, &wide}); break;
            case 1: status = reader.readReals(reals); break;
            case 2: status = reader.readIntegers(integers); break;
            default: status = reader.readDoubles(doubles); break;
        }
        if (status != common::ReadStatus::ok) {
            if (reader.error().describe().empty()) __builtin_trap();
            if (status == common::ReadStatus::endOfFile) return;
        }
    }
}

void readEachLineAlone(const std::string& path) {
    common::LineReader lines(path);
    std::string_view line;
    while (lines.next(line)) {
        float real = 0.0f;
        std::int32_t integer = 0;
        std::string name;
        common::InputError error;
        common::readListFromText(line, {&real, &integer, &name}, &error, "fuzz", lines.lineNumber());
        (void)common::firstListName(line);
        // Each blank-separated word as a single item.
        std::string_view rest = line;
        while (!rest.empty()) {
            const std::size_t blank = rest.find(' ');
            const std::string_view item = rest.substr(0, blank);
            double wide = 0.0;
            (void)common::parseListReal(item, real);
            (void)common::parseListDouble(item, wide);
            (void)common::parseListInteger(item, integer);
            rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::ScratchFolder scratch;
    fuzz::writeFile("list.txt", fuzz::asText(data, size));
    try {
        readStatementsToTheEnd("list.txt");
        readEachLineAlone("list.txt");
    } catch (const common::RunStop&) {
        // A refused input (lines that end in a lone CR) stops a run; any other
        // exception is a crash.
    }
    return 0;
}
