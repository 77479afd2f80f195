#include "common/run_stop.hpp"
#include "haverel/interp.hpp"

int main(int argc, char** argv) {
    return common::runProgram("haverel", [&] { return haverel::INTERP(argc, argv); });
}
