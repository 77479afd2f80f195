#include "common/platform.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/temp_folder.hpp"

namespace {

using common::RawFile;

TEST(RawFile, CreateWriteSeekReadAndTruncate) {
    tests::TempFolder folder;
    {
        RawFile file = RawFile::create("a.bin");
        ASSERT_TRUE(file.isOpen());
        const std::int32_t values[3] = {1, 2, 3};
        EXPECT_EQ(file.write(values, sizeof values), 12);
        EXPECT_EQ(file.seek(4), 4);
        std::int32_t second = 0;
        EXPECT_EQ(file.read(&second, 4), 4);
        EXPECT_EQ(second, 2);
        EXPECT_EQ(file.size(), 12);
    }
    // create() truncates an existing file.
    { RawFile file = RawFile::create("a.bin"); }
    EXPECT_EQ(std::filesystem::file_size("a.bin"), 0u);
}

TEST(RawFile, ReadPastEndAndPositionalTransfers) {
    tests::TempFolder folder;
    tests::writeFileBytes("b.bin", "abcdef");
    RawFile file = RawFile::openReadWrite("b.bin");
    ASSERT_TRUE(file.isOpen());
    char text[8] = {};
    EXPECT_EQ(file.readAt(4, text, 8), 2);  // only "ef" is there
    EXPECT_EQ(std::string(text, 2), "ef");
    EXPECT_EQ(file.writeAt(1, "XY", 2), 2);
    file.close();
    EXPECT_FALSE(file.isOpen());
    EXPECT_EQ(file.read(text, 1), -1);  // a closed handle transfers nothing
    EXPECT_EQ(tests::readFileBytes("b.bin"), "aXYdef");
}

TEST(RawFile, OpeningAMissingFileFailsWithoutCreatingIt) {
    tests::TempFolder folder;
    EXPECT_FALSE(RawFile::openRead("missing.bin").isOpen());
    EXPECT_FALSE(RawFile::openReadWrite("missing.bin").isOpen());
    EXPECT_FALSE(common::fileExists("missing.bin"));
}

TEST(RawFile, MoveTransfersOwnership) {
    tests::TempFolder folder;
    RawFile first = RawFile::create("c.bin");
    RawFile second = std::move(first);
    EXPECT_FALSE(first.isOpen());  // NOLINT(bugprone-use-after-move): checking the moved-from state
    EXPECT_TRUE(second.isOpen());
}

TEST(Files, ExistsDeleteCopyAndDirectories) {
    tests::TempFolder folder;
    tests::writeFileBytes("src.txt", std::string("line\r\n\0bin", 10));
    EXPECT_TRUE(common::fileExists("src.txt"));
    EXPECT_TRUE(common::copyFile("src.txt", "dst.txt"));
    EXPECT_EQ(tests::readFileBytes("dst.txt"), std::string("line\r\n\0bin", 10));
    EXPECT_FALSE(common::copyFile("none.txt", "dst2.txt"));
    EXPECT_FALSE(common::fileExists("dst2.txt"));

    EXPECT_TRUE(common::makeDirectory("L100"));
    EXPECT_FALSE(common::makeDirectory("L100"));  // already there
    EXPECT_TRUE(common::directoryExists("L100"));
    EXPECT_FALSE(common::fileExists("L100"));  // a folder is not a file

    EXPECT_TRUE(common::deleteFile("src.txt"));
    EXPECT_FALSE(common::deleteFile("src.txt"));
}

TEST(Paths, JoinFolderAndName) {
    EXPECT_EQ(common::joinPath("out", "L100"), "out/L100");
    EXPECT_EQ(common::joinPath("out/", "L100"), "out/L100");
    EXPECT_EQ(common::joinPath("", "L100"), "L100");
    EXPECT_EQ(common::folderOf("data/q*.dat"), "data");
    EXPECT_EQ(common::folderOf("q*.dat"), "");
    EXPECT_EQ(common::folderOf("/q.dat"), "/");
    EXPECT_EQ(common::nameOf("data/sub/q*.dat"), "q*.dat");
}

TEST(Wildcards, StarAndQuestionMark) {
    EXPECT_TRUE(common::matchWildcard("*.dat", "line1.dat"));
    EXPECT_TRUE(common::matchWildcard("*", ""));
    EXPECT_TRUE(common::matchWildcard("l?ne*.d*t", "line12.dat"));
    EXPECT_TRUE(common::matchWildcard("a*b*c", "aXbYbZc"));
    EXPECT_FALSE(common::matchWildcard("*.dat", "line1.da"));
    EXPECT_FALSE(common::matchWildcard("?", ""));
    EXPECT_FALSE(common::matchWildcard("abc", "ABC"));  // names are case-sensitive here
    // A hostile pattern finishes quickly (no exponential backtracking).
    EXPECT_FALSE(common::matchWildcard("*a*a*a*a*a*a*a*a*b", std::string(200, 'a')));
}

TEST(Wildcards, FindFilesReturnsSortedBareNamesOfRegularFilesAndSetsTheRestApart) {
    tests::TempFolder folder;
    common::makeDirectory("data");
    for (const char* name : {"data/b.dat", "data/a.dat", "data/c.txt", "top.dat"}) tests::writeFileBytes(name, "x");
    common::makeDirectory("data/d.dat");
    ASSERT_EQ(::mkfifo("data/e.dat", 0600), 0);  // reading it would block forever
    const common::FileSearch inData = common::findFiles("data/*.dat");
    EXPECT_EQ(inData.files, (std::vector<std::string>{"a.dat", "b.dat"}));
    EXPECT_EQ(inData.notRegular, (std::vector<std::string>{"d.dat", "e.dat"}));
    EXPECT_EQ(common::findFiles("*.dat").files, (std::vector<std::string>{"top.dat"}));
    EXPECT_TRUE(common::findFiles("nowhere/*.dat").files.empty());
}

TEST(Files, CopyOntoItselfKeepsTheFileAndAFailedCopyLeavesNoPartialTarget) {
    tests::TempFolder folder;
    common::makeDirectory("line");
    tests::writeFileBytes("line/chan.txt", "channels\n");
    ASSERT_EQ(::link("line/chan.txt", "hard.txt"), 0);
    for (const char* spelling : {"line/chan.txt", "./line/../line/chan.txt", "hard.txt"}) {
        EXPECT_TRUE(common::copyFile(spelling, "line/chan.txt")) << spelling;
        EXPECT_EQ(tests::readFileBytes("line/chan.txt"), "channels\n") << spelling;
    }
    // A target folder that does not exist: nothing is created anywhere.
    EXPECT_FALSE(common::copyFile("hard.txt", "missing/chan.txt"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), std::filesystem::directory_iterator()), 2);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator("line"), std::filesystem::directory_iterator()), 1);
}

TEST(RawFile, CreateNewReplacesAPlantedLinkInsteadOfWritingThroughIt) {
    tests::TempFolder folder;
    tests::writeFileBytes("victim.txt", "keep");
    ASSERT_EQ(::symlink("victim.txt", "~mincds.tmp"), 0);
    {
        RawFile file = RawFile::createNew("~mincds.tmp");
        ASSERT_TRUE(file.isOpen());
        EXPECT_EQ(file.write("new", 3), 3);
    }
    EXPECT_EQ(tests::readFileBytes("victim.txt"), "keep");
    EXPECT_FALSE(std::filesystem::is_symlink("~mincds.tmp"));
    EXPECT_EQ(tests::readFileBytes("~mincds.tmp"), "new");
}

}  // namespace
