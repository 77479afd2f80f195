// The vosklar program as a whole on small hand-made station results worked
// through by hand: console texts byte for byte, the xyz data file, the grid
// files, exit statuses and what is left in the working folder.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>

#include "support/temp_folder.hpp"
#include "vosklar/result_files.hpp"

namespace {

namespace fs = std::filesystem;
using vosklar_tests::valueAt;

const std::string kProgram = PROGRAM_DIR "/vosklar/vosklar";
constexpr float kNull = -1.0E32f;
const std::string kFrontEnd =
    " This program reads GRENDL model data files\n and converts then to a standard xyz data file. \n\n"
    "  Command line usage : \n    vosklar [airbeo|grendl] listfile outfile {maxdepth}\n\n";
const std::string kTwoStations =
    "  Processing data file\n Station 100 Number of layers:            2\n"
    " Station 110 Number of layers:            2\n";
const std::string kPassGridding =
    "  Gridding NN resistivity\n  Gridding NN conductivity data\n  Gridding NN log resistivity\n"
    "  Gridding conductivity data\n  Gridding resistivity\n  Gridding log resistivity\n";

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    for (std::size_t start = 0, end = 0; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        result.push_back(text.substr(start, end - start));
        if (end == std::string::npos) break;
    }
    return result;
}

void expectNoTemporaryFiles() {
    EXPECT_FALSE(fs::exists("tmpdat.tmp"));
    EXPECT_FALSE(fs::exists("tmpmod.tmp"));
    for (const fs::directory_entry& entry : fs::directory_iterator(".")) {
        EXPECT_NE(entry.path().filename().string().rfind("~minc", 0), 0u) << entry.path();
    }
}

std::int32_t gridInt(const std::string& grid, std::size_t offset) {
    return valueAt<std::int32_t>(grid, offset);
}
double gridDouble(const std::string& grid, std::size_t offset) {
    return valueAt<double>(grid, offset);
}

// Node (column, row) of a grid file, rows counted upward from the y origin.
float gridNode(const std::string& grid, std::int32_t column, std::int32_t row) {
    const std::int32_t nx = gridInt(grid, 8), ny = gridInt(grid, 12);
    const std::int32_t slot = gridInt(grid, 16) == 1 ? row : ny - row + 1;
    return valueAt<float>(grid, 512 + 4 * static_cast<std::size_t>((slot - 1) * nx + column - 1));
}

// Stations 100 and 110 (GRENDL, no RL): a 10 thick layer over a half-space.
// Gap 10 and thinnest layer 10 give cell 5; elevations -20 .. 0 give a grid
// of 4 columns from 97.5 and 6 rows from -22.5.
void writeTwoGrendlStations() {
    tests::writeFileBytes("line5.lst", "100\n110\n");
    vosklar_tests::writeStation("100", "output.out", vosklar_tests::grendlResult({{"100.0", "10.0"}, {"1000.0", ""}}));
    vosklar_tests::writeStation("110", "output.out", vosklar_tests::grendlResult({{"20.0", "10.0"}, {"200.0", ""}}));
}

TEST(EndToEndTest, GrendlLineGivesXyzRowsAndGridsWorkedByHand) {
    tests::TempFolder folder;
    writeTwoGrendlStations();
    const tests::ProcessResult run = tests::runProcess(kProgram, {"grendl", "line5.lst", "line5.xyz"});
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardError, "");
    EXPECT_EQ(run.standardOutput, kFrontEnd + kTwoStations + kPassGridding);

    // Per station: the layer covers rows 5..3, the half-space rows 3..1.
    const std::vector<std::string> xyz = lines(tests::readFileBytes("line5.xyz"));
    ASSERT_EQ(xyz.size(), 13u);
    EXPECT_EQ(xyz[0], "Station,East,North,RL,Con,Res,LogRes");
    EXPECT_EQ(xyz[1], "     100.0       0.0       0.0      -2.5  0.1000E-01  0.1000E+03  0.2000E+01");
    EXPECT_EQ(xyz[12], "     110.0       0.0       0.0     -22.5  0.5000E-02  0.2000E+03  0.2301E+01");

    const std::string res = tests::readFileBytes("line5_res_NN.grd");
    ASSERT_EQ(res.size(), 512u + 4u * 24u);
    EXPECT_EQ(gridInt(res, 16), -2);
    EXPECT_EQ(gridDouble(res, 20), 5.0);
    EXPECT_EQ(gridDouble(res, 36), 97.5);
    EXPECT_EQ(gridDouble(res, 44), -22.5);
    // Station 100 in column 1, station 110 in columns 2..4 (split at 2).
    const float expected[6][4] = {{1000, 200, 200, 200}, {1000, 200, 200, 200}, {1000, 200, 200, 200},
                                  {100, 20, 20, 20},     {100, 20, 20, 20},     {kNull, kNull, kNull, kNull}};
    for (std::int32_t row = 1; row <= 6; ++row) {
        for (std::int32_t column = 1; column <= 4; ++column) {
            EXPECT_EQ(gridNode(res, column, row), expected[row - 1][column - 1]) << column << "," << row;
        }
    }
    EXPECT_EQ(gridNode(tests::readFileBytes("line5_con_NN.grd"), 2, 4), 0.05f);
    EXPECT_EQ(gridNode(tests::readFileBytes("line5_logres_NN.grd"), 1, 1), 3.0f);
    EXPECT_EQ(tests::readFileBytes("line5_logres.grd").size(), 512u + 4u * 24u);
    // GRENDL stations all lie at 0, 0: no profile pass.
    EXPECT_FALSE(fs::exists("line5_Eres_NN.grd"));
    EXPECT_FALSE(fs::exists("line5_Nres_NN.grd"));
    expectNoTemporaryFiles();
}

TEST(EndToEndTest, MissingValuesArePromptedAndTheDepthOnlyWithoutArguments) {
    tests::TempFolder folder;
    writeTwoGrendlStations();
    // Replies are list items: lines of blanks are skipped without a new
    // prompt, and a lone comma is a null item, which leaves the method blank
    // (GRENDL).
    const tests::ProcessResult all = tests::runProcess(kProgram, {}, "\n  \n,\nline5.lst\n\nline5.xyz\n\t\n8\n");
    EXPECT_EQ(all.exitStatus, 0) << all.standardError;
    EXPECT_EQ(all.standardOutput, kFrontEnd +
                                      "\n Enter name of the inversion method (airbeo,grendl) : "
                                      "\n Enter name of the input list file : "
                                      "\n Enter name of the output xyz data file : "
                                      "\n Enter the maximum depth to grid : " +
                                      kTwoStations + kPassGridding);
    // Maximum depth 8: layers 8 thick, elevations -16 .. 0 narrowed to -8 and
    // floored to -10: Y0 -12.5, 4 rows; 3 + 1 rows per station.
    EXPECT_EQ(gridInt(tests::readFileBytes("line5_res_NN.grd"), 12), 4);
    EXPECT_EQ(lines(tests::readFileBytes("line5.xyz")).size(), 1u + 8u);

    const tests::ProcessResult some = tests::runProcess(kProgram, {"grendl", "line5.lst"}, "out.xyz\n");
    EXPECT_EQ(some.exitStatus, 0) << some.standardError;
    EXPECT_EQ(some.standardOutput,
              kFrontEnd + "\n Enter name of the output xyz data file : " + kTwoStations + kPassGridding);
    EXPECT_EQ(gridInt(tests::readFileBytes("line5_res_NN.grd"), 12), 6);  // maximum depth 1000 again
}

TEST(EndToEndTest, MissingListFileStopsBeforeAnythingIsWritten) {
    tests::TempFolder folder;
    const tests::ProcessResult run = tests::runProcess(kProgram, {"grendl", "nothere.lst", "out.xyz"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardOutput, kFrontEnd + " that file does not exist\n");
    EXPECT_NE(run.standardError.find("nothere.lst"), std::string::npos) << run.standardError;
    EXPECT_TRUE(fs::is_empty(folder.path()));
}

TEST(EndToEndTest, NewerAirbeoLayoutGivesNoLayersAndNoGrids) {
    tests::TempFolder folder;
    tests::writeFileBytes("line1.lst", "1 5000.0 7000.0 100.0\n2 5020.0 7000.0 100.0\n");
    vosklar_tests::writeStation("1", "airbeo.out",
                                tests::readFileBytes(TEST_DATA_DIR "/vosklar/airbeo-newer-layout/Dgm1.out"));
    const tests::ProcessResult run = tests::runProcess(kProgram, {"airbeo", "line1.lst", "line1.xyz"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardOutput, kFrontEnd + "  Processing data file\n  Not enough data to allow gridding\n");
    EXPECT_NE(run.standardError.find("Station_1/airbeo.out: no layer count was found"), std::string::npos)
        << run.standardError;
    // The line names the layout as one that is not read, not the file as empty.
    const std::vector<std::string> reports = lines(run.standardError);
    ASSERT_FALSE(reports.empty());
    EXPECT_NE(reports[0].find("\"Layer    Thickness   Resistivity\" table"), std::string::npos) << reports[0];
    EXPECT_NE(reports[0].find("not in the AIRBEO layout"), std::string::npos) << reports[0];
    EXPECT_FALSE(fs::exists("line1.xyz"));
    expectNoTemporaryFiles();
}

TEST(EndToEndTest, EastWestAirbeoLineAddsAnEastingPass) {
    tests::TempFolder folder;
    fs::copy(TEST_DATA_DIR "/vosklar/airbeo-line7", ".", fs::copy_options::recursive);
    const tests::ProcessResult run = tests::runProcess(kProgram, {"airbeo", "line7.lst", "line7.xyz"});
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    std::string stations = "  Processing data file\n";
    for (const char* station : {"100", "120", "140", "160", "180", "200"}) {
        stations += " Station " + std::string(station) + " Number of layers:            4\n";
    }
    EXPECT_EQ(run.standardOutput,
              kFrontEnd + stations + kPassGridding + "  processing profile grids using the easting\n" + kPassGridding);
    // Gap 20 and thinnest layer 19: cell 9.5. Elevations from 255 - 12 = 243
    // (station 140's top layer middle) down to 255 - 186 = 69 (its half-space
    // base), floored to 66.5: Y0 61.75 and 21 rows. First pass 100..200: X0
    // 90.25, 13 columns; easting pass 5000..5125: X0 4992.25, 15 columns.
    const std::string first = tests::readFileBytes("line7_res_NN.grd");
    ASSERT_EQ(first.size(), 512u + 4u * 13u * 21u);
    EXPECT_EQ(gridDouble(first, 20), 9.5);
    EXPECT_EQ(gridDouble(first, 36), 90.25);
    EXPECT_EQ(gridDouble(first, 44), 61.75);
    const std::string easting = tests::readFileBytes("line7_Elogres.grd");
    ASSERT_EQ(easting.size(), 512u + 4u * 15u * 21u);
    EXPECT_EQ(gridDouble(easting, 36), 4992.25);
    // Station 100's top layer (120 ohm-m below RL 250) tops at row
    // trunc(188.25 / 9.5 + 1) = 20, elevation 242.25; station 200's half-space
    // (910 ohm-m) ends at row 1, 61.75; F10.1 rounds both ties to even.
    const std::vector<std::string> xyz = lines(tests::readFileBytes("line7.xyz"));
    EXPECT_EQ(xyz[1], "     100.0    5000.0    7000.0     242.2  0.8333E-02  0.1200E+03  0.2079E+01");
    EXPECT_EQ(xyz.back(), "     200.0    5125.0    7005.0      61.8  0.1099E-02  0.9100E+03  0.2959E+01");
    expectNoTemporaryFiles();
}

TEST(EndToEndTest, NorthSouthAirbeoLineAddsANorthingPassWithFlippedGrids) {
    tests::TempFolder folder;
    tests::writeFileBytes("line9.lst", "10 600.0 8000.0 100.0\n20 600.5 8050.0 100.0\n30 601.0 8100.0 100.0\n");
    for (const char* station : {"10", "20", "30"}) {
        vosklar_tests::writeStation(station, "airbeo.out",
                                    vosklar_tests::airbeoResult({{"50.0", "20.0"}, {"500.0", ""}}));
    }
    const tests::ProcessResult run = tests::runProcess(kProgram, {"airbeo", "line9.lst", "line9.xyz"});
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_NE(run.standardOutput.find("  processing profile grids using the northing\n" + kPassGridding),
              std::string::npos)
        << run.standardOutput;
    for (const char* quantity : {"res_NN", "con_NN", "logres_NN", "con", "res", "logres"}) {
        EXPECT_TRUE(fs::exists(std::string("line9_N") + quantity + "_rot.grd")) << quantity;
    }
    const std::string grid = tests::readFileBytes("line9_Nres.grd");
    const std::string flipped = tests::readFileBytes("line9_Nres_rot.grd");
    ASSERT_EQ(flipped.size(), grid.size());
    EXPECT_EQ(gridInt(flipped, 8), gridInt(grid, 12));  // its columns are the profile's rows
    EXPECT_EQ(gridDouble(flipped, 44), gridDouble(grid, 36));
    expectNoTemporaryFiles();
}

TEST(EndToEndTest, MissingResultFileStillCountsItsStationInGapAndRange) {
    tests::TempFolder folder;
    // Station 90 has no result file, yet gives the smallest gap (10: cell 5
    // against 20 from the 40 thick layers) and the low end of the range: X0
    // 87.5, and 23 columns reach 197.5 only, so 24.
    tests::writeFileBytes("line3.lst", "90\n100\n200\n");
    for (const char* station : {"100", "200"}) {
        vosklar_tests::writeStation(station, "output.out",
                                    vosklar_tests::grendlResult({{"50.0", "40.0"}, {"500.0", ""}}));
    }
    const tests::ProcessResult run = tests::runProcess(kProgram, {"grendl", "line3.lst", "line3.xyz"});
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(run.standardOutput.find("Station 90 "), std::string::npos);
    const std::string res = tests::readFileBytes("line3_res_NN.grd");
    EXPECT_EQ(gridDouble(res, 20), 5.0);
    EXPECT_EQ(gridDouble(res, 36), 87.5);
    EXPECT_EQ(gridInt(res, 8), 24);
    EXPECT_EQ(gridNode(res, 1, 1), 500.0f);  // columns before the first station take its model
}

TEST(EndToEndTest, ListLineWithTwoBlanksStopsTheRunNamingTheLine) {
    tests::TempFolder folder;
    writeTwoGrendlStations();
    tests::writeFileBytes("line5.lst", "100\n110  250.0\n");
    const tests::ProcessResult run = tests::runProcess(kProgram, {"grendl", "line5.lst", "line5.xyz"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardOutput, kFrontEnd + "  Processing data file\n Station 100 Number of layers:            2\n");
    EXPECT_NE(run.standardError.find("line5.lst, line 2"), std::string::npos) << run.standardError;
    expectNoTemporaryFiles();
}

// Every file under the working folder with its bytes.
std::map<std::string, std::string> folderContents() {
    std::map<std::string, std::string> contents;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(".")) {
        if (entry.is_regular_file()) contents[entry.path().string()] = tests::readFileBytes(entry.path().string());
    }
    return contents;
}

TEST(EndToEndTest, OutputsThatAreInputsStopTheRunBeforeAnythingIsWritten) {
    const std::string listStop = kFrontEnd + "  Processing data file\n";
    // A station result is checked before it is read: the stop comes before its line.
    const std::string resultStop = listStop + " Station 100 Number of layers:            2\n";
    struct Case {
        std::vector<std::string> arguments;
        std::string hardLink;  // name -> target, made before the run when not empty
        std::string target;
        std::string output;    // as named on standard error, with the input
        std::string input;
        const std::string& standardOutput;
        bool symbolic = false;  // the link is symbolic and replaces what had its name
    };
    const std::vector<Case> cases{
        {{"grendl", "line5.lst", "line5.lst"}, "", "", "line5.lst", "line5.lst", listStop},
        {{"grendl", "line5.lst", "./line5.lst"}, "", "", "./line5.lst", "line5.lst", listStop},
        {{"grendl", "line5.lst", "copy.xyz"}, "copy.xyz", "line5.lst", "copy.xyz", "line5.lst", listStop},
        {{"grendl", "line5.lst", "Station_110/output.out"}, "", "", "Station_110/output.out",
         "Station_110/output.out", resultStop},
        {{"grendl", "line5.lst", "st.xyz"}, "st.xyz", "Station_110/output.out", "st.xyz", "Station_110/output.out",
         resultStop},
        // A result file that leads to the model layer file, made when the run starts.
        {{"grendl", "line5.lst", "out.xyz"}, "Station_110/output.out", "../tmpmod.tmp", "tmpmod.tmp",
         "Station_110/output.out", resultStop, true},
        // The temporary files are neither an output's name nor an input.
        {{"grendl", "line5.lst", "tmpmod.tmp"}, "", "", "tmpmod.tmp", "", listStop},
        {{"grendl", "tmpdat.tmp", "a.xyz"}, "tmpdat.tmp", "line5.lst", "tmpdat.tmp", "tmpdat.tmp", listStop},
    };
    for (const Case& clash : cases) {
        SCOPED_TRACE(clash.arguments[2] + " from " + clash.arguments[1]);
        tests::TempFolder folder;
        writeTwoGrendlStations();
        if (clash.symbolic) {
            fs::remove(clash.hardLink);
            fs::create_symlink(clash.target, clash.hardLink);
        } else if (!clash.hardLink.empty()) {
            fs::create_hard_link(clash.target, clash.hardLink);
        }
        const std::map<std::string, std::string> before = folderContents();

        const tests::ProcessResult run = tests::runProcess(kProgram, clash.arguments);
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_EQ(run.standardOutput, clash.standardOutput);
        const std::vector<std::string> reports = lines(run.standardError);
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_NE(reports[0].find("output " + clash.output), std::string::npos) << reports[0];
        EXPECT_NE(reports[0].find(clash.input), std::string::npos) << reports[0];
        EXPECT_EQ(folderContents(), before);
    }
}

TEST(EndToEndTest, StationResultsThatCannotBeReadAreNamedAndTheRunEndsWithStatus1) {
    // A folder, and a FIFO that no one writes to (opening it would wait for ever).
    const std::vector<std::function<void()>> unreadable{
        [] { fs::create_directories("Station_110/output.out"); },
        [] {
            fs::create_directories("Station_110");
            ASSERT_EQ(::mkfifo("Station_110/output.out", 0600), 0);
        },
    };
    for (const std::function<void()>& makeUnreadable : unreadable) {
        tests::TempFolder folder;
        writeTwoGrendlStations();
        fs::remove("Station_110/output.out");
        makeUnreadable();
        const tests::ProcessResult run = tests::runProcessWithTimeout(
            kProgram, {"grendl", "line5.lst", "line5.xyz"}, "", std::chrono::seconds(20));
        EXPECT_FALSE(run.timedOut);
        EXPECT_EQ(run.exitStatus, 1);
        // Station 100 alone is gridded as usual.
        EXPECT_EQ(run.standardOutput,
                  kFrontEnd + "  Processing data file\n Station 100 Number of layers:            2\n" + kPassGridding);
        EXPECT_EQ(lines(run.standardError).size(), 1u) << run.standardError;
        EXPECT_NE(run.standardError.find("Station_110/output.out"), std::string::npos) << run.standardError;
        EXPECT_TRUE(fs::exists("line5_logres.grd"));
        expectNoTemporaryFiles();
    }
}

}  // namespace
