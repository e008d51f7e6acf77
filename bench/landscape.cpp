// The terrain on one core: brush bashes (adding and removing a 64-pixel brush), checksums and
// state hashes of a fully mapped 2048 x 1024 landscape, and a solidity scan.
#include "world/TileStore.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

// The checksum writes its log line: keep the log out of the user's own folder.
const bool kPrivateHome = [] {
    if (!std::getenv("FLIMBS_HOME")) {
        std::string pattern = (std::filesystem::temp_directory_path() / "flimbs-bench-XXXXXX").string();
        if (char* made = mkdtemp(pattern.data()))
            setenv("FLIMBS_HOME", made, 1);
    }
    return true;
}();

// A round 64 x 64 brush in the predefined-mask cache (mask 12, size 1) with its hot spot at
// the centre.
void InstallBrush(TileStore& land)
{
    BashMaskPtr brush = AllocateBashMask(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const int dx = 2 * x - 63, dy = 2 * y - 63;
            brush->Row(y)[x] = dx * dx + dy * dy <= 64 * 64 ? 0xFF886B0Bu : 0u;
        }
    brush->hotspotX = 32;
    brush->hotspotY = 32;
    land.SetPredefinedMask(12, 1, 0, 0, std::move(brush));
}

struct FullLandscape {
    TileStore land;
    FullLandscape()
    {
        land.Create(2048, 1024);
        land.SetPixel(1, true, 0xFF886B0Bu, 0, 0, 2047, 1023);
        InstallBrush(land);
    }
};

FullLandscape& Full()
{
    static FullLandscape full;
    return full;
}

// Brush centres on a grid that straddles tile borders.
int CentreX(int64_t i) { return 100 + int(i * 37 % 1800); }
int CentreY(int64_t i) { return 100 + int(i * 53 % 800); }

void BM_BrushBashAdd(benchmark::State& state)
{
    TileStore& land = Full().land;
    int64_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(land.BashBrush(12, 1, 0, 0, 3, false, kAllMaterials, nullptr, 0xFF808080u,
                                                CentreX(i), CentreY(i)));
        ++i;
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_BrushBashAdd);

// One removing bash over solid terrain, then the adding bash that puts it back.
void BM_BrushBashRemoveThenAdd(benchmark::State& state)
{
    TileStore& land = Full().land;
    int64_t i = 0;
    for (auto _ : state) {
        const int x = CentreX(i), y = CentreY(i);
        benchmark::DoNotOptimize(land.BashBrush(12, 1, 0, 0, 0, false, kAllMaterials, nullptr, 0xFF808080u, x, y));
        land.BashBrush(12, 1, 0, 0, 1, false, kAllMaterials, nullptr, 0xFF808080u, x, y);
        ++i;
    }
    state.SetItemsProcessed(2 * state.iterations()); // two bashes an iteration
}
BENCHMARK(BM_BrushBashRemoveThenAdd);

void BM_ChecksumFullLandscape(benchmark::State& state)
{
    TileStore& land = Full().land;
    for (auto _ : state)
        benchmark::DoNotOptimize(land.Checksum());
}
BENCHMARK(BM_ChecksumFullLandscape)->Unit(benchmark::kMicrosecond);

void BM_StateHashFullLandscape(benchmark::State& state)
{
    TileStore& land = Full().land;
    for (auto _ : state)
        benchmark::DoNotOptimize(land.StateHash());
}
BENCHMARK(BM_StateHashFullLandscape)->Unit(benchmark::kMillisecond);

// A flimb-sized rectangle test and pixel count.
void BM_SolidityQueries(benchmark::State& state)
{
    TileStore& land = Full().land;
    int64_t i = 0;
    for (auto _ : state) {
        const int x = CentreX(i), y = CentreY(i);
        benchmark::DoNotOptimize(land.HitTestRect(false, false, x, y, x + 15, y + 23));
        benchmark::DoNotOptimize(land.CountSolidPixels(x, y, x + 15, y + 23));
        ++i;
    }
}
BENCHMARK(BM_SolidityQueries);

} // namespace
