// Every program on its corpus of broken inputs (tests/data/malformed/): each
// case runs the real binary in a folder of its own and must end cleanly (exit
// 0 or 1, no signal, no hang, no sanitizer report), with the exit status,
// console texts and diagnostic of its behaviour, no temporary file left, and
// the rows converted before the fault still in the output.
#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>
#include <vector>

#include "malformed/case_manifest.hpp"
#include "malformed/case_setup.hpp"
#include "malformed/outcome_checks.hpp"
#include "support/temp_folder.hpp"

namespace {

using malformed::Case;
using malformed::Faults;

// Generous: the slowest case grids a few tiny sections, well under a second
// even with sanitizers; only a program caught in a loop comes near it.
constexpr std::chrono::seconds kTimeLimit{30};

const char* const kPrograms[] = {"tarnby", "vosklar", "pellack", "draymoor", "haverel"};

// A manifest that cannot be read becomes one failing case instead of a
// crash at start-up, so that the other programs' cases still run.
std::vector<Case> casesOf(const std::string& program) {
    try {
        return malformed::loadManifest(program);
    } catch (const std::exception& error) {
        Case broken;
        broken.program = program;
        broken.name = "manifest_unreadable";
        broken.standardError = error.what();
        broken.exitStatus = -1;
        return {broken};
    }
}

std::string describe(const Case& brokenCase) {
    return brokenCase.program + "/cases.tsv line " + std::to_string(brokenCase.manifestLine) + " (" +
           brokenCase.name + ")";
}

void report(const Case& brokenCase, const Faults& faults, const tests::ProcessResult& run) {
    for (const std::string& fault : faults) ADD_FAILURE() << describe(brokenCase) << ": " << fault;
    if (!faults.empty()) {
        ADD_FAILURE() << "exit status " << run.exitStatus << "\n--- standard output ---\n"
                      << run.standardOutput.substr(0, 4000) << "\n--- standard error ---\n"
                      << run.standardError.substr(0, 4000);
    }
}

class MalformedInput : public testing::TestWithParam<Case> {};

TEST_P(MalformedInput, EndsAsDecided) {
    const Case& brokenCase = GetParam();
    ASSERT_GE(brokenCase.exitStatus, 0) << brokenCase.standardError;
    tests::TempFolder folder;
    malformed::prepareFolder(brokenCase);
    const std::string program = PROGRAM_DIR "/" + brokenCase.program + "/" + brokenCase.program;
    const tests::ProcessResult run =
        tests::runProcessWithTimeout(program, brokenCase.arguments, brokenCase.standardInput, kTimeLimit);

    Faults faults = malformed::checkCleanEnd(run);
    if (run.exitStatus != brokenCase.exitStatus) {
        faults.push_back("exit status " + std::to_string(run.exitStatus) + ", expected " +
                         std::to_string(brokenCase.exitStatus));
    }
    for (Faults more : {malformed::checkFragments("standard output", run.standardOutput, brokenCase.standardOutput),
                        malformed::checkStandardError(run.standardError, brokenCase.standardError,
                                                      brokenCase.exitStatus),
                        malformed::checkFiles(brokenCase.files),
                        malformed::checkNoTemporaryFiles(brokenCase.program)}) {
        faults.insert(faults.end(), more.begin(), more.end());
    }
    report(brokenCase, faults, run);
}

std::string caseName(const testing::TestParamInfo<Case>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(tarnby, MalformedInput, testing::ValuesIn(casesOf("tarnby")), caseName);
INSTANTIATE_TEST_SUITE_P(vosklar, MalformedInput, testing::ValuesIn(casesOf("vosklar")), caseName);
INSTANTIATE_TEST_SUITE_P(pellack, MalformedInput, testing::ValuesIn(casesOf("pellack")), caseName);
INSTANTIATE_TEST_SUITE_P(draymoor, MalformedInput, testing::ValuesIn(casesOf("draymoor")), caseName);
INSTANTIATE_TEST_SUITE_P(haverel, MalformedInput, testing::ValuesIn(casesOf("haverel")), caseName);

// The corpus keeps its breadth: at least 20 distinct cases per program.
TEST(MalformedCorpus, EveryProgramHasTwentyDistinctCases) {
    for (const char* program : kPrograms) {
        const std::vector<Case> cases = malformed::loadManifest(program);
        std::set<std::string> names;
        for (const Case& brokenCase : cases) {
            EXPECT_TRUE(names.insert(brokenCase.name).second) << program << ": case " << brokenCase.name << " twice";
        }
        EXPECT_GE(cases.size(), 20u) << program;
    }
}

}  // namespace
