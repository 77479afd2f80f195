#pragma once
// draymoor: converts a Tempest conductivity-depth (CDI) data file into an
// xyz data file and one data file per survey line, one row per positive
// conductivity.

namespace draymoor {

// The whole run: console front end, depth header, body. Returns 0 at a
// normal end; stops throw common::RunStop. Arguments as main() gets them
// (argv[0] the program name).
int brevan(int argc, char** argv);

}  // namespace draymoor
