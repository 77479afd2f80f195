#include "tarnby/diagnostics.hpp"

#include "common/diagnostic.hpp"

namespace tarnby {

void reportDiagnostic(std::string_view text) { common::writeDiagnostic("tarnby", text); }

}  // namespace tarnby
