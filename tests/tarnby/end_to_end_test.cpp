// tarnby end to end: the real program on real and hand-made model files, in
// a folder of its own, checked on its console, its exit status, the xyz data
// file, the point data file and the grid files.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/temp_folder.hpp"

namespace {

const std::string kProgram = PROGRAM_DIR "/tarnby/tarnby";

const std::string kBanner =
    " This program reads an EM1DFM model data file\n"
    " and converts it to a standard xyz data file. \n"
    "\n"
    "  Command line usage : \n"
    "    tarnby infile outfile {topo}\n"
    "\n";

void copyData(const std::string& name) {
    tests::writeFileBytes(name, tests::readFileBytes(TEST_DATA_DIR "/tarnby/" + name));
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) result.push_back(line);
    return result;
}

// The first (last) characters of `text`, as many as `expected` has.
std::string head(const std::string& text, const std::string& expected) {
    return text.substr(0, expected.size());
}
std::string tail(const std::string& text, const std::string& expected) {
    return text.size() < expected.size() ? text : text.substr(text.size() - expected.size());
}

bool exists(const std::string& name) { return std::filesystem::exists(name); }

bool libraryScratchLeft() {
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        if (entry.path().filename().string().rfind("~minc", 0) == 0) return true;
    }
    return false;
}

std::vector<float> floatsOf(const std::string& bytes) {
    std::vector<float> values(bytes.size() / sizeof(float));
    std::memcpy(values.data(), bytes.data(), values.size() * sizeof(float));
    return values;
}

// A value of type T at a byte offset of a file's bytes.
template <typename T>
T at(const std::string& bytes, std::size_t offset) {
    T value{};
    if (offset + sizeof(T) <= bytes.size()) std::memcpy(&value, bytes.data() + offset, sizeof(T));
    return value;
}

// The grid origin comes back from the library as (origin / cell) x cell in
// float32, which may differ from the origin passed by one rounding.
constexpr double kOriginRounding = 1.0e-4;

TEST(TarnbyRunTest, RealConductivityModel) {
    tests::TempFolder folder;
    copyData("ubc4y350_con.mod");
    const tests::ProcessResult run = tests::runProcess(kProgram, {"ubc4y350_con.mod", "line.xyz"});

    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardError, "");
    EXPECT_EQ(run.standardOutput, kBanner +
                                      "  Processing data file\n"
                                      "  Number of layers:           25\n"
                                      "  Number of soundings:           29\n"
                                      "  Using x coord\n"
                                      "  Gridding conductivity data\n"
                                      "  Gridding resistivity\n"
                                      "  Gridding log resistivity\n");

    // 29 soundings of 25 layers, every conductivity (10 to 190 mS/m) in range.
    const std::vector<std::string> rows = lines(tests::readFileBytes("line.xyz"));
    ASSERT_EQ(rows.size(), 726u);
    EXPECT_EQ(rows[0], "Dist,East,North,Depth,Con,Res,LogRes");
    // Sounding 1, layer 1: depth -2.1207/2, 0.10205E-01 S/m = 10.205 mS/m
    // (10.2049999 as a float), Res 0.097991, log10 -1.00881.
    EXPECT_EQ(rows[1], "       0.0,       0.0,     350.0,    -1.06,  0.1020E+02,  0.9799E-01, -0.1009E+01");
    // Sounding 29, the half-space at -1104.9427: 9.9993 mS/m, Res 0.100007.
    EXPECT_EQ(rows[725], "     700.0,     700.0,     350.0, -1104.94,  0.9999E+01,  0.1000E+00, -0.1000E+01");

    EXPECT_EQ(tests::readFileBytes("tmpdat.tmp").size(), 725u * 5u * 4u);  // x, y, 3 channels

    // Three grids, 31 columns of 700/29 from -DX/2, 523 rows of 2.1207 from
    // the half-space less half a row (worked out in the geometry tests).
    for (const char* name : {"ubc4y350_con.grd", "ubc4y350_res.grd", "ubc4y350_logres.grd"}) {
        SCOPED_TRACE(name);
        const std::string grid = tests::readFileBytes(name);
        ASSERT_EQ(grid.size(), 512u + 31u * 523u * 4u);
        EXPECT_EQ(at<std::int32_t>(grid, 8), 31);
        EXPECT_EQ(at<std::int32_t>(grid, 12), 523);
        EXPECT_EQ(at<std::int32_t>(grid, 16), 1);  // rows first to last
        EXPECT_EQ(at<double>(grid, 20), static_cast<double>(std::bit_cast<float>(0x41C11A7Cu)));
        EXPECT_EQ(at<double>(grid, 28), static_cast<double>(2.1207f));
        EXPECT_NEAR(at<double>(grid, 36), -12.068966, kOriginRounding);
        EXPECT_NEAR(at<double>(grid, 44), -1106.0031, kOriginRounding * 1106.0);
    }
    EXPECT_NE(tests::readFileBytes("minc.log").find(" z channel                3.\r\n"),
              std::string::npos);  // the log of the last grid
    EXPECT_FALSE(libraryScratchLeft());
}

TEST(TarnbyRunTest, RealSusceptibilityModel) {
    tests::TempFolder folder;
    copyData("ubc4y350_sus.mod");
    const tests::ProcessResult run = tests::runProcess(kProgram, {"ubc4y350_sus.mod", "line.xyz"});

    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardOutput, kBanner +
                                      "  Processing data file\n"
                                      "  Number of layers:           25\n"
                                      "  Number of soundings:           29\n"
                                      "  Using x coord\n"
                                      "  Gridding susceptibility data\n");
    const std::vector<std::string> rows = lines(tests::readFileBytes("line.xyz"));
    ASSERT_EQ(rows.size(), 726u);
    EXPECT_EQ(rows[0], "Dist,East,North,Depth,Susc");
    // 0.32618E-05 SI and 0.66730E-03 SI, in millionths.
    EXPECT_EQ(rows[1], "       0.0,       0.0,     350.0,    -1.06,  0.3262E+01");
    EXPECT_EQ(rows[725], "     700.0,     700.0,     350.0, -1104.94,  0.6673E+03");
    EXPECT_EQ(tests::readFileBytes("tmpdat.tmp").size(), 725u * 3u * 4u);

    EXPECT_EQ(at<std::int32_t>(tests::readFileBytes("ubc4y350_sus.grd"), 12), 523);
    EXPECT_FALSE(exists("ubc4y350_res.grd"));
    EXPECT_FALSE(libraryScratchLeft());
}

TEST(TarnbyRunTest, LineRunningSouthWithTopography) {
    // Three soundings from north 5200 down to 5000, layers 10 and 20 thick
    // (depths -5, -20, -40), elevations 300, 310, 320. Left out: 0.00005 and
    // 6.0 S/m (0.05 and 6000 mS/m); 5.0 S/m (5000 mS/m) is kept. The last
    // sounding runs over two lines with values to spare; the topography file
    // has a comma-separated record and one record too many.
    tests::TempFolder folder;
    copyData("southline_con.mod");
    copyData("southline.topo");
    const tests::ProcessResult run =
        tests::runProcess(kProgram, {"southline_con.mod", "south.xyz", "southline.topo"});

    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_NE(run.standardOutput.find("  Number of soundings:            3\n  Using y coord\n"),
              std::string::npos);
    // Walked from the last sounding; RL = elevation + depth.
    EXPECT_EQ(tests::readFileBytes("south.xyz"),
              "Dist,East,North,Depth,RL,Con,Res,LogRes\n"
              "       0.0,    1000.0,    5000.0,   -20.00,   300.00,  0.1000E+02,  0.1000E+00, -0.1000E+01\n"
              "       0.0,    1000.0,    5000.0,   -40.00,   280.00,  0.1000E+02,  0.1000E+00, -0.1000E+01\n"
              "     100.0,    1000.0,    5100.0,    -5.00,   305.00,  0.5000E+04,  0.2000E-03, -0.3699E+01\n"
              "     100.0,    1000.0,    5100.0,   -40.00,   270.00,  0.1000E+03,  0.1000E-01, -0.2000E+01\n"
              "     200.0,    1000.0,    5200.0,    -5.00,   295.00,  0.1000E+02,  0.1000E+00, -0.1000E+01\n"
              "     200.0,    1000.0,    5200.0,   -20.00,   280.00,  0.2000E+02,  0.5000E-01, -0.1301E+01\n"
              "     200.0,    1000.0,    5200.0,   -40.00,   260.00,  0.5000E+02,  0.2000E-01, -0.1699E+01\n");
    // Northing across, RL upward.
    const std::vector<float> points = floatsOf(tests::readFileBytes("tmpdat.tmp"));
    ASSERT_EQ(points.size(), 7u * 5u);
    EXPECT_EQ(points[0], 5000.0f);
    EXPECT_EQ(points[1], 300.0f);
    EXPECT_EQ(points[30], 5200.0f);
    EXPECT_EQ(points[31], 260.0f);

    // DX = 200/3; 200/DX + 1 = 4, and 3 DX + X0 = 5166.7 < 5200 gives 5 columns.
    // Rows from 260 - 5 to 305: (305 - 255)/10 + 1 = 6, and 255 + 50 is not below 305.
    const std::string grid = tests::readFileBytes("southline_con.grd");
    EXPECT_EQ(at<std::int32_t>(grid, 8), 5);
    EXPECT_EQ(at<std::int32_t>(grid, 12), 6);
    EXPECT_EQ(at<double>(grid, 20), static_cast<double>(200.0f / 3.0f));
    EXPECT_EQ(at<double>(grid, 28), 10.0);
    EXPECT_NEAR(at<double>(grid, 36), 4966.6665, kOriginRounding * 4966.0);
    EXPECT_NEAR(at<double>(grid, 44), 255.0, kOriginRounding * 255.0);
    EXPECT_TRUE(exists("southline_res.grd"));
    EXPECT_TRUE(exists("southline_logres.grd"));
}

TEST(TarnbyRunTest, DiagonalLineUsesDistanceAndShowsProgress) {
    // 125 soundings 3 m east and 4 m north apart: neither axis is within a
    // tenth of the line, so the distance along it is used. Eight layers (seven
    // of 1 m and the half-space) give 1000 rows: one progress line, at 1000.
    tests::TempFolder folder;
    std::string model = " Number of layers: 8\n Layer thicknesses: 1 1 1 1 1 1 1\n"
                        " Number of soundings: 125\n"
                        " Sounding x- & y-coordinates,  Susceptibilities (SI) ...\n";
    for (int i = 0; i < 125; ++i) {
        model += std::to_string(3 * i) + " " + std::to_string(4 * i);
        for (int j = 0; j < 8; ++j) model += " 1.5E-5";
        model += "\n";
    }
    tests::writeFileBytes("line_sus.mod", model);
    const tests::ProcessResult run = tests::runProcess(kProgram, {"line_sus.mod", "line.xyz"});

    EXPECT_EQ(run.exitStatus, 0);
    EXPECT_EQ(run.standardOutput, kBanner +
                                      "  Processing data file\n"
                                      "  Number of layers:            8\n"
                                      "  Number of soundings:          125\n"
                                      "  Using distance\n"
                                      "  Processed:         1000\n"
                                      "  Gridding susceptibility data\n");
    const std::vector<std::string> rows = lines(tests::readFileBytes("line.xyz"));
    ASSERT_EQ(rows.size(), 1001u);
    EXPECT_EQ(rows[1], "       0.0,       0.0,       0.0,    -0.50,  0.1500E+02");
    // The last sounding lies 5 x 124 m from the first; the half-space at -7.5.
    EXPECT_EQ(rows[1000], "     620.0,     372.0,     496.0,    -7.50,  0.1500E+02");
    EXPECT_TRUE(exists("line_sus.grd"));
}

TEST(TarnbyRunTest, NamesAreAskedForWhenNotGiven) {
    tests::TempFolder folder;
    std::filesystem::create_directory("data");
    tests::writeFileBytes("data/southline_con.mod",
                          tests::readFileBytes(TEST_DATA_DIR "/tarnby/southline_con.mod"));
    copyData("southline.topo");

    // No argument: three prompts; a typed name keeps its folder, the
    // topography reply is the whole line.
    const tests::ProcessResult all = tests::runProcess(
        kProgram, {}, "data/southline_con.mod\nsouth.xyz\n  southline.topo  \n");
    EXPECT_EQ(all.exitStatus, 0);
    const std::string threePrompts = kBanner +
                                     "\n Enter name of the input file : "
                                     "\n Enter name of the output xyz data file : "
                                     "\n Enter name of the optional topo file :   Processing data file\n";
    EXPECT_EQ(head(all.standardOutput, threePrompts), threePrompts);
    EXPECT_EQ(lines(tests::readFileBytes("south.xyz")).at(0), "Dist,East,North,Depth,RL,Con,Res,LogRes");
    EXPECT_TRUE(exists("data/southline_con.grd"));

    // One argument: only the output name is asked for, and no topography.
    const tests::ProcessResult one = tests::runProcess(kProgram, {"data/southline_con.mod"}, "plain.xyz\n");
    EXPECT_EQ(one.exitStatus, 0);
    const std::string onePrompt =
        kBanner + "\n Enter name of the output xyz data file :   Processing data file\n";
    EXPECT_EQ(head(one.standardOutput, onePrompt), onePrompt);
    EXPECT_EQ(lines(tests::readFileBytes("plain.xyz")).at(0), "Dist,East,North,Depth,Con,Res,LogRes");

    // An empty topography reply means no topography.
    const tests::ProcessResult none =
        tests::runProcess(kProgram, {}, "data/southline_con.mod\nbare.xyz\n\n");
    EXPECT_EQ(none.exitStatus, 0);
    EXPECT_EQ(lines(tests::readFileBytes("bare.xyz")).at(0), "Dist,East,North,Depth,Con,Res,LogRes");
}

TEST(TarnbyRunTest, MissingModelFileStopsBeforeAnythingIsWritten) {
    tests::TempFolder folder;
    const tests::ProcessResult run = tests::runProcess(kProgram, {"absent.con", "out.xyz"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_EQ(run.standardOutput, kBanner + " that file does not exist\n");
    EXPECT_NE(run.standardError.find("absent.con"), std::string::npos);
    EXPECT_FALSE(exists("out.xyz"));
}

const std::string kGoodHeader =
    " Number of layers: 3\n"
    " Layer thicknesses (m): 10.0 20.0\n"
    " Number of soundings: 2\n"
    " Sounding x- & y-coordinates,  Conductivities (S/m) ...\n";

TEST(TarnbyRunTest, HeaderFaultsStopWithTheirMessages) {
    tests::TempFolder folder;
    const std::string counts = "  Processing data file\n  Number of layers:            3\n";

    tests::writeFileBytes("nomarker.con", " Number of layers: 3\n Layer sizes: 10 20\n");
    const tests::ProcessResult format = tests::runProcess(kProgram, {"nomarker.con", "a.xyz"});
    EXPECT_EQ(format.exitStatus, 1);
    EXPECT_EQ(format.standardOutput, kBanner + counts + " This file does not have the correct format\n");
    EXPECT_TRUE(exists("a.xyz"));
    EXPECT_EQ(tests::readFileBytes("a.xyz"), "");

    tests::writeFileBytes("none.con", " Number of layers: 3\n Layer thicknesses: 10 20\n"
                                      " Number of soundings: 0\n header\n");
    const tests::ProcessResult none = tests::runProcess(kProgram, {"none.con", "b.xyz"});
    EXPECT_EQ(none.exitStatus, 1);
    EXPECT_EQ(none.standardOutput, kBanner + counts +
                                       "  Number of soundings:            0\n"
                                       " There are not enough soundings to convert\n");

    // Ending before the table header: no message of the program's own.
    tests::writeFileBytes("short.con", " Number of layers: 3\n Layer thicknesses: 10 20\n");
    const tests::ProcessResult cut = tests::runProcess(kProgram, {"short.con", "c.xyz"});
    EXPECT_EQ(cut.exitStatus, 1);
    EXPECT_EQ(cut.standardOutput, kBanner + counts);
    EXPECT_NE(cut.standardError.find("short.con"), std::string::npos);
    EXPECT_EQ(tests::readFileBytes("c.xyz"), "");

    // The layer tables hold 2 to 128 layers.
    for (const char* count : {"1", "129"}) {
        tests::writeFileBytes("layers.con", std::string(" Number of layers: ") + count + "\n" +
                                                kGoodHeader.substr(kGoodHeader.find('\n') + 1));
        const tests::ProcessResult layers = tests::runProcess(kProgram, {"layers.con", "d.xyz"});
        EXPECT_EQ(layers.exitStatus, 1) << count;
        EXPECT_NE(layers.standardError.find("layers"), std::string::npos) << count;
        EXPECT_FALSE(exists("tmpdat.tmp"));
    }
}

TEST(TarnbyRunTest, RecordFaultsLeaveTheHeaderLineOnly) {
    tests::TempFolder folder;

    // Two soundings announced, one given.
    tests::writeFileBytes("one.con", kGoodHeader + "0 0 0.01 0.01 0.01\n");
    const tests::ProcessResult shortModel = tests::runProcess(kProgram, {"one.con", "a.xyz"});
    EXPECT_EQ(shortModel.exitStatus, 1);
    const std::string readError =
        "  Number of soundings:            2\n  There was an error reading the specified data file\n";
    EXPECT_EQ(tail(shortModel.standardOutput, readError), readError);
    EXPECT_EQ(tests::readFileBytes("a.xyz"), "Dist,East,North,Depth,Con,Res,LogRes\n");

    // A topography file with fewer records than soundings.
    tests::writeFileBytes("two.con", kGoodHeader + "0 0 0.01 0.01 0.01\n10 0 0.01 0.01 0.01\n");
    tests::writeFileBytes("one.topo", "E N Z\n0 0 100\n");
    const tests::ProcessResult shortTopo = tests::runProcess(kProgram, {"two.con", "b.xyz", "one.topo"});
    EXPECT_EQ(shortTopo.exitStatus, 1);
    EXPECT_NE(shortTopo.standardOutput.find("  There was an error reading the specified data file\n"),
              std::string::npos);
    EXPECT_EQ(tests::readFileBytes("b.xyz"), "Dist,East,North,Depth,RL,Con,Res,LogRes\n");

    // A topography file that does not exist is reported, not created.
    const tests::ProcessResult noTopo = tests::runProcess(kProgram, {"two.con", "c.xyz", "absent.topo"});
    EXPECT_EQ(noTopo.exitStatus, 1);
    EXPECT_EQ(noTopo.standardOutput, kBanner +
                                         "  Processing data file\n"
                                         "  Number of layers:            3\n"
                                         "  Number of soundings:            2\n");
    EXPECT_NE(noTopo.standardError.find("absent.topo"), std::string::npos);
    EXPECT_FALSE(exists("absent.topo"));
    EXPECT_EQ(tests::readFileBytes("c.xyz"), "Dist,East,North,Depth,RL,Con,Res,LogRes\n");

    // A value that is not a number: file, line and text on standard error.
    tests::writeFileBytes("bad.con", kGoodHeader + "0 0 0.01 0.01 0.01\n10 0 0.01 0.0x1 0.01\n");
    const tests::ProcessResult bad = tests::runProcess(kProgram, {"bad.con", "d.xyz"});
    EXPECT_EQ(bad.exitStatus, 1);
    EXPECT_NE(bad.standardError.find("bad.con"), std::string::npos);
    EXPECT_NE(bad.standardError.find("line 6"), std::string::npos);
    EXPECT_NE(bad.standardError.find("0.0x1"), std::string::npos);
    EXPECT_EQ(tests::readFileBytes("d.xyz"), "Dist,East,North,Depth,Con,Res,LogRes\n");
    EXPECT_FALSE(exists("tmpdat.tmp"));
}

TEST(TarnbyRunTest, GridsThatCannotBeMadeAreReported) {
    tests::TempFolder folder;
    // Every conductivity above 5000 mS/m: no row, no point to grid.
    tests::writeFileBytes("high_con.con", kGoodHeader + "0 0 6 7 8\n10 0 6 7 8\n");
    const tests::ProcessResult run = tests::runProcess(kProgram, {"high_con.con", "a.xyz"});
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.standardOutput.find("  Gridding conductivity data\n  Gridding resistivity\n"
                                      "  Gridding log resistivity\n"),
              std::string::npos);
    const std::vector<std::string> reports = lines(run.standardError);
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_NE(reports[0].find("high_con.grd"), std::string::npos);
    EXPECT_NE(reports[0].find("-1002"), std::string::npos);  // no point in the grid
    EXPECT_NE(reports[2].find("high_logres.grd"), std::string::npos);
    EXPECT_EQ(tests::readFileBytes("a.xyz"), "Dist,East,North,Depth,Con,Res,LogRes\n");
    EXPECT_TRUE(exists("tmpdat.tmp"));
    EXPECT_FALSE(exists("high_con.grd"));

    // With topography there are no elevations to lay rows over: no MINC call.
    tests::writeFileBytes("line.topo", "E N Z\n0 0 100\n10 0 100\n");
    const tests::ProcessResult topo = tests::runProcess(kProgram, {"high_con.con", "b.xyz", "line.topo"});
    EXPECT_EQ(topo.exitStatus, 1);
    EXPECT_EQ(topo.standardOutput.find("Gridding"), std::string::npos);
    EXPECT_EQ(lines(topo.standardError).size(), 1u);
    EXPECT_FALSE(libraryScratchLeft());
}

// Every file in the working folder with its bytes.
std::map<std::string, std::string> folderContents() {
    std::map<std::string, std::string> contents;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        const std::string name = entry.path().filename().string();
        contents[name] = tests::readFileBytes(name);
    }
    return contents;
}

TEST(TarnbyRunTest, OutputsThatAreInputsStopTheRunBeforeAnythingIsWritten) {
    struct Case {
        std::vector<std::string> arguments;
        std::string hardLink;  // made to the model file before the run, when not empty
        std::string output;    // as named in the one line on standard error
        std::string input;
    };
    const std::vector<Case> cases{
        {{"m_con.con", "m_con.con"}, "", "m_con.con", "m_con.con"},
        {{"m_con.con", "./m_con.con"}, "", "./m_con.con", "m_con.con"},
        {{"m_con.con", "copy.xyz"}, "copy.xyz", "copy.xyz", "m_con.con"},
        {{"m_con.con", "line.topo", "line.topo"}, "", "line.topo", "line.topo"},
        {{"m_con.con", "a.xyz", "./line.topo"}, "a.xyz", "a.xyz", "m_con.con"},
        // The point data file is no place for the xyz data file, nor for an input.
        {{"m_con.con", "tmpdat.tmp"}, "", "tmpdat.tmp", "tmpdat.tmp"},
        {{"m_con.con", "a.xyz"}, "tmpdat.tmp", "tmpdat.tmp", "m_con.con"},
    };
    for (const Case& clash : cases) {
        SCOPED_TRACE(clash.arguments[1] + " from " + clash.arguments[0]);
        tests::TempFolder folder;
        tests::writeFileBytes("m_con.con", kGoodHeader + "0 0 0.01 0.02 0.05\n10 0 0.01 0.02 0.05\n");
        tests::writeFileBytes("line.topo", "E N Z\n0 0 100\n10 0 100\n");
        if (!clash.hardLink.empty()) std::filesystem::create_hard_link("m_con.con", clash.hardLink);
        const std::map<std::string, std::string> before = folderContents();

        const tests::ProcessResult run = tests::runProcess(kProgram, clash.arguments);
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_EQ(run.standardOutput, kBanner + "  Processing data file\n");
        const std::vector<std::string> reports = lines(run.standardError);
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_NE(reports[0].find("output " + clash.output), std::string::npos) << reports[0];
        EXPECT_NE(reports[0].find(clash.input), std::string::npos) << reports[0];
        EXPECT_EQ(folderContents(), before);
    }
}

TEST(TarnbyRunTest, AGridNamedLikeAFileOfTheRunIsNotMade) {
    // Grid 1 of m_con.con is m_con.grd; the other two are m_res.grd and
    // m_logres.grd. Named as the xyz data file, or as the model itself, the
    // first grid would replace it: that grid is skipped and the others made.
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"m_con.con", "m_con.grd"}, std::vector<std::string>{"m_con.grd", "a.xyz"}}) {
        SCOPED_TRACE(arguments[0] + " " + arguments[1]);
        tests::TempFolder folder;
        const std::string model = kGoodHeader + "0 0 0.01 0.02 0.05\n10 0 0.01 0.02 0.05\n";
        tests::writeFileBytes(arguments[0], model);
        const tests::ProcessResult run = tests::runProcess(kProgram, arguments);
        EXPECT_EQ(run.exitStatus, 1);
        EXPECT_NE(run.standardOutput.find("  Gridding log resistivity\n"), std::string::npos);
        ASSERT_EQ(lines(run.standardError).size(), 1u) << run.standardError;
        EXPECT_NE(run.standardError.find("grid m_con.grd not made"), std::string::npos) << run.standardError;
        EXPECT_EQ(tests::readFileBytes(arguments[0]), model);
        if (arguments[1] == "m_con.grd") {
            EXPECT_EQ(lines(tests::readFileBytes("m_con.grd"))[0].substr(0, 5), "Dist,");
        }
        EXPECT_TRUE(std::filesystem::exists("m_res.grd"));
        EXPECT_TRUE(std::filesystem::exists("m_logres.grd"));
    }
}

// Points are x, y and one channel (susceptibility) or three (conductivity).
std::vector<std::vector<float>> pointRecords(std::size_t channels) {
    const std::vector<float> values = floatsOf(tests::readFileBytes("tmpdat.tmp"));
    std::vector<std::vector<float>> records;
    for (std::size_t start = 0; start + 2 + channels <= values.size(); start += 2 + channels) {
        records.emplace_back(values.begin() + static_cast<std::ptrdiff_t>(start),
                             values.begin() + static_cast<std::ptrdiff_t>(start + 2 + channels));
    }
    return records;
}

bool gridIsFinite(const std::string& name) {
    const std::string grid = tests::readFileBytes(name);
    if (grid.size() <= 512u) return false;
    for (const float node : floatsOf(grid.substr(512))) {
        if (!std::isfinite(node)) return false;
    }
    return true;
}

TEST(TarnbyRunTest, ValuesThatAreNotFiniteStayOutOfThePointsAndTheGrids) {
    tests::TempFolder folder;
    constexpr float kNull = -1.0E32f;
    // Susceptibilities: a NaN, and a value beyond the float range. Each stays
    // in its xyz row; its point keeps x and depth and takes the null value.
    tests::writeFileBytes("m_sus.con", kGoodHeader + "0 0 0.01 nan 0.02\n10 0 0.03 0.04 1e400\n");
    const tests::ProcessResult sus = tests::runProcess(kProgram, {"m_sus.con", "s.xyz"});
    EXPECT_EQ(sus.exitStatus, 0) << sus.standardError;
    EXPECT_EQ(lines(sus.standardError).size(), 1u);
    EXPECT_NE(sus.standardError.find("sounding 1, layer 2"), std::string::npos) << sus.standardError;
    EXPECT_EQ(lines(tests::readFileBytes("s.xyz")).size(), 7u);
    const std::vector<std::vector<float>> points = pointRecords(1);
    ASSERT_EQ(points.size(), 6u);
    const float depths[3] = {-5.0f, -20.0f, -40.0f};
    for (std::size_t k = 0; k < points.size(); ++k) {
        EXPECT_EQ(points[k][0], k < 3 ? 0.0f : 10.0f) << k;
        EXPECT_EQ(points[k][1], depths[k % 3]) << k;
        EXPECT_EQ(points[k][2] == kNull, k == 1 || k == 5) << k;
        EXPECT_TRUE(std::isfinite(points[k][2])) << k;
    }
    EXPECT_TRUE(gridIsFinite("m_sus.grd"));

    // A topography elevation that is not a number leaves its sounding without
    // an elevation: its three points are left out, the other three gridded.
    tests::writeFileBytes("m_con.con", kGoodHeader + "0 0 0.01 0.02 0.05\n10 0 0.01 0.02 0.05\n");
    tests::writeFileBytes("line.topo", "E N Z\n0 0 100\n10 0 nan\n");
    const tests::ProcessResult con = tests::runProcess(kProgram, {"m_con.con", "c.xyz", "line.topo"});
    EXPECT_EQ(con.exitStatus, 0) << con.standardError;
    EXPECT_NE(con.standardError.find("sounding 2, layer 1"), std::string::npos) << con.standardError;
    EXPECT_EQ(lines(tests::readFileBytes("c.xyz")).size(), 7u);
    const std::vector<std::vector<float>> placed = pointRecords(3);
    ASSERT_EQ(placed.size(), 3u);
    EXPECT_EQ(placed[2][1], 60.0f);  // 100 - 40
    for (const char* grid : {"m_con.grd", "m_res.grd", "m_logres.grd"}) EXPECT_TRUE(gridIsFinite(grid)) << grid;
}

}  // namespace
