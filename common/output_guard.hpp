#pragma once
// The one rule that keeps every input intact: an output is never created over
// a file that the run still has to read, nor under one of the suite's fixed
// temporary names, which the programs and the gridding library create and
// delete on their own.
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

#include "common/platform.hpp"  // sameFile

namespace common {

// True when `path` names, in the working folder, a fixed temporary file of
// the suite: "tmpdat.tmp", "tmpmod.tmp" or the gridding library's
// "~minc??.tmp" files.
bool isFixedTemporaryName(const std::string& path);

enum class OutputKind {
    named,      // named by the user (or built from a user's name): may take no temporary name
    temporary,  // one of the suite's own fixed-name temporary files
};

// Why `output` may not be created while `inputs` are still to be read (or,
// for an output written earlier in the run, still to be kept); empty when it
// may. The text names both files.
std::string outputClash(const std::string& output, std::span<const std::string> inputs,
                        OutputKind kind = OutputKind::named);
std::string outputClash(const std::string& output, std::initializer_list<std::string> inputs,
                        OutputKind kind = OutputKind::named);

// Stops the run (RunStop, exit status 1) with outputClash's text when there
// is one; nothing has been created at that point.
void requireDistinctOutput(const std::string& output, std::span<const std::string> inputs,
                           OutputKind kind = OutputKind::named);
void requireDistinctOutput(const std::string& output, std::initializer_list<std::string> inputs,
                           OutputKind kind = OutputKind::named);

}  // namespace common
