#include "tarnby/diagnostics.hpp"

#include <cstdio>

namespace tarnby {

void reportDiagnostic(std::string_view text) {
    std::fprintf(stderr, "tarnby: %.*s\n", static_cast<int>(text.size()), text.data());
    std::fflush(stderr);
}

}  // namespace tarnby
