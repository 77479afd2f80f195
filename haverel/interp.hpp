#pragma once
// `INTERP`, the routine of haverel: converts formatted survey data files (one
// named file, or every file a wildcard name matches) into a magnetic column
// file, an EM column file and, per survey line, a folder holding the line's
// EM data file and a copy of the time channel file.
namespace haverel {

// Runs the whole program on the given command line; returns the exit status.
int INTERP(int argc, char** argv);

}  // namespace haverel
