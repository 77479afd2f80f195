#include "common/run_stop.hpp"
#include "tarnby/brevan.hpp"

int main(int argc, char** argv) {
    return common::runProgram("tarnby", [&] { return tarnby::brevan(argc, argv); });
}
