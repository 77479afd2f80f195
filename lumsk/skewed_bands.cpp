#include "lumsk/skewed_bands.hpp"

#include <algorithm>
#include <cstring>

namespace lumsk {

SkewedBands::SkewedBands(const float* grid, const std::int32_t* flags, const float* records, std::int32_t NX,
                         std::int32_t NY) {
    load(grid, flags, records, NX, NY);
}

void SkewedBands::load(const float* grid, const std::int32_t* flags, const float* records, std::int32_t NX,
                       std::int32_t NY) {
    nx_ = NX;
    ny_ = NY;
    const std::int32_t interiorRows = NY - 4;
    bands_ = (interiorRows + kLanes - 1) / kLanes;
    const std::int32_t rowsLeft = interiorRows - (bands_ - 1) * kLanes;
    bandRows_ = rowsLeft >= kLeastRowsLeft ? kLanes : (interiorRows + bands_ - 1) / bands_;
    steps_ = static_cast<std::size_t>(NX + 2 * kLanes + 6);
    const std::size_t places = static_cast<std::size_t>(bands_) * steps_;
    // The storage of an earlier grid is reused: no allocation once it is as
    // large as the largest grid of the call. The coefficients are read only
    // for nodes with data, which all get theirs below, so they keep whatever
    // an earlier grid left elsewhere.
    grid_.assign(places * kLaneStride, 0.0f);
    flags_.assign(places * kLanes, -1);
    coefficients_.resize(places * kLanes * kWordsPerNode);
    summaries_.resize(places * kGroupsPerStep);
    for (std::int32_t band = 0; band < bands_; ++band) {
        const std::int32_t rows = rowsIn(band);
        for (std::int32_t lane = -2; lane <= rows + 1; ++lane) {
            const std::int32_t row = firstRow(band) + lane;
            if (row < 1 || row > NY) continue;
            const std::size_t rowStart = static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(NX);
            float* to = grid_.data() + wordOf(band, 1 + 2 * lane, lane);
            for (std::int32_t col = 1; col <= NX; ++col, to += kLaneStride) {
                *to = grid[rowStart + static_cast<std::size_t>(col - 1)];
            }
            // The vector sweep works only on the interior columns of the
            // band's own rows; the border columns and rows move through the
            // border stencils.
            if (lane < 0 || lane >= rows) continue;
            std::size_t own = ownWordOf(band, 3 + 2 * lane) + static_cast<std::size_t>(lane);
            for (std::int32_t col = 3; col <= NX - 2; ++col, own += kLanes) {
                const std::size_t n = rowStart + static_cast<std::size_t>(col - 1);
                flags_[own] = flags[n];
                if (flags[n] <= 0) continue;
                float* c = coefficients_.data() + (own - static_cast<std::size_t>(lane)) * kWordsPerNode +
                           static_cast<std::size_t>(lane);
                for (std::int32_t w = 0; w < kWordsPerNode; ++w) {
                    c[w * kLanes] = records[n * kWordsPerNode + static_cast<std::size_t>(w)];
                }
            }
        }
    }
    for (std::size_t group = 0; group < summaries_.size(); ++group) {
        std::uint8_t summary = 0;
        for (std::size_t lane = 0; lane < static_cast<std::size_t>(kGroupLanes); ++lane) {
            const std::int32_t flag = flags_[group * kGroupLanes + lane];
            if (flag >= 0) summary |= kSomeMoving;
            if (flag > 0) summary |= kSomeData;
        }
        summaries_[group] = summary;
    }
}

std::int32_t SkewedBands::rowsIn(std::int32_t band) const {
    return std::min(bandRows_, ny_ - 2 - firstRow(band) + 1);
}

const std::int32_t* SkewedBands::flagsAtStepZero(std::int32_t band) const {
    return flags_.data() + ownWordOf(band, 0);
}

const float* SkewedBands::coefficientsAtStepZero(std::int32_t band) const {
    return coefficients_.data() + ownWordOf(band, 0) * kWordsPerNode;
}

const std::uint8_t* SkewedBands::summariesAtStepZero(std::int32_t band) const {
    return summaries_.data() + ownWordOf(band, 0) / kGroupLanes;
}

void SkewedBands::copyRowPair(std::int32_t fromBand, std::int32_t fromLane, std::int32_t toBand,
                              std::int32_t toLane) {
    // Lanes L and L + 1 of one step are adjacent words, and so are the two
    // lanes they go to, at one step of the other band: every step moves both
    // rows at once. The steps where only one of the two lies in the grid move
    // words beyond its ends too, which hold 0 in every band.
    const std::int32_t lastStep = nx_ + 2 * fromLane + 2;
    const float* from = grid_.data() + wordOf(fromBand, 2 * fromLane + 1, fromLane);
    float* to = grid_.data() + wordOf(toBand, 2 * fromLane + 1 + 2 * (toLane - fromLane), toLane);
    for (std::int32_t step = 2 * fromLane + 1; step <= lastStep; ++step, from += kLaneStride, to += kLaneStride) {
        std::memcpy(to, from, 2 * sizeof(float));
    }
}

void SkewedBands::passUp(std::int32_t band) {
    if (band + 1 >= bands_) return;
    copyRowPair(band, rowsIn(band) - 2, band + 1, -2);
}

void SkewedBands::refreshAbove() {
    for (std::int32_t band = 0; band + 1 < bands_; ++band) {
        copyRowPair(band + 1, 0, band, rowsIn(band));
    }
}

void SkewedBands::ownerOf(std::int32_t row, std::int32_t& band, std::int32_t& lane) const {
    if (row <= 2) {
        band = 0;
        lane = row - 3;
        return;
    }
    band = std::min((row - 3) / bandRows_, bands_ - 1);
    lane = row - firstRow(band);
}

void SkewedBands::copyOut(float* grid) const {
    for (std::int32_t row = 1; row <= ny_; ++row) {
        std::int32_t band = 0;
        std::int32_t lane = 0;
        ownerOf(row, band, lane);
        float* out = grid + static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(nx_);
        const float* from = grid_.data() + wordOf(band, 1 + 2 * lane, lane);
        for (std::int32_t col = 0; col < nx_; ++col, from += kLaneStride) out[col] = *from;
    }
}

void SkewedBands::release() {
    *this = SkewedBands();
}

}  // namespace lumsk
