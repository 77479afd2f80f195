// Number text of the gridding log: fixed-point fields, asterisks on overflow.
#include <gtest/gtest.h>

#include <string>

#include "lumsk/number_text.hpp"

namespace {

struct Text {
    std::string text;
    int length;
};

Text real(float value, int width, int decimals, std::size_t textLength = 20) {
    std::string text(textLength, 'x');
    const int length = lumsk::REAL2CHAR(value, width, decimals, text);
    return {text, length};
}

TEST(NumberText, FixedPointFieldsOfTheLog) {
    // The log's parameter lines: 12.0, 12.4, 14.2 and 12.3 fields.
    EXPECT_EQ(real(512.0f, 12, 0).text, "        512.        ");
    EXPECT_EQ(real(512.0f, 12, 0).length, 12);
    EXPECT_EQ(real(25.0f, 12, 4).text, "     25.0000        ");
    EXPECT_EQ(real(-20.25f, 14, 2).text, "        -20.25      ");
    EXPECT_EQ(real(206.0f, 12, 3).text, "     206.000        ");
    // The block table's 10.4 and 4.0 fields.
    EXPECT_EQ(real(0.5f, 10, 4).text, "    0.5000          ");
    EXPECT_EQ(real(7.0f, 4, 0).text, "  7.                ");
    // Rounded to the decimals asked for; a sign and a leading 0 when there is room.
    EXPECT_EQ(real(2.75f, 4, 0).text.substr(0, 4), "  3.");
    EXPECT_EQ(real(-0.4f, 6, 2).text.substr(0, 6), " -0.40");
}

TEST(NumberText, ValuesThatDoNotFitGiveAsterisks) {
    const Text null = real(-1.0E32f, 12, 3);
    EXPECT_EQ(null.text, "************        ");
    EXPECT_EQ(null.length, 12);
    EXPECT_EQ(real(12345.0f, 4, 0).text.substr(0, 4), "****");
    // The 0 before the point goes first when the field is one too narrow.
    EXPECT_EQ(real(0.25f, 4, 3).text.substr(0, 4), ".250");
}

TEST(NumberText, TextIsBlankedAndItsLengthCounted) {
    Text zero = real(0.0f, 4, 0, 4);
    EXPECT_EQ(zero.text, "  0.");
    EXPECT_EQ(zero.length, 4);
    // A text shorter than the field is lengthened to hold it.
    std::string shortText;
    EXPECT_EQ(lumsk::REAL2CHAR(1.5f, 6, 1, shortText), 6);
    EXPECT_EQ(shortText, "   1.5");
    // Width 0 writes nothing: the whole text is blank.
    std::string blankText = "abc";
    EXPECT_EQ(lumsk::REAL2CHAR(1.0f, 0, 0, blankText), 0);
    EXPECT_EQ(blankText, "   ");
}

TEST(NumberText, IntegersRightJustifiedInTwelve) {
    std::string text(16, 'x');
    EXPECT_EQ(lumsk::INT2CHAR(42, text), 12);
    EXPECT_EQ(text, "          42    ");
    EXPECT_EQ(lumsk::INT2CHAR(-2147483647 - 1, text), 12);
    EXPECT_EQ(text, " -2147483648    ");
    std::string shortText = "ab";
    EXPECT_EQ(lumsk::INT2CHAR(-7, shortText), 12);
    EXPECT_EQ(shortText, "          -7");
}

}  // namespace
