#include "lumsk/minc_setup.hpp"

#include <algorithm>
#include <cmath>

#include "common/float_to_int.hpp"
#include "lumsk/grid_file.hpp"
#include "lumsk/minc_state.hpp"
#include "lumsk/outline_clip.hpp"

namespace lumsk {

namespace {

constexpr std::int32_t kDefaultIterationLimit = 512;
constexpr std::int32_t kLeastIterationLimit = 32;
// Below this folded angle (degrees) the frame is taken as unrotated.
constexpr float kLeastRotation = 2.0f;

}  // namespace

std::int32_t iterationLimitFor(std::int32_t ISTAT) {
    return ISTAT >= kLeastIterationLimit ? ISTAT : kDefaultIterationLimit;
}

float foldAngle(float ANGLE) {
    // Reduced modulo 360 with the sign of ANGLE.
    float a = ANGLE - 360.0f * std::trunc(ANGLE / 360.0f);
    if (a > 180.0f) a -= 180.0f;
    if (a < -180.0f) a += 180.0f;
    if (a > 90.0f) a -= 90.0f;
    if (a < -90.0f) a += 90.0f;
    if (a > 45.0f) a -= 90.0f;
    if (a < -45.0f) a += 90.0f;
    return a;
}

bool isRotatedAngle(float foldedAngle) { return !(std::fabs(foldedAngle) < kLeastRotation); }

float searchRadiusInCells(LibraryBuild build, float RADIUS, std::int32_t NCOL, std::int32_t NROW, float DX,
                          float DY) {
    if (build == LibraryBuild::wideOutline) {
        const bool widerThanHalfGrid = static_cast<float>(NCOL) * DX / 2.0f < RADIUS;
        const bool tallerThanHalfGrid = static_cast<float>(NROW) * DY / 2.0f < RADIUS;
        if (widerThanHalfGrid || tallerThanHalfGrid) return 0.0f;
    }
    return RADIUS / DX;
}

HalfWindow halfWindowFor(float radiusCells, float unitCell, std::int32_t workingColumns) {
    if (radiusCells < 0.0f) radiusCells = 0.0f;
    const float wanted = std::fabs(radiusCells / unitCell) + 0.5f;
    // A radius that is not a number makes no mask.
    if (std::isnan(wanted)) return {};
    // The fit test in double: a huge radius must not overflow the product.
    const double h = std::trunc(static_cast<double>(wanted));
    const double G = static_cast<double>(workingColumns);
    if ((2.0 * h + 3.0) * (2.0 * h + G) <= static_cast<double>(kWorkWords)) {
        return {common::truncateToInt32(wanted), false};
    }
    // The largest h with 4h^2 + (2G + 6)h + 3G - 256000 <= 0.
    const float a = 2.0f * static_cast<float>(workingColumns) + 6.0f;
    const float b = 3.0f * static_cast<float>(workingColumns) - static_cast<float>(kWorkWords);
    const float root = std::sqrt(a * a - 16.0f * b);
    return {common::truncateToInt32((root - a) / 8.0f), true};
}

std::int64_t maskWorkWords(std::int32_t maskColumns, std::int32_t maskRows, std::int32_t halfWindow) {
    const std::int64_t MC = maskColumns;
    const std::int64_t MR = maskRows;
    const std::int64_t ringWords = MC * (2 * static_cast<std::int64_t>(halfWindow) + 3);
    const std::int64_t outlineWords =
        2 * static_cast<std::int64_t>(outlineCapacityNeeded(maskColumns, maskRows, halfWindow));
    return std::max({static_cast<std::int64_t>(kWorkWords), ringWords, 3 * MC + 2 * MR + outlineWords});
}

std::optional<WorkingFrame> rotatedWorkingFrame(float xmin, float xmax, float ymin, float ymax) {
    if (!(xmin < xmax) || !(ymin < ymax)) return std::nullopt;
    const float x0 = std::trunc(xmin) - 1.0f;
    const float x1 = xmax + 1.0f;
    const float y0 = std::trunc(ymin) - 1.0f;
    const float y1 = ymax + 1.0f;
    WorkingFrame frame;
    frame.xOriginCells = x0;
    frame.yOriginCells = y0;
    frame.columns = common::roundToInt32(x1 - x0) + 1;
    frame.rows = common::roundToInt32(y1 - y0) + 1;
    return frame;
}

bool realArgumentsFinite(float DNULL, float ANGLE, float X0, float Y0, float DX, float DY, float RADIUS) {
    for (const float value : {DNULL, ANGLE, X0, Y0, DX, DY, RADIUS}) {
        if (!std::isfinite(value)) return false;
    }
    return true;
}

std::optional<std::string> heldGridName(std::string_view OUTGRD) {
    std::string name = gridFileName(OUTGRD);
    if (name.empty()) return std::nullopt;
    name.push_back('\0');
    return name;
}

std::optional<std::string> pointDataFileName(std::string_view DATFIL, bool nulRequired) {
    const std::size_t nul = DATFIL.find('\0');
    if (nul != std::string_view::npos && nul >= 1) return std::string(DATFIL.substr(0, nul));
    // A name that starts with a NUL is empty to the file system.
    if (nulRequired || nul == 0) return std::nullopt;
    const std::size_t last = DATFIL.find_last_not_of(' ');
    const std::size_t length = last == std::string_view::npos ? 0 : last + 1;
    if (length < 2) return std::nullopt;
    return std::string(DATFIL.substr(0, length));
}

}  // namespace lumsk
