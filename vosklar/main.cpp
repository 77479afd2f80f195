#include "common/run_stop.hpp"
#include "vosklar/brevan.hpp"

int main(int argc, char** argv) {
    return common::runProgram("vosklar", [&] { return vosklar::brevan(argc, argv); });
}
