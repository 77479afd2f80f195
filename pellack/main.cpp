#include "common/run_stop.hpp"
#include "pellack/brevan.hpp"

int main(int argc, char** argv) {
    return common::runProgram("pellack", [&] { return pellack::brevan(argc, argv); });
}
