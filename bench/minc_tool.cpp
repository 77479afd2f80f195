// minc_tool: runs one MINC call with every argument taken from the command
// line, for end-to-end checks and for measuring a large gridding run from the
// outside (time, peak memory). Not installed.
//
//   minc_tool narrow|wide OUTGRD X0 Y0 DX DY NCOL NROW RADIUS DATFIL ZCHAN
//             DNULL MAXCHN ITRANS KXFLAG ANGLE ISTAT
//
// Prints "status N" and, after a good run, "zmin V" and "zmax V". Exit status
// 0 after a good run, 1 after a failed call, 2 for a bad command line.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/diagnostic.hpp"
#include "lumsk/minc.hpp"

namespace {

constexpr int kArgumentCount = 17;

bool parseInt(const char* text, std::int32_t& value) {
    char* end = nullptr;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || parsed < INT32_MIN || parsed > INT32_MAX) return false;
    value = static_cast<std::int32_t>(parsed);
    return true;
}

bool parseFloat(const char* text, float& value) {
    char* end = nullptr;
    value = std::strtof(text, &end);
    return end != text && *end == '\0';
}

int usage() {
    common::writeDiagnostic("minc_tool", "usage: minc_tool narrow|wide OUTGRD X0 Y0 DX DY NCOL NROW RADIUS DATFIL "
                                         "ZCHAN DNULL MAXCHN ITRANS KXFLAG ANGLE ISTAT");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != kArgumentCount + 1) return usage();
    const std::string_view variant = argv[1];
    if (variant != "narrow" && variant != "wide") return usage();
    const auto build = variant == "narrow" ? lumsk::LibraryBuild::narrowOutline : lumsk::LibraryBuild::wideOutline;

    lumsk::MincRequest r;
    std::int32_t ITRANS = 0;
    const bool parsed = parseFloat(argv[3], r.X0) && parseFloat(argv[4], r.Y0) && parseFloat(argv[5], r.DX) &&
                        parseFloat(argv[6], r.DY) && parseInt(argv[7], r.NCOL) && parseInt(argv[8], r.NROW) &&
                        parseFloat(argv[9], r.RADIUS) && parseInt(argv[11], r.ZCHAN) && parseFloat(argv[12], r.DNULL) &&
                        parseInt(argv[13], r.MAXCHN) && parseInt(argv[14], ITRANS) && parseInt(argv[15], r.KXFLAG) &&
                        parseFloat(argv[16], r.ANGLE) && parseInt(argv[17], r.ISTAT);
    if (!parsed) return usage();
    r.ITRANS = static_cast<lumsk::ValueTransform>(ITRANS);
    // The names go in as the converters pass them, each ended by a NUL: a
    // rotated call takes its point data name only from before a NUL.
    r.OUTGRD = std::string(argv[2]) + '\0';
    r.DATFIL = std::string(argv[10]) + '\0';

    lumsk::Gridder gridder(build);
    gridder.MINC(r);
    std::printf("status %d\n", r.ISTAT);
    if (r.ISTAT < 0) return 1;
    std::printf("zmin %.9g\nzmax %.9g\n", static_cast<double>(r.ZMIN), static_cast<double>(r.ZMAX));
    return 0;
}
