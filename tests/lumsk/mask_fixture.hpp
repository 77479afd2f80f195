#pragma once
// Hand-made mask files for the mask routine tests: a mask is drawn as lines of
// code digits, the first line being mask row 1, and read back the same way.
#include <cstdint>
#include <string>
#include <vector>

#include "common/platform.hpp"
#include "lumsk/mask_file.hpp"
#include "lumsk/minc_state.hpp"

namespace tests {

using MaskPicture = std::vector<std::string>;

// A mask file "~mincms.tmp" in the working folder holding the picture, with
// a state whose record length fits it.
class MaskFixture {
public:
    explicit MaskFixture(const MaskPicture& picture, lumsk::LibraryBuild build = lumsk::LibraryBuild::narrowOutline)
        : state(build, risingSweeps) {
        rows = static_cast<std::int32_t>(picture.size());
        columns = static_cast<std::int32_t>(picture.front().size());
        state.settings.maskRecordWords = lumsk::maskRecordWords(columns);
        file = common::RawFile::create(lumsk::kMaskFileName);
        lumsk::MaskHeader header;
        header.columns = columns;
        header.rows = rows;
        lumsk::writeEmptyMask(file, header);
        std::int32_t ierr = 0;
        for (std::int32_t k = 1; k <= rows; ++k) {
            std::vector<std::int32_t> codes;
            for (char c : picture[static_cast<std::size_t>(k - 1)]) codes.push_back(c - '0');
            lumsk::ROWDA(state, file, columns, codes.data(), 0, k, ierr);
        }
    }

    MaskPicture read() {
        MaskPicture picture;
        std::vector<std::int32_t> codes(static_cast<std::size_t>(columns));
        std::int32_t ierr = 0;
        for (std::int32_t k = 1; k <= rows; ++k) {
            lumsk::ROWMSK(state, columns, codes.data(), k, file, ierr);
            std::string line;
            for (std::int32_t code : codes) line.push_back(static_cast<char>('0' + code));
            picture.push_back(line);
        }
        return picture;
    }

    std::int32_t risingSweeps = 0;
    lumsk::MincState state;
    common::RawFile file;
    std::int32_t rows = 0;
    std::int32_t columns = 0;
};

}  // namespace tests
