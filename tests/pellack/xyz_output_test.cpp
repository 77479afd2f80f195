#include "pellack/xyz_output.hpp"

#include <gtest/gtest.h>

namespace pellack {
namespace {

TEST(XyzOutput, FrequencyNamesAreRoundedHalvesAwayFromZero) {
    EXPECT_EQ(frequencyName(56000.4f), "56000Hz");
    EXPECT_EQ(frequencyName(899.5f), "900Hz");
    EXPECT_EQ(frequencyName(9999999.0f), "9999999Hz");
    // Eight digits do not fit the 7-character field.
    EXPECT_EQ(frequencyName(10000000.0f), "*******Hz");
}

TEST(XyzOutput, AnEntryWithoutComponentLetterHasNoColumns) {
    FrequencyTable table;
    table.place(899.5f);
    table.noteTypeLetter(0, TypeLetter::quadrature);
    table.place(56000.4f);
    EXPECT_EQ(headerLine(table), "Dist,X,Y,Z,q900Hz_obs,q900Hz_prd,q900Hz_err");
    ValueTable values{};
    values[0].slots[kQuadratureResidual] = 100000.0f;  // "100000.0000" needs 11 characters
    std::string row;
    appendRow(row, SoundingPosition{}, table, values);
    EXPECT_EQ(row.size(), 51U + 33U);
    EXPECT_EQ(row.substr(51), ",      0.00,      0.00,**********");
}

}  // namespace
}  // namespace pellack
