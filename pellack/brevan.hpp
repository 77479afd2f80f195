#pragma once
// pellack: converts an EM1DFM observed-data file and the matching
// predicted-data file into an xyz data file of observed values, predicted
// values and normalised residuals per frequency and component.

namespace pellack {

// The whole run: console front end, both passes, the xyz data file. Returns
// 0 at a normal end; stops throw common::RunStop. Arguments as main() gets
// them (argv[0] the program name).
int brevan(int argc, char** argv);

}  // namespace pellack
