// Body of the band sweep, compiled once for every instruction set the
// library dispatches to (see curvature_band_kernel.cpp); included inside a
// namespace of its own by each of those sources. Every expression repeats the
// operation order of the scalar stencils in curvature_stencils.hpp: the
// results must be the same to the bit, with no fused multiply-add.

namespace {

using stencil::EdgePlace;

// kVectorBytes, the register width of the build, comes from the including
// source: narrower registers take more vectors per step.
using Floats = float __attribute__((vector_size(kVectorBytes)));
using Ints = std::int32_t __attribute__((vector_size(kVectorBytes)));
constexpr std::int32_t kWidth = kVectorBytes / 4;
constexpr std::int32_t kVectorsPerStep = SkewedBands::kLanes / kWidth;
constexpr std::int32_t kCoefficientStride = SkewedBands::kLanes;
constexpr std::int32_t kGroupsPerVector = kWidth / SkewedBands::kGroupLanes;
constexpr std::ptrdiff_t kColumnStride = SkewedBands::kLaneStride;
constexpr std::ptrdiff_t kRowStride = 2 * kColumnStride + 1;

inline __attribute__((always_inline)) Floats loadFloats(const float* p) {
    Floats v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline __attribute__((always_inline)) Ints loadInts(const std::int32_t* p) {
    Ints v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline __attribute__((always_inline)) Floats splat(float x) {
    Floats v;
    for (std::int32_t k = 0; k < kWidth; ++k) v[k] = x;
    return v;
}

// The neighbours of a vector of nodes that lie in the steps just swept (kept
// in registers from step to step or read back from the band, see
// kStepsInRegisters).
struct Behind {
    Floats W;   // one step back, same lane
    Floats W2;  // two steps back, same lane
    Floats SE;  // one step back, one lane down
    Floats S;   // two steps back, one lane down
    Floats SW;  // three steps back, one lane down
    Floats S2;  // four steps back, two lanes down
};

// One vector of nodes of one step: relaxes them in place, returns their new
// values and keeps the largest counted change size per lane. Without data
// nodes among them the data equation, whose result no node would take, is
// left out.
template <bool withData>
inline __attribute__((always_inline)) Floats relaxVector(float* p, const std::int32_t* flagWords,
                                                         const float* c, const Behind& behind, Floats omega,
                                                         Floats& largest) {
    constexpr std::ptrdiff_t cs = kColumnStride;
    constexpr std::ptrdiff_t rs = kRowStride;
    const Floats old = loadFloats(p);
    const Floats E = loadFloats(p + cs);
    const Floats W = behind.W;
    const Floats N = loadFloats(p + rs);
    const Floats S = behind.S;
    const Floats NE = loadFloats(p + rs + cs);
    const Floats NW = loadFloats(p + rs - cs);
    const Floats SE = behind.SE;
    const Floats SW = behind.SW;
    const Floats E2 = loadFloats(p + 2 * cs);
    const Floats W2 = behind.W2;
    const Floats N2 = loadFloats(p + 2 * rs);
    const Floats S2 = behind.S2;
    const Ints flag = loadInts(flagWords);

    // Free node: zero curvature (stencil::interiorFreeTarget).
    const Floats freeTarget =
        splat(0.05f) * (splat(8.0f) * (E + W + N + S) - splat(2.0f) * (NE + NW + SE + SW) - (E2 + W2 + N2 + S2));

    Floats target = freeTarget;
    if constexpr (withData) {
        // Data node (stencil::dataNodeTarget). The quadrant code picks the
        // neighbours of the data part: codes 3 and 4 look north, codes 1 and 4
        // (and anything above 4, taken as 4) pair west with the diagonals east.
        const Ints north = flag > 2;
        const Ints eastDiagonals = (flag == 1) | (flag > 3);
        const Floats nearDiagonal = north ? (eastDiagonals ? NE : NW) : (eastDiagonals ? SE : SW);
        const Floats farDiagonal = north ? (eastDiagonals ? SW : SE) : (eastDiagonals ? NW : NE);
        const Floats vertical = north ? N : S;
        const Floats horizontal = eastDiagonals ? W : E;
        const Floats c1 = loadFloats(c);
        const Floats c2 = loadFloats(c + kCoefficientStride);
        const Floats c3 = loadFloats(c + 2 * kCoefficientStride);
        const Floats c4 = loadFloats(c + 3 * kCoefficientStride);
        const Floats c5 = loadFloats(c + 4 * kCoefficientStride);
        const Floats c6 = loadFloats(c + 5 * kCoefficientStride);
        const Floats curvature =
            splat(0.25f) * (N2 + W2 + S2 + E2) + splat(0.5f) * (NW + SW + SE + NE) - (N + W + S + E);
        const Floats pull = c2 * vertical + c1 * nearDiagonal + c3 * horizontal + c4 * farDiagonal;
        const Floats dataTarget = (pull + c5 - curvature) * c6;

        target = flag > 0 ? dataTarget : freeTarget;
    }
    const Floats updated = old + omega * (target - old);
    const Floats result = flag < 0 ? old : updated;
    std::memcpy(p, &result, sizeof result);

    // Changes of 1.0E8 or more (or not a number) are left out of the largest
    // change, so that a runaway node alone does not steer the iteration. A
    // left-out change counts as 0, and so does a node that keeps its value:
    // sizes are never below 0, so the largest is a plain maximum.
    const Floats size = reinterpret_cast<Floats>(reinterpret_cast<Ints>(result - old) & 0x7FFFFFFF);
    const Floats counted = size < splat(1.0E8f) ? size : splat(0.0f);
    largest = largest > counted ? largest : counted;
    return result;
}

// The same neighbours read back from the band.
inline __attribute__((always_inline)) Behind behindInMemory(const float* p) {
    constexpr std::ptrdiff_t cs = kColumnStride;
    constexpr std::ptrdiff_t rs = kRowStride;
    return Behind{loadFloats(p - cs),      loadFloats(p - 2 * cs), loadFloats(p - rs + cs),
                  loadFloats(p - rs),      loadFloats(p - rs - cs), loadFloats(p - 2 * rs)};
}

// The side-column nodes of a band's lanes (columns 1, 2, NX - 1 and NX of
// rows 3 to NY - 2), worked in the lanes of the vector that holds them with
// the stencils of stencil::border::sideColumnSum, operation by operation. The
// interior nodes of the next steps read them from the registers at once; as
// scalar nodes beside the vector work they were a chain of their own that
// every step of a band's ramps waited for.
template <EdgePlace column>
inline __attribute__((always_inline)) Floats sideColumnTarget(const float* p, const Behind& behind) {
    constexpr std::ptrdiff_t cs = kColumnStride;
    constexpr std::ptrdiff_t rs = kRowStride;
    const Floats W = behind.W;
    const Floats S = behind.S;
    const Floats SE = behind.SE;
    const Floats SW = behind.SW;
    const Floats W2 = behind.W2;
    const Floats S2 = behind.S2;
    const Floats E = loadFloats(p + cs);
    const Floats N = loadFloats(p + rs);
    const Floats NE = loadFloats(p + rs + cs);
    const Floats NW = loadFloats(p + rs - cs);
    const Floats E2 = loadFloats(p + 2 * cs);
    const Floats N2 = loadFloats(p + 2 * rs);
    const Floats reciprocal = splat(stencil::kBorderReciprocals[static_cast<std::size_t>(column)]
                                                               [static_cast<std::size_t>(EdgePlace::middle)]);
    if constexpr (column == EdgePlace::first) {
        return (splat(4.0f) * (E + N + S) - N2 - NE - E2 - SE - S2) * reciprocal;
    } else if constexpr (column == EdgePlace::second) {
        return (splat(4.0f) * W + splat(8.0f) * (N + E + S) - splat(2.0f) * (NE + SE) - NW - N2 - E2 - S2 - SW) *
               reciprocal;
    } else if constexpr (column == EdgePlace::secondLast) {
        return (splat(4.0f) * E + splat(8.0f) * (N + W + S) - splat(2.0f) * (NW + SW) - SE - S2 - W2 - N2 - NE) *
               reciprocal;
    } else {
        static_assert(column == EdgePlace::last, "only the four outer columns use a side-column stencil");
        return (splat(4.0f) * (N + W + S) - S2 - SW - W2 - NW - N2) * reciprocal;
    }
}

// The side-column node of one step of a band: its lane, -1 when the step has
// none that moves, and its column.
struct SideNode {
    std::int32_t lane;
    EdgePlace column;

    bool inVector(std::int32_t v) const { return lane >= 0 && lane / kWidth == v; }
};

// Relaxes a side-column node that lies in vector v of a step, in the column
// `outer` or `inner` (1 or 2, NX or NX - 1). `values` are the vector's values
// after the step, the side node's still the old one; gives them with its new
// value.
template <EdgePlace outer, EdgePlace inner>
inline __attribute__((always_inline)) Floats relaxSide(SideNode side, std::int32_t v, float* p, const Behind& behind,
                                                       Floats values, Floats omega, Ints laneIds) {
    const std::int32_t lane = side.lane - v * kWidth;
    const Floats target =
        side.column == outer ? sideColumnTarget<outer>(p, behind) : sideColumnTarget<inner>(p, behind);
    const Floats updated = values + omega * (target - values);
    p[lane] = updated[lane];
    return laneIds == lane ? updated : values;
}

// Whether the neighbours in the steps just swept come from registers. Those
// one lane down lie one word away from where they were just written: read
// back, they wait for the writes to reach the cache, the processor being
// unable to hand a shifted read the value of a pending write. With a step in
// one or two wide registers a two-register shuffle makes them; with a step in
// many narrower registers the shuffles and the moves between the registers
// cost more than that wait.
constexpr bool kStepsInRegisters = kVectorsPerStep <= 2;

// The values of every lane of one step, vector by vector.
struct StepValues {
    Floats v[kVectorsPerStep];
};

inline __attribute__((always_inline)) StepValues loadStep(const float* lane0) {
    StepValues step;
#pragma GCC unroll 16
    for (std::int32_t v = 0; v < kVectorsPerStep; ++v) step.v[v] = loadFloats(lane0 + v * kWidth);
    return step;
}

// Vector v of a step moved up by `lanes` (1 or 2) lanes: its lowest lanes
// come from the vector below, or for vector 0 from the band's lower halo
// (lanes -2 and -1, which do not change while the band sweeps).
template <std::int32_t lanes>
inline __attribute__((always_inline)) Floats laneShifted(const StepValues& step, std::int32_t v,
                                                         const float* lane0) {
    Floats below;
    if (v > 0) {
        below = step.v[v - 1];
    } else {
        below = splat(0.0f);
        for (std::int32_t k = 0; k < lanes; ++k) below[kWidth - lanes + k] = lane0[k - lanes];
    }
    Ints pick;
    for (std::int32_t k = 0; k < kWidth; ++k) pick[k] = kWidth - lanes + k;
#if defined(__clang__)
    Floats shifted;
    for (std::int32_t k = 0; k < kWidth; ++k) shifted[k] = k < lanes ? below[kWidth - lanes + k] : step.v[v][k - lanes];
    (void)pick;
    return shifted;
#else
    return __builtin_shuffle(below, step.v[v], pick);
#endif
}

// Vector v of a step whose flag summary shows a node to move.
inline __attribute__((always_inline)) Floats relaxMoving(std::uint8_t summary, float* p, const std::int32_t* flags,
                                                         const float* c, const Behind& behind, Floats omega,
                                                         Floats& largest) {
    if ((summary & SkewedBands::kSomeData) != 0) return relaxVector<true>(p, flags, c, behind, omega, largest);
    return relaxVector<false>(p, flags, c, behind, omega, largest);
}

// The border nodes that fall on one step of a band. At step t lane j lies
// in column t - 2j, so at most one lane of the band is in column 1 or 2 and
// at most one in column NX - 1 or NX: those side-column nodes are worked in
// the lanes of their vector (see relaxSide), this class only finds them. Rows
// 1 and 2 (lanes -2 and -1) are in columns t + 4 and t + 2, rows NY - 1 and
// NY two and four columns behind the band's top row; they go one by one. None
// of them reads a node of its own step, nor is read by one: they need only
// what earlier steps left, as the vector nodes do.
class BorderNodes {
public:
    BorderNodes(const BandSweep& band, float omega) : band_(band), omega_(omega) {}

    // Relaxes the nodes of rows 1, 2, NY - 1 and NY that fall on one step.
    void relaxRows(std::int32_t step) const {
        if (band_.withRowsBelow) {
            rowNode<EdgePlace::first>(step + 4, -2);
            rowNode<EdgePlace::second>(step + 2, -1);
        }
        if (band_.withRowsAbove) {
            rowNode<EdgePlace::secondLast>(step - 2 * band_.rows, band_.rows);
            rowNode<EdgePlace::last>(step - 2 * band_.rows - 2, band_.rows + 1);
        }
    }

    // The side-column node of this step in column 1 or 2 (firstColumn 1), or
    // NX - 1 or NX (firstColumn NX - 1).
    SideNode sideNode(std::int32_t step, std::int32_t firstColumn) const {
        const std::int32_t offset = step - firstColumn;  // 2 * lane, or 2 * lane + 1
        const std::int32_t lane = offset / 2;
        if (offset < 0 || lane >= band_.rows) return SideNode{-1, EdgePlace::first};
        const std::int32_t col = step - 2 * lane;
        if (isFixed(col, lane)) return SideNode{-1, EdgePlace::first};
        return SideNode{lane, stencil::edgePlace(col, band_.NX)};
    }

private:
    float* node(std::int32_t col, std::int32_t lane) const {
        return band_.grid + (col + 2 * lane) * kColumnStride + lane;
    }

    bool isFixed(std::int32_t col, std::int32_t lane) const {
        const std::size_t row = static_cast<std::size_t>(band_.firstRow + lane - 1);
        return band_.gridFlags[row * static_cast<std::size_t>(band_.NX) + static_cast<std::size_t>(col - 1)] < 0;
    }

    static float relax(float* p, float target, float omega) {
        *p = *p + omega * (target - *p);
        return *p;
    }

    // A node of row 1, 2, NY - 1 or NY, if its column lies in the grid.
    template <EdgePlace rowPlace>
    void rowNode(std::int32_t col, std::int32_t lane) const {
        if (col < 1 || col > band_.NX || isFixed(col, lane)) return;
        float* p = node(col, lane);
        const stencil::Around around(p, kRowStride, kColumnStride);
        const bool between = col >= 3 && col <= band_.NX - 2;
        const float target = between ? stencil::borderTarget(around, EdgePlace::middle, rowPlace)
                                     : stencil::borderTarget(around, stencil::edgePlace(col, band_.NX), rowPlace);
        relax(p, target, omega_);
    }

    const BandSweep& band_;
    float omega_;
};

}  // namespace

void sweepBand(const BandSweep& band, float omegaValue, LaneLargest& laneLargest) {
    static_assert(sizeof laneLargest.size == SkewedBands::kLanes * sizeof(float));
    const Floats omega = splat(omegaValue);
    Floats largest[kVectorsPerStep];
    std::memcpy(largest, laneLargest.size, sizeof largest);
    const std::ptrdiff_t cs = kColumnStride;
    const BorderNodes border(band, omegaValue);
    // Steps 1 to lastVectorStep hold interior nodes; rows 1 and 2 begin
    // before them, rows NY - 1 and NY end after them.
    const std::int32_t lastVectorStep = band.NX + 2 * (band.rows - 1);
    const std::int32_t firstStep = band.withRowsBelow ? SkewedBands::kFirstStep : 1;
    const std::int32_t lastStep = band.withRowsAbove ? lastVectorStep + 4 : lastVectorStep;
    Ints laneIds;
    for (std::int32_t k = 0; k < kWidth; ++k) laneIds[k] = k;
    // The four steps before the current one, newest first (used only when
    // kept in registers).
    StepValues back1 = loadStep(band.grid);
    StepValues back2 = loadStep(band.grid - cs);
    StepValues back3 = loadStep(band.grid - 2 * cs);
    StepValues back4 = loadStep(band.grid - 3 * cs);
    for (std::int32_t step = firstStep; step <= lastStep; ++step) {
        const bool vectorStep = step >= 1 && step <= lastVectorStep;
        StepValues now{};
        if (vectorStep) {
            float* p = band.grid + step * cs;
            const std::int32_t* flags = band.flags + step * SkewedBands::kLanes;
            const float* c = band.coefficients + step * SkewedBands::kLanes * SkewedBands::kWordsPerNode;
            const std::uint8_t* summaries = band.summaries + step * SkewedBands::kGroupsPerStep;
            // The side-column nodes of this step, worked in the vector that
            // holds them.
            const SideNode left = border.sideNode(step, 1);
            const SideNode right = border.sideNode(step, band.NX - 1);
#pragma GCC unroll 16
            for (std::int32_t v = 0; v < kVectorsPerStep; ++v) {
                std::uint8_t summary = 0;
                for (std::int32_t g = 0; g < kGroupsPerVector; ++g) summary |= summaries[v * kGroupsPerVector + g];
                float* pv = p + v * kWidth;
                const bool moving = (summary & SkewedBands::kSomeMoving) != 0;
                const bool leftHere = left.inVector(v);
                const bool rightHere = right.inVector(v);
                if (!moving && !leftHere && !rightHere) {
                    if constexpr (kStepsInRegisters) now.v[v] = loadFloats(pv);
                    continue;
                }
                Behind behind;
                if constexpr (kStepsInRegisters) {
                    behind = Behind{back1.v[v],
                                    back2.v[v],
                                    laneShifted<1>(back1, v, p - cs),
                                    laneShifted<1>(back2, v, p - 2 * cs),
                                    laneShifted<1>(back3, v, p - 3 * cs),
                                    laneShifted<2>(back4, v, p - 4 * cs)};
                } else {
                    behind = behindInMemory(pv);
                }
                Floats values = moving ? relaxMoving(summary, pv, flags + v * kWidth, c + v * kWidth, behind, omega,
                                                     largest[v])
                                       : loadFloats(pv);
                if (leftHere) {
                    values =
                        relaxSide<EdgePlace::first, EdgePlace::second>(left, v, pv, behind, values, omega, laneIds);
                }
                if (rightHere) {
                    values = relaxSide<EdgePlace::last, EdgePlace::secondLast>(right, v, pv, behind, values, omega,
                                                                               laneIds);
                }
                if constexpr (kStepsInRegisters) now.v[v] = values;
            }
        }
        border.relaxRows(step);
        if constexpr (kStepsInRegisters) {
            if (vectorStep) {
                back4 = back3;
                back3 = back2;
                back2 = back1;
                back1 = now;
            }
        }
    }
    std::memcpy(laneLargest.size, largest, sizeof largest);
}
