#pragma once
// The files a run writes over whatever has their names (the xyz data file,
// the model layer file "tmpmod.tmp" and the point data file "tmpdat.tmp")
// may never be a file the run reads: the list file or a station result file.
#include <string>

#include "vosklar/run_settings.hpp"

namespace vosklar {

// Before anything is created: none of the three is the list file, and the
// xyz data file does not take a temporary file's name. Stops the run
// (RunStop naming both files) on a clash.
void requireOutputsApartFromList(const RunSettings& settings);

// Before a station result file is read: none of the three is that file. The
// xyz data file is made after the last station, so a clash found here stops
// the run before it exists.
void requireOutputsApartFromResult(const RunSettings& settings, const std::string& resultPath);

}  // namespace vosklar
