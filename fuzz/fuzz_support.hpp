#pragma once
// What the fuzz targets share: one scratch folder that is the working folder
// of the whole fuzzing process (the programs and the gridding library write
// fixed names into the working folder), the input bytes written as files,
// an input split into the two files of a pair, and an in-process program run.
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace fuzz {

// The fuzz input as text.
std::string_view asText(const std::uint8_t* data, std::size_t size);

// The scratch folder as the working folder for the scope of one input. The
// folder is made on first use and emptied on every entry, so that each input
// starts from the same state; the previous working folder comes back at the
// end of the scope (the fuzzer's own corpus paths may be relative).
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

private:
    int previous_;  // descriptor of the previous working folder
};

// Writes bytes to a file of the scratch folder, creating or truncating it.
void writeFile(const std::string& name, std::string_view bytes);

// An input that stands for two files: the text before the first marker line
// is the first file, the text after it the second. Without a marker the
// second file is empty.
inline constexpr std::string_view kPairMarker = "\n#~#~#\n";
struct InputPair {
    std::string_view first;
    std::string_view second;
    bool hasMarker = false;
};
InputPair splitPair(std::string_view text);

// Runs a program's routine in this process on the given arguments (argv[0]
// included). A stop (common::RunStop) is an expected end of a run on bad
// input; any other exception escapes and shows as a crash of the target.
// Returns the exit status the program would have.
int runInProcess(int (*routine)(int, char**), std::initializer_list<std::string> arguments);

}  // namespace fuzz
