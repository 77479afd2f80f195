// End-to-end runs of the pellack program on real EM1DFM data files and on
// small hand-made ones; expected rows are worked out by hand from the inputs.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_folder.hpp"

namespace {

const std::string kProgram = PROGRAM_DIR "/pellack/pellack";
const std::string kData = TEST_DATA_DIR "/pellack/";

const std::string kFrontEnd =
    " This program reads an EM1DFM obs and prd data files\n"
    " and converts them to standard xyz data format\n"
    "\n"
    "  Command line usage : \n"
    "    pellack obs prd outfile\n"
    "\n";

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// "Dist,X,Y,Z" and both component groups of every frequency name.
std::string headerFor(std::initializer_list<const char*> names) {
    std::string header = "Dist,X,Y,Z";
    for (const char* name : names) {
        for (const char* component : {"i", "q"}) {
            for (const char* suffix : {"_obs", "_prd", "_err"}) {
                header.append(",").append(component).append(name).append("Hz").append(suffix);
            }
        }
    }
    return header;
}

// The three fields of one column group.
std::string group(const char* observed, const char* predicted, const char* residual) {
    return std::string(",") + observed + "," + predicted + "," + residual;
}
const std::string kMissingGroup = ", -99999.00, -99999.00,**********";

TEST(PellackRun, ConvertsTheTwentyNineSoundingsOfTheLineExample) {
    tests::TempFolder folder;
    const auto result = tests::runProcess(kProgram, {kData + "ubc4y350.obs", kData + "ubc4y350.prd", "out.xyz"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardError, "");
    EXPECT_EQ(result.standardOutput, kFrontEnd +
                                         "  Processing data file\n"
                                         "  Number of soundings :           29\n");

    const auto lines = linesOf(tests::readFileBytes("out.xyz"));
    ASSERT_EQ(lines.size(), 30U);
    // Ten frequencies listed from 56320 Hz down to 110 Hz, all with both
    // components: columns in ascending order.
    EXPECT_EQ(lines[0], headerFor({"110", "220", "440", "880", "1760", "3520", "7040", "14080", "28160", "56320"}));

    // Sounding 1 at (0, 350), Z -30, absolute errors ("v").
    // 110 Hz: obs 4.2088 30.879 err 0.5 0.5, prd 3.5909 31.775:
    //   (4.2088 - 3.5909) / 0.5 = 1.2358; (30.879 - 31.775) / 0.5 = -1.792.
    // 56320 Hz: obs 2601.9 2045.4 err 26.042 20.620, prd 2591.7 2038.4:
    //   10.2 / 26.042 = 0.39167; 7.0 / 20.62 = 0.33948.
    const std::string& first = lines[1];
    ASSERT_EQ(first.size(), 51U + 20U * 33U);
    EXPECT_EQ(first.substr(0, 51), "         0.0,         0.0,       350.0,       -30.0");
    EXPECT_EQ(first.substr(51, 66), group("      4.21", "      3.59", "    1.2358") +
                                        group("     30.88", "     31.77", "   -1.7920"));
    EXPECT_EQ(first.substr(51 + 18 * 33), group("   2601.90", "   2591.70", "    0.3917") +
                                              group("   2045.40", "   2038.40", "    0.3395"));

    // Sounding 29 at (700, 350): 700 from the first.
    // 110 Hz: obs 4.1608 31.389, prd 3.7353 32.110: 0.851 and -1.442.
    // 56320 Hz: obs 2602.1 2045.2 err 26.044 20.618, prd 2594.3 2042.0:
    //   7.8 / 26.044 = 0.29950; 3.2 / 20.618 = 0.15520.
    const std::string& last = lines[29];
    EXPECT_EQ(last.substr(0, 51), "       700.0,       700.0,       350.0,       -30.0");
    EXPECT_EQ(last.substr(51, 66), group("      4.16", "      3.74", "    0.8510") +
                                       group("     31.39", "     32.11", "   -1.4420"));
    EXPECT_EQ(last.substr(51 + 18 * 33), group("   2602.10", "   2594.30", "    0.2995") +
                                             group("   2045.20", "   2042.00", "    0.1552"));
}

TEST(PellackRun, ConvertsTheSingleSoundingExampleWithFrequenciesOutOfOrder) {
    tests::TempFolder folder;
    const auto result = tests::runProcess(kProgram, {kData + "test.obs", kData + "test.prd", "test.xyz"});
    EXPECT_EQ(result.exitStatus, 0);
    // The observed file goes on with a noise table after its one sounding;
    // it is never reached.
    // Residuals with absolute errors, e.g. 1082 Hz in-phase:
    // (-0.52295 - -1.5804) / 1.0 = 1.05745, just above the tie in float.
    EXPECT_EQ(tests::readFileBytes("test.xyz"),
              headerFor({"880", "1082", "5848", "7213", "55840"}) +
                  "\n         0.0,         0.0,         0.0,       -40.0" +
                  group("     -7.87", "     -7.44", "   -0.4273") + group("     30.81", "     30.86", "   -0.0280") +
                  group("     -0.52", "     -1.58", "    1.0575") + group("     11.10", "      9.41", "    1.6914") +
                  group("     11.16", "     11.23", "   -0.0740") + group("     43.87", "     43.45", "    0.1972") +
                  group("     67.11", "     64.83", "    0.6516") + group("    206.85", "    204.96", "    0.1873") +
                  group("    260.75", "    284.50", "   -1.8047") + group("    210.18", "    207.09", "    0.2788") +
                  "\n");
}

TEST(PellackRun, ShowsProgressEveryHundredRows) {
    // The GIFtools file has no predicted partner: paired with itself, the
    // predicted values are the observed ones and every residual is 0.
    tests::TempFolder folder;
    const auto result = tests::runProcess(kProgram, {kData + "FEM1D.obs", kData + "FEM1D.obs", "self.xyz"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, kFrontEnd +
                                         "  Processing data file\n"
                                         "  Number of soundings :          310\n"
                                         "  Processed:          100\n"
                                         "  Processed:          200\n"
                                         "  Processed:          300\n");
    const auto lines = linesOf(tests::readFileBytes("self.xyz"));
    ASSERT_EQ(lines.size(), 311U);
    // UTM coordinates in float: 556150.48 is 556150.5, 7134404.4 is 7134404.5.
    EXPECT_EQ(lines[1], "         0.0,    556150.5,   7134404.5,       -40.0" +
                            group("      0.91", "      0.91", "    0.0000") +
                            group("      6.70", "      6.70", "    0.0000") +
                            group("     -1.62", "     -1.62", "    0.0000") +
                            group("     23.49", "     23.49", "    0.0000") +
                            group("      6.06", "      6.06", "    0.0000") +
                            group("    119.96", "    119.96", "    0.0000"));
    // Last sounding (558349.5, 7133595.5): 2199 east and -809 north of the
    // first, sqrt(2199^2 + 809^2) = 2343.09.
    EXPECT_EQ(lines[310], "      2343.1,    558349.5,   7133595.5,       -40.0" +
                              group("     -0.56", "     -0.56", "    0.0000") +
                              group("      3.40", "      3.40", "    0.0000") +
                              group("      1.61", "      1.61", "    0.0000") +
                              group("     21.82", "     21.82", "    0.0000") +
                              group("      6.09", "      6.09", "    0.0000") +
                              group("    113.78", "    113.78", "    0.0000"));
}

// carry_over.obs/.prd: four soundings that exercise the carry-over rules:
// 1: 900 Hz in-phase only (percent errors), 1800 Hz both with "V" errors;
// 2: 900.005 Hz (the 900 Hz entry) quadrature only, 1800 Hz absent, 0.5 m
//    off in X between the files;
// 3: no frequencies in the predicted file (whose count governs), 1.0 m off in Y;
// 4: 1800 Hz without an error-mode token: its absolute errors carry over.
TEST(PellackRun, AppliesTheCarryOverRulesBetweenSoundings) {
    tests::TempFolder folder;
    const auto result =
        tests::runProcess(kProgram, {kData + "carry_over.obs", kData + "carry_over.prd", "a.xyz"});
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    const auto lines = linesOf(tests::readFileBytes("a.xyz"));
    ASSERT_EQ(lines.size(), 5U);
    // 900 Hz met with I and then Q: both components.
    EXPECT_EQ(lines[0], headerFor({"900", "1800"}));
    // 900 Hz in-phase: E = 10 * 5 / 100 = 0.5, (10 - 9) / 0.5 = 2; its
    // quadrature has no observed data. 1800 Hz: (20 - 19) / 2, (40 - 44) / 4.
    EXPECT_EQ(lines[1], "         0.0,       100.0,       200.0,       -35.0" +
                            group("     10.00", "      9.00", "    2.0000") + kMissingGroup +
                            group("     20.00", "     19.00", "    0.5000") +
                            group("     40.00", "     44.00", "   -1.0000"));
    // 900 Hz quadrature: E = 30 * 2 / 100 = 0.6, (30 - 31) / 0.6 = -1.6667.
    EXPECT_EQ(lines[2], "         5.0,       103.0,       204.0,       -40.0" + kMissingGroup +
                            group("     30.00", "     31.00", "   -1.6667") + kMissingGroup + kMissingGroup);
    // No frequencies: Z stays that of the sounding before.
    EXPECT_EQ(lines[3], "         0.0,       100.0,       200.0,       -40.0" + kMissingGroup + kMissingGroup +
                            kMissingGroup + kMissingGroup);
    // Absolute errors still: (20 - 19) / 2 and (40 - 44) / 4 again (as
    // percentages they would give 2.5 and -2.5).
    EXPECT_EQ(lines[4], "        10.0,       106.0,       208.0,       -45.0" + kMissingGroup + kMissingGroup +
                            group("     20.00", "     19.00", "    0.5000") +
                            group("     40.00", "     44.00", "   -1.0000"));
}

TEST(PellackRun, AskForNamesWhenNoneAreGiven) {
    tests::TempFolder folder;
    tests::writeFileBytes("zero.obs", "0\n");
    tests::writeFileBytes("zero.prd", "0\n");
    const auto result = tests::runProcess(kProgram, {}, "zero.obs\n'zero.prd'\nzero.xyz extra\n");
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, kFrontEnd +
                                         "\n Enter name of the input obs file : "
                                         "\n Enter name of the input prd file : "
                                         "\n Enter name of the output xyz data file : "
                                         "  Processing data file\n"
                                         "  Number of soundings :            0\n");
    // No soundings: the header line alone.
    EXPECT_EQ(tests::readFileBytes("zero.xyz"), "Dist,X,Y,Z\n");
}

TEST(PellackRun, WritesRowsWholeBeyondTheOldThousandCharacterLimit) {
    // 16 frequencies of both components: 51 + 32 * 33 = 1107 characters a
    // row, past the 1024 a row once had room for.
    tests::TempFolder folder;
    std::string obs = "1\n0.0 0.0 16\n";
    std::string prd = obs;
    std::string expectedHeader = "Dist,X,Y,Z";
    std::string expectedRow = "         0.0,         0.0,         0.0,       -30.0";
    for (int k = 16; k >= 1; --k) {
        const std::string frequency = std::to_string(1000 * k);
        obs += frequency + ".0 1\n1.0 -30.0\nb v 3.0 4.0 0.5 0.25\n";
        prd += frequency + ".0 1\n1.0 -30.0\nb 2.0 2.0\n";
    }
    for (int k = 1; k <= 16; ++k) {
        const std::string name = std::to_string(1000 * k) + "Hz";
        for (const char* component : {"i", "q"}) {
            for (const char* suffix : {"_obs", "_prd", "_err"}) {
                expectedHeader += std::string(",") + component + name + suffix;
            }
        }
        // Absolute errors: (3 - 2) / 0.5 = 2 and (4 - 2) / 0.25 = 8.
        expectedRow += group("      3.00", "      2.00", "    2.0000") + group("      4.00", "      2.00", "    8.0000");
    }
    tests::writeFileBytes("wide.obs", obs);
    tests::writeFileBytes("wide.prd", prd);
    const auto result = tests::runProcess(kProgram, {"wide.obs", "wide.prd", "wide.xyz"});
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    ASSERT_EQ(expectedRow.size(), 1107U);
    EXPECT_EQ(tests::readFileBytes("wide.xyz"), expectedHeader + "\n" + expectedRow + "\n");
}

struct StopCase {
    std::string name;
    std::string obs;
    std::string prd;
    std::string consoleEnd;  // what follows " Processing data file"
    std::string xyz;         // the xyz data file at the end
    std::string diagnostic;  // a part of the standard error line
};

std::vector<StopCase> stopCases() {
    // One sounding of one frequency, both components with absolute errors.
    const std::string oneSounding = "1\n0.0 0.0 1\n1000.0 1\n1.0 -30.0\nb 1.0 2.0 v 0.5 0.5\n";
    const std::string oneCount = "  Number of soundings :            1\n";
    const std::string header = headerFor({"1000"}) + "\n";
    // 33 frequencies in one sounding.
    std::string many = "1\n0.0 0.0 33\n";
    for (int k = 1; k <= 33; ++k) many.append(std::to_string(100 * k)).append(".0 1\n1.0 -30.0\nb 1 2 3 4\n");
    return {
        {"counts differ", "2\n", "1\n",
         "  Number of soundings :            2\n  The number of soundings are not consistent :            1\n", "",
         "soundings"},
        {"location off by 1.0 and one float step", "2\n0.0 0.0 0\n25.0 350.0 0\n",
         "2\n0.0 0.0 0\n26.000002 350.0 0\n",
         "  Number of soundings :            2\n  The location of the sounding is not consistent :            2\n", "",
         "sounding 2"},
        {"two transmitters", "1\n0.0 0.0 1\n1000.0 2\n", "1\n0.0 0.0 1\n1000.0 2\n",
         oneCount + "  This program cannot handle multiple Tx\n", "", "transmitters"},
        {"a 33rd frequency", many, many, oneCount, "", "more than 32"},
        {"data line without a letter", oneSounding, "1\n0.0 0.0 1\n1000.0 1\n1.0 -30.0\n 1.0 2.0\n",
         oneCount + "  The data line was not valid\n", header, "line 5"},
        {"a number field that is no number", "1\n0.0 zero 1\n", "1\n0.0 0.0 1\n",
         oneCount + "  There was an error reading the specified data file\n", "", "zero"},
        {"a value token that is no number", oneSounding, "1\n0.0 0.0 1\n1000.0 1\n1.0 -30.0\nb 1.0 2.0x\n",
         oneCount, header, "2.0x"},
        {"too few value tokens", "1\n0.0 0.0 1\n1000.0 1\n1.0 -30.0\nb 1.0 2.0 v 0.5\n", oneSounding, oneCount,
         header, "fewer values"},
        {"a prd data file that lists more frequencies", oneSounding,
         "1\n0.0 0.0 2\n1000.0 1\n1.0 -30.0\nb 1.0 2.0\n2000.0 1\n1.0 -30.0\nb 1.0 2.0\n", oneCount, "",
         "the prd data file s.prd lists 2 frequencies, the obs data file s.obs only 1"},
        {"a file that ends early", "1\n0.0 0.0 1\n1000.0 1\n", "1\n0.0 0.0 1\n1000.0 1\n", oneCount, "",
         "ends early"},
    };
}

TEST(PellackRun, StopsOnInconsistentOrBrokenInputWithExitStatusOne) {
    for (const StopCase& stop : stopCases()) {
        SCOPED_TRACE(stop.name);
        tests::TempFolder folder;
        tests::writeFileBytes("s.obs", stop.obs);
        tests::writeFileBytes("s.prd", stop.prd);
        const auto result = tests::runProcess(kProgram, {"s.obs", "s.prd", "s.xyz"});
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_EQ(result.standardOutput, kFrontEnd + "  Processing data file\n" + stop.consoleEnd);
        EXPECT_EQ(tests::readFileBytes("s.xyz"), stop.xyz);
        EXPECT_NE(result.standardError.find(stop.diagnostic), std::string::npos) << result.standardError;
    }
}

TEST(PellackRun, StopsBeforeOpeningAnythingWhenAnInputIsMissing) {
    tests::TempFolder folder;
    tests::writeFileBytes("here.obs", "0\n");
    auto result = tests::runProcess(kProgram, {"absent.obs", "here.obs", "o.xyz"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.standardOutput, kFrontEnd + "  that file does not exist\n");
    EXPECT_NE(result.standardError.find("absent.obs"), std::string::npos);

    // The prd name is asked for; the test follows the reply at once.
    result = tests::runProcess(kProgram, {"here.obs"}, "absent.prd\n");
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.standardOutput,
              kFrontEnd + "\n Enter name of the input prd file : " + "  that file does not exist\n");
    EXPECT_FALSE(std::filesystem::exists("o.xyz"));
}

TEST(PellackRun, AFrequencyAboveTheToleranceOfAFloatKeepsOneEntry) {
    // The same two soundings at 1000 Hz and at 300000 Hz must give the same
    // file but for the column names: one frequency entry, not one per sounding.
    const auto convert = [](const std::string& frequency) {
        tests::TempFolder folder;
        std::string obs = "2\n";
        std::string prd = "2\n";
        for (const char* x : {"0.0", "100.0"}) {
            obs += std::string(x) + " 0.0 1\n" + frequency + " 1\n1.0 -30.0\nb 3.0 4.0 v 0.5 0.25\n";
            prd += std::string(x) + " 0.0 1\n" + frequency + " 1\n1.0 -30.0\nb 2.0 2.0\n";
        }
        tests::writeFileBytes("f.obs", obs);
        tests::writeFileBytes("f.prd", prd);
        const auto result = tests::runProcess(kProgram, {"f.obs", "f.prd", "f.xyz"});
        EXPECT_EQ(result.exitStatus, 0) << result.standardError;
        return tests::readFileBytes("f.xyz");
    };
    std::string low = convert("1000.0");
    ASSERT_EQ(low.find(headerFor({"1000"}) + "\n"), 0U);
    for (std::size_t at; (at = low.find("1000Hz")) != std::string::npos;) low.replace(at, 6, "300000Hz");
    EXPECT_EQ(convert("300000.0"), low);
}

TEST(PellackRun, NeverWritesOverAnInput) {
    const std::string obs = "1\n0.0 0.0 1\n1000.0 1\n1.0 -30.0\nb 1.0 2.0 v 0.5 0.5\n";
    const std::string prd = "1\n0.0 0.0 1\n1000.0 1\n1.0 -30.0\nb 1.0 2.0\n";
    struct Clash {
        const char* name;
        const char* input;   // the data file the output lands on
        const char* output;  // how the output is named
        bool hardLink;
    };
    for (const Clash& clash : {Clash{"the obs name", "a.obs", "a.obs", false},
                               Clash{"the prd name with ./", "a.prd", "./a.prd", false},
                               Clash{"a hard link to the obs file", "a.obs", "link.xyz", true},
                               Clash{"a hard link to the prd file", "a.prd", "link.xyz", true}}) {
        SCOPED_TRACE(clash.name);
        tests::TempFolder folder;
        tests::writeFileBytes("a.obs", obs);
        tests::writeFileBytes("a.prd", prd);
        if (clash.hardLink) std::filesystem::create_hard_link(clash.input, clash.output);
        const auto result = tests::runProcess(kProgram, {"a.obs", "a.prd", clash.output});
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_EQ(result.standardOutput, kFrontEnd + "  Processing data file\n");
        EXPECT_NE(result.standardError.find(clash.output), std::string::npos) << result.standardError;
        EXPECT_NE(result.standardError.find(clash.input), std::string::npos) << result.standardError;
        EXPECT_EQ(tests::readFileBytes("a.obs"), obs);
        EXPECT_EQ(tests::readFileBytes("a.prd"), prd);
    }
}

}  // namespace
