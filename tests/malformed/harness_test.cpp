// The corpus harness itself: a harness that reads its manifest wrongly, or
// whose checks cannot fail, would let every broken input pass unnoticed.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <stdexcept>
#include <string>

#include "malformed/case_manifest.hpp"
#include "malformed/case_setup.hpp"
#include "malformed/outcome_checks.hpp"
#include "support/temp_folder.hpp"

namespace {

TEST(ManifestRow, ColumnsBecomeTheCase) {
    const malformed::Case parsed = malformed::parseCase(
        "tarnby", "cut\tcopy a.mod ; mkdir x\ta.mod \"\" b\tone\\ntwo\\n\t1\t ok | !bad\t-\tout.xyz:lines=1", 7);
    EXPECT_EQ(parsed.name, "cut");
    EXPECT_EQ(parsed.manifestLine, 7u);
    EXPECT_EQ(parsed.setup, (std::vector<std::string>{"copy a.mod", "mkdir x"}));
    EXPECT_EQ(parsed.arguments, (std::vector<std::string>{"a.mod", "", "b"}));
    EXPECT_EQ(parsed.standardInput, "one\ntwo\n");
    EXPECT_EQ(parsed.exitStatus, 1);
    EXPECT_EQ(parsed.standardOutput, " ok | !bad");
}

TEST(ManifestRow, FaultyRowsAreRefused) {
    EXPECT_THROW(malformed::parseCase("p", "a\t-\t-\t-\t1\t-\t-", 1), std::invalid_argument);         // 7 columns
    EXPECT_THROW(malformed::parseCase("p", "a\t-\t-\t-\t2\t-\t-\t-", 1), std::invalid_argument);      // status 2
    EXPECT_THROW(malformed::parseCase("p", "a b\t-\t-\t-\t0\t-\t-\t-", 1), std::invalid_argument);    // name
    EXPECT_EQ(malformed::parseManifest("p", "# note\ncase\tsetup\n\na\t-\t-\t-\t0\t-\t-\t-\r\n").size(), 1u);
}

TEST(CaseSetup, RepeatMarkersAndLineEnds) {
    EXPECT_EQ(malformed::expandRepeats("a{{repeat:3:xy}}b{{repeat:2: }}c"), "axyxyxyb  c");
    EXPECT_EQ(malformed::expandRepeats("{{repeat:100000:7}}").size(), 100000u);
    EXPECT_THROW(malformed::expandRepeats("{{repeat:3"), std::invalid_argument);
    EXPECT_EQ(malformed::withLineEnds("a\nb\n", "\r\n"), "a\r\nb\r\n");
    EXPECT_EQ(malformed::withLineEnds("a\nb\n", "\r"), "a\rb\r");
}

TEST(OutcomeChecks, FragmentsPresentAndAbsent) {
    EXPECT_TRUE(malformed::checkFragments("out", " Processing data file\n", " Processing | !error").empty());
    EXPECT_EQ(malformed::checkFragments("out", "abc", "x | !b").size(), 2u);
    EXPECT_TRUE(malformed::checkStandardError("", "-", 0).empty());
    EXPECT_FALSE(malformed::checkStandardError("note\n", "-", 0).empty());
    EXPECT_FALSE(malformed::checkStandardError("", "*", 1).empty());
}

TEST(OutcomeChecks, CleanEndRefusesSignalsStatusesAndSanitizerReports) {
    tests::ProcessResult run;
    run.exitStatus = 1;
    EXPECT_TRUE(malformed::checkCleanEnd(run).empty());
    run.exitStatus = 134;
    run.terminatingSignal = SIGABRT;
    EXPECT_FALSE(malformed::checkCleanEnd(run).empty());
    run = {};
    run.exitStatus = 2;
    EXPECT_FALSE(malformed::checkCleanEnd(run).empty());
    run.exitStatus = 1;
    run.standardError = "==1==ERROR: AddressSanitizer: heap-buffer-overflow\n";
    EXPECT_FALSE(malformed::checkCleanEnd(run).empty());
}

TEST(OutcomeChecks, FileChecksOnAFolder) {
    tests::TempFolder folder;
    tests::writeFileBytes("out.xyz", "Head\nrow 1\nrow 2\n");
    tests::writeFileBytes("~mincir.tmp", "");
    EXPECT_TRUE(malformed::checkFiles("out.xyz | !gone | out.xyz:lines=3 | out.xyz:line2=row 1 | out.xyz:has=row 2")
                    .empty());
    EXPECT_EQ(malformed::checkFiles("gone | !out.xyz | out.xyz:lines=2 | out.xyz:line4=x | out.xyz:has=row").size(),
              5u);
    EXPECT_EQ(malformed::checkNoTemporaryFiles("tarnby").size(), 1u);
    std::string grid(512 + 8, '\0');
    EXPECT_TRUE(malformed::gridValuesFinite(grid));
    const float infinity = 1.0e30f * 1.0e30f;
    std::memcpy(grid.data() + 516, &infinity, 4);
    EXPECT_FALSE(malformed::gridValuesFinite(grid));
}

// The time limit is what turns a hang into a failed case.
TEST(ProcessTimeLimit, AChildStillRunningIsKilled) {
    const tests::ProcessResult run =
        tests::runProcessWithTimeout("/bin/sleep", {"60"}, "", std::chrono::milliseconds(200));
    EXPECT_TRUE(run.timedOut);
    EXPECT_EQ(run.terminatingSignal, SIGKILL);
    EXPECT_FALSE(malformed::checkCleanEnd(run).empty());
}

}  // namespace
