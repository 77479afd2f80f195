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
    std::fputs("usage: minc_tool narrow|wide OUTGRD X0 Y0 DX DY NCOL NROW RADIUS DATFIL ZCHAN DNULL MAXCHN "
               "ITRANS KXFLAG ANGLE ISTAT\n",
               stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != kArgumentCount + 1) return usage();
    const std::string_view variant = argv[1];
    if (variant != "narrow" && variant != "wide") return usage();
    const auto build = variant == "narrow" ? lumsk::LibraryBuild::narrowOutline : lumsk::LibraryBuild::wideOutline;

    float X0 = 0.0f, Y0 = 0.0f, DX = 0.0f, DY = 0.0f, RADIUS = 0.0f, DNULL = 0.0f, ANGLE = 0.0f;
    std::int32_t NCOL = 0, NROW = 0, ZCHAN = 0, MAXCHN = 0, ITRANS = 0, KXFLAG = 0, ISTAT = 0;
    const bool parsed = parseFloat(argv[3], X0) && parseFloat(argv[4], Y0) && parseFloat(argv[5], DX) &&
                        parseFloat(argv[6], DY) && parseInt(argv[7], NCOL) && parseInt(argv[8], NROW) &&
                        parseFloat(argv[9], RADIUS) && parseInt(argv[11], ZCHAN) && parseFloat(argv[12], DNULL) &&
                        parseInt(argv[13], MAXCHN) && parseInt(argv[14], ITRANS) && parseInt(argv[15], KXFLAG) &&
                        parseFloat(argv[16], ANGLE) && parseInt(argv[17], ISTAT);
    if (!parsed) return usage();

    lumsk::Gridder gridder(build);
    float ZMIN = 0.0f;
    float ZMAX = 0.0f;
    // The names go in as the converters pass them, each ended by a NUL: a
    // rotated call takes its point data name only from before a NUL.
    const std::string OUTGRD = std::string(argv[2]) + '\0';
    const std::string DATFIL = std::string(argv[10]) + '\0';
    gridder.MINC(OUTGRD, X0, Y0, DX, DY, NCOL, NROW, RADIUS, DATFIL, ZCHAN, DNULL, MAXCHN, ITRANS, KXFLAG, ZMIN,
                 ZMAX, ANGLE, ISTAT);
    std::printf("status %d\n", ISTAT);
    if (ISTAT < 0) return 1;
    std::printf("zmin %.9g\nzmax %.9g\n", static_cast<double>(ZMIN), static_cast<double>(ZMAX));
    return 0;
}
