#include "lumsk/mask_file.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <vector>

namespace lumsk {

namespace {

// Every mask row record starts with one word that is written as 0 and skipped
// when read; the codes follow it.
constexpr std::int64_t kLeadingWordBytes = 4;

// Zero codes are laid down in chunks of this many words.
constexpr std::size_t kZeroChunkWords = 65536;

}  // namespace

bool maskWindowFits(std::int32_t ICOL0, std::int32_t IROW0, std::int32_t MCOLS, std::int32_t MROWS,
                      std::int32_t NX, std::int32_t NY) {
    if (IROW0 <= 0 || ICOL0 <= 0) return false;
    const std::int64_t lastColumn = static_cast<std::int64_t>(ICOL0) - 1 + NX;
    const std::int64_t lastRow = static_cast<std::int64_t>(IROW0) - 1 + NY;
    return lastColumn <= MCOLS && lastRow <= MROWS;
}

std::int32_t maskRecordWords(std::int32_t maskColumns) {
    return std::max(maskColumns + 1, kMinMaskRecordWords);
}

std::int64_t maskRecordOffset(std::int32_t record, std::int32_t recordWords) {
    return static_cast<std::int64_t>(record) * recordWords * 4;
}

bool writeEmptyMask(common::RawFile& file, const MaskHeader& header) {
    static_assert(std::endian::native == std::endian::little, "mask files are little-endian");
    const std::array<std::int32_t, 7> words = {
        header.columns,
        header.rows,
        1,
        std::bit_cast<std::int32_t>(header.xOrigin),
        std::bit_cast<std::int32_t>(1.0f),
        std::bit_cast<std::int32_t>(header.yOrigin),
        std::bit_cast<std::int32_t>(1.0f),
    };
    const std::int64_t headerBytes = static_cast<std::int64_t>(sizeof(words));
    if (file.writeAt(0, words.data(), headerBytes) != headerBytes) return false;

    // The codes follow the header directly, as one stream: record k of the
    // fixed-length layout only lines up with it once the block loop rewrites
    // every row through ROWDA.
    const std::vector<std::int32_t> zeros(kZeroChunkWords, 0);
    std::int64_t remaining = static_cast<std::int64_t>(header.columns) * header.rows;
    std::int64_t offset = headerBytes;
    while (remaining > 0) {
        const std::int64_t wordsNow = std::min<std::int64_t>(remaining, kZeroChunkWords);
        const std::int64_t bytes = wordsNow * 4;
        if (file.writeAt(offset, zeros.data(), bytes) != bytes) return false;
        offset += bytes;
        remaining -= wordsNow;
    }
    return true;
}

bool readMaskSize(common::RawFile& MHAND, std::int32_t& columns, std::int32_t& rows) {
    std::array<std::int32_t, 2> words = {0, 0};
    const std::int64_t bytes = static_cast<std::int64_t>(sizeof(words));
    const bool whole = MHAND.readAt(0, words.data(), bytes) == bytes;
    columns = words[0];
    rows = words[1];
    return whole;
}

void ROWDA(const MincState& state, common::RawFile& MHAND, std::int32_t N, std::int32_t* IBUF,
           std::int32_t MODE, std::int32_t IROW, std::int32_t& IERR) {
    const std::int64_t offset = maskRecordOffset(IROW, state.settings.maskRecordWords);
    const std::int64_t codeBytes = static_cast<std::int64_t>(std::max(N, 0)) * 4;
    if (MODE == 0) {
        // The leading word is never read, and where it lies the file already
        // holds 0 (the zero codes laid down at the start, or a hole past
        // them), so only the codes are written: one transfer per row.
        state.files.transfers.note(MHAND.writeAt(offset + kLeadingWordBytes, IBUF, codeBytes), codeBytes);
    } else {
        state.files.transfers.note(MHAND.readAt(offset + kLeadingWordBytes, IBUF, codeBytes), codeBytes);
    }
    IERR = 0;
}

void ROWMSK(const MincState& state, std::int32_t N, std::int32_t* IBUF, std::int32_t IROW,
            common::RawFile& MHAND, std::int32_t& IERR) {
    IERR = 0;
    const std::int64_t offset = maskRecordOffset(IROW, state.settings.maskRecordWords);
    const std::int64_t codeBytes = static_cast<std::int64_t>(std::max(N, 0)) * 4;
    if (!state.files.transfers.note(MHAND.readAt(offset + kLeadingWordBytes, IBUF, codeBytes), codeBytes)) IERR = 1;
}

void MSKOUT(const MincState& state, std::int32_t ICOL0, std::int32_t IROW0,
            common::RawFile& MHAND, std::int32_t* IBUF, std::int32_t MCOLS, std::int32_t MROWS,
            float* ROWBUF, std::int32_t NX, std::int32_t NY, common::RawFile& OHAND) {
    if (!maskWindowFits(ICOL0, IROW0, MCOLS, MROWS, NX, NY)) return;
    std::int32_t ierr = 0;
    for (std::int32_t i = 1; i <= NY; ++i) {
        ROWMSK(state, MCOLS, IBUF, IROW0 - 1 + i, MHAND, ierr);
        for (std::int32_t j = 1; j <= NX; ++j) {
            ROWBUF[j - 1] = static_cast<float>(IBUF[ICOL0 - 2 + j]);
        }
        const std::int64_t bytes = static_cast<std::int64_t>(NX) * 4;
        state.files.transfers.note(OHAND.write(ROWBUF, bytes), bytes);
    }
}

}  // namespace lumsk
