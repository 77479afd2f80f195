// Gridding at scale: one million scattered points onto a 2000 x 2000 grid,
// with a search-radius mask of 10 cells, in both builds; and the mask stage
// alone (removal, reach marking, outline clipping) on a mask of that size.
// Each case runs in a temporary folder of its own, as MINC writes fixed
// names into the working folder.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "common/platform.hpp"
#include "lumsk/mask_file.hpp"
#include "lumsk/minc.hpp"
#include "lumsk/outline_clip.hpp"
#include "lumsk/radius_mask.hpp"

namespace {

constexpr std::int32_t kSide = 2000;
constexpr int kPoints = 1000000;
constexpr int kChannels = 2;

// A fresh working folder for the scope of one benchmark.
class WorkingFolder {
public:
    WorkingFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "minc_bench_XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(path_);
    }
    ~WorkingFolder() {
        std::filesystem::current_path(previous_);
        std::filesystem::remove_all(path_);
    }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

// A smooth surface sampled at random positions, as an inversion section
// would give, written as the point data file "tmpdat.tmp".
void writePointData() {
    std::mt19937 random(7);
    std::uniform_real_distribution<float> position(0.0f, static_cast<float>(kSide - 1));
    std::vector<float> records;
    records.reserve(static_cast<std::size_t>(kPoints) * (2 + kChannels));
    for (int k = 0; k < kPoints; ++k) {
        const float x = position(random);
        const float y = position(random);
        const float z = 50.0f * std::sin(x / 150.0f) + 30.0f * std::cos(y / 200.0f) + 0.01f * x;
        records.insert(records.end(), {x, y, z, 0.0f});
    }
    common::RawFile file = common::RawFile::create("tmpdat.tmp");
    file.write(records.data(), static_cast<std::int64_t>(records.size() * sizeof(float)));
}

void BM_MincMillionPoints(benchmark::State& state) {
    const auto build = state.range(0) == 0 ? lumsk::LibraryBuild::narrowOutline : lumsk::LibraryBuild::wideOutline;
    WorkingFolder folder;
    writePointData();
    lumsk::Gridder gridder(build);
    lumsk::MincRequest request{.OUTGRD = "bench.grd", .DX = 1.0f, .DY = 1.0f, .NCOL = kSide, .NROW = kSide,
                               .RADIUS = 10.0f, .DATFIL = std::string("tmpdat.tmp\0", 11), .MAXCHN = kChannels};
    for (auto _ : state) {
        request.ISTAT = 0;
        gridder.MINC(request);
        benchmark::DoNotOptimize(request.ZMAX);
    }
    if (request.ISTAT != 0) state.SkipWithError("MINC failed");
    state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(BM_MincMillionPoints)->Arg(0)->Arg(1)->ArgNames({"wide"})->Unit(benchmark::kSecond)->Iterations(1);

// The mask of a 2000 x 2000 grid with a half window of 10: data cells on a
// disc of radius 900 cells, sparse enough that the reach has gaps to fill.
void layDownDiscMask(lumsk::MincState& minc, common::RawFile& file, std::int32_t h) {
    const std::int32_t columns = kSide + 2 * h;
    lumsk::MaskHeader header;
    header.columns = columns;
    header.rows = columns;
    lumsk::writeEmptyMask(file, header);
    std::vector<std::int32_t> row(static_cast<std::size_t>(columns));
    std::int32_t ierr = 0;
    for (std::int32_t k = 1; k <= columns; ++k) {
        for (std::int32_t j = 1; j <= columns; ++j) {
            const std::int32_t di = k - columns / 2;
            const std::int32_t dj = j - columns / 2;
            const bool onDisc = di * di + dj * dj < 900 * 900;
            row[static_cast<std::size_t>(j - 1)] = onDisc && (k * 7 + j * 13) % 5 == 0 ? lumsk::kMaskData : 0;
        }
        lumsk::ROWDA(minc, file, columns, row.data(), 0, k, ierr);
    }
}

void BM_MaskStage(benchmark::State& state) {
    WorkingFolder folder;
    const std::int32_t h = 10;
    const std::int32_t MC = kSide + 2 * h;
    const std::int32_t NWIN = 2 * h + 1;
    std::int32_t risingSweeps = 0;
    lumsk::MincState minc(lumsk::LibraryBuild::narrowOutline, risingSweeps);
    minc.settings.maskRecordWords = lumsk::maskRecordWords(MC);
    std::vector<std::int32_t> work(256000);
    std::int32_t* words = work.data();
    const std::int32_t MAXOUT = (256000 - 5 * MC) / 2;
    for (auto _ : state) {
        state.PauseTiming();
        common::RawFile file = common::RawFile::create(lumsk::kMaskFileName);
        layDownDiscMask(minc, file, h);
        state.ResumeTiming();
        std::int32_t status = 0;
        lumsk::RADREM(minc, 1, file, MC, NWIN, words, words + MC, words + 2 * MC, status);
        lumsk::RADMSK(minc, 1, file, MC, NWIN, words, words + MC, words + 2 * MC, status);
        lumsk::RADCLP(minc, file, MC, MC, NWIN, MAXOUT, words, words + MC, words + 3 * MC, words + 5 * MC);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(MC) * MC);
}
BENCHMARK(BM_MaskStage)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
