#pragma once
// The start of a run: banner, usage block, and the names of the model file,
// the xyz data file and the optional topography file, each from the command
// line or from a prompt.
#include <string_view>

#include "common/console.hpp"
#include "tarnby/model.hpp"

namespace tarnby {

// Shows the banner and the usage block.
void writeBanner(common::Console& console);

// Obtains the three names. Stops the run (after " that file does not exist")
// when the model file is missing; the other two names are not tested here.
RunNames obtainRunNames(common::Console& console);

// A name holding "SUS" or "sus" anywhere, folder part included, is a
// susceptibility model; mixed spellings do not count.
ModelKind modelKindFromName(std::string_view modelName);

}  // namespace tarnby
