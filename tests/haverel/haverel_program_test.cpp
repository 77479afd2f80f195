// End-to-end runs of the haverel binary in a temporary folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "haverel/sample_lines.hpp"
#include "support/temp_folder.hpp"

namespace {

const std::string kProgram = PROGRAM_DIR "/haverel/haverel";

const std::string kBanner =
    "\n"
    "                 *******************************************\n"
    "                 *                                         *\n"
    "                 *               haverel                   *\n"
    "                 *                                         *\n"
    "                 *      a program to convert Questem       *\n"
    "                 *          formatted data files           *\n"
    "                 *                                         *\n"
    "                 *                                         *\n"
    "                 *******************************************\n"
    "\n"
    "  Command line usage : \n"
    "    haverel filin dirout filout chnfil {Unix:Y/N}\n"
    "\n";

std::string surveyFile(int lineNumber, int groups) {
    haverel_tests::LineValues v;
    std::string text = "* Questem survey\r\n" + std::to_string(lineNumber) + " 0 1 0\r\nsecond header line\r\n";
    text += haverel_tests::fullLine(v) + "\r\n";
    for (int g = 0; g < groups; ++g) {
        for (const std::string& line : {haverel_tests::shortLine(v), haverel_tests::middleLine(v),
                                        haverel_tests::shortLine(v), haverel_tests::fullLine(v)}) {
            text += line + "\r\n";
        }
    }
    return text;
}

std::size_t lineCount(const std::string& text) {
    std::size_t count = 0;
    for (const char c : text) count += c == '\n' ? 1 : 0;
    return count;
}

TEST(HaverelProgram, OneFileMakesTheLineFolderAndAllThreeFiles) {
    tests::TempFolder folder;
    tests::writeFileBytes("L101.dat", surveyFile(101, 1));
    tests::writeFileBytes("chan.txt", "channel times\n");
    const tests::ProcessResult run = tests::runProcess(kProgram, {"L101.dat", "out", "survey.a.txt", "chan.txt"});
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardOutput, kBanner + "\n\n  processing data file L101.dat\n\n"
                                            "  number data points read    :            5\n");
    EXPECT_EQ(lineCount(tests::readFileBytes("out/survey_mag.dat")), 1u + 3u);
    EXPECT_EQ(lineCount(tests::readFileBytes("out/survey_em.dat")), 1u + 5u);
    EXPECT_EQ(tests::readFileBytes("out/101/chan.txt"), "channel times\n");
    const std::string tem = tests::readFileBytes("out/101/101.tem");
    EXPECT_EQ(tem.substr(0, tem.find("   STATION")),
              "EM DATA\nDATATYPE:TEM  UNITS:(ppm)  LINE:101 CONFIG:InLoop CHANNELFILE:chan.txt\n");
    EXPECT_EQ(lineCount(tem), 3u + 5u);
}

TEST(HaverelProgram, AWildcardNameCountsItsMatchesInTheirFolder) {
    tests::TempFolder folder;
    std::filesystem::create_directory("data");
    tests::writeFileBytes("data/L1.dat", surveyFile(1, 1));
    tests::writeFileBytes("data/L2.dat", surveyFile(2, 2));
    tests::writeFileBytes("data/L3.dat", surveyFile(1, 0));  // same line as L1: its file replaces L1's
    tests::writeFileBytes("chan.txt", "t\n");
    const tests::ProcessResult run = tests::runProcess(kProgram, {"data/L*.dat", "out", "s.dat", "chan.txt"});
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_NE(run.standardOutput.find("\n Number of matching files    3\n"), std::string::npos);
    EXPECT_NE(run.standardOutput.find("  processing data file L2.dat\n"), std::string::npos);
    EXPECT_EQ(lineCount(tests::readFileBytes("out/s_em.dat")), 1u + 5u + 9u + 1u);
    EXPECT_EQ(lineCount(tests::readFileBytes("out/1/1.tem")), 3u + 1u);
    EXPECT_TRUE(std::filesystem::exists("out/2/2.tem"));
}

TEST(HaverelProgram, NoMatchStopsBeforeAnythingIsMade) {
    tests::TempFolder folder;
    const tests::ProcessResult run = tests::runProcess(kProgram, {"L*.dat", "out", "s.dat", "chan.txt"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardOutput, kBanner + "  no matching files were found\n");
    EXPECT_FALSE(std::filesystem::exists("out"));
}

TEST(HaverelProgram, AMissingSingleInputIsReportedAndNeverCreated) {
    tests::TempFolder folder;
    const tests::ProcessResult run = tests::runProcess(kProgram, {"none.dat", "out", "s.dat", "chan.txt"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.standardOutput.find("  number data points read    :            0\n"), std::string::npos);
    EXPECT_NE(run.standardError.find("none.dat"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists("none.dat"));
    EXPECT_EQ(tests::readFileBytes("out/s_mag.dat").size(), 76u);  // the header line only
}

TEST(HaverelProgram, OnlyAStarBeforeADotMakesAWildcardName) {
    tests::TempFolder folder;
    tests::writeFileBytes("L1.dat", surveyFile(1, 0));
    tests::writeFileBytes("chan.txt", "channel times\n");
    // "L?.dat" and "L*" are names as they stand: no search, opened as named.
    tests::writeFileBytes("L?.dat", surveyFile(2, 0));
    const tests::ProcessResult question = tests::runProcess(kProgram, {"L?.dat", "out", "s.dat", "chan.txt"});
    EXPECT_EQ(question.exitStatus, 0) << question.standardError;
    EXPECT_EQ(question.standardOutput.find("Number of matching files"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists("out/2/2.tem"));
    EXPECT_FALSE(std::filesystem::exists("out/1"));

    const tests::ProcessResult star = tests::runProcess(kProgram, {"L*", "out", "s.dat", "chan.txt"});
    EXPECT_EQ(star.exitStatus, 1);  // no file is named "L*"
    EXPECT_NE(star.standardOutput.find("  processing data file L*\n"), std::string::npos);
}

TEST(HaverelProgram, PromptsForMissingNamesAndTheUnixQuestionOnlyWithNoArguments) {
    tests::TempFolder folder;
    tests::writeFileBytes("L5.dat", surveyFile(5, 0));
    tests::writeFileBytes("chan.txt", "channel times\n");
    const tests::ProcessResult two = tests::runProcess(kProgram, {"L5.dat", "out"}, "s.dat\nchan.txt\n");
    EXPECT_EQ(two.exitStatus, 0) << two.standardError;
    EXPECT_NE(two.standardOutput.find("\n enter the name of the output file : \n enter the name of the time channel "
                                      "file : \n\n  processing data file L5.dat\n"),
              std::string::npos)
        << two.standardOutput;

    const tests::ProcessResult none = tests::runProcess(kProgram, {}, "L5.dat\nout\ns.dat\nchan.txt\ny\n");
    EXPECT_EQ(none.exitStatus, 0) << none.standardError;
    EXPECT_NE(none.standardOutput.find(" enter the name of the time channel file : \n Is this a unix data file [N]: "),
              std::string::npos);
}

TEST(HaverelProgram, ABlankReplyEndsTheRunWithoutMakingAnything) {
    tests::TempFolder folder;
    const tests::ProcessResult run = tests::runProcess(kProgram, {"L5.dat"}, "\n");
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardOutput, kBanner + "\n enter the name of the output directory : ");
    EXPECT_FALSE(run.standardError.empty());
}

TEST(HaverelProgram, AHeaderWithoutFourIntegersStopsWithFileAndLine) {
    tests::TempFolder folder;
    tests::writeFileBytes("bad.dat", "*\n101 0 x 0\nsecond\n");
    const tests::ProcessResult run = tests::runProcess(kProgram, {"bad.dat", "out", "s.dat", "chan.txt"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.standardError.find("bad.dat"), std::string::npos);
    EXPECT_NE(run.standardError.find("line 2"), std::string::npos);
    EXPECT_EQ(lineCount(tests::readFileBytes("out/s_em.dat")), 1u);  // header kept, closed cleanly
}

TEST(HaverelProgram, ADotInTheFolderBlanksTheBaseName) {
    tests::TempFolder folder;
    std::filesystem::create_directory("work");
    std::filesystem::current_path("work");
    tests::writeFileBytes("L7.dat", surveyFile(7, 0));
    tests::writeFileBytes("chan.txt", "channel times\n");
    const tests::ProcessResult run = tests::runProcess(kProgram, {"L7.dat", "../out", "a.dat", "chan.txt"});
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_TRUE(std::filesystem::exists("_mag.dat"));
    EXPECT_TRUE(std::filesystem::exists("_em.dat"));
    EXPECT_TRUE(std::filesystem::exists("../out/7/7.tem"));
    std::filesystem::current_path(folder.path());
}

}  // namespace
