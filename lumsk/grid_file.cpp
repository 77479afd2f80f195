// The grid file layout and its writers GEOOUT and ROWIO.
#include "lumsk/grid_file.hpp"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "common/output_guard.hpp"
#include "lumsk/grid_row_chunks.hpp"

namespace lumsk {

// Grid files are little-endian; node rows go to disk straight from float
// buffers, which is only right on a little-endian host.
static_assert(std::endian::native == std::endian::little, "grid files are written in host byte order");

namespace {

constexpr std::int64_t kZminOffset = 160;
// e as the float32 the inverse of the logarithmic transforms raises.
constexpr float kEulerNumber = 2.7182817f;

template <typename T>
void put(GridHeaderBytes& bytes, std::size_t offset, T value) {
    std::memcpy(bytes.data() + offset, &value, sizeof value);
}

template <typename T>
T take(const GridHeaderBytes& bytes, std::size_t offset) {
    T value;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return value;
}

// A character field: the text cut or blank-padded to the field's width.
void putText(GridHeaderBytes& bytes, std::size_t offset, std::size_t width, const std::string& text) {
    for (std::size_t index = 0; index < width; ++index) {
        const char c = index < text.size() ? text[index] : ' ';
        bytes[offset + index] = static_cast<std::byte>(c);
    }
}

std::string takeText(const GridHeaderBytes& bytes, std::size_t offset, std::size_t width) {
    return std::string(reinterpret_cast<const char*>(bytes.data()) + offset, width);
}

std::string_view withoutTrailingBlanks(std::string_view text) {
    const std::size_t last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view{} : text.substr(0, last + 1);
}

// The platform takes a name up to its first NUL.
std::string upToNul(std::string_view text) { return std::string(text.substr(0, text.find('\0'))); }

// The inverse of the value transform: the file holds data units.
float inverseTransform(float v, ValueTransform transform) {
    switch (transform) {
    case ValueTransform::signedLog:
        if (v > 1.0f) return std::pow(kEulerNumber, v - 1.0f);
        if (v < -1.0f) return -std::pow(kEulerNumber, -1.0f - v);
        return v;
    case ValueTransform::naturalLog:
        return std::pow(kEulerNumber, v);
    default:
        return v;
    }
}

// Where GEOOUT's rows come from.
struct RowSource {
    common::RawFile* handle = nullptr;  // handle mode when set
    std::span<const float> grid;        // array mode
    bool transposed = false;
};

// Fills `rows` rows from row j on; a handle gives them in one read.
bool fillRows(RowSource& source, float* values, std::int32_t j, std::int32_t rows, std::int32_t NX, std::int32_t NY) {
    if (source.handle != nullptr) {
        const std::int64_t bytes = static_cast<std::int64_t>(rows) * NX * 4;
        return source.handle->read(values, bytes) == bytes;
    }
    for (std::int32_t k = 0; k < rows; ++k) {
        float* row = values + static_cast<std::size_t>(k) * static_cast<std::size_t>(NX);
        for (std::int32_t i = 1; i <= NX; ++i) {
            const std::int64_t index =
                source.transposed ? static_cast<std::int64_t>(j + k - 1) + static_cast<std::int64_t>(i - 1) * NY
                                  : static_cast<std::int64_t>(i - 1) + static_cast<std::int64_t>(j + k - 1) * NX;
            row[i - 1] = source.grid[static_cast<std::size_t>(index)];
        }
    }
    return true;
}

// Turns the order of `rows` rows of NX values around, for a file that
// stores the last row first.
void reverseRows(float* values, std::int32_t rows, std::int32_t NX) {
    const std::size_t width = static_cast<std::size_t>(NX);
    for (std::int32_t low = 0, high = rows - 1; low < high; ++low, --high) {
        float* lowRow = values + static_cast<std::size_t>(low) * width;
        std::swap_ranges(lowRow, lowRow + width, values + static_cast<std::size_t>(high) * width);
    }
}

// Nulls become the null value and take no part in the extremes; every other
// value is turned back into data units first. Without a transform the test
// of the transform is not repeated for every value.
template <bool transformed>
void finishValues(std::span<float> row, ValueTransform transform, float DNULL, float& zmin, float& zmax) {
    float low = zmin;
    float high = zmax;
    for (float& value : row) {
        if (value == DNULL) {
            value = kNullValue;
            continue;
        }
        if constexpr (transformed) value = inverseTransform(value, transform);
        low = std::min(low, value);
        high = std::max(high, value);
    }
    zmin = low;
    zmax = high;
}

void finishRow(std::span<float> row, std::int32_t ITRANS, float DNULL, float& zmin, float& zmax) {
    const auto transform = static_cast<ValueTransform>(ITRANS);
    if (transform == ValueTransform::signedLog || transform == ValueTransform::naturalLog) {
        finishValues<true>(row, transform, DNULL, zmin, zmax);
    } else {
        finishValues<false>(row, transform, DNULL, zmin, zmax);
    }
}

bool writeHeaderAndRows(RowSource& source, common::RawFile& file, std::span<float> ROWBUF, std::int32_t NX,
                        std::int32_t NY, float X0, float Y0, float DX, float DY, std::int32_t ITRANS,
                        std::int32_t KXFLAG, float DNULL, float& zmin, float& zmax) {
    const std::int32_t flag = rowOrderFlag(KXFLAG);
    const GridHeaderBytes header =
        encodeGridHeader(makeGridHeader(NX, NY, KXFLAG, DX, DY, X0, Y0, kNullValue, kNullValue));
    if (file.write(header.data(), kGridHeaderBytes) != kGridHeaderBytes) return false;
    if (source.handle != nullptr && source.handle->seek(0) != 0) return false;

    zmin = kZminStart;
    zmax = kZmaxStart;
    // Rows go a chunk at a time; the extremes still take them in order.
    GridRowChunks chunks(ROWBUF.first(static_cast<std::size_t>(NX)), NX);
    const bool upward = rowsFirstToLast(flag);
    const std::size_t width = static_cast<std::size_t>(NX);
    for (std::int32_t j = 1; j <= NY; j += chunks.rows()) {
        const std::int32_t rows = std::min(chunks.rows(), NY - j + 1);
        if (!fillRows(source, chunks.data(), j, rows, NX, NY)) return false;
        for (std::int32_t k = 0; k < rows; ++k) {
            finishRow(std::span<float>(chunks.data() + static_cast<std::size_t>(k) * width, width), ITRANS, DNULL,
                      zmin, zmax);
        }
        if (!upward) reverseRows(chunks.data(), rows, NX);
        // The chunk's lowest row on disk comes first in the buffer.
        const std::int32_t firstStored = upward ? j : j + rows - 1;
        const std::int64_t bytes = static_cast<std::int64_t>(rows) * NX * 4;
        if (file.writeAt(gridRowOffset(firstStored, NX, NY, flag), chunks.data(), bytes) != bytes) return false;
        if (j + rows > NY) chunks.leaveInRowBuffer(upward ? rows - 1 : 0);
    }
    const float extremes[2] = {zmin, zmax};
    return file.writeAt(kZminOffset, extremes, sizeof extremes) == static_cast<std::int64_t>(sizeof extremes);
}

bool writeGridFile(RowSource& source, std::string_view OUTGRD, std::span<float> ROWBUF, std::int32_t NX,
                   std::int32_t NY, float X0, float Y0, float DX, float DY, std::int32_t ITRANS, std::int32_t KXFLAG,
                   float DNULL, float& ZMIN, float& ZMAX) {
    if (NX < 0 || NY < 0 || ROWBUF.size() < static_cast<std::size_t>(NX)) return false;
    const std::string name = gridFileName(OUTGRD);
    common::RawFile file = createGridFile(name);
    if (!file.isOpen()) return false;
    float zmin = 0.0f;
    float zmax = 0.0f;
    const bool written =
        writeHeaderAndRows(source, file, ROWBUF, NX, NY, X0, Y0, DX, DY, ITRANS, KXFLAG, DNULL, zmin, zmax);
    file.close();
    if (!written) {
        // A half-written grid would pass for a good one.
        common::deleteFile(name);
        return false;
    }
    ZMIN = zmin;
    ZMAX = zmax;
    return true;
}

}  // namespace

GridFileHeader makeGridHeader(std::int32_t NX, std::int32_t NY, std::int32_t KXFLAG, float DX, float DY,
                              float X0, float Y0, float zmin, float zmax) {
    GridFileHeader header;
    header.NX = NX;
    header.NY = NY;
    header.rowOrderFlag = rowOrderFlag(KXFLAG);
    header.DX = static_cast<double>(DX);
    header.DY = static_cast<double>(DY);
    header.X0 = static_cast<double>(X0);
    header.Y0 = static_cast<double>(Y0);
    header.zmin = zmin;
    header.zmax = zmax;
    return header;
}

GridHeaderBytes encodeGridHeader(const GridFileHeader& header) {
    GridHeaderBytes bytes{};
    put(bytes, 0, header.elementSize);
    put(bytes, 4, header.storageType);
    put(bytes, 8, header.NX);
    put(bytes, 12, header.NY);
    put(bytes, 16, header.rowOrderFlag);
    put(bytes, 20, header.DX);
    put(bytes, 28, header.DY);
    put(bytes, 36, header.X0);
    put(bytes, 44, header.Y0);
    put(bytes, 52, header.rotation);
    put(bytes, 60, header.zBase);
    put(bytes, 68, header.zMultiplier);
    putText(bytes, 76, 48, header.label);
    putText(bytes, 124, 16, header.mapNumber);
    for (std::size_t index = 0; index < header.reserved.size(); ++index) {
        put(bytes, 140 + 4 * index, header.reserved[index]);
    }
    put(bytes, 160, header.zmin);
    put(bytes, 164, header.zmax);
    put(bytes, 168, header.zmedian);
    put(bytes, 172, header.zmean);
    put(bytes, 176, header.zVariance);
    put(bytes, 184, header.processingFlag);
    putText(bytes, 188, 324, header.userArea);
    return bytes;
}

GridFileHeader decodeGridHeader(const GridHeaderBytes& bytes) {
    GridFileHeader header;
    header.elementSize = take<std::int32_t>(bytes, 0);
    header.storageType = take<std::int32_t>(bytes, 4);
    header.NX = take<std::int32_t>(bytes, 8);
    header.NY = take<std::int32_t>(bytes, 12);
    header.rowOrderFlag = take<std::int32_t>(bytes, 16);
    header.DX = take<double>(bytes, 20);
    header.DY = take<double>(bytes, 28);
    header.X0 = take<double>(bytes, 36);
    header.Y0 = take<double>(bytes, 44);
    header.rotation = take<double>(bytes, 52);
    header.zBase = take<double>(bytes, 60);
    header.zMultiplier = take<double>(bytes, 68);
    header.label = takeText(bytes, 76, 48);
    header.mapNumber = takeText(bytes, 124, 16);
    for (std::size_t index = 0; index < header.reserved.size(); ++index) {
        header.reserved[index] = take<std::int32_t>(bytes, 140 + 4 * index);
    }
    header.zmin = take<float>(bytes, 160);
    header.zmax = take<float>(bytes, 164);
    header.zmedian = take<float>(bytes, 168);
    header.zmean = take<float>(bytes, 172);
    header.zVariance = take<double>(bytes, 176);
    header.processingFlag = take<std::int32_t>(bytes, 184);
    header.userArea = takeText(bytes, 188, 324);
    return header;
}

bool readGridFileHeader(common::RawFile& file, GridFileHeader& header) {
    GridHeaderBytes bytes{};
    if (file.readAt(0, bytes.data(), kGridHeaderBytes) != kGridHeaderBytes) return false;
    header = decodeGridHeader(bytes);
    return true;
}

std::int32_t rowOrderFlag(std::int32_t KXFLAG) {
    return rowsFirstToLast(KXFLAG) ? kRowsFirstToLast : kRowsLastToFirst;
}

std::int64_t storedRowSlot(std::int64_t j, std::int64_t NY, std::int32_t flag) {
    return rowsFirstToLast(flag) ? j - 1 : NY - j;
}

std::int64_t gridRowOffset(std::int32_t j, std::int32_t NX, std::int32_t NY, std::int32_t flag) {
    return kGridHeaderBytes + storedRowSlot(j, NY, flag) * NX * 4;
}

std::string nameBeforeNul(std::string_view text) {
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos && nul >= 1) return std::string(text.substr(0, nul));
    return upToNul(withoutTrailingBlanks(text));
}

common::RawFile createGridFile(const std::string& name) {
    return common::isFixedTemporaryName(name) ? common::RawFile::createNew(name) : common::RawFile::create(name);
}

std::string gridFileName(std::string_view text) {
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos && nul >= 1) return std::string(text.substr(0, nul));
    const std::string_view trimmed = withoutTrailingBlanks(text);
    if (trimmed.size() >= 2) return upToNul(trimmed);
    return std::string(kDefaultGridName);
}

bool GEOOUT(common::RawFile& IHAND, std::string_view OUTGRD, std::span<float> ROWBUF, std::int32_t NX,
            std::int32_t NY, std::span<const float> /*ZGRID*/, float X0, float Y0, float DX, float DY,
            std::int32_t ITRANS, std::int32_t KXFLAG, float DNULL, float& ZMIN, float& ZMAX) {
    RowSource source{&IHAND, {}, false};
    return writeGridFile(source, OUTGRD, ROWBUF, NX, NY, X0, Y0, DX, DY, ITRANS, KXFLAG, DNULL, ZMIN, ZMAX);
}

bool GEOOUT(std::int32_t IHAND, std::string_view OUTGRD, std::span<float> ROWBUF, std::int32_t NX,
            std::int32_t NY, std::span<const float> ZGRID, float X0, float Y0, float DX, float DY,
            std::int32_t ITRANS, std::int32_t KXFLAG, float DNULL, float& ZMIN, float& ZMAX) {
    if (NX < 0 || NY < 0 || ZGRID.size() < static_cast<std::size_t>(static_cast<std::int64_t>(NX) * NY)) {
        return false;
    }
    RowSource source{nullptr, ZGRID, IHAND < 0};
    return writeGridFile(source, OUTGRD, ROWBUF, NX, NY, X0, Y0, DX, DY, ITRANS, KXFLAG, DNULL, ZMIN, ZMAX);
}

bool ROWIO(common::RawFile& IHAND, std::int32_t N, std::span<const float> BUF) {
    if (N < 0 || BUF.size() < static_cast<std::size_t>(N)) return false;
    const std::int64_t bytes = static_cast<std::int64_t>(N) * 4;
    return IHAND.write(BUF.data(), bytes) == bytes;
}

}  // namespace lumsk
