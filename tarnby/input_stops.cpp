#include "tarnby/input_stops.hpp"

#include "common/run_stop.hpp"

namespace tarnby {

void stopOnBadFormat(common::Console& console, const std::string& reason) {
    console.line(" This file does not have the correct format");
    throw common::RunStop(reason);
}

void stopOnShortRecords(common::Console& console, const std::string& reason) {
    console.listLine(" There was an error reading the specified data file");
    throw common::RunStop(reason);
}

void stopQuietly(const std::string& reason) { throw common::RunStop(reason); }

void stopOnInputError(const common::InputError& error) { throw common::RunStop(error.describe()); }

}  // namespace tarnby
