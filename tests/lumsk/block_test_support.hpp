#pragma once
// Helpers shared by the tests of point sorting, coarse-to-fine interpolation
// and the block loop: a MINC state with a given block layout, point data
// files, and the records of the data-sorting file read back from its bytes.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "lumsk/minc_state.hpp"
#include "support/temp_folder.hpp"

namespace tests {

inline constexpr float kTestNull = -1.0E32f;

// A state whose settings hold the layout of NSECT x NTIER blocks of NCB x NRB
// nodes over an NXT x NYT padded grid, unit cells and the null -1.0E32.
struct LayoutState {
    LayoutState(std::int32_t NXT, std::int32_t NYT, std::int32_t NCB, std::int32_t NRB, std::int32_t NSECT,
                std::int32_t NTIER, std::int32_t NOVL)
        : state(lumsk::LibraryBuild::narrowOutline, risingSweeps) {
        lumsk::MincSettings& s = state.settings;
        s.NXT = NXT;
        s.NYT = NYT;
        s.NCB = NCB;
        s.NRB = NRB;
        s.NSECT = NSECT;
        s.NTIER = NTIER;
        s.NOVL = NOVL;
        s.DX = 1.0f;
        s.DY = 1.0f;
        s.DNULL = kTestNull;
        s.ZCHAN = 1;
        s.workingColumns = NXT - 4;
        s.workingRows = NYT - 4;
        s.blockRecordWords = NCB * NRB;
    }
    std::int32_t risingSweeps = 0;
    lumsk::MincState state;
};

// Writes point data records (x, y, channels...) as raw float32.
inline void writePointFile(const std::string& path, const std::vector<std::vector<float>>& records,
                           const std::string& trailingBytes = {}) {
    std::string bytes;
    for (const auto& record : records) {
        bytes.append(reinterpret_cast<const char*>(record.data()), record.size() * sizeof(float));
    }
    bytes += trailingBytes;
    writeFileBytes(path, bytes);
}

struct SortingRecord {
    std::int32_t next = 0;
    std::int32_t count = 0;
    std::vector<float> values;  // every slot, used or not
};

// Record r (1-based) of a data-sorting file of RL-word records.
inline SortingRecord sortingRecord(const std::string& bytes, std::int32_t RL, std::int32_t r) {
    SortingRecord record;
    const std::size_t offset = static_cast<std::size_t>(r - 1) * static_cast<std::size_t>(RL) * 4;
    if (bytes.size() < offset + static_cast<std::size_t>(RL) * 4) {
        record.next = -999;  // not in the file
        return record;
    }
    std::memcpy(&record.next, bytes.data() + offset, 4);
    std::memcpy(&record.count, bytes.data() + offset + 4, 4);
    record.values.resize(static_cast<std::size_t>(RL - 2));
    std::memcpy(record.values.data(), bytes.data() + offset + 8, record.values.size() * 4);
    return record;
}

// The points (u, v, z triples) of block `block`'s chain, in chain order.
inline std::vector<float> chainPoints(const std::string& bytes, std::int32_t RL, std::int32_t block) {
    std::vector<float> points;
    std::int32_t r = block;
    for (int guard = 0; guard < 100000 && r > 0; ++guard) {
        const SortingRecord record = sortingRecord(bytes, RL, r);
        points.insert(points.end(), record.values.begin(), record.values.begin() + 3 * record.count);
        r = record.next;
    }
    return points;
}

// Float32 values stored as little-endian bytes, the layout of every scratch
// file of the gridder.
inline std::vector<float> floatsOf(const std::string& bytes) {
    std::vector<float> values(bytes.size() / 4);
    std::memcpy(values.data(), bytes.data(), values.size() * 4);
    return values;
}

}  // namespace tests
