#include <gtest/gtest.h>

#include <string>

#include "haverel/survey_rows.hpp"

namespace haverel {
namespace {

Sample exampleSample() {
    Sample s;
    s.east = 455012.5;
    s.north = 6760000.4;
    s.radAlt = 121.0;
    s.barAlt = 311.0;
    s.TC = 0.523;
    s.finalMag = 57890.27;
    for (int k = 0; k < kEmChannels; ++k) s.channels[static_cast<std::size_t>(k)] = 900 - 50 * k;
    s.channels[3] = -99999;  // a marker, too wide for its column
    return s;
}

// The rows formatted once and copied are the rows formatted one by one.
TEST(SharedRows, EmRowsAndMagRowMatchTheRowsFormattedAlone) {
    const Sample s = exampleSample();
    std::string em = "earlier row\n";
    std::string emData = "x\n";
    std::string mag = "y\n";
    const std::size_t emRowAt = appendEmRows(em, emData, 1010, 3, -37.25, s);
    appendMagRowAfterEmRow(mag, em, emRowAt, s);

    std::string emAlone = "earlier row\n";
    std::string emDataAlone = "x\n";
    std::string magAlone = "y\n";
    appendEmRow(emAlone, 1010, 3, s);
    appendEmDataRow(emDataAlone, -37.25, s);
    appendMagRow(magAlone, 1010, 3, s);
    EXPECT_EQ(emRowAt, 12U);
    EXPECT_EQ(em, emAlone);
    EXPECT_EQ(emData, emDataAlone);
    EXPECT_EQ(mag, magAlone);
    // Hand check of the mag row: I8, I4, then F10.1 east, F11.1 north, ...
    EXPECT_EQ(mag.substr(2, 33), "    1010   3  455012.5  6760000.4");
    EXPECT_EQ(mag.substr(mag.size() - 13), "    57890.27\n");
}

}  // namespace
}  // namespace haverel
