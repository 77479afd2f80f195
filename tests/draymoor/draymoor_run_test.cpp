// End-to-end runs of the draymoor program on hand-made CDI data files;
// expected rows are worked out by hand from the inputs.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.hpp"

namespace {

const std::string kProgram = PROGRAM_DIR "/draymoor/draymoor";
const std::string kData = TEST_DATA_DIR "/draymoor/";

const std::string kFrontEnd =
    " This program reads a Tempest CDI data file\n"
    " and converts it to a standard xyz data file. \n"
    "\n"
    "  Command line usage : \n"
    "    draymoor infile outfil\n"
    "\n";
const std::string kHeader = "Line,Dist,East,North,Depth,Con\n";

// two_lines.cdi: depths 10, 20, 30.
// Line 101, station 1001: level 100, conductivities 0.5, 0.0, 2.0 -> two
// rows at 110 and 130. Station 1002 (TAB-separated): level 101.5,
// conductivities -1.0, 0.125, 0.015 -> rows at 121.5 and 131.5.
const std::string kLine101Rows =
    "     101    0.00   500000.00  7000000.00  110.00      0.5000\n"
    "     101    0.00   500000.00  7000000.00  130.00      2.0000\n"
    "     101   13.46   500012.50  7000005.00  121.50      0.1250\n"
    "     101   13.46   500012.50  7000005.00  131.50      0.0150\n";
// Line 102 A, station 2001 holds only its first conductivity (1.25); the
// other two keep 0.125 and 0.015 from station 1002. Level 98.25. Station
// 2002 has no positive conductivity.
const std::string kLine102Rows =
    "     102    0.00   500100.00  7000100.00  108.25      1.2500\n"
    "     102    0.00   500100.00  7000100.00  118.25      0.1250\n"
    "     102    0.00   500100.00  7000100.00  128.25      0.0150\n";

TEST(DraymoorRun, WritesTheXyzFileAndOneFilePerLine) {
    tests::TempFolder folder;
    const auto result = tests::runProcess(kProgram, {kData + "two_lines.cdi", "survey.xyz"});
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    EXPECT_EQ(result.standardError, "");
    // The summary of a line comes when the next line header arrives; the
    // last line's summary is never shown.
    EXPECT_EQ(result.standardOutput, kFrontEnd +
                                         "  Processing the data file\n"
                                         " Processed line    101 Number output:      4\n");
    EXPECT_EQ(tests::readFileBytes("survey.xyz"), kHeader + kLine101Rows + kLine102Rows);
    EXPECT_EQ(tests::readFileBytes("101.dat"), kHeader + kLine101Rows);
    // The line header "Line 102 A" names the file "102 A.dat".
    EXPECT_EQ(tests::readFileBytes("102 A.dat"), kHeader + kLine102Rows);
}

// A CDI file of one depth list and `stations` data lines on line 7.
std::string cdiWithStations(int stations) {
    std::string text = "/3 Depths (m)\n/ 10.0 20.0 30.0\nLine 7\n";
    for (int station = 0; station < stations; ++station) {
        text += "0 1000.0 2000.0 50.0 0 ";
        text += std::to_string(station);
        text += " 0 0 0 0 0 0 0 0 0.5 0.25 0.125\n";
    }
    return text;
}

TEST(DraymoorRun, ShowsProgressEveryTwoHundredRowsOfALine) {
    tests::TempFolder folder;
    // 150 stations of three positive values: 450 rows.
    tests::writeFileBytes("long.cdi", cdiWithStations(150));
    const auto result = tests::runProcess(kProgram, {"long.cdi", "long.xyz"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, kFrontEnd +
                                         "  Processing the data file\n"
                                         "  Processed:          200\n"
                                         "  Processed:          400\n");
    const std::string xyz = tests::readFileBytes("long.xyz");
    EXPECT_EQ(xyz.size(), kHeader.size() + 450U * 61U);
    // Station 149 at depth 30: 50 + 30 = 80.
    EXPECT_EQ(xyz.substr(xyz.size() - 61), "       7  149.00     1000.00     2000.00   80.00      0.1250\n");
    EXPECT_EQ(tests::readFileBytes("7.dat"), xyz);
}

TEST(DraymoorRun, RowsBeforeTheFirstLineHeaderGoToTheXyzFileOnly) {
    tests::TempFolder folder;
    tests::writeFileBytes("early.cdi",
                          "/1 Depths (m)\n/ 5.0\n"
                          "0 10.0 20.0 1.0 0 3.0 0 0 0 0 0 0 0 0 4.0\n"
                          "Line 8\n"
                          "0 11.0 21.0 2.0 0 4.0 0 0 0 0 0 0 0 0 6.0\n");
    const auto result = tests::runProcess(kProgram, {"early.cdi", "early.xyz"});
    EXPECT_EQ(result.exitStatus, 0);
    // No line file was open at the header: no summary.
    EXPECT_EQ(result.standardOutput, kFrontEnd + "  Processing the data file\n");
    EXPECT_EQ(tests::readFileBytes("early.xyz"),
              kHeader +
                  "       0    3.00       10.00       20.00    6.00      4.0000\n"
                  "       8    4.00       11.00       21.00    7.00      6.0000\n");
    EXPECT_EQ(tests::readFileBytes("8.dat"), kHeader + "       8    4.00       11.00       21.00    7.00      6.0000\n");
}

TEST(DraymoorRun, AnInvalidDepthCountIsReportedAndTheRunGoesOnWithoutRows) {
    tests::TempFolder folder;
    tests::writeFileBytes("none.cdi", "/0 Depths (m)\nLine 3\n0 1 2 3 0 4 0 0 0 0 0 0 0 0 5.0\nLine 4\n");
    const auto result = tests::runProcess(kProgram, {"none.cdi", "none.xyz"});
    EXPECT_EQ(result.exitStatus, 0);
    EXPECT_EQ(result.standardOutput, kFrontEnd +
                                         "  Processing the data file\n"
                                         " The number of depths is invalid\n"
                                         " Processed line      3 Number output:      0\n");
    EXPECT_EQ(tests::readFileBytes("none.xyz"), kHeader);
    EXPECT_EQ(tests::readFileBytes("3.dat"), kHeader);
    EXPECT_EQ(tests::readFileBytes("4.dat"), kHeader);
}

TEST(DraymoorRun, AsksForNamesWhenNoneAreGiven) {
    tests::TempFolder folder;
    std::filesystem::create_directory("in");
    tests::writeFileBytes("in/a.cdi", "/1 Depths (m)\n/ 5.0\nLine 1\n0 1 2 3 0 4 0 0 0 0 0 0 0 0 5.0\n");
    // A slash belongs to a typed name; a blank ends it.
    const auto result = tests::runProcess(kProgram, {}, "in/a.cdi\nout.xyz ignored\n");
    EXPECT_EQ(result.exitStatus, 0) << result.standardError;
    EXPECT_EQ(result.standardOutput, kFrontEnd +
                                         "\n Enter name of the input file : "
                                         "\n Enter name of the output xyz data file : "
                                         "  Processing the data file\n");
    EXPECT_EQ(tests::readFileBytes("out.xyz"), kHeader + "       1    4.00        1.00        2.00    8.00      5.0000\n");
}

struct StopCase {
    const char* name;
    const char* input;
    const char* xyz;         // the xyz data file at the end
    const char* diagnostic;  // a part of the standard error line
};

const StopCase kStopCases[] = {
    {"no depth count line", "/ nothing here\nLine 1\n", "Line,Dist,East,North,Depth,Con\n", "ends before"},
    {"input ends inside the depth list", "/3 Depths (m)\n/ 1.0 2.0\n", "Line,Dist,East,North,Depth,Con\n",
     "ends before"},
    {"more than 128 depths", "/200 Depths (m)\n", "Line,Dist,East,North,Depth,Con\n", "200 depths"},
    {"a blank before the depth count", "/ 3 Depths (m)\n/ 1 2 3\n", "Line,Dist,East,North,Depth,Con\n",
     "line 1"},
    {"a depth line left blank", "/2 Depths (m)\n/ 10.0\n/   \n/ 20.0\n", "Line,Dist,East,North,Depth,Con\n",
     "line 3"},
    {"a depth that is no number", "/2 Depths (m)\n/ 10.0 deep\n", "Line,Dist,East,North,Depth,Con\n", "deep"},
    {"a conductivity that is no number",
     "/1 Depths (m)\n/ 5.0\nLine 1\n0 1 2 3 0 4 0 0 0 0 0 0 0 0 5.0\n0 1 2 3 0 4 0 0 0 0 0 0 0 0 high\n",
     "Line,Dist,East,North,Depth,Con\n       1    4.00        1.00        2.00    8.00      5.0000\n",
     "line 5"},
};

TEST(DraymoorRun, StopsWithExitStatusOneOnInputItCannotUse) {
    for (const StopCase& stop : kStopCases) {
        SCOPED_TRACE(stop.name);
        tests::TempFolder folder;
        tests::writeFileBytes("bad.cdi", stop.input);
        const auto result = tests::runProcess(kProgram, {"bad.cdi", "bad.xyz"});
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_EQ(result.standardOutput, kFrontEnd + "  Processing the data file\n");
        EXPECT_EQ(tests::readFileBytes("bad.xyz"), stop.xyz);
        EXPECT_NE(result.standardError.find(stop.diagnostic), std::string::npos) << result.standardError;
    }
}

TEST(DraymoorRun, AMissingInputStopsBeforeAnythingIsWritten) {
    tests::TempFolder folder;
    const auto result = tests::runProcess(kProgram, {"absent.cdi", "out.xyz"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.standardOutput, kFrontEnd + " that file does not exist\n");
    EXPECT_NE(result.standardError.find("absent.cdi"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists("out.xyz"));
}

TEST(DraymoorRun, NeverWritesOverItsInput) {
    // Line 1 has one row (depth 5 + level 3, conductivity 5); line 2 follows.
    const std::string input = "/1 Depths (m)\n/ 5.0\nLine 1\n0 1 2 3 0 4 0 0 0 0 0 0 0 0 5.0\n"
                              "Line 2\n0 1 2 3 0 4 0 0 0 0 0 0 0 0 6.0\n";
    const std::string line1Row = "       1    4.00        1.00        2.00    8.00      5.0000\n";
    struct Clash {
        const char* name;
        const char* inputName;
        const char* output;    // the xyz data file argument
        const char* hardLink;  // a second name of the input, or nullptr
        std::string consoleEnd;
        std::string xyz;       // out.xyz at the end, when it is the output
    };
    const std::vector<Clash> clashes = {
        {"the xyz data file by the input's name", "in.cdi", "in.cdi", nullptr, "", ""},
        {"the xyz data file with ./", "in.cdi", "./in.cdi", nullptr, "", ""},
        {"the xyz data file as a hard link", "in.cdi", "link.xyz", "link.xyz", "", ""},
        {"the first line data file as a hard link", "in.cdi", "out.xyz", "1.dat", "", kHeader},
        {"the second line data file by the input's name", "2.dat", "out.xyz", nullptr,
         " Processed line      1 Number output:      1\n", kHeader + line1Row},
    };
    for (const Clash& clash : clashes) {
        SCOPED_TRACE(clash.name);
        tests::TempFolder folder;
        tests::writeFileBytes(clash.inputName, input);
        if (clash.hardLink != nullptr) std::filesystem::create_hard_link(clash.inputName, clash.hardLink);
        const auto result = tests::runProcess(kProgram, {clash.inputName, clash.output});
        EXPECT_EQ(result.exitStatus, 1);
        EXPECT_EQ(result.standardOutput, kFrontEnd + "  Processing the data file\n" + clash.consoleEnd);
        EXPECT_NE(result.standardError.find(clash.inputName), std::string::npos) << result.standardError;
        EXPECT_EQ(tests::readFileBytes(clash.inputName), input);
        if (std::string(clash.output) == "out.xyz") {
            EXPECT_EQ(tests::readFileBytes("out.xyz"), clash.xyz);
        }
    }
}

TEST(DraymoorRun, NeverWritesALineDataFileOverTheXyzDataFile) {
    const std::string input = "/1 Depths (m)\n/ 5.0\nLine 1\n0 1 2 3 0 4 0 0 0 0 0 0 0 0 5.0\n"
                              "Line 2\n0 1 2 3 0 4 0 0 0 0 0 0 0 0 6.0\n";
    tests::TempFolder folder;
    tests::writeFileBytes("in.cdi", input);
    const auto result = tests::runProcess(kProgram, {"in.cdi", "./2.dat"});
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.standardError.find("2.dat"), std::string::npos) << result.standardError;
    // The xyz data file keeps line 1's row; line 2 never truncated it.
    EXPECT_EQ(tests::readFileBytes("2.dat"),
              kHeader + "       1    4.00        1.00        2.00    8.00      5.0000\n");
}

}  // namespace
