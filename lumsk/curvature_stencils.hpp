#pragma once
// Target values of the minimum-curvature iteration, one stencil per node
// class. A stencil reads the current grid around one node: p points at the
// node, the row stride leads to the next row (N, increasing y) and the column
// stride to the next column (E): 1 in a row-major grid, more in the skewed
// band storage of the sweep.
// Neighbours use compass names: E, W, N, S one node away, NE, NW, SE, SW on
// the diagonals, E2, W2, N2, S2 two nodes away.
//
// The float operations are evaluated in the order written: the solve's
// results depend on float32 rounding step by step.
#include <array>
#include <cstddef>
#include <cstdint>

namespace lumsk::stencil {

// Reciprocals of the border stencils' divisors, as single-precision
// constants. 1/7 is the constant one unit in the last place below the
// nearest float to 1/7 (bits 3E124924).
inline constexpr float kOneTwentieth = 0.05f;
inline constexpr float kOneHalf = 0.5f;
inline constexpr float kOneSixth = 0.16666667f;
inline constexpr float kOneSeventh = 0.14285713f;
inline constexpr float kOneEighteenth = 0.055555556f;
inline constexpr float kOneNineteenth = 0.05263158f;

// Neighbourhood of one node of a row-major grid.
class Around {
public:
    Around(const float* node, std::ptrdiff_t rowStride, std::ptrdiff_t columnStride = 1)
        : p_(node), nx_(rowStride), e_(columnStride) {}

    // The neighbour at a given offset from the node.
    float at(std::ptrdiff_t offset) const { return p_[offset]; }

    float E() const { return p_[e_]; }
    float W() const { return p_[-e_]; }
    float N() const { return p_[nx_]; }
    float S() const { return p_[-nx_]; }
    float NE() const { return p_[nx_ + e_]; }
    float NW() const { return p_[nx_ - e_]; }
    float SE() const { return p_[-nx_ + e_]; }
    float SW() const { return p_[-nx_ - e_]; }
    float E2() const { return p_[2 * e_]; }
    float W2() const { return p_[-2 * e_]; }
    float N2() const { return p_[2 * nx_]; }
    float S2() const { return p_[-2 * nx_]; }

private:
    const float* p_;
    std::ptrdiff_t nx_;
    std::ptrdiff_t e_;
};

// A free node of the interior (rows and columns 3 to N - 2): zero curvature.
inline float interiorFreeTarget(const Around& a) {
    return kOneTwentieth * (8.0f * (a.E() + a.W() + a.N() + a.S()) -
                            2.0f * (a.NE() + a.NW() + a.SE() + a.SW()) -
                            (a.E2() + a.W2() + a.N2() + a.S2()));
}

// The four neighbours that the data part of a data node's equation uses, by
// quadrant code, in the order they meet c2, c1, c3 and c4:
//   code 1 (data up and to the right):  S, SE, W, NW
//   code 2 (up and to the left):        S, SW, E, NE
//   code 3 (down and to the left):      N, NW, E, SE
//   code 4 (down and to the right):     N, NE, W, SW
// Held as offsets from the node, so that the iteration picks them without a
// branch per quadrant.
class DataNeighbours {
public:
    explicit DataNeighbours(std::ptrdiff_t rowStride)
        : offsets_{{{-rowStride, -rowStride + 1, -1, rowStride - 1},
                    {-rowStride, -rowStride - 1, 1, rowStride + 1},
                    {rowStride, rowStride - 1, 1, -rowStride + 1},
                    {rowStride, rowStride + 1, -1, -rowStride - 1}}} {}

    // Offsets for a quadrant code; a code outside 1 to 4 is taken as 4.
    const std::array<std::ptrdiff_t, 4>& forCode(std::int32_t quadrantCode) const {
        const std::size_t slot = quadrantCode >= 1 && quadrantCode <= 4 ? static_cast<std::size_t>(quadrantCode - 1) : 3u;
        return offsets_[slot];
    }

private:
    std::array<std::array<std::ptrdiff_t, 4>, 4> offsets_;
};

// A data node of the interior: the curvature part balanced against the data
// part, whose neighbours (from DataNeighbours) depend on the quadrant the data
// lie in. c points at the node's coefficients c1 to c6 (c[0] to c[5]).
inline float dataNodeTarget(const Around& a, const std::array<std::ptrdiff_t, 4>& data, const float* c) {
    const float curvature = 0.25f * (a.N2() + a.W2() + a.S2() + a.E2()) +
                            0.5f * (a.NW() + a.SW() + a.SE() + a.NE()) -
                            (a.N() + a.W() + a.S() + a.E());
    const float pull = c[1] * a.at(data[0]) + c[0] * a.at(data[1]) + c[2] * a.at(data[2]) + c[3] * a.at(data[3]);
    return (pull + c[4] - curvature) * c[5];
}

// Where a node lies across one axis of the grid: in the first or last
// row (column), the second or second last, or between them.
enum class EdgePlace { first, second, middle, secondLast, last };

inline EdgePlace edgePlace(std::int32_t index, std::int32_t count) {
    if (index == 1) return EdgePlace::first;
    if (index == 2) return EdgePlace::second;
    if (index == count) return EdgePlace::last;
    if (index == count - 1) return EdgePlace::secondLast;
    return EdgePlace::middle;
}

// Weighted sum of a border stencil (a node not in the interior): the
// interior stencil with the neighbours outside the grid dropped. The weights
// add up to borderDivisor().
inline float borderWeightedSum(const Around& a, EdgePlace column, EdgePlace row);

// Divisor of a border stencil: 2 at a corner, 6 beside a corner, 7 along the
// outermost rows and columns, 18 diagonally in from a corner, 19 along the
// second rows and columns.
constexpr std::int32_t borderDivisor(EdgePlace column, EdgePlace row) {
    const auto isOuter = [](EdgePlace place) { return place == EdgePlace::first || place == EdgePlace::last; };
    const auto isInner = [](EdgePlace place) {
        return place == EdgePlace::second || place == EdgePlace::secondLast;
    };
    if (isOuter(column) && isOuter(row)) return 2;
    if ((isOuter(column) && isInner(row)) || (isInner(column) && isOuter(row))) return 6;
    if (isOuter(column) || isOuter(row)) return 7;
    if (isInner(column) && isInner(row)) return 18;
    return 19;
}

// The single-precision reciprocal of borderDivisor() that the stencil uses.
constexpr float borderReciprocal(EdgePlace column, EdgePlace row) {
    switch (borderDivisor(column, row)) {
        case 2:
            return kOneHalf;
        case 6:
            return kOneSixth;
        case 7:
            return kOneSeventh;
        case 18:
            return kOneEighteenth;
        default:
            return kOneNineteenth;
    }
}

// borderReciprocal() of every (column, row) place, worked out when the
// library is built: every sweep visits thousands of border nodes.
inline constexpr std::array<std::array<float, 5>, 5> kBorderReciprocals = [] {
    std::array<std::array<float, 5>, 5> table{};
    for (std::size_t column = 0; column < 5; ++column) {
        for (std::size_t row = 0; row < 5; ++row) {
            table[column][row] = borderReciprocal(static_cast<EdgePlace>(column), static_cast<EdgePlace>(row));
        }
    }
    return table;
}();

// Target value of a border node.
inline float borderTarget(const Around& a, EdgePlace column, EdgePlace row) {
    return borderWeightedSum(a, column, row) *
           kBorderReciprocals[static_cast<std::size_t>(column)][static_cast<std::size_t>(row)];
}

}  // namespace lumsk::stencil

#include "lumsk/curvature_border_sums.hpp"  // IWYU pragma: export
