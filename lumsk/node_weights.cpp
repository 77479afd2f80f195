#include "lumsk/node_weights.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstddef>

#include "common/float_to_int.hpp"

namespace lumsk {
namespace {

// Words of one node data record (0-based offsets within the record).
constexpr std::size_t kWordsPerNode = 6;
constexpr std::size_t kWord1 = 0;
constexpr std::size_t kWord2 = 1;
constexpr std::size_t kWord3 = 2;
constexpr std::size_t kWord4 = 3;
constexpr std::size_t kWord5 = 4;
constexpr std::size_t kWord6 = 5;

// Nudge added before rounding a coordinate to its node, and the limit past
// which the rounded node is taken one lower: a point half-way between two
// nodes, and up to 0.0001 past that, goes to the lower node.
constexpr float kRoundingNudge = 0.000001f;
constexpr float kLowerNodeLimit = 0.4999f;

// A summed weight below this counts as none.
constexpr float kNoWeight = 0.0000001f;
// A mean offset of squared length at or below this (0.05 of a cell) puts the
// data on the node: the node is fixed.
constexpr float kOnNodeSquared = 0.0025f;

// Nearest node of a coordinate in node units; may lie outside the grid.
std::int32_t nearestNode(float position) {
    std::int32_t node = common::roundToInt32(position + kRoundingNudge);
    if (node != common::kIntegerIndefinite && static_cast<float>(node) - position > kLowerNodeLimit) {
        node = node - 1;
    }
    return node;
}

// A point placed on its node: the node's number (0-based) and the point's
// offset from it and value.
struct PlacedPoint {
    std::size_t node;
    float dx;
    float dy;
    float z;
};
// Points placed, and their records fetched, ahead of the updates.
constexpr std::int32_t kPlacementBatch = 32;
// Nodes listed at a time by BWTS.
constexpr std::size_t kNodeStretch = 512;

// Quadrant code of a mean offset (data position minus node position).
std::int32_t quadrantCode(float dx, float dy) {
    constexpr std::array<std::int32_t, 4> kCodes = {3, 4, 2, 1};
    const std::size_t index = (dx >= 0.0f ? 1u : 0u) + (dy >= 0.0f ? 2u : 0u);
    return kCodes[index];
}

// Coefficients of the minimum-curvature data equation for a data node whose
// mean data offset is (xi, eta) in size; W6 holds the mean data value.
void setDataCoefficients(float* record) {
    const float xi = std::fabs(record[kWord2]);
    const float eta = std::fabs(record[kWord3]);
    const float a = (xi + eta + eta + 1.0f) * xi;
    const float b = eta * eta;
    const float b5 = 4.0f / (a + b + eta);
    const float e = b5 * a * 0.5f - 1.0f;
    const float f = b5 * xi;
    const float g = e + e;
    const float h = (eta + 1.0f) * f - g;
    const float c2 = (f + 2.0f) - (b5 * b + g + h);
    const float c1 = h + e - f;
    record[kWord1] = c1;
    record[kWord2] = c2;
    record[kWord3] = h;
    record[kWord4] = e;
    record[kWord5] = b5 * record[kWord6];
    record[kWord6] = 1.0f / (c1 + 1.0f + c2 + h + e + b5);
}

}  // namespace

void ASSIGN(float WEPS, float XOFF, float YOFF, std::int32_t NX, std::int32_t NY,
            std::span<float> NODREC, std::int32_t NWORDS, std::span<const float> PTS) {
    const std::int32_t pointCount = NWORDS / 3;
    // The points of a batch are placed on their nodes first and the node
    // records fetched while the rest are placed; then the records are updated
    // in the points' order. Scattered points hit scattered records, and
    // waiting for each in turn was most of the time.
    std::array<PlacedPoint, kPlacementBatch> placed{};
    for (std::int32_t start = 0; start < pointCount; start += kPlacementBatch) {
        const std::int32_t batchEnd = std::min(start + kPlacementBatch, pointCount);
        std::size_t count = 0;
        for (std::int32_t k = start; k < batchEnd; ++k) {
            const std::size_t at = static_cast<std::size_t>(k) * 3;
            const float xr = PTS[at] - XOFF;
            const float yr = PTS[at + 1] - YOFF;
            const std::int32_t col = nearestNode(xr);
            const std::int32_t row = nearestNode(yr);
            if (col < 1 || col > NX || row < 1 || row > NY) {
                continue;
            }
            const std::size_t node = static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(NX) +
                                     static_cast<std::size_t>(col - 1);
            const float* record = &NODREC[node * kWordsPerNode];
            // A record of six words can straddle two cache lines.
            __builtin_prefetch(record);
            __builtin_prefetch(record + kWord6);
            placed[count++] =
                PlacedPoint{node, xr - static_cast<float>(col), yr - static_cast<float>(row), PTS[at + 2]};
        }
        for (std::size_t p = 0; p < count; ++p) {
            const float dx = placed[p].dx;
            const float dy = placed[p].dy;
            const float z = placed[p].z;
            const float d2 = dy * dy + dx * dx;
            float* record = &NODREC[placed[p].node * kWordsPerNode];
            if (WEPS > 0.0f) {
                const float w = 1.0f / (d2 + WEPS);
                record[kWord1] += w;
                record[kWord2] += w * dx;
                record[kWord3] += w * dy;
                record[kWord6] += w * z;
            } else if (d2 < record[kWord1]) {
                // Nearest-point mode: on a tie the earlier point stays.
                record[kWord1] = d2;
                record[kWord2] = dx;
                record[kWord3] = dy;
                record[kWord6] = z;
            }
        }
    }
}

void BWTS(std::int32_t ISETZ, float WMODE, float EMPTY, std::int32_t NX, std::int32_t NY,
          std::span<float> ZGRID, std::span<std::int32_t> IFLAG, std::span<float> NODREC) {
    if (NX <= 0 || NY <= 0) {
        return;
    }
    const std::size_t columns = static_cast<std::size_t>(NX);
    const std::size_t nodeCount = columns * static_cast<std::size_t>(NY);

    // The nodes that got data lie scattered, and testing every node in turn
    // costs a mispredicted branch at each of them: each stretch of nodes is
    // first listed without branches, then only the listed nodes are worked.
    std::array<std::uint32_t, kNodeStretch> listed{};

    // Step 1: mean offset and value per node; fixed node or data node.
    for (std::size_t first = 0; first < nodeCount; first += kNodeStretch) {
        const std::size_t count = std::min(kNodeStretch, nodeCount - first);
        std::size_t held = 0;
        for (std::size_t k = 0; k < count; ++k) {
            float* record = &NODREC[(first + k) * kWordsPerNode];
            // A weight below the least counts as none: +0.0, through the bits
            // so that the compiler keeps it free of branches.
            const std::uint32_t keep = 0u - static_cast<std::uint32_t>(!(record[kWord1] < kNoWeight));
            const float weight = std::bit_cast<float>(std::bit_cast<std::uint32_t>(record[kWord1]) & keep);
            record[kWord1] = weight;
            listed[held] = static_cast<std::uint32_t>(k);
            held += weight == EMPTY ? 0 : 1;  // no data at this node
        }
        for (std::size_t h = 0; h < held; ++h) {
            const std::size_t n = first + listed[h];
            float* record = &NODREC[n * kWordsPerNode];
            if (WMODE > 0.0f) {
                const float s = 1.0f / record[kWord1];
                record[kWord2] = s * record[kWord2];
                record[kWord3] = s * record[kWord3];
                record[kWord6] = s * record[kWord6];
                record[kWord1] = record[kWord3] * record[kWord3] + record[kWord2] * record[kWord2];
            }
            if (record[kWord1] > kOnNodeSquared) {
                IFLAG[n] = quadrantCode(record[kWord2], record[kWord3]);
                if (ISETZ != 0) {
                    ZGRID[n] = record[kWord6];
                }
            } else {
                IFLAG[n] = kFixedNode;
                ZGRID[n] = record[kWord6];
            }
        }
    }

    // Step 2: data-equation coefficients, interior data nodes only (the two
    // outermost rows and columns are solved by border stencils).
    const std::size_t lastColumn = NX >= 4 ? static_cast<std::size_t>(NX - 2) : 0;
    for (std::int32_t row = 3; row <= NY - 2; ++row) {
        const std::size_t rowStart = static_cast<std::size_t>(row - 1) * columns;
        for (std::size_t first = 3; first <= lastColumn; first += kNodeStretch) {
            const std::size_t last = std::min(first + kNodeStretch - 1, lastColumn);
            std::size_t held = 0;
            for (std::size_t col = first; col <= last; ++col) {
                const std::int32_t flag = IFLAG[rowStart + col - 1];
                listed[held] = static_cast<std::uint32_t>(col - first);
                held += flag >= 1 && flag <= 4 ? 1 : 0;
            }
            for (std::size_t h = 0; h < held; ++h) {
                setDataCoefficients(&NODREC[(rowStart + first + listed[h] - 1) * kWordsPerNode]);
            }
        }
    }
}

}  // namespace lumsk
