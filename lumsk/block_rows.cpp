// Pasting one tier of solved blocks into full-width grid rows and mask rows.
#include <algorithm>

#include "lumsk/block_solve.hpp"
#include "lumsk/mask_file.hpp"
#include "lumsk/status.hpp"

namespace lumsk {

namespace {

// The block rows of tier ITIER that go into the output: the two padding rows
// at the bottom and top are never output, and of the rows that two tiers
// share the upper tier's win.
struct TierRows {
    std::int32_t firstBlockRow;
    std::int32_t count;
};

TierRows tierRows(const MincSettings& settings, std::int32_t ITIER) {
    const std::int32_t H = settings.NYT - 4;
    const std::int32_t T = settings.NRB - settings.NOVL;
    TierRows rows{ITIER == 1 ? 3 : 1, T};
    if (settings.NTIER == 1) {
        rows.count = H;
    } else if (ITIER == 1) {
        rows.count = T - 2;
    } else if (ITIER == settings.NTIER) {
        rows.count = H - (settings.NTIER - 1) * T + 2;
    }
    return rows;
}

// The block columns section `section` gives to the output, when `filled`
// grid columns are already taken: the two padding columns at the left are
// never output, and of the columns two sections share the right-hand one's
// win; the last section gives what is still missing.
struct SectionColumns {
    std::int32_t first;
    std::int32_t last;
};

SectionColumns sectionColumns(const MincSettings& settings, std::int32_t section, std::int32_t filled) {
    const std::int32_t G = settings.NXT - 4;
    SectionColumns columns{section == 1 ? 3 : 1, settings.NCB - settings.NOVL};
    if (section == settings.NSECT) {
        columns.last = columns.first + std::max(G - filled, 0) - 1;
    }
    return columns;
}

// A long layout can place its last sections' steps beyond the grid's last
// column (the block size is rounded up for every section); only the columns
// that still lie inside the grid are pasted, `room` of them at most.
SectionColumns insideGrid(SectionColumns columns, std::int32_t room) {
    columns.last = std::min(columns.last, columns.first + std::max(room, 0) - 1);
    return columns;
}

std::size_t nodeIndex(std::int32_t NCB, std::int32_t column, std::int32_t row) {
    return static_cast<std::size_t>(row - 1) * NCB + static_cast<std::size_t>(column - 1);
}

// Copies block columns `taken` of the chunk's block rows into the row buffer
// from output column `column` on.
void pasteGridSection(std::span<const float> ZBLK, std::int32_t NCB, SectionColumns taken, std::int32_t firstRow,
                      std::int32_t chunkRows, std::span<float> ROWS, std::size_t width, std::int32_t column) {
    const std::int32_t count = taken.last - taken.first + 1;
    for (std::int32_t k = 0; k < chunkRows; ++k) {
        const auto from = ZBLK.begin() + static_cast<std::ptrdiff_t>(nodeIndex(NCB, taken.first, firstRow + k));
        const std::size_t to = static_cast<std::size_t>(k) * width + static_cast<std::size_t>(column - 1);
        std::copy(from, from + count, ROWS.begin() + static_cast<std::ptrdiff_t>(to));
    }
}

// Marks the nodes that got data (non-zero flags) in the row buffer; zeros
// leave what the section to the left put there. With `seam`, the flag of the
// column after the last one taken marks the next output column too, so that
// a data node on the seam is marked from either side.
void pasteMaskSection(std::span<const std::int32_t> IBLK, std::int32_t NCB, SectionColumns taken, bool seam,
                      std::int32_t firstRow, std::int32_t chunkRows, std::span<std::int32_t> IROWS,
                      std::size_t width, std::int32_t column) {
    const std::int32_t lastMarked = taken.last + (seam ? 1 : 0);
    for (std::int32_t k = 0; k < chunkRows; ++k) {
        const std::size_t rowStart = static_cast<std::size_t>(k) * width + static_cast<std::size_t>(column - 1);
        // A select rather than a branch: data nodes lie scattered.
        const std::int32_t* flags = IBLK.data() + nodeIndex(NCB, taken.first, firstRow + k);
        std::int32_t* codes = IROWS.data() + rowStart;
        const std::int32_t count = lastMarked - taken.first + 1;
        for (std::int32_t c = 0; c < count; ++c) {
            codes[c] = flags[c] != 0 ? kMaskData : codes[c];
        }
    }
}

// Appends the chunk's grid rows in one write; true once all H rows are out.
bool writeGridRows(MincState& state, common::RawFile& IGHAND, std::span<const float> ROWS, std::int32_t NW,
                   std::int32_t chunkRows) {
    MincSettings& settings = state.settings;
    const std::int32_t H = settings.NYT - 4;
    const std::int32_t rows = std::min(chunkRows, H - settings.gridRowsWritten);
    const std::int64_t bytes = static_cast<std::int64_t>(rows) * NW * 4;
    state.files.transfers.note(IGHAND.write(ROWS.data(), bytes), bytes);
    settings.gridRowsWritten += rows;
    return settings.gridRowsWritten >= H;
}

// Writes the chunk's mask rows, blank in their IHW border columns at each
// end, in one transfer: the row buffer holds them as mask file records
// (`stride` words each, a leading 0, the codes, zero padding), so the chunk
// goes out as it lies, up to the last code. True once the last grid row's
// mask row is out.
bool writeMaskRows(MincState& state, common::RawFile& MHAND, std::span<std::int32_t> IROWS, std::int32_t NW,
                   std::int32_t IHW, std::int32_t chunkRows, std::size_t stride) {
    MincSettings& settings = state.settings;
    const std::int32_t H = settings.NYT - 4;
    const std::int32_t rows = std::min(chunkRows, IHW + H - settings.maskRowsWritten);
    if (rows < 1) return true;
    for (std::int32_t k = 0; k < rows; ++k) {
        std::int32_t* codes = IROWS.data() + static_cast<std::size_t>(k) * stride + 1;
        std::fill_n(codes, IHW, 0);
        std::fill_n(codes + (NW - IHW), IHW, 0);
    }
    const std::int64_t words = static_cast<std::int64_t>(rows - 1) * static_cast<std::int64_t>(stride) + 1 + NW;
    const std::int64_t offset = maskRecordOffset(settings.maskRowsWritten + 1, settings.maskRecordWords);
    state.files.transfers.note(MHAND.writeAt(offset, IROWS.data(), words * 4), words * 4);
    settings.maskRowsWritten += rows;
    return settings.maskRowsWritten >= IHW + H;
}

// Pastes the tier's rows, chunk by chunk, into the row buffer and writes
// them out; the grid rows and the mask rows differ only in what one section
// pastes, how a chunk starts and how it is written.
// Rows lie `stride` values apart in the row buffer, each from word `lead`
// on.
template <typename Value, typename Paste, typename Write>
std::int32_t assembleTier(MincState& state, std::int32_t ITIER, std::int32_t NW, std::int32_t IHW,
                          std::int32_t MAXROW, std::span<Value> rowBuffer, std::size_t stride, std::size_t lead,
                          std::span<Value> blockBuffer, Value blank, Paste paste, Write write) {
    const MincSettings& settings = state.settings;
    const bool maskRows = IHW > 0;
    const std::int32_t recordOffset = maskRows ? settings.NSECT : 0;
    const TierRows rows = tierRows(settings, ITIER);
    const std::size_t width = static_cast<std::size_t>(std::max(NW, 0));
    if (stride < width + lead) {
        return kStatusSubArrayTooBig;
    }
    const std::int32_t NCB = settings.NCB;
    const std::size_t nodes = static_cast<std::size_t>(NCB) * settings.NRB;
    // The layout and the buffers must hold what is pasted; MINC's layouts
    // always do, and anything else is refused rather than overrun.
    const std::size_t bufferRows = rowBuffer.size() / std::max<std::size_t>(stride, 1);
    if (MAXROW < 1 || static_cast<std::size_t>(MAXROW) > bufferRows || NW < 2 * IHW ||
        rows.firstBlockRow + rows.count - 1 > settings.NRB || nodes > blockBuffer.size()) {
        return kStatusSubArrayTooBig;
    }

    for (std::int32_t chunkStart = 0; chunkStart < rows.count; chunkStart += MAXROW) {
        const std::int32_t chunkRows = std::min(MAXROW, rows.count - chunkStart);
        const std::int32_t firstRow = rows.firstBlockRow + chunkStart;
        std::fill_n(rowBuffer.begin(), static_cast<std::size_t>(chunkRows) * stride, blank);
        std::int32_t column = IHW + 1;  // next output column, 1-based
        for (std::int32_t s = 1; s <= settings.NSECT; ++s) {
            const SectionColumns taken =
                insideGrid(sectionColumns(settings, s, column - IHW - 1), settings.NXT - 4 + IHW - (column - 1));
            const std::int32_t count = taken.last - taken.first + 1;
            // A seam column past the row's end has nothing to mark.
            const std::int32_t seam = maskRows && s < settings.NSECT && column + count <= NW ? 1 : 0;
            if (taken.last + seam > NCB || column - 1 + count + seam > NW) {
                return kStatusSubArrayTooBig;
            }
            readBlockRows(state, recordOffset + s, firstRow, chunkRows, blockBuffer.data());
            paste(blockBuffer, taken, seam == 1, chunkRows, rowBuffer.subspan(lead), stride, column);
            column += count;
        }
        if (write(chunkRows)) {
            return 0;
        }
    }
    return 0;
}

}  // namespace

std::int32_t ASSEMB(MincState& state, std::int32_t ITIER, std::int32_t MAXROW, std::span<float> ROWS) {
    const std::int32_t NW = state.settings.workingColumns;
    const std::int32_t NCB = state.settings.NCB;
    const auto paste = [NCB](std::span<float> block, SectionColumns taken, bool, std::int32_t chunkRows,
                             std::span<float> rows, std::size_t width, std::int32_t column) {
        pasteGridSection(block, NCB, taken, 1, chunkRows, rows, width, column);
    };
    const auto write = [&state, ROWS, NW](std::int32_t chunkRows) {
        return writeGridRows(state, state.files.gridRows, ROWS, NW, chunkRows);
    };
    const std::size_t width = static_cast<std::size_t>(std::max(NW, 0));
    return assembleTier<float>(state, ITIER, NW, 0, MAXROW, ROWS, width, 0, std::span<float>(state.work.work),
                               state.settings.DNULL, paste, write);
}

std::int32_t ASSEMB(MincState& state, std::int32_t ITIER, std::int32_t MAXROW, std::span<std::int32_t> IROWS) {
    const std::int32_t NW = state.settings.maskColumns;
    const std::int32_t IHW = state.settings.halfWindow;
    const std::int32_t NCB = state.settings.NCB;
    const auto paste = [NCB](std::span<std::int32_t> block, SectionColumns taken, bool seam, std::int32_t chunkRows,
                             std::span<std::int32_t> rows, std::size_t width, std::int32_t column) {
        pasteMaskSection(block, NCB, taken, seam, 1, chunkRows, rows, width, column);
    };
    const std::size_t stride = static_cast<std::size_t>(std::max(state.settings.maskRecordWords, 0));
    const auto write = [&state, IROWS, NW, IHW, stride](std::int32_t chunkRows) {
        return writeMaskRows(state, state.files.mask, IROWS, NW, IHW, chunkRows, stride);
    };
    return assembleTier<std::int32_t>(state, ITIER, NW, IHW, MAXROW, IROWS, stride, 1,
                                      std::span<std::int32_t>(state.work.nodeFlags), 0, paste, write);
}

void PADROW(const MincState& state, std::int32_t IHW, std::int32_t& NROWS, common::RawFile& MHAND, std::int32_t NW,
            std::span<std::int32_t> IBUF) {
    if (NW < 0 || static_cast<std::size_t>(NW) > IBUF.size()) {
        return;
    }
    std::fill_n(IBUF.begin(), NW, 0);
    for (std::int32_t k = 0; k < IHW; ++k) {
        ++NROWS;
        std::int32_t ignored = 0;
        ROWDA(state, MHAND, NW, IBUF.data(), 0, NROWS, ignored);
    }
}

}  // namespace lumsk
