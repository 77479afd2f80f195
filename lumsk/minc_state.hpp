#pragma once
// The state of one MINC call: the shared parameter record, the raw file
// handles and the fixed work areas, made afresh for every call and lent to
// the stages (sorting, solving, masking, output) in turn.
//
// How the work areas are laid out in memory is not observable, so each stage
// uses typed buffers of its own kind instead of reinterpreting one array; the
// capacities (256000 work words, 3600 edge words, 40960 block-buffer words,
// 32000 solver nodes) still enter the formulas that depend on them.
#include <cstdint>
#include <string>
#include <vector>

#include "common/platform.hpp"
#include "lumsk/minc.hpp"
#include "lumsk/skewed_bands.hpp"
#include "lumsk/transfer_record.hpp"

namespace lumsk {

inline constexpr std::int32_t kWorkWords = 256000;        // the work array
inline constexpr std::int32_t kEdgeWords = 3600;          // each edge store; also the block limit
inline constexpr std::int32_t kBlockBufferWords = 40960;  // the block buffer
inline constexpr std::int32_t kMaxSolverNodes = 32000;    // nodes of one solver grid
inline constexpr std::int32_t kNodeRecordWords = 6;       // words of one node data record

// The coarse regional grid: solved once per call over the whole padded grid,
// read by every block as its starting surface. Coarse node (i, j) lies at
// padded column (i - 1) * K + columnOffset and row (j - 1) * K + rowOffset.
struct CoarseGrid {
    std::int32_t K = 0;  // refinement factor; 0 before the regional solve
    std::int32_t NCX = 0;
    std::int32_t NCY = 0;
    std::int32_t columnOffset = 0;
    std::int32_t rowOffset = 0;
    std::vector<float> values = std::vector<float>(kMaxSolverNodes, 0.0f);  // column index fastest
};

struct MincSettings {
    std::int32_t NXT = 0;                // padded columns: working columns + 4
    std::int32_t NYT = 0;                // padded rows: working rows + 4
    std::int32_t NCB = 0;                // block columns
    std::int32_t NRB = 0;                // block rows
    std::int32_t NSECT = 0;              // sections per tier
    std::int32_t NTIER = 0;              // tiers
    std::int32_t NOVL = 10;              // block overlap: 10, 5 or 1
    std::int32_t iterationLimit = 512;   // largest number of sweeps per block
    float tolerance = 1.0E-4f;
    float DNULL = kNullValue;
    float weightParameter = 0.1f;        // becomes 1/|0.1| = 10.0 before the blocks are solved
    float rotationAngle = 0.0f;          // folded angle, degrees
    float DX = 0.0f;
    float DY = 0.0f;
    float rotationCentreX = 0.0f;
    float rotationCentreY = 0.0f;
    float sine = 0.0f;
    float cosine = 1.0f;
    float xOriginCells = 0.0f;           // x of the first working column, in cells
    float yOriginCells = 0.0f;
    float unitCell = 1.0f;
    std::int32_t workingColumns = 0;
    std::int32_t workingRows = 0;
    std::int32_t maskCountThreshold = 1;
    float searchRadiusCells = 0.0f;      // 0: no mask
    std::int32_t maskRecordWords = 0;    // mask columns + 1, at least 30
    std::int32_t sortingRecordWords = 0; // 3 * points per block + 2
    std::int32_t sortingRecordsInUse = 0;  // records of the data-sorting file written (head + overflow)
    std::int32_t blockRecordWords = 0;   // NCB * NRB
    std::int32_t ZCHAN = 1;
    std::int32_t gridRowsWritten = 0;
    std::int32_t maskRowsWritten = 0;
    std::int32_t halfWindow = 0;
    std::int32_t maskColumns = 0;
    std::int32_t maskRows = 0;
    std::int32_t gridRowsThatFit = 0;
    std::int32_t maskRowsThatFit = 0;
    CoarseGrid coarse;

    // Whether the block layout has a section or tier step of zero or less:
    // blocks no larger than the overlap, with more than one of them across
    // (or up). A thin working grid, such as one flight line in its own
    // frame, can give that; a single section (or tier) needs no step.
    bool blockStepsVanish() const {
        return (NSECT > 1 && NCB <= NOVL) || (NTIER > 1 && NRB <= NOVL);
    }
};

// The raw handles of one call; a default-constructed RawFile is "not open".
struct MincFiles {
    common::RawFile log;
    common::RawFile gridRows;      // "~mincgr.tmp"
    common::RawFile mask;          // "~mincms.tmp"
    common::RawFile pointData;     // the caller's point data file
    common::RawFile dataSorting;   // "~mincir.tmp"
    common::RawFile block;         // "~mincsb.tmp"
    common::RawFile templateGrid;  // "~minctm.tmp"
    // Once the point data file is closed the block loop keeps a per-block
    // flag where its handle was.
    std::int32_t blockFlag = 0;
    // Every read and write of the log and the temporary files is noted here.
    TransferRecord transfers;
};

struct WorkAreas {
    std::vector<float> work = std::vector<float>(kWorkWords, 0.0f);
    std::vector<float> edgeLeft = std::vector<float>(kEdgeWords, 0.0f);   // overlap saved from the block to the left
    std::vector<float> edgeBelow = std::vector<float>(kEdgeWords, 0.0f);  // overlap saved from the tier below
    std::vector<std::int32_t> blockFirstRecord = std::vector<std::int32_t>(kEdgeWords, 0);  // sorting tables
    std::vector<std::int32_t> blockLastRecord = std::vector<std::int32_t>(kEdgeWords, 0);
    std::vector<float> blockBuffer = std::vector<float>(kBlockBufferWords, 0.0f);
    std::vector<float> recordBuffer;  // one point data record: x, y, channels
    std::vector<float> nodeData = std::vector<float>(kMaxSolverNodes * kNodeRecordWords, 0.0f);
    std::vector<std::int32_t> nodeFlags = std::vector<std::int32_t>(kMaxSolverNodes, 0);
    // The solver's banded copy of the grid being solved, one for every solve
    // of the call: it grows to the largest block once and is reused.
    SkewedBands solverBands;
};

// Everything one MINC call owns.
struct MincState {
    MincState(LibraryBuild libraryBuild, std::int32_t& risingSweeps)
        : build(libraryBuild), risingSweepCount(risingSweeps) {}

    LibraryBuild build;
    std::int32_t& risingSweepCount;  // the solver's counter, owned by the Gridder
    MincSettings settings;
    MincFiles files;
    WorkAreas work;
};

}  // namespace lumsk
