// Body of the vector band sweep, compiled once for every instruction set the
// library dispatches to (see curvature_band_kernel.cpp); included inside a
// namespace of its own by each of those sources. Every expression repeats the
// operation order of the scalar stencils in curvature_stencils.hpp: the
// results must be the same to the bit, with no fused multiply-add.

namespace {

// kVectorBytes, the register width of the build, comes from the including
// source: narrower registers take more vectors per step.
using Floats = float __attribute__((vector_size(kVectorBytes)));
using Ints = std::int32_t __attribute__((vector_size(kVectorBytes)));
constexpr std::int32_t kWidth = kVectorBytes / 4;
constexpr std::int32_t kVectorsPerStep = SkewedBands::kLanes / kWidth;
constexpr std::int32_t kCoefficientStride = SkewedBands::kLanes;
constexpr std::int32_t kGroupsPerVector = kWidth / SkewedBands::kGroupLanes;

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
                                                         const float* c, std::ptrdiff_t cs, const Behind& behind,
                                                         Floats omega, Floats& largest) {
    const std::ptrdiff_t rs = 2 * cs + 1;
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
    // change, so that a runaway node alone does not steer the iteration.
    // Left-out nodes keep their value: a change of 0 (or not a number) that
    // never raises the largest.
    const Floats size = reinterpret_cast<Floats>(reinterpret_cast<Ints>(result - old) & 0x7FFFFFFF);
    const Ints counted = (size < splat(1.0E8f)) & (size >= largest);
    largest = counted ? size : largest;
    return result;
}

// The same neighbours read back from the band.
inline __attribute__((always_inline)) Behind behindInMemory(const float* p, std::ptrdiff_t cs) {
    const std::ptrdiff_t rs = 2 * cs + 1;
    return Behind{loadFloats(p - cs),      loadFloats(p - 2 * cs), loadFloats(p - rs + cs),
                  loadFloats(p - rs),      loadFloats(p - rs - cs), loadFloats(p - 2 * rs)};
}

// Whether the neighbours in the steps just swept come from registers. Those
// one lane down lie one word away from where they were just written: read
// back, they wait for the writes to reach the cache, the processor being
// unable to hand a shifted read the value of a pending write. With a whole
// step in one register one shuffle makes them; with a step in several
// registers the shuffles and the moves between the registers cost more than
// that wait.
constexpr bool kStepsInRegisters = kVectorsPerStep == 1;

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
                                                         const float* c, std::ptrdiff_t cs, const Behind& behind,
                                                         Floats omega, Floats& largest) {
    if ((summary & SkewedBands::kSomeData) != 0) return relaxVector<true>(p, flags, c, cs, behind, omega, largest);
    return relaxVector<false>(p, flags, c, cs, behind, omega, largest);
}

}  // namespace

void relaxInteriorSteps(const BandSteps& band, std::int32_t firstStep, std::int32_t lastStep, float omegaValue,
                        LaneLargest& laneLargest) {
    static_assert(sizeof laneLargest.size == SkewedBands::kLanes * sizeof(float));
    const Floats omega = splat(omegaValue);
    Floats largest[kVectorsPerStep];
    std::memcpy(largest, laneLargest.size, sizeof largest);
    const std::ptrdiff_t cs = band.columnStride;
    // The four steps before the current one, newest first (used only when
    // kept in registers).
    StepValues back1{};
    StepValues back2{};
    StepValues back3{};
    StepValues back4{};
    if constexpr (kStepsInRegisters) {
        back1 = loadStep(band.grid + (firstStep - 1) * cs);
        back2 = loadStep(band.grid + (firstStep - 2) * cs);
        back3 = loadStep(band.grid + (firstStep - 3) * cs);
        back4 = loadStep(band.grid + (firstStep - 4) * cs);
    }
    for (std::int32_t step = firstStep; step <= lastStep; ++step) {
        float* p = band.grid + step * cs;
        const std::int32_t* flags = band.flags + step * SkewedBands::kLanes;
        const float* c = band.coefficients + step * SkewedBands::kLanes * SkewedBands::kWordsPerNode;
        const std::uint8_t* summaries = band.summaries + step * SkewedBands::kGroupsPerStep;
        StepValues now{};
#pragma GCC unroll 16
        for (std::int32_t v = 0; v < kVectorsPerStep; ++v) {
            std::uint8_t summary = 0;
            for (std::int32_t g = 0; g < kGroupsPerVector; ++g) summary |= summaries[v * kGroupsPerVector + g];
            float* pv = p + v * kWidth;
            if constexpr (kStepsInRegisters) {
                if ((summary & SkewedBands::kSomeMoving) == 0) {
                    now.v[v] = loadFloats(pv);
                    continue;
                }
                const Behind behind{back1.v[v],
                                    back2.v[v],
                                    laneShifted<1>(back1, v, p - cs),
                                    laneShifted<1>(back2, v, p - 2 * cs),
                                    laneShifted<1>(back3, v, p - 3 * cs),
                                    laneShifted<2>(back4, v, p - 4 * cs)};
                now.v[v] = relaxMoving(summary, pv, flags + v * kWidth, c + v * kWidth, cs, behind, omega, largest[v]);
            } else {
                if ((summary & SkewedBands::kSomeMoving) == 0) continue;
                relaxMoving(summary, pv, flags + v * kWidth, c + v * kWidth, cs, behindInMemory(pv, cs), omega,
                            largest[v]);
            }
        }
        if constexpr (kStepsInRegisters) {
            back4 = back3;
            back3 = back2;
            back2 = back1;
            back1 = now;
        }
    }
    std::memcpy(laneLargest.size, largest, sizeof largest);
}
