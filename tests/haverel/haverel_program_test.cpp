// End-to-end runs of the haverel binary in a temporary folder.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
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

void writeFileWithFolders(const std::string& path, const std::string& bytes) {
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent);
    tests::writeFileBytes(path, bytes);
}

TEST(HaverelProgram, NeverWritesOverAnInputOrTheChannelFile) {
    const std::string channel = "channel times\n";
    const std::string processing101 = "\n\n  processing data file L101.dat\n\n";
    struct Clash {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files;  // path, bytes
        std::vector<std::pair<std::string, std::string>> links;  // existing file, second name
        std::vector<std::string> arguments;
        std::string consoleEnd;  // what follows the banner
        std::size_t emLines;     // lines of out/s_em.dat, 0 when it is not made
    };
    const std::vector<Clash> clashes = {
        {"the EM data file by an input's name", {{"out/101/101.tem", surveyFile(101, 1)}}, {},
         {"out/101/101.tem", "out", "s.dat", "chan.txt"}, "\n\n  processing data file out/101/101.tem\n\n", 1},
        {"the mag file by an input's name with ./", {{"out/s_mag.dat", surveyFile(101, 1)}}, {},
         {"./out/s_mag.dat", "out", "s.dat", "chan.txt"}, "", 0},
        {"the em file as a hard link to the input", {{"L101.dat", surveyFile(101, 1)}},
         {{"L101.dat", "out/s_em.dat"}}, {"L101.dat", "out", "s.dat", "chan.txt"}, "", 0},
        {"the mag file by the channel file's name", {{"L101.dat", surveyFile(101, 1)}}, {},
         {"L101.dat", "out", "s.dat", "out/s_mag.dat"}, "", 0},
        {"the EM data file by the channel file's name", {{"L101.dat", surveyFile(101, 1)}}, {},
         {"L101.dat", "out", "s.dat", "out/101/101.tem"}, processing101, 1},
        {"the copy of the channel file onto the input", {{"out/101/chan.txt", surveyFile(101, 1)}}, {},
         {"out/101/chan.txt", "out", "s.dat", "chan.txt"}, "\n\n  processing data file out/101/chan.txt\n\n", 1},
        {"a later EM data file on an earlier match",
         {{"data/L1.dat", surveyFile(1, 1)}, {"data/L2.dat", surveyFile(2, 1)}}, {{"data/L1.dat", "out/2/2.tem"}},
         {"data/L*.dat", "out", "s.dat", "chan.txt"},
         "\n Number of matching files    2\n\n\n  processing data file L1.dat\n\n"
         "  number data points read    :            5\n\n\n  processing data file L2.dat\n\n",
         1 + 5},
    };
    for (const Clash& clash : clashes) {
        SCOPED_TRACE(clash.name);
        tests::TempFolder folder;
        std::vector<std::pair<std::string, std::string>> files = clash.files;
        const std::string& channelName = clash.arguments[3];
        if (!std::filesystem::exists(channelName)) files.emplace_back(channelName, channel);
        for (const auto& [path, bytes] : files) writeFileWithFolders(path, bytes);
        for (const auto& [existing, link] : clash.links) {
            std::filesystem::create_directories(std::filesystem::path(link).parent_path());
            std::filesystem::create_hard_link(existing, link);
        }
        const tests::ProcessResult run = tests::runProcess(kProgram, clash.arguments);
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_EQ(run.standardOutput, kBanner + clash.consoleEnd);
        EXPECT_NE(run.standardError.find("would overwrite"), std::string::npos) << run.standardError;
        for (const auto& [path, bytes] : files) EXPECT_EQ(tests::readFileBytes(path), bytes) << path;
        if (clash.emLines > 0) {
            EXPECT_EQ(lineCount(tests::readFileBytes("out/s_em.dat")), clash.emLines);
        }
    }
}

TEST(HaverelProgram, ARerunWithTheChannelFileInTheLineFolderKeepsIt) {
    tests::TempFolder folder;
    tests::writeFileBytes("L101.dat", surveyFile(101, 1));
    tests::writeFileBytes("chan.txt", "channel times\n");
    ASSERT_EQ(tests::runProcess(kProgram, {"L101.dat", "out", "s.dat", "chan.txt"}).exitStatus, 0);
    const std::string firstMag = tests::readFileBytes("out/s_mag.dat");
    // The channel file named now is the copy in the line folder: its own target.
    const tests::ProcessResult rerun = tests::runProcess(kProgram, {"L101.dat", "out", "s.dat", "out/101/chan.txt"});
    EXPECT_EQ(rerun.exitStatus, 0) << rerun.standardError;
    EXPECT_EQ(tests::readFileBytes("out/101/chan.txt"), "channel times\n");
    EXPECT_EQ(tests::readFileBytes("out/s_mag.dat"), firstMag);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator("out/101")) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"101.tem", "chan.txt"}));  // no partial copy left
}

TEST(HaverelProgram, WildcardMatchesThatAreNotFilesAreSkippedAndTheBatchGoesOn) {
    tests::TempFolder folder;
    std::filesystem::create_directories("data/L5.dat");
    ASSERT_EQ(::mkfifo("data/L0.dat", 0600), 0);  // opened for reading, it would wait for a writer forever
    tests::writeFileBytes("data/L1.dat", surveyFile(1, 1));
    tests::writeFileBytes("data/L2.dat", surveyFile(2, 1));
    tests::writeFileBytes("chan.txt", "t\n");
    const tests::ProcessResult run = tests::runProcessWithTimeout(
        kProgram, {"data/L*.dat", "out", "s.dat", "chan.txt"}, "", std::chrono::seconds(20));
    ASSERT_FALSE(run.timedOut);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.standardOutput.find("\n Number of matching files    2\n"), std::string::npos);
    EXPECT_NE(run.standardOutput.find("  processing data file L2.dat\n"), std::string::npos);
    EXPECT_EQ(run.standardOutput.find("L0.dat"), std::string::npos);
    EXPECT_NE(run.standardError.find("L0.dat"), std::string::npos);
    EXPECT_NE(run.standardError.find("L5.dat"), std::string::npos);
    EXPECT_EQ(lineCount(tests::readFileBytes("out/s_em.dat")), 1u + 5u + 5u);
}

}  // namespace
