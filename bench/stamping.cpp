// Terrain stamping on one core: every predefined brush at size 1, a 256 x 256 primitive
// file stamped at 37 degrees and scale 1.3 (cold: its transformed copy made; cached: drawn
// from the kept copy), and the stamps of a whole level on a 2048 x 1024 landscape.
#include "app/MemoryFileManager.h"
#include "app/UserFolders.h"
#include "frontend/GameStartup.h"
#include "platform/image/ImageCodec.h"
#include "world/Landscape.h"
#include "world/PredefinedMasks.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// The checksum and stamping log lines stay out of the user's own folder.
const bool kPrivateHome = [] {
    if (!std::getenv("FLIMBS_HOME")) {
        std::string pattern = (std::filesystem::temp_directory_path() / "flimbs-bench-XXXXXX").string();
        if (char* made = mkdtemp(pattern.data()))
            setenv("FLIMBS_HOME", made, 1);
    }
    return true;
}();

const char* const kPrimitive = "Graphics\\Bench\\rock256.png";
constexpr uint32_t kNeutral = 0xFF808080u;

// The game's start-up without a display (the masks of the build's game folder) and a
// generated 256 x 256 primitive with soft edges and holes among its memory files.
struct Files {
    GameStartup startup;
    Files()
    {
        GameStartOptions options;
        options.programFolder = ProgramFolderFromExecutable();
        options.display = false;
        startup.Start(options);
        std::vector<uint32_t> argb(256 * 256);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) {
                const int dx = x - 128, dy = y - 128, d = dx * dx + dy * dy;
                const uint32_t alpha = d > 127 * 127 ? 0u : d > 120 * 120 ? 0x80u : (x / 16 + y / 16) % 7 ? 0xFFu : 0u;
                argb[size_t(y) * 256 + x] = alpha << 24 | uint32_t(x) << 16 | uint32_t(y) << 8 | 0x30u;
            }
        std::vector<uint8_t> png;
        platform::image::EncodePng(argb.data(), 256, 256, 256 * 4, true, png);
        startup.MemoryFiles()->AddFile(kPrimitive, png.data(), png.size());
    }
};

Landscape& Land()
{
    static Files files;
    static Landscape land;
    static const bool made = [] {
        land.Create(2048, 1024);
        land.SetPixel(1, true, 0xFF886B0Bu, 0, 0, 2047, 1023);
        return true;
    }();
    (void)made;
    return land;
}

int X(int64_t i) { return 100 + int(i * 37 % 1700); }
int Y(int64_t i) { return 100 + int(i * 53 % 700); }

// One adding stroke of the brush at size 1 over solid terrain (every opaque mask pixel laid).
void BM_BashBrushPredefined(benchmark::State& state)
{
    Landscape& land = Land();
    const int mask = int(state.range(0));
    if (!land.BashBrush(mask, 1, 0, 0, 1, false, kAllMaterials, nullptr, kNeutral, 0, 0) &&
        !land.PredefinedMask(mask, 1, 0, 0)) {
        state.SkipWithError("the brush mask could not be built (no game folder?)");
        return;
    }
    int64_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(land.BashBrush(mask, 1, int(i & 3), int(i >> 2 & 1), 1, false, kAllMaterials,
                                                nullptr, kNeutral, X(i), Y(i)));
        ++i;
    }
}
BENCHMARK(BM_BashBrushPredefined)->DenseRange(0, kPredefinedMaskFiles - 1)->Unit(benchmark::kMicrosecond);

uint32_t StampRock(Landscape& land, float scale, float rotation, int64_t i)
{
    return land.BashPrimitiveFile(1, kPrimitive, BashOptions{}, kAllMaterials, scale, scale, rotation, true, nullptr,
                                  kNeutral, Landscape::kCacheLookup | Landscape::kCacheStore, false, nullptr, false,
                                  nullptr, false, float(X(i)), float(Y(i)));
}

// The transformed copy made and kept, then stamped (the image itself already decoded).
void BM_BashPrimitiveFileCold(benchmark::State& state)
{
    Landscape& land = Land();
    int64_t i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        land.ClearPrimitives();
        StampRock(land, 1.0f, 0.0f, i); // decodes the image
        state.ResumeTiming();
        benchmark::DoNotOptimize(StampRock(land, 1.3f, 37.0f, i));
        ++i;
    }
}
BENCHMARK(BM_BashPrimitiveFileCold)->Unit(benchmark::kMicrosecond);

void BM_BashPrimitiveFileCached(benchmark::State& state)
{
    Landscape& land = Land();
    land.ClearPrimitives();
    StampRock(land, 1.3f, 37.0f, 0);
    int64_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(StampRock(land, 1.3f, 37.0f, i));
        ++i;
    }
}
BENCHMARK(BM_BashPrimitiveFileCached)->Unit(benchmark::kMicrosecond);

// A level's primitives from empty caches: N stamps of the 256 x 256 image at 37 degrees and
// 1.3 (the first one decodes and transforms, the rest draw the kept copy), or at 48 mixed
// transforms (12 angles x 4 scales), each made once.
void BM_LevelStamping(benchmark::State& state)
{
    Landscape& land = Land();
    const int count = int(state.range(0));
    const bool mixed = state.range(1) != 0;
    for (auto _ : state) {
        land.ClearPrimitives();
        for (int64_t i = 0; i < count; ++i) {
            const float scale = mixed ? 0.7f + 0.2f * float(i % 4) : 1.3f;
            const float rotation = mixed ? float((i / 4 % 12) * 30 + 7) : 37.0f;
            benchmark::DoNotOptimize(StampRock(land, scale, rotation, i));
        }
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_LevelStamping)
    ->Args({300, 0})
    ->Args({300, 1})
    ->Args({1500, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
