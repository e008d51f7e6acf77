// trapcheck: loads a level for play headless, runs it and prints the world state hash every
// 50 updates, so that two runs with different local settings can be compared line by line.
//
//   trapcheck <level> [--draw] [--updates N] [--picture FILE.png] [--picture-at N]
//
// --draw draws every update twice (the second time with the in-between frame), traps in all
// their layers and the flimbs, on a device the size of the level; drawing may not change a
// hash. --picture writes the drawn level (terrain, traps, flimbs) after update --picture-at
// (default: the last) as a PNG.
#include "tools/headless/HelpOption.h"
#include "tools/replaycheck/HeadlessGame.h"

#include "app/GameException.h"
#include "app/Random.h"
#include "game/GameController.h"
#include "game/GameServices.h"
#include "game/LevelLoader.h"
#include "game/WorldUpdate.h"
#include "media/DXManager.h"
#include "media/Draw2D.h"
#include "media/Surface.h"
#include "modes/ModeServices.h"
#include "platform/image/ImageCodec.h"
#include "world/StateHash.h"
#include "world/TrapDraw.h"
#include "world/TrapSpecs.h"
#include "world/ViewServices.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 720;

// The whole screen is the view: world and screen pixels are the same.
void InstallScreenView()
{
    GameViewHooks hooks;
    hooks.visibleWorldRect = [] { return gfx::RECT{0, 0, kScreenWidth, kScreenHeight}; };
    hooks.viewWidth = [] { return float(kScreenWidth); };
    hooks.viewHeight = [] { return float(kScreenHeight); };
    SetGameViewHooks(std::move(hooks));
}

// The terrain as a texture of the screen's size.
void DrawTerrain()
{
    Landscape& land = *GameLandscape();
    MemBaseSurface terrain;
    if (terrain.Create(kScreenWidth, kScreenHeight) != 0)
        return;
    gfx::D3DLOCKED_RECT locked;
    if (!terrain.Lock(locked))
        return;
    for (int y = 0; y < kScreenHeight; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < kScreenWidth; ++x) {
            const uint32_t colour = x < land.Width() && y < land.Height() ? land.GetPixelColour(x, y) : 0;
            row[x] = colour >> 24 ? colour : 0xFF1A2433u;
        }
    }
    terrain.Unlock();
    Draw2D::DrawTexturedQuad(terrain.texture, nullptr, 0, 0, 1, 1, 0, 0, 0, 0xFFFFFFFFu);
}

// One frame as the game draws it: back parts, the traps behind, the flimbs, the traps in
// front; the terrain too when asked.
void DrawFrame(bool terrain)
{
    gfx::Device* device = DXManager::GetDevice();
    device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    device->BeginScene();
    RebuildTrapDrawList();
    DrawTrapsBackLayer();
    if (terrain)
        DrawTerrain();
    DrawTrapsMiddleLayer();
    for (const Flimb& flimb : World())
        if (!flimb.IsFree())
            flimb.Draw();
    DrawTrapsFrontLayer();
    device->EndScene();
}

bool WritePicture(const std::string& path)
{
    DrawFrame(true);
    std::vector<uint32_t> pixels(size_t(kScreenWidth) * kScreenHeight);
    for (int y = 0; y < kScreenHeight; ++y)
        for (int x = 0; x < kScreenWidth; ++x)
            pixels[size_t(y) * kScreenWidth + x] =
                DXManager::GetBackBuffer()->ReadPixel(uint32_t(x), uint32_t(y)) | 0xFF000000u;
    std::vector<uint8_t> png;
    if (!platform::image::EncodePng(pixels.data(), kScreenWidth, kScreenHeight, kScreenWidth * 4, true, png))
        return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return std::fclose(file) == 0 && written;
}

} // namespace

int main(int argc, char** argv)
{
    if (AsksForHelp(argc, argv))
        return PrintHelp("usage: trapcheck <level> [--draw] [--updates N] [--picture FILE.png] [--picture-at N]\n");
    bool draw = false;
    std::string level, picture;
    uint32_t updates = 500, pictureAt = 0;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--draw"))
            draw = true;
        else if (!std::strcmp(argv[i], "--picture") && i + 1 < argc)
            picture = argv[++i];
        else if (!std::strcmp(argv[i], "--picture-at") && i + 1 < argc)
            pictureAt = uint32_t(std::strtoul(argv[++i], nullptr, 10));
        else if (!std::strcmp(argv[i], "--updates") && i + 1 < argc)
            updates = uint32_t(std::strtoul(argv[++i], nullptr, 10));
        else if (argv[i][0] != '-' && level.empty())
            level = argv[i];
        else
            level.clear(), i = argc;
    }
    if (level.empty()) {
        std::fprintf(stderr, "usage: trapcheck <level> [--draw] [--updates N] [--picture FILE.png] [--picture-at N]\n");
        return 2;
    }
    if (pictureAt == 0 || pictureAt > updates)
        pictureAt = updates;
    int result = 0;
    try {
        HeadlessGame game(kScreenWidth, kScreenHeight);
        InstallScreenView();
        SimSrand(7);
        std::unique_ptr<LevelLoader> loader = LoadFlimbsLevel(level, kLevelLoadGame);
        if (!loader || !LoadLevel(*loader)) {
            std::fprintf(stderr, "trapcheck: %s did not load\n", level.c_str());
            return 1;
        }
        CloseLevelDocument(*loader);
        Controller().runState = kRunRunning;
        std::printf("level %s: %zu traps\n", level.c_str(), World().traps.all.size());
        for (uint32_t update = 1; update <= updates; ++update) {
            UpdateWorld();
            if (draw) {
                DrawFrame(false);
                SetInBetweenFrame(true);
                DrawFrame(false);
                SetInBetweenFrame(false);
            }
            if (update % 50 == 0) {
                int flimbs = 0;
                for (const Flimb& flimb : World())
                    flimbs += !flimb.IsFree() && flimb.IsAlive() ? 1 : 0;
                std::printf("update %" PRIu32 " hash %016" PRIx64 " flimbs %d\n", update, WorldStateHash(), flimbs);
            }
            if (!picture.empty() && update == pictureAt && !WritePicture(picture)) {
                std::fprintf(stderr, "trapcheck: could not write %s\n", picture.c_str());
                result = 1;
            }
        }
        UnloadTraps();
        ClearCurrentGameMode();
        ResetGameViewHooks();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "trapcheck: %s\n", e.what());
        return 1;
    }
    return result;
}
