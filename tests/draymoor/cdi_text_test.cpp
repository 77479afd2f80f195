#include "draymoor/cdi_text.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>

#include "common/run_stop.hpp"

namespace draymoor {
namespace {

const std::string kFile = "survey.cdi";

float realOf(std::string_view field) {
    float value = -777.0f;
    readRealField(field, value, FieldSource{&kFile, 7});
    return value;
}

TEST(CdiText, ReadsEverySpellingOfAListItemNumber) {
    EXPECT_EQ(realOf("-0.25"), -0.25f);
    EXPECT_EQ(realOf("1.5E-3"), 0.0015f);
    EXPECT_EQ(realOf(".5"), 0.5f);
    // Correct rounding of a decimal to float: 0.1 is 0x3DCCCCCD.
    EXPECT_EQ(std::bit_cast<std::uint32_t>(realOf("0.1")), 0x3DCCCCCDU);
    // Forms only the list reading knows: a plus sign, D exponent, an
    // exponent without letter, a repeat count, a value before a comma.
    EXPECT_EQ(realOf("+7"), 7.0f);
    EXPECT_EQ(realOf("1.5D3"), 1500.0f);
    EXPECT_EQ(realOf("1.5+3"), 1500.0f);
    EXPECT_EQ(realOf("3*0.5"), 0.5f);
    EXPECT_EQ(realOf("2.5,9"), 2.5f);
    // Too large for a float: infinity, as a list read gives.
    EXPECT_EQ(realOf("1.0e40"), std::bit_cast<float>(0x7F800000U));
    // A null item leaves the value as it was.
    EXPECT_EQ(realOf(","), -777.0f);
}

TEST(CdiText, AFieldThatIsNoNumberStopsTheRunNamingFileLineAndText) {
    for (const char* field : {"abc", "1.5abc", "1e", "--1", "0x1A"}) {
        try {
            realOf(field);
            ADD_FAILURE() << field << " was read as a number";
        } catch (const common::RunStop& stop) {
            const std::string what = stop.what();
            EXPECT_NE(what.find("survey.cdi"), std::string::npos) << what;
            EXPECT_NE(what.find('7'), std::string::npos) << what;
            EXPECT_NE(what.find(field), std::string::npos) << what;
        }
    }
    std::int32_t count = 0;
    EXPECT_THROW(readIntegerField("3.0", count, FieldSource{&kFile, 2}), common::RunStop);
}

}  // namespace
}  // namespace draymoor
