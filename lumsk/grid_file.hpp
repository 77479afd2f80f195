#pragma once
// The grid file: a 512-byte header followed by the grid rows as little-endian
// float32 values. Every grid the suite produces has this layout; GEOOUT writes
// it from rows read through a raw handle or from an array in memory, and ROWIO
// appends one row to a raw file.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "common/platform.hpp"

namespace lumsk {

// A node without a value (float32 bits F49DC5AE); the converters pass it as
// the null of their point data too.
inline constexpr float kNullValue = -1.0E32f;
// Resampling takes any value at or below this as null.
inline constexpr float kNullThreshold = -1.0E30f;

// How a channel is gridded (the ITRANS code of MINC and GEOOUT); the grid
// file always holds data units. Any other code grids the values as they stand.
enum class ValueTransform : std::int32_t {
    asIs = 1,
    naturalLog = 2,  // points at or below zero are dropped
    signedLog = 3,   // ln v + 1 above 1, -(ln -v + 1) below -1, v itself between
};
// The ITRANS code the library's routines take.
inline constexpr std::int32_t transformCode(ValueTransform transform) {
    return static_cast<std::int32_t>(transform);
}

// The row order a caller asks for (KXFLAG) and the header records: 1 stores
// the rows first to last; any other value stores them last to first, and the
// header then says -2.
inline constexpr std::int32_t kRowsFirstToLast = 1;
inline constexpr std::int32_t kRowsLastToFirst = -2;
inline constexpr bool rowsFirstToLast(std::int32_t flag) { return flag == kRowsFirstToLast; }

inline constexpr std::int64_t kGridHeaderBytes = 512;
// Where a grid writer's extremes start: a grid without any value keeps them.
inline constexpr float kZminStart = 1.0E7f;
inline constexpr float kZmaxStart = -1.0E7f;
// The name a grid gets when the caller's name is too short to be one.
inline constexpr std::string_view kDefaultGridName = "outfile.grd";

// The header fields in file order (offsets in the comments).
struct GridFileHeader {
    std::int32_t elementSize = 4;        // 0
    std::int32_t storageType = 2;        // 4
    std::int32_t NX = 0;                 // 8: nodes per row
    std::int32_t NY = 0;                 // 12: rows
    std::int32_t rowOrderFlag = kRowsFirstToLast;  // 16: 1 rows first to last, -2 last to first
    double DX = 0.0;                     // 20
    double DY = 0.0;                     // 28
    double X0 = 0.0;                     // 36: x of column 1
    double Y0 = 0.0;                     // 44: y of row 1
    double rotation = 0.0;               // 52
    double zBase = 0.0;                  // 60
    double zMultiplier = 1.0;            // 68
    std::string label = std::string(48, ' ');      // 76
    std::string mapNumber = std::string(16, ' ');  // 124
    std::array<std::int32_t, 5> reserved{};        // 140
    float zmin = kNullValue;             // 160
    float zmax = kNullValue;             // 164
    float zmedian = kNullValue;          // 168: not computed
    float zmean = kNullValue;            // 172: not computed
    double zVariance = static_cast<double>(kNullValue);  // 176: not computed
    std::int32_t processingFlag = 0;     // 184
    std::string userArea = std::string(324, ' ');  // 188
};

using GridHeaderBytes = std::array<std::byte, kGridHeaderBytes>;

// The header every writer of the library makes: the float32 geometry widened
// exactly to float64, the row-order flag from KXFLAG.
GridFileHeader makeGridHeader(std::int32_t NX, std::int32_t NY, std::int32_t KXFLAG, float DX, float DY,
                              float X0, float Y0, float zmin, float zmax);
GridHeaderBytes encodeGridHeader(const GridFileHeader& header);
GridFileHeader decodeGridHeader(const GridHeaderBytes& bytes);
// Reads and decodes the header of an open grid file; false when the file is
// shorter than a header.
bool readGridFileHeader(common::RawFile& file, GridFileHeader& header);

// The header's row-order flag for a caller's KXFLAG: 1 or -2.
std::int32_t rowOrderFlag(std::int32_t KXFLAG);
// Where grid row j (1-based, counted upward from the y origin) of NY rows is
// stored under a row-order flag, counted from 0 after the header.
std::int64_t storedRowSlot(std::int64_t j, std::int64_t NY, std::int32_t flag);
// Byte offset of grid row j (1-based, counted upward from the y origin).
std::int64_t gridRowOffset(std::int32_t j, std::int32_t NX, std::int32_t NY, std::int32_t flag);

// The file name a caller's text stands for: the part before its first NUL
// when that NUL is the second character or later; otherwise the text without
// trailing blanks when that is at least 2 characters; otherwise "outfile.grd".
// A name that starts with a NUL is the empty name, which no file can have.
std::string gridFileName(std::string_view text);
// The text before its first NUL when that NUL is the second character or
// later, else the text without trailing blanks (no default name).
std::string nameBeforeNul(std::string_view text);

// Creates the grid file `name` for writing. A fixed temporary name (the
// rotation scratch grid of a turned call) is created new, never through
// whatever has the name; any other name is created or truncated.
common::RawFile createGridFile(const std::string& name);

// GEOOUT writes the grid file OUTGRD of NX by NY nodes. Every value equal to
// DNULL becomes the null value; every other value is turned back into data
// units by the inverse of ITRANS (2 natural log, 3 signed log, else none).
// KXFLAG 1 stores the rows first to last, anything else last to first.
// ROWBUF (at least NX values) holds the last row written on return. ZMIN and
// ZMAX receive the smallest and largest value written, starting from 1.0E7
// and -1.0E7.
//
// Returns true when the whole file was written. When the file cannot be
// created, a source row cannot be read in full or a write fails, nothing is
// left behind under OUTGRD, ZMIN and ZMAX are left as they were, and the
// result is false; the caller decides how to report it.

// Handle mode: the rows are read from IHAND, from offset 0, NX values per row,
// first row first; ZGRID is not read. The handle is left at the end of what
// was read; its owner closes it.
bool GEOOUT(common::RawFile& IHAND, std::string_view OUTGRD, std::span<float> ROWBUF, std::int32_t NX,
            std::int32_t NY, std::span<const float> ZGRID, float X0, float Y0, float DX, float DY,
            std::int32_t ITRANS, std::int32_t KXFLAG, float DNULL, float& ZMIN, float& ZMAX);
// Array mode: IHAND 0 (or above) takes row j from ZGRID, an NX by NY array
// whose first index is the column (node (i, j) at (i - 1) + (j - 1) * NX).
// IHAND below 0 reads ZGRID transposed: node (i, j) at (j - 1) + (i - 1) * NY,
// an NY by NX array whose first index is the row (for a square grid exactly
// ZGRID(j, i)). ZGRID must hold NX * NY values.
bool GEOOUT(std::int32_t IHAND, std::string_view OUTGRD, std::span<float> ROWBUF, std::int32_t NX,
            std::int32_t NY, std::span<const float> ZGRID, float X0, float Y0, float DX, float DY,
            std::int32_t ITRANS, std::int32_t KXFLAG, float DNULL, float& ZMIN, float& ZMAX);

// ROWIO appends the first N values of BUF at the current position of IHAND
// with one write; true when all 4N bytes were written.
bool ROWIO(common::RawFile& IHAND, std::int32_t N, std::span<const float> BUF);

}  // namespace lumsk
