// Block tiling: PRTISH.
#include "lumsk/tiling.hpp"

#include <array>
#include <cmath>

#include "common/float_to_int.hpp"
#include "lumsk/status.hpp"

namespace lumsk {

namespace {

// How many section counts and tier counts are tried, upward from the start.
constexpr int kCandidates = 32;
// Rounds a block size up unless the division is all but exact.
constexpr float kRoundUp = 0.9999f;
// The pass-1 start: worse than any real block.
constexpr float kNoRatio = 10000.0f;
constexpr std::int64_t kNoCount = 1000000;
// Pass 2 trades squareness for fewer blocks only within these bounds.
constexpr float kTallestRatio = 0.3f;
constexpr float kWidestPickRatio = 3.0f;

// Section (or tier) counts and the block size each gives along one axis.
struct AxisCandidates {
    std::array<std::int64_t, kCandidates> count{};
    std::array<std::int64_t, kCandidates> size{};
};

// The first count tried is one less than the number of base-size blocks
// that cover the axis, and at least 1.
std::int64_t startCount(std::int32_t padded, float baseSize) {
    const std::int32_t blocks = common::truncateToInt32(static_cast<float>(padded) / baseSize + 0.5f);
    // An axis that no finite count covers starts at 1 as well.
    if (blocks == common::kIntegerIndefinite) return 1;
    const std::int64_t start = static_cast<std::int64_t>(blocks) - 1;
    return start < 1 ? 1 : start;
}

AxisCandidates axisCandidates(std::int32_t padded, float baseSize, std::int32_t NOVL) {
    AxisCandidates axis;
    const std::int64_t start = startCount(padded, baseSize);
    const float span = static_cast<float>(static_cast<std::int64_t>(padded) - NOVL);
    for (int k = 0; k < kCandidates; ++k) {
        axis.count[k] = start + k;
        const std::int32_t share = common::truncateToInt32(span / static_cast<float>(axis.count[k]) + kRoundUp);
        axis.size[k] = static_cast<std::int64_t>(share) + NOVL;
    }
    return axis;
}

struct Pick {
    bool found = false;
    int k = 0;
    int l = 0;
    float ratio = kNoRatio;
    std::int64_t count = kNoCount;
};

}  // namespace

void PRTISH(std::int32_t MAXPTS, std::int32_t MAXEDG, std::int32_t NXT, std::int32_t NYT, std::int32_t& NCB,
            std::int32_t& NRB, std::int32_t& NSECT, std::int32_t& NTIER, std::int32_t NOVL,
            std::int32_t& ISTAT) {
    // A block's nodes, each with its flags and node data, share the work area.
    const std::int64_t P8 = MAXPTS / 8;
    const float base =
        static_cast<float>(common::truncateToInt32(std::sqrt(static_cast<float>(P8)) - static_cast<float>(NOVL)));
    const AxisCandidates columns = axisCandidates(NXT, base, NOVL);
    const AxisCandidates rows = axisCandidates(NYT, base, NOVL);

    // A block fits when it fits the work area and three of its columns and
    // three of its rows fit the edge stores.
    auto valid = [&](int k, int l) {
        return 3 * columns.size[k] <= MAXEDG && 3 * rows.size[l] <= MAXEDG &&
               columns.size[k] * rows.size[l] <= P8;
    };
    auto ratio = [&](int k, int l) {
        return static_cast<float>(columns.size[k]) / static_cast<float>(rows.size[l]);
    };

    Pick pick;
    // Pass 1: the squarest block; on a tie the first one met stays.
    for (int k = 0; k < kCandidates; ++k) {
        for (int l = 0; l < kCandidates; ++l) {
            if (!valid(k, l)) continue;
            const float r = ratio(k, l);
            if (std::fabs(r - 1.0f) < std::fabs(pick.ratio - 1.0f)) {
                pick = {true, k, l, r, columns.count[k] * rows.count[l]};
            }
        }
    }
    // Pass 2: fewer blocks, as long as a block is not much taller than wide
    // and the squarest block was not itself too wide.
    for (int k = 0; k < kCandidates; ++k) {
        for (int l = 0; l < kCandidates; ++l) {
            if (!valid(k, l)) continue;
            const std::int64_t count = columns.count[k] * rows.count[l];
            if (count < pick.count && ratio(k, l) > kTallestRatio && pick.ratio < kWidestPickRatio) {
                pick.k = k;
                pick.l = l;
                pick.count = count;
            }
        }
    }
    if (!pick.found) {
        ISTAT = kStatusNoBlockLayout;
        NSECT = 0;
        return;
    }
    NCB = static_cast<std::int32_t>(columns.size[pick.k]);
    NRB = static_cast<std::int32_t>(rows.size[pick.l]);
    NSECT = static_cast<std::int32_t>(columns.count[pick.k]);
    NTIER = static_cast<std::int32_t>(rows.count[pick.l]);
}

}  // namespace lumsk
