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

// One vector of nodes of one step: relaxes them in place and keeps the
// largest counted change size per lane. Without data nodes among them the
// data equation, whose result no node would take, is left out.
template <bool withData>
inline __attribute__((always_inline)) void relaxVector(float* p, const std::int32_t* flagWords,
                                                       const float* c, std::ptrdiff_t cs, Floats omega,
                                                       Floats& largest) {
    const std::ptrdiff_t rs = 2 * cs + 1;
    const Floats old = loadFloats(p);
    const Floats E = loadFloats(p + cs);
    const Floats W = loadFloats(p - cs);
    const Floats N = loadFloats(p + rs);
    const Floats S = loadFloats(p - rs);
    const Floats NE = loadFloats(p + rs + cs);
    const Floats NW = loadFloats(p + rs - cs);
    const Floats SE = loadFloats(p - rs + cs);
    const Floats SW = loadFloats(p - rs - cs);
    const Floats E2 = loadFloats(p + 2 * cs);
    const Floats W2 = loadFloats(p - 2 * cs);
    const Floats N2 = loadFloats(p + 2 * rs);
    const Floats S2 = loadFloats(p - 2 * rs);
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
}

}  // namespace

void relaxInteriorSteps(const BandSteps& band, std::int32_t firstStep, std::int32_t lastStep, float omegaValue,
                        LaneLargest& laneLargest) {
    static_assert(sizeof laneLargest.size == SkewedBands::kLanes * sizeof(float));
    const Floats omega = splat(omegaValue);
    Floats largest[kVectorsPerStep];
    std::memcpy(largest, laneLargest.size, sizeof largest);
    const std::ptrdiff_t cs = band.columnStride;
    for (std::int32_t step = firstStep; step <= lastStep; ++step) {
        float* p = band.grid + step * cs;
        const std::int32_t* flags = band.flags + step * SkewedBands::kLanes;
        const float* c = band.coefficients + step * SkewedBands::kLanes * SkewedBands::kWordsPerNode;
        const std::uint8_t* summaries = band.summaries + step * SkewedBands::kGroupsPerStep;
        for (std::int32_t v = 0; v < kVectorsPerStep; ++v) {
            std::uint8_t summary = 0;
            for (std::int32_t g = 0; g < kGroupsPerVector; ++g) summary |= summaries[v * kGroupsPerVector + g];
            if ((summary & SkewedBands::kSomeMoving) == 0) continue;
            if ((summary & SkewedBands::kSomeData) != 0) {
                relaxVector<true>(p + v * kWidth, flags + v * kWidth, c + v * kWidth, cs, omega, largest[v]);
            } else {
                relaxVector<false>(p + v * kWidth, flags + v * kWidth, c + v * kWidth, cs, omega, largest[v]);
            }
        }
    }
    std::memcpy(laneLargest.size, largest, sizeof largest);
}
