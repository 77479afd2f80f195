#include "common/run_stop.hpp"
#include "draymoor/brevan.hpp"

int main(int argc, char** argv) {
    return common::runProgram("draymoor", [&] { return draymoor::brevan(argc, argv); });
}
