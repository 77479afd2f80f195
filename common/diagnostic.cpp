#include "common/diagnostic.hpp"

#include <cstdio>

namespace common {

std::string escapeControlBytes(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string shown;
    shown.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '\t': shown += "\\t"; break;
            case '\r': shown += "\\r"; break;
            case '\n': shown += "\\n"; break;
            default:
                if (byte < 0x20 || byte == 0x7f) {
                    shown += "\\x";
                    shown.push_back(kHex[byte >> 4]);
                    shown.push_back(kHex[byte & 0xf]);
                } else {
                    shown.push_back(c);
                }
        }
    }
    return shown;
}

void writeDiagnostic(std::string_view program, std::string_view text) {
    const std::string line = std::string(program) + ": " + escapeControlBytes(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

}  // namespace common
