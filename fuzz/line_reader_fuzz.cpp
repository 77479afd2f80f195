// LineReader against a plain split of the same bytes. The input arrives in
// pieces whose sizes the fuzzer chooses (one datagram per read, over a
// sequenced-packet socket), so that lines and CR LF pairs straddle the reads
// wherever the fuzzer likes: the lines must come out the same whatever the
// pieces.
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <algorithm>
#include <string>
#include <thread>
#include <string_view>
#include <vector>

#include "common/line_reader.hpp"
#include "common/run_stop.hpp"
#include "fuzz_support.hpp"

namespace {

// Lines end in LF; a CR before the LF (or at the very end) belongs to the
// line end; a last line without LF is still a line.
std::vector<std::string> expectedLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return lines;
}

// No LF anywhere and a CR with text after it: lines that end in a lone CR,
// which the reader refuses instead of reading them as one line.
bool endsLinesInLoneCr(std::string_view text) {
    const std::size_t cr = text.find('\r');
    return text.find('\n') == std::string_view::npos && cr != std::string_view::npos && cr + 1 < text.size();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // The first byte seeds the piece sizes (1 to 16 bytes), the rest is the text.
    const unsigned pieceSeed = data[0];
    const std::string_view text = fuzz::asText(data + 1, size - 1);

    int sockets[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET, 0, sockets) != 0) __builtin_trap();
    // A writer thread, because the socket holds only so many datagrams.
    std::thread writer([&] {
        std::size_t offset = 0;
        unsigned state = pieceSeed;
        while (offset < text.size()) {
            state = state * 1103515245u + 12345u;
            const std::size_t piece = std::min<std::size_t>(1 + (state >> 16) % 16, text.size() - offset);
            if (::write(sockets[1], text.data() + offset, piece) != static_cast<ssize_t>(piece)) __builtin_trap();
            offset += piece;
        }
        ::close(sockets[1]);
    });

    const std::vector<std::string> expected = expectedLines(text);
    const bool refused = endsLinesInLoneCr(text);
    try {
        common::LineReader reader(sockets[0], "pieces");
        std::string_view line;
        std::size_t count = 0;
        while (reader.next(line)) {
            if (refused || count >= expected.size() || line != expected[count]) __builtin_trap();
            ++count;
            if (reader.lineNumber() != static_cast<long>(count)) __builtin_trap();
        }
        if (refused || count != expected.size() || reader.failed()) __builtin_trap();
    } catch (const common::RunStop&) {
        if (!refused) __builtin_trap();
    }
    writer.join();
    ::close(sockets[0]);
    return 0;
}
