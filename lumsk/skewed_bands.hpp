#pragma once
// The storage the minimum-curvature sweep works in: the interior rows of a
// solver grid cut into bands of kLanes rows, the last band holding what is
// left, each band stored skewed so that one wavefront step of the band is a
// run of adjacent words. A band of a row or two would leave its vector lanes
// idle for as many steps as a full band takes: when that is what is left,
// the rows are shared evenly among the bands instead.
//
// A band sweeps as a wavefront: at step t its row j (its lane) works on
// column t - 2j. Node (col, lane j) of a band lies at step t = col + 2j, and a
// band holds, per step, the words of lanes -2 to kLanes + 1: its own rows and
// two rows below and above it (the halo), so that every neighbour a stencil
// reads lies at a fixed offset: E one step on, N two steps and one lane on
// (a column stride of kLaneStride words and a row stride of
// 2 * kLaneStride + 1). The halo copies are kept current by passUp() and
// refreshAbove(); rows 1 and 2 live in the lower halo of the first band and
// rows NY - 1 and NY in the lanes above the last band's own rows.
//
// Beside the grid each band carries, in the same skewed order, the node flags
// of its own lanes (-1 for every place the vector sweep must leave alone:
// fixed nodes, border columns, lanes beyond the grid), the six data
// coefficients of its data nodes (0 elsewhere), and for every group of
// kGroupLanes lanes of a step a summary of their flags (kSomeMoving,
// kSomeData), so that the sweep can pass over groups with nothing to move
// and leave out the data equation where no group node holds data.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumsk {

class SkewedBands {
public:
    static constexpr std::int32_t kLanes = 32;                 // most interior rows per band
    static constexpr std::int32_t kLaneStride = kLanes + 4;    // words per step, halo included
    static constexpr std::int32_t kWordsPerNode = 6;           // data coefficients c1 to c6
    static constexpr std::int32_t kLeastRowsLeft = 3;          // fewest rows of a last band after full ones
    static constexpr std::int32_t kFirstStep = -3;             // lane -2 at column 1
    static constexpr std::int32_t kGroupLanes = 4;             // lanes per flag summary
    static constexpr std::int32_t kGroupsPerStep = kLanes / kGroupLanes;
    static constexpr std::uint8_t kSomeMoving = 1;             // a node with flag >= 0
    static constexpr std::uint8_t kSomeData = 2;               // a node with flag > 0

    // Copies the grid, flags and coefficients of an NX by NY grid (both at
    // least 5) into bands.
    SkewedBands(const float* grid, const std::int32_t* flags, const float* records, std::int32_t NX,
                std::int32_t NY);
    // Empty storage, for load() to fill.
    SkewedBands() = default;
    // Copies a grid in as the constructor does, reusing the storage.
    void load(const float* grid, const std::int32_t* flags, const float* records, std::int32_t NX,
              std::int32_t NY);

    std::int32_t bandCount() const { return bands_; }
    // Nodes per row of the grid held.
    std::int32_t columns() const { return nx_; }
    // Interior rows that band b holds (the last band may hold fewer).
    std::int32_t rowsIn(std::int32_t band) const;
    // Grid row of lane 0 of a band.
    std::int32_t firstRow(std::int32_t band) const { return 3 + band * bandRows_; }

    // Lane 0 at step 0 of a band, and its flags and coefficients: step t
    // lies kLaneStride * t grid words, kLanes * t flags and
    // kWordsPerNode * kLanes * t coefficients on.
    float* stepZero(std::int32_t band) { return grid_.data() + wordOf(band, 0, 0); }
    const std::int32_t* flagsAtStepZero(std::int32_t band) const;
    const float* coefficientsAtStepZero(std::int32_t band) const;
    // Flag summaries of the groups of step 0; kGroupsPerStep per step.
    const std::uint8_t* summariesAtStepZero(std::int32_t band) const;

    // After band b has swept: its top two rows become the lower halo of
    // band b + 1, which must see their new values.
    void passUp(std::int32_t band);
    // After a whole sweep: the lowest two rows of every band become the upper
    // halo of the band below, for the next sweep.
    void refreshAbove();
    // Writes the grid back in row-major order.
    void copyOut(float* grid) const;
    // Gives the storage back, so that it is not held beside what later
    // stages of a call allocate.
    void release();

private:
    std::size_t wordOf(std::int32_t band, std::int32_t step, std::int32_t lane) const {
        return (static_cast<std::size_t>(band) * steps_ + static_cast<std::size_t>(step - kFirstStep)) * kLaneStride +
               static_cast<std::size_t>(lane + 2);
    }
    std::size_t ownWordOf(std::int32_t band, std::int32_t step) const {
        return (static_cast<std::size_t>(band) * steps_ + static_cast<std::size_t>(step - kFirstStep)) * kLanes;
    }
    // Band and lane that own a grid row (its updated copy).
    void ownerOf(std::int32_t row, std::int32_t& band, std::int32_t& lane) const;
    // Copies rows fromLane and fromLane + 1 of one band to rows toLane and
    // toLane + 1 of another.
    void copyRowPair(std::int32_t fromBand, std::int32_t fromLane, std::int32_t toBand, std::int32_t toLane);

    std::int32_t nx_ = 0;
    std::int32_t ny_ = 0;
    std::int32_t bands_ = 0;
    std::int32_t bandRows_ = 0;  // interior rows of every band but the last
    std::size_t steps_ = 0;  // steps stored per band, kFirstStep onwards
    std::vector<float> grid_;
    std::vector<std::int32_t> flags_;
    std::vector<float> coefficients_;
    std::vector<std::uint8_t> summaries_;
};

}  // namespace lumsk
