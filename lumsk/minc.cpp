// MINC: the gridding driver. One call grids one channel of a point data file:
// it logs its parameters, sets up the working frame and the search-radius
// half window, cuts the grid into blocks, sorts the points into the blocks,
// solves the coarse grid and then every block, blanks the nodes beyond the
// reach and outline of the data, and writes the grid file. Every temporary
// file of the call is deleted before it returns, whatever the outcome, and
// also when SIGINT or SIGTERM ends the process during the call.
#include "lumsk/minc.hpp"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "common/float_to_int.hpp"
#include "lumsk/block_solve.hpp"
#include "lumsk/grid_file.hpp"
#include "lumsk/grid_rotation.hpp"
#include "lumsk/mask_file.hpp"
#include "lumsk/minc_files.hpp"
#include "lumsk/minc_log.hpp"
#include "lumsk/minc_setup.hpp"
#include "lumsk/minc_state.hpp"
#include "lumsk/outline_clip.hpp"
#include "lumsk/point_sorting.hpp"
#include "lumsk/radius_mask.hpp"
#include "lumsk/regional_solve.hpp"
#include "lumsk/tiling.hpp"

namespace lumsk {

namespace {

constexpr float kPi = 3.1415925f;               // one unit in the last place below float32 pi
constexpr float kStartWeightParameter = 0.1f;
constexpr std::int32_t kStartOverlap = 10;       // block overlap tried first
constexpr std::int32_t kNarrowOverlap = 5;       // for grids no wider or taller than 10 nodes
constexpr std::int32_t kSingleBlockOverlap = 1;  // one block overlaps nothing
constexpr std::int32_t kMaxBlocks = kEdgeWords;
constexpr std::int32_t kMaxPointsPerRecord = 900;
// The two extra nodes on every side of the padded grid.
constexpr float kPaddingCells = 2.0f;
// A grid side beyond this can never be cut into the blocks the library can
// hold, and would overflow the padded and mask sizes.
constexpr std::int32_t kLargestGridSide = 100000000;

// One call of MINC from reset to clean-up. Each step returns the gridding
// status: negative ends the call.
class MincRun {
public:
    MincRun(MincState& state, const MincRequest& request)
        : state_(state), s_(state.settings), a_(request), ITRANS_(transformCode(request.ITRANS)) {}

    // Runs the call; ZMIN and ZMAX are set only by a good run.
    std::int32_t run(std::int32_t entryStatus, float& ZMIN, float& ZMAX) {
        // Refused before anything, the log included, is created.
        if (outputOverwritesInput()) return kStatusOutputIsInput;
        const std::int32_t status = withTransfers(solveAndWrite(entryStatus));
        cleanUp();
        if (status >= 0) {
            ZMIN = zmin_;
            ZMAX = zmax_;
        }
        return status;
    }

private:
    std::int32_t solveAndWrite(std::int32_t entryStatus) {
        s_.iterationLimit = iterationLimitFor(entryStatus);
        std::int32_t status = kStatusGood;
        if ((status = startLog()) < 0) return status;
        if ((status = checkArguments()) < 0) return status;
        takeSettings();
        if ((status = setUpFrame()) < 0) return status;
        if ((status = setUpHalfWindow()) < 0) return status;
        if ((status = createGridRows()) < 0) return status;
        planMask();
        if ((status = cutIntoBlocks()) < 0) return status;
        if ((status = layDownMask()) < 0) return status;
        if ((status = sortPoints()) < 0) return status;
        if ((status = createBlockFile()) < 0) return status;
        if ((status = solve()) < 0) return status;
        chooseGridNames();
        if ((status = applyMask()) < 0) return status;
        return writeGrid();
    }

    void log(const std::string& line) {
        if (!writeLogLine(state_.files.log, line)) state_.files.transfers.markFailed();
    }

    bool outputOverwritesInput() const {
        return mincOutputOverwritesInput(gridFileName(a_.OUTGRD), pointDataFileName(a_.DATFIL, false));
    }

    // A short read or write of any of the call's files outweighs the status
    // that a stage made of what it read.
    std::int32_t withTransfers(std::int32_t status) const {
        return state_.files.transfers.failed() ? kStatusFileTransferFailed : status;
    }

    // The log is rewritten by every call and opens with the call's parameters.
    std::int32_t startLog() {
        state_.files.log = common::RawFile::create(kMincLogName);
        if (!state_.files.log.isOpen()) return kStatusFileUnavailable;
        log(callParameterLines(a_));
        return kStatusGood;
    }

    // After the parameter lines, so that the log shows what was refused.
    std::int32_t checkArguments() const {
        return realArgumentsFinite(a_.DNULL, a_.ANGLE, a_.X0, a_.Y0, a_.DX, a_.DY, a_.RADIUS)
                   ? kStatusGood
                   : kStatusArgumentNotFinite;
    }

    // The settings every call starts from: unit cells in the working frame,
    // the first weight parameter, the search radius in cells.
    void takeSettings() {
        s_.DX = a_.DX;
        s_.DY = a_.DY;
        s_.unitCell = 1.0f;
        s_.ZCHAN = a_.ZCHAN;
        s_.DNULL = a_.DNULL;
        s_.weightParameter = kStartWeightParameter;
        s_.searchRadiusCells = searchRadiusInCells(state_.build, a_.RADIUS, a_.NCOL, a_.NROW, a_.DX, a_.DY);
    }

    // The working grid: either the wanted grid itself or, in a turned frame,
    // the turned extent of the data.
    std::int32_t setUpFrame() {
        const float angle = foldAngle(a_.ANGLE);
        if (!isRotatedAngle(angle)) {
            s_.rotationAngle = 0.0f;
            s_.sine = 0.0f;
            s_.cosine = 1.0f;
            s_.xOriginCells = a_.X0 / a_.DX;
            s_.yOriginCells = a_.Y0 / a_.DY;
            s_.workingColumns = a_.NCOL;
            s_.workingRows = a_.NROW;
            return kStatusGood;
        }
        rotated_ = true;
        s_.rotationAngle = angle;
        s_.rotationCentreX = a_.X0 + static_cast<float>(a_.NCOL) * a_.DX / 2.0f;
        s_.rotationCentreY = a_.Y0 + static_cast<float>(a_.NROW) * a_.DY / 2.0f;
        const float radians = angle * kPi / 180.0f;
        s_.sine = std::sin(radians);
        s_.cosine = std::cos(radians);

        const std::optional<std::string> name = pointDataFileName(a_.DATFIL, true);
        if (!name) return kStatusBadDataFile;
        state_.files.pointData = common::RawFile::openRead(*name);
        if (!state_.files.pointData.isOpen()) return kStatusFileUnavailable;
        float xmin = 0.0f, xmax = 0.0f, ymin = 0.0f, ymax = 0.0f;
        std::int32_t unused = 0;
        RNGDAT(state_, state_.files.pointData, state_.files.dataSorting, state_.work.recordBuffer, a_.MAXCHN,
               ITRANS_, xmin, xmax, ymin, ymax, unused);
        state_.files.pointData.close();
        const std::optional<WorkingFrame> frame = rotatedWorkingFrame(xmin, xmax, ymin, ymax);
        if (!frame) return kStatusBadDataFile;
        s_.xOriginCells = frame->xOriginCells;
        s_.yOriginCells = frame->yOriginCells;
        s_.workingColumns = frame->columns;
        s_.workingRows = frame->rows;
        return kStatusGood;
    }

    // The search-radius half window and the padded grid size.
    std::int32_t setUpHalfWindow() {
        s_.weightParameter = 1.0f / std::fabs(s_.weightParameter);
        if (s_.searchRadiusCells < 0.0f) s_.searchRadiusCells = 0.0f;
        // A grid without nodes has no block layout; one too large for any
        // layout would overflow the sizes below.
        if (s_.workingColumns < 1 || s_.workingRows < 1) return kStatusNoBlockLayout;
        const HalfWindow window = halfWindowFor(s_.searchRadiusCells, s_.unitCell, s_.workingColumns);
        s_.halfWindow = window.cells;
        log(parameterLine(" half window ", static_cast<float>(window.cells), 0));
        if (window.reduced) {
            log(parameterLine(" radius used ", static_cast<float>(window.cells) * s_.unitCell, 3));
        }
        // Such a grid needs more blocks than the library holds; it is refused
        // before its padded and mask sizes can overflow.
        if (s_.workingColumns > kLargestGridSide || s_.workingRows > kLargestGridSide) return kStatusTooManyBlocks;
        s_.NXT = s_.workingColumns + 4;
        s_.NYT = s_.workingRows + 4;
        return kStatusGood;
    }

    bool masked() const { return s_.halfWindow > 0; }

    // The scratch file the solved grid rows are written to.
    std::int32_t createGridRows() {
        state_.files.gridRows = temporary_.create(MincTemporaryFiles::gridRows);
        return state_.files.gridRows.isOpen() ? kStatusGood : kStatusFileUnavailable;
    }

    // The mask's geometry and its log lines. The file itself is laid down
    // once the block layout is known, so that a grid the library cannot cut
    // never costs a mask's worth of disk.
    void planMask() {
        if (!masked()) return;
        const std::int32_t h = s_.halfWindow;
        s_.maskColumns = s_.workingColumns + 2 * h;
        s_.maskRows = s_.workingRows + 2 * h;
        s_.maskRecordWords = maskRecordWords(s_.maskColumns);
        log(parameterLine(" total columns ", static_cast<float>(s_.maskColumns), 0));
        log(parameterLine(" total rows ", static_cast<float>(s_.maskRows), 0));
    }

    std::int32_t layDownMask() {
        if (!masked()) return kStatusGood;
        const float border = static_cast<float>(s_.halfWindow) * s_.unitCell;
        MaskHeader header;
        header.columns = s_.maskColumns;
        header.rows = s_.maskRows;
        header.xOrigin = s_.xOriginCells - border;
        header.yOrigin = s_.yOriginCells - border;
        {
            common::RawFile file = temporary_.create(MincTemporaryFiles::mask);
            if (!file.isOpen()) return kStatusFileUnavailable;
            if (!writeEmptyMask(file, header)) return kStatusFileTransferFailed;
        }
        state_.files.mask = common::RawFile::openReadWrite(MincTemporaryFiles::name(MincTemporaryFiles::mask));
        return state_.files.mask.isOpen() ? kStatusGood : kStatusFileUnavailable;
    }

    // The block layout, the overlap narrowed for thin grids.
    std::int32_t cutIntoBlocks() {
        std::int32_t status = kStatusGood;
        s_.NOVL = kStartOverlap;
        PRTISH(kWorkWords, kEdgeWords, s_.NXT, s_.NYT, s_.NCB, s_.NRB, s_.NSECT, s_.NTIER, s_.NOVL, status);
        if (s_.NSECT == 0) return status;
        if (s_.NSECT == 1 && s_.NTIER == 1) {
            s_.NOVL = kSingleBlockOverlap;
        } else if (a_.NCOL <= s_.NOVL || a_.NROW <= s_.NOVL || s_.blockStepsVanish()) {
            // A rotated call can have a working grid only a few cells across
            // while NCOL and NROW are large; the narrow overlap gives its
            // blocks a step again.
            s_.NOVL = kNarrowOverlap;
            PRTISH(kWorkWords, kEdgeWords, s_.NXT, s_.NYT, s_.NCB, s_.NRB, s_.NSECT, s_.NTIER, s_.NOVL, status);
            if (s_.NSECT == 0) return status;
            if (a_.NCOL <= kNarrowOverlap || a_.NROW <= kNarrowOverlap) return kStatusBlocksCannotOverlap;
        }
        const std::int64_t blocks = static_cast<std::int64_t>(s_.NSECT) * s_.NTIER;
        if (blocks > kMaxBlocks) return kStatusTooManyBlocks;
        const std::int32_t blockCount = static_cast<std::int32_t>(blocks);
        // The block buffers of the sorting share the work array.
        const std::int32_t pointsPerRecord = std::min(
            common::truncateToInt32(static_cast<float>(kWorkWords) / static_cast<float>(3 * blockCount)),
            kMaxPointsPerRecord);
        NPW_ = 3 * pointsPerRecord;
        if (blockCount == 1) s_.NOVL = kSingleBlockOverlap;
        log(parameterLine(" number tiers ", static_cast<float>(s_.NTIER), 0));
        log(parameterLine(" sections/tier ", static_cast<float>(s_.NSECT), 0));
        log(parameterLine(" columns/block ", static_cast<float>(s_.NCB), 0));
        log(parameterLine(" rows/block ", static_cast<float>(s_.NRB), 0));
        return kStatusGood;
    }

    // Sorts the usable points of the channel into the data-sorting file,
    // block by block, in the padded frame.
    std::int32_t sortPoints() {
        const float paddedX = s_.xOriginCells - kPaddingCells * s_.unitCell;
        const float paddedY = s_.yOriginCells - kPaddingCells * s_.unitCell;
        state_.files.dataSorting = temporary_.create(MincTemporaryFiles::dataSorting);
        if (!state_.files.dataSorting.isOpen()) return kStatusFileUnavailable;
        s_.sortingRecordWords = NPW_ + 2;
        const std::optional<std::string> name = pointDataFileName(a_.DATFIL, false);
        if (!name) return kStatusBadDataFile;
        // The point data file is only read, so it is opened for reading alone.
        state_.files.pointData = common::RawFile::openRead(*name);
        if (!state_.files.pointData.isOpen()) return kStatusFileUnavailable;
        std::int32_t status = kStatusGood;
        SEQDAT(state_, state_.files.pointData, state_.files.dataSorting, s_.unitCell, paddedX, paddedY, NPW_,
               state_.work.recordBuffer, a_.MAXCHN, ITRANS_, status);
        state_.files.pointData.close();
        return withTransfers(status);
    }

    // The block file gets its full size before the block loop, which
    // rewrites every record before reading it.
    std::int32_t createBlockFile() {
        s_.blockRecordWords = s_.NCB * s_.NRB;
        {
            common::RawFile file = temporary_.create(MincTemporaryFiles::block);
            if (!file.isOpen()) return kStatusFileUnavailable;
            const std::int32_t records = masked() ? 2 * s_.NSECT : s_.NSECT;
            const std::int64_t recordBytes = static_cast<std::int64_t>(s_.blockRecordWords) * 4;
            for (std::int32_t record = 1; record <= records; ++record) {
                if (file.write(state_.work.work.data(), recordBytes) != recordBytes) return kStatusFileTransferFailed;
            }
        }
        state_.files.block = common::RawFile::openReadWrite(MincTemporaryFiles::name(MincTemporaryFiles::block));
        return state_.files.block.isOpen() ? kStatusGood : kStatusFileUnavailable;
    }

    // The coarse regional solve, then every block from it.
    std::int32_t solve() {
        const float paddedX = s_.xOriginCells - kPaddingCells * s_.unitCell;
        const float paddedY = s_.yOriginCells - kPaddingCells * s_.unitCell;
        std::int32_t status = kStatusGood;
        REJONL(state_, paddedX, paddedY, s_.unitCell, ITRANS_, state_.work.blockBuffer, NPW_, status);
        if (status < 0) return status;
        PCONTL(state_, s_.workingColumns, s_.workingRows, s_.NCB * s_.NRB, state_.work.work, NPW_,
               state_.work.blockBuffer, status);
        if (status < 0) return status;
        state_.files.block.close();
        state_.files.dataSorting.close();
        return status;
    }

    // The grid file names: a rotated call writes the solved working grid to
    // the rotation scratch grid and resamples it into the wanted name. The
    // name is built once and handed on as built.
    void chooseGridNames() {
        finalName_ = heldGridName(a_.OUTGRD);
        outputName_ = rotated_ ? std::string(kRotationScratchName) : finalName_.value_or(std::string());
    }

    // Blanks what lies beyond the reach and outline of the data.
    std::int32_t applyMask() {
        if (!masked()) return kStatusGood;
        const std::int32_t MC = s_.maskColumns;
        const std::int32_t MR = s_.maskRows;
        const std::int32_t NWIN = 2 * s_.halfWindow + 1;
        std::vector<std::int32_t> work = maskWorkArea();
        std::int32_t* words = work.data();
        std::int32_t status = kStatusGood;
        RADREM(state_, s_.maskCountThreshold, state_.files.mask, MC, NWIN, words, words + MC, words + 2 * MC, status);
        if (status < 0) return status;
        RADMSK(state_, s_.maskCountThreshold, state_.files.mask, MC, NWIN, words, words + MC, words + 2 * MC, status);
        if (status < 0) return status;
        const std::int32_t outlineStart = 3 * MC + 2 * MR;
        const std::int32_t MAXOUT = (static_cast<std::int32_t>(work.size()) - outlineStart) / 2;
        // The work area is sized for the longest outline, so this holds; the
        // check keeps a mask larger than its work from running past it.
        if (!RADCLP(state_, state_.files.mask, MC, MR, NWIN, MAXOUT, words, words + MC, words + MC + 2 * MR,
                    words + outlineStart)) {
            return kStatusMaskTooNarrow;
        }
        state_.files.templateGrid = temporary_.create(MincTemporaryFiles::templateGrid);
        if (!state_.files.templateGrid.isOpen()) return kStatusFileUnavailable;
        if (state_.files.gridRows.seek(0) != 0) return kStatusFileTransferFailed;
        rowBuffer_.assign(rowBufferSize(), 0.0f);
        TEMPLAT(state_, s_.halfWindow + 1, s_.halfWindow + 1, kMaskBlank, a_.DNULL, state_.files.mask, words, MC, MR,
                state_.files.gridRows, rowBuffer_.data(), s_.workingColumns, s_.workingRows,
                state_.files.templateGrid);
        state_.files.mask.close();
        return kStatusGood;
    }

    // The mask routines' share of the work array: at least the library's
    // 256000 words, more when the ring of window rows or the spans and
    // outline of a very tall or wide mask need more room than that.
    std::vector<std::int32_t> maskWorkArea() const {
        return std::vector<std::int32_t>(
            static_cast<std::size_t>(maskWorkWords(s_.maskColumns, s_.maskRows, s_.halfWindow)), 0);
    }

    std::size_t rowBufferSize() const {
        return static_cast<std::size_t>(std::max({s_.workingColumns, a_.NCOL, 1}));
    }

    // Writes the grid file from the solved (and blanked) rows; a turned frame
    // is resampled onto the wanted grid.
    std::int32_t writeGrid() {
        // No grid from files that came up short.
        if (state_.files.transfers.failed()) return kStatusFileTransferFailed;
        common::RawFile& source = masked() ? state_.files.templateGrid : state_.files.gridRows;
        source.seek(0);
        rowBuffer_.assign(rowBufferSize(), 0.0f);
        const float sourceX0 = s_.xOriginCells * a_.DX;
        const float sourceY0 = s_.yOriginCells * a_.DY;
        if (!finalName_) return kStatusFileUnavailable;
        if (rotated_) temporary_.noteRotationScratch();
        const bool written = GEOOUT(source, outputName_, rowBuffer_, s_.workingColumns, s_.workingRows, {}, sourceX0,
                                    sourceY0, a_.DX, a_.DY, ITRANS_, a_.KXFLAG, a_.DNULL, zmin_, zmax_);
        state_.files.templateGrid.close();
        state_.files.gridRows.close();
        if (!written) return kStatusFileUnavailable;
        if (!std::isfinite(zmin_) || !std::isfinite(zmax_)) {
            // Turning a solved value back into data units overflowed.
            if (!rotated_) common::deleteFile(finalName_->c_str());
            return kStatusSolveNotFinite;
        }
        if (!rotated_) return kStatusGood;
        // The working grid shares the wanted grid's cells; the turn about the
        // grid's centre is all that carries a node into the working frame.
        const bool resampled =
            GEOROT({.INGRD = kRotationScratchName,
                    .source = {a_.DX, a_.DY, sourceX0, sourceY0, s_.workingColumns, s_.workingRows},
                    .OUTGRD = *finalName_,
                    .target = {a_.DX, a_.DY, a_.X0, a_.Y0, a_.NCOL, a_.NROW},
                    .turn = {.ANGLE = s_.rotationAngle, .XC = s_.rotationCentreX, .YC = s_.rotationCentreY},
                    .ROWBUF = rowBuffer_,
                    .KXFLAG = a_.KXFLAG,
                    .DNULL = a_.DNULL,
                    .ZMIN = zmin_,
                    .ZMAX = zmax_});
        return resampled ? kStatusGood : kStatusFileUnavailable;
    }

    // Closes and deletes the call's files, after a good run and after every
    // failure.
    void cleanUp() {
        MincFiles& files = state_.files;
        files.gridRows.close();
        files.mask.close();
        files.dataSorting.close();
        files.block.close();
        files.log.close();
        files.pointData.close();
        files.templateGrid.close();
        temporary_.deleteAll();
    }

    MincState& state_;
    MincSettings& s_;
    const MincRequest& a_;
    std::int32_t ITRANS_;  // the value transform as the library's routines take it
    MincTemporaryFiles temporary_;
    bool rotated_ = false;
    std::int32_t NPW_ = 0;  // words of one data-sorting record's point slots
    std::optional<std::string> finalName_;  // with its NUL; none when the name is empty
    std::string outputName_;
    std::vector<float> rowBuffer_;
    float zmin_ = 0.0f;
    float zmax_ = 0.0f;
};

}  // namespace

void Gridder::MINC(MincRequest& request) {
    MincState state(build_, risingSweepCount_);
    MincRun run(state, request);
    request.ISTAT = run.run(request.ISTAT, request.ZMIN, request.ZMAX);
}

void Gridder::MINC(std::string_view OUTGRD, float X0, float Y0, float DX, float DY, std::int32_t NCOL,
                   std::int32_t NROW, float RADIUS, std::string_view DATFIL, std::int32_t ZCHAN, float DNULL,
                   std::int32_t MAXCHN, std::int32_t ITRANS, std::int32_t KXFLAG, float& ZMIN, float& ZMAX,
                   float ANGLE, std::int32_t& ISTAT) {
    MincRequest request{.OUTGRD = std::string(OUTGRD),
                        .X0 = X0,
                        .Y0 = Y0,
                        .DX = DX,
                        .DY = DY,
                        .NCOL = NCOL,
                        .NROW = NROW,
                        .RADIUS = RADIUS,
                        .DATFIL = std::string(DATFIL),
                        .ZCHAN = ZCHAN,
                        .DNULL = DNULL,
                        .MAXCHN = MAXCHN,
                        .ITRANS = static_cast<ValueTransform>(ITRANS),
                        .KXFLAG = KXFLAG,
                        .ANGLE = ANGLE,
                        .ISTAT = ISTAT,
                        .ZMIN = ZMIN,
                        .ZMAX = ZMAX};
    MINC(request);
    ZMIN = request.ZMIN;
    ZMAX = request.ZMAX;
    ISTAT = request.ISTAT;
}

}  // namespace lumsk
