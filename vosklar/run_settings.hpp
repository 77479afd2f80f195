#pragma once
// The console front end of vosklar: banner, usage block and the four run
// settings, each from the command line or a prompt.
#include <string>
#include <string_view>

#include "common/console.hpp"

namespace vosklar {

// Which inversion program wrote the station result files.
enum class InversionMethod { grendl, airbeo };

struct RunSettings {
    InversionMethod method = InversionMethod::grendl;
    std::string listFileName;
    std::string outputName;
    float maximumDepth = 1000.0f;  // caps every layer thickness and the depth range of the grids
};

inline constexpr std::string_view kUsageLine = "   vosklar [airbeo|grendl] listfile outfile {maxdepth}";

// "grendl" (trailing blanks aside, case kept) selects GRENDL result files;
// a blank name means "grendl"; any other word selects AIRBEO result files.
InversionMethod methodFromName(std::string_view name);

// Writes the banner and usage block and obtains the settings. Stops with
// " that file does not exist" when the list file is missing.
RunSettings readRunSettings(common::Console& console);

}  // namespace vosklar
