#pragma once
// Numbers as text for the gridding log: fixed-point fields of a given width
// and number of decimals, asterisks when a value does not fit.
#include <cstdint>
#include <string>

namespace lumsk {

// REAL2CHAR writes RNUM in the edit format (fWIDTH.DECS) into the first WIDTH
// characters of TEXT, right-justified, blanks the rest of TEXT and returns the
// length of TEXT without trailing blanks. TEXT keeps its length, and is
// lengthened to WIDTH when it is shorter. DECS 0 still ends in a point
// ("512."); a value that does not fit gives WIDTH asterisks.
std::int32_t REAL2CHAR(float RNUM, std::int32_t WIDTH, std::int32_t DECS, std::string& TEXT);

// INT2CHAR writes INUM right-justified in the first 12 characters of TEXT
// (lengthened to 12 when shorter), blanks the rest and returns the length of
// TEXT without trailing blanks.
std::int32_t INT2CHAR(std::int32_t INUM, std::string& TEXT);

}  // namespace lumsk
