#include "tarnby/xyz_rows.hpp"

#include "common/edit_format.hpp"

namespace tarnby {

std::string_view xyzHeaderLine(ModelKind kind, bool hasTopography) {
    if (kind == ModelKind::conductivity) {
        return hasTopography ? "Dist,East,North,Depth,RL,Con,Res,LogRes"
                             : "Dist,East,North,Depth,Con,Res,LogRes";
    }
    return hasTopography ? "Dist,East,North,Depth,RL,Susc" : "Dist,East,North,Depth,Susc";
}

namespace {

// The row layout: positions F10.1, depth and RL F9.2, values E12.4.
constexpr int kPositionWidth = 10;
constexpr int kPositionDecimals = 1;
constexpr int kDepthWidth = 9;
constexpr int kDepthDecimals = 2;
constexpr int kValueWidth = 12;
constexpr int kValueDecimals = 4;
// Positions, depth and RL with their commas, and the line end.
constexpr std::size_t kLongestRowStart = 3 * (kPositionWidth + 1) + 2 * kDepthWidth + 1 + 1;

// Writes one field and the comma after it; returns where the next begins.
char* positionField(char* at, float value) {
    common::writeRealF(at, value, kPositionWidth, kPositionDecimals);
    at[kPositionWidth] = ',';
    return at + kPositionWidth + 1;
}

}  // namespace

// The row is written straight into the output buffer: room for the row with
// RL is made once, and what is not used is given back at the end.
void appendXyzRow(std::string& out, const XyzRow& row, bool hasTopography) {
    const std::size_t start = out.size();
    out.resize(start + kLongestRowStart + row.values.size() * (kValueWidth + 1));
    char* at = positionField(out.data() + start, row.DIST);
    at = positionField(at, row.EAST);
    at = positionField(at, row.NORTH);
    common::writeRealF(at, row.DEPTH, kDepthWidth, kDepthDecimals);
    at += kDepthWidth;
    if (hasTopography) {
        *at++ = ',';
        common::writeRealF(at, row.RL, kDepthWidth, kDepthDecimals);
        at += kDepthWidth;
    }
    for (const float value : row.values) {
        *at++ = ',';
        common::writeRealE(at, value, kValueWidth, kValueDecimals);
        at += kValueWidth;
    }
    *at++ = '\n';
    out.resize(static_cast<std::size_t>(at - out.data()));
}

}  // namespace tarnby
