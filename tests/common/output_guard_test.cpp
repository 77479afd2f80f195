#include "common/output_guard.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "common/diagnostic.hpp"
#include "common/platform.hpp"
#include "common/run_stop.hpp"
#include "support/temp_folder.hpp"

namespace {

TEST(OutputGuard, AnOutputThatIsAnInputUnderAnySpellingIsRefused) {
    tests::TempFolder folder;
    common::makeDirectory("data");
    tests::writeFileBytes("data/m.con", "model");
    ASSERT_EQ(::link("data/m.con", "hard.con"), 0);
    ASSERT_EQ(::symlink("data/m.con", "soft.con"), 0);
    const std::vector<std::string> inputs{"other.txt", "data/m.con"};
    for (const char* output : {"data/m.con", "./data/m.con", "data/../data/m.con", "hard.con", "soft.con"}) {
        const std::string clash = common::outputClash(output, inputs);
        EXPECT_NE(clash.find(output), std::string::npos) << output;
        EXPECT_NE(clash.find("data/m.con"), std::string::npos) << output;
        EXPECT_THROW(common::requireDistinctOutput(output, inputs), common::RunStop) << output;
    }
    EXPECT_EQ(tests::readFileBytes("data/m.con"), "model");
    // A new file, or a different existing one, may be written.
    tests::writeFileBytes("other.xyz", "old");
    EXPECT_EQ(common::outputClash("new.xyz", inputs), "");
    EXPECT_EQ(common::outputClash("other.xyz", inputs), "");
}

TEST(OutputGuard, FixedTemporaryNamesOfTheWorkingFolderAreTakenOnlyByTheSuite) {
    tests::TempFolder folder;
    common::makeDirectory("sub");
    const std::string here = std::filesystem::current_path().filename().string();
    struct Case {
        std::string output;
        bool fixed;
    };
    for (const Case& c : std::vector<Case>{{"tmpdat.tmp", true},
                                           {"tmpmod.tmp", true},
                                           {"~mincds.tmp", true},
                                           {"./~mincrt.tmp", true},
                                           {"../" + here + "/tmpdat.tmp", true},
                                           {"sub/tmpdat.tmp", false},
                                           {"~minc.tmp", false},
                                           {"tmpdat.tmp.xyz", false}}) {
        EXPECT_EQ(common::isFixedTemporaryName(c.output), c.fixed) << c.output;
        EXPECT_EQ(common::outputClash(c.output, {}).empty(), !c.fixed) << c.output;
        EXPECT_EQ(common::outputClash(c.output, {}, common::OutputKind::temporary), "") << c.output;
    }
}

TEST(Diagnostic, ControlBytesAreEscaped) {
    EXPECT_EQ(common::escapeControlBytes(std::string("a\tb\rc\nd\x01\x7f" "e\\f\xc3\xa9", 14)),
              "a\\tb\\rc\\nd\\x01\\x7fe\\f\xc3\xa9");
}

}  // namespace
