// The gridding library's files never cost the caller an input: a grid is
// never written over the point data or a grid it reads, the temporary files
// never follow a planted link, a full disk fails the call instead of
// gridding half-written files, and an interrupted call leaves no temporary
// file behind.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "lumsk/grid_file.hpp"
#include "lumsk/grid_rotation.hpp"
#include "lumsk/grid_turning.hpp"
#include "lumsk/minc.hpp"
#include "lumsk/status.hpp"
#include "support/temp_folder.hpp"

namespace {

namespace fs = std::filesystem;
constexpr float kNull = -1.0E32f;

// One channel, z = x + 2y, on every node of a columns by rows block of unit
// cells from (0, 0).
void writePoints(const std::string& name, int columns, int rows) {
    std::vector<float> records;
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            const float x = static_cast<float>(i);
            const float y = static_cast<float>(j);
            records.insert(records.end(), {x, y, x + 2.0f * y});
        }
    }
    std::string bytes(records.size() * 4, '\0');
    std::memcpy(bytes.data(), records.data(), bytes.size());
    tests::writeFileBytes(name, bytes);
}

// 41 x 21 unit cells from (0, 0) with a radius of 3; every run starts afresh.
struct Call : lumsk::MincRequest {
    Call()
        : lumsk::MincRequest{.OUTGRD = "out.grd", .DX = 1.0f, .DY = 1.0f, .NCOL = 41, .NROW = 21, .RADIUS = 3.0f,
                             .DATFIL = std::string("pts.dat\0", 8), .DNULL = kNull} {}

    std::int32_t run() {
        lumsk::Gridder gridder(lumsk::LibraryBuild::wideOutline);
        ISTAT = 0;
        gridder.MINC(*this);
        return ISTAT;
    }
};

std::vector<std::string> temporaryFilesLeft() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(".")) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("~minc", 0) == 0) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A small grid file to turn and resample.
void writeGrid(const std::string& name) {
    std::vector<float> values(12);
    for (std::size_t k = 0; k < values.size(); ++k) values[k] = static_cast<float>(k);
    std::vector<float> row(4);
    float zmin = 0.0f, zmax = 0.0f;
    ASSERT_TRUE(lumsk::GEOOUT(0, name, row, 4, 3, values, 0.0f, 0.0f, 1.0f, 1.0f, 1, 1, kNull, zmin, zmax));
}

bool georot(const std::string& in, const std::string& out) {
    std::vector<float> row(4);
    return lumsk::GEOROT(in, out, 1.0f, 1.0f, 0.0f, 0.0f, 4, 3, 1.0f, 1.0f, 0.0f, 0.0f, 4, 3, row, 10.0f, 1.5f, 1.0f,
                         0.0f, 0.0f, 1.0f, 1.0f, 1, kNull, 0.0f, 11.0f);
}

TEST(MincFileSafety, GridThatWouldOverwriteAnInputIsRefusedBeforeAnythingIsCreated) {
    struct Case {
        const char* what;
        const char* grid;
        const char* pointData;
    };
    const Case cases[] = {
        {"the point data file spelt with ./", "./pts.dat", "pts.dat"},
        {"a hard link to the point data file", "hard.lnk", "pts.dat"},
        {"a temporary file of the library, planted", "~mincms.tmp", "pts.dat"},
        {"the programs' point data temporary name", "tmpdat.tmp", "pts.dat"},
        {"point data under the data-sorting file's name", "out.grd", "~mincir.tmp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tests::TempFolder folder;
        writePoints(c.pointData, 41, 21);
        fs::create_hard_link(c.pointData, "hard.lnk");
        tests::writeFileBytes("~mincms.tmp", "not the library's");
        const std::string pointBytes = tests::readFileBytes(c.pointData);
        Call call;
        call.OUTGRD = c.grid;
        call.DATFIL = std::string(c.pointData) + '\0';
        EXPECT_EQ(call.run(), lumsk::kStatusOutputIsInput);
        EXPECT_EQ(tests::readFileBytes(c.pointData), pointBytes);
        EXPECT_EQ(tests::readFileBytes("~mincms.tmp"), "not the library's");
        // Only the planted file, and the point data when it has a temporary name.
        std::vector<std::string> expected{"~mincms.tmp"};
        if (std::string(c.pointData).rfind("~minc", 0) == 0) expected.insert(expected.begin(), c.pointData);
        EXPECT_EQ(temporaryFilesLeft(), expected);
        EXPECT_FALSE(fs::exists("minc.log"));
        EXPECT_FALSE(fs::exists("out.grd"));
    }
}

TEST(MincFileSafety, GridTurnedOrResampledOntoItsOwnInputWritesNothing) {
    tests::TempFolder folder;
    writeGrid("in.grd");
    fs::create_hard_link("in.grd", "hard.grd");
    const std::string before = tests::readFileBytes("in.grd");
    EXPECT_FALSE(lumsk::GEOFLIP("in.grd", "./in.grd"));
    EXPECT_FALSE(lumsk::GEOFLIP("in.grd", "hard.grd"));
    EXPECT_FALSE(georot("in.grd", "./in.grd"));
    EXPECT_FALSE(georot("in.grd", "hard.grd"));
    EXPECT_EQ(tests::readFileBytes("in.grd"), before);
    // The same calls onto another name do write.
    EXPECT_TRUE(lumsk::GEOFLIP("in.grd", "turned.grd"));
    EXPECT_TRUE(georot("in.grd", "rotated.grd"));
}

TEST(MincFileSafety, TemporaryFilesNeverFollowAPlantedLink) {
    // A turned, masked call makes every temporary file, the rotation scratch
    // grid included.
    tests::TempFolder folder;
    writePoints("pts.dat", 41, 21);
    tests::writeFileBytes("victim", "keep me");
    const char* names[] = {"~mincgr.tmp", "~mincms.tmp", "~mincir.tmp", "~mincsb.tmp", "~minctm.tmp", "~mincrt.tmp"};
    for (const char* name : names) fs::create_symlink("victim", name);
    Call call;
    call.ANGLE = 30.0f;
    EXPECT_EQ(call.run(), lumsk::kStatusGood);
    EXPECT_EQ(tests::readFileBytes("victim"), "keep me");
    EXPECT_TRUE(temporaryFilesLeft().empty());
    EXPECT_TRUE(fs::exists("out.grd"));
}

// Writes beyond `bytes` fail with EFBIG, as on a full disk, while it lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &previous_);
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = SIG_DFL;
};

TEST(MincFileSafety, FullDiskFailsTheCallAndLeavesNothing) {
    // 41 x 21 nodes: the data-sorting file's first record alone is 10808
    // bytes, the mask (47 x 27 codes with a radius of 3) 5104 bytes; the log
    // stays below 1 KiB. A 4 KiB disk fills in the sorting (no mask) or in
    // laying down the mask.
    struct Case {
        const char* what;
        float radius;
    };
    for (const Case& c : {Case{"data sorting", 0.0f}, Case{"mask", 3.0f}}) {
        SCOPED_TRACE(c.what);
        tests::TempFolder folder;
        writePoints("pts.dat", 41, 21);
        Call call;
        call.RADIUS = c.radius;
        std::int32_t status = 0;
        {
            const FileSizeLimit limit(4096);
            status = call.run();
        }
        EXPECT_EQ(status, lumsk::kStatusFileTransferFailed);
        EXPECT_TRUE(temporaryFilesLeft().empty());
        EXPECT_FALSE(fs::exists("out.grd"));
    }
}

TEST(MincFileSafety, GridWritersLeaveNoPartGridOnAFullDisk) {
    tests::TempFolder folder;
    writeGrid("in.grd");  // 512 header bytes and 48 bytes of nodes
    const FileSizeLimit limit(540);
    EXPECT_FALSE(lumsk::GEOFLIP("in.grd", "turned.grd"));
    EXPECT_FALSE(georot("in.grd", "rotated.grd"));
    std::vector<float> values(12, 1.0f), row(4);
    float zmin = 0.0f, zmax = 0.0f;
    EXPECT_FALSE(lumsk::GEOOUT(0, "out.grd", row, 4, 3, values, 0.0f, 0.0f, 1.0f, 1.0f, 1, 1, kNull, zmin, zmax));
    EXPECT_FALSE(fs::exists("turned.grd"));
    EXPECT_FALSE(fs::exists("rotated.grd"));
    EXPECT_FALSE(fs::exists("out.grd"));
}

void countingHandler(int) {}

TEST(MincFileSafety, InterruptHandlersAreTheCallersAgainAfterTheCall) {
    tests::TempFolder folder;
    writePoints("pts.dat", 41, 21);
    auto* const previousTerm = std::signal(SIGTERM, countingHandler);
    auto* const previousInt = std::signal(SIGINT, SIG_IGN);
    EXPECT_EQ(Call().run(), lumsk::kStatusGood);
    EXPECT_EQ(std::signal(SIGTERM, previousTerm), &countingHandler);
    EXPECT_EQ(std::signal(SIGINT, previousInt), SIG_IGN);
}

TEST(MincFileSafety, InterruptedCallEndsByItsSignalAndLeavesNoTemporaryFile) {
    for (const int signalNumber : {SIGINT, SIGTERM}) {
        SCOPED_TRACE(signalNumber);
        tests::TempFolder folder;
        // The point data file is a FIFO that this side holds open at both
        // ends: the call reads the one record in it and then waits for more,
        // so it is still running when the signal comes, however loaded the
        // machine (and opening it again never blocks).
        ASSERT_EQ(::mkfifo("pts.dat", 0600), 0);
        const int points = ::open("pts.dat", O_RDWR);
        ASSERT_GE(points, 0);
        const float record[3] = {1.0f, 1.0f, 3.0f};
        ASSERT_EQ(::write(points, record, sizeof record), static_cast<ssize_t>(sizeof record));
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            Call().run();
            _exit(0);
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (temporaryFilesLeft().empty() && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        EXPECT_FALSE(temporaryFilesLeft().empty()) << "the call made no temporary file";
        kill(child, signalNumber);
        int waitStatus = 0;
        ASSERT_EQ(waitpid(child, &waitStatus, 0), child);
        ::close(points);
        ASSERT_TRUE(WIFSIGNALED(waitStatus)) << "the call ended before it was interrupted";
        EXPECT_EQ(WTERMSIG(waitStatus), signalNumber);
        EXPECT_TRUE(temporaryFilesLeft().empty());
        EXPECT_FALSE(fs::exists("out.grd"));
    }
}

}  // namespace
