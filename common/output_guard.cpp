#include "common/output_guard.hpp"

#include <array>

#include "common/platform.hpp"
#include "common/run_stop.hpp"

namespace common {

namespace {

bool isWorkingFolder(const std::string& folder) { return folder.empty() || sameFile(folder, "."); }

}  // namespace

bool isFixedTemporaryName(const std::string& path) {
    static constexpr std::array<std::string_view, 3> kPatterns{"tmpdat.tmp", "tmpmod.tmp", "~minc??.tmp"};
    const std::string name = nameOf(path);
    for (const std::string_view pattern : kPatterns) {
        if (matchWildcard(pattern, name)) return isWorkingFolder(folderOf(path));
    }
    return false;
}

std::string outputClash(const std::string& output, std::span<const std::string> inputs, OutputKind kind) {
    for (const std::string& input : inputs) {
        if (sameFile(output, input)) {
            return "the output " + output + " would overwrite " + input + ", which this run still needs";
        }
    }
    if (kind == OutputKind::named && isFixedTemporaryName(output)) {
        return "the output " + output + " has the name of a temporary file of this suite, which would replace it";
    }
    return {};
}

std::string outputClash(const std::string& output, std::initializer_list<std::string> inputs, OutputKind kind) {
    return outputClash(output, std::span<const std::string>(inputs.begin(), inputs.size()), kind);
}

void requireDistinctOutput(const std::string& output, std::span<const std::string> inputs, OutputKind kind) {
    std::string clash = outputClash(output, inputs, kind);
    if (!clash.empty()) throw RunStop(std::move(clash) + "; nothing was written to it");
}

void requireDistinctOutput(const std::string& output, std::initializer_list<std::string> inputs, OutputKind kind) {
    requireDistinctOutput(output, std::span<const std::string>(inputs.begin(), inputs.size()), kind);
}

}  // namespace common
