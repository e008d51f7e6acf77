// levelrun <level>... [--updates N [--picture <png>]]: loads each level headless for play, as the game does, and
// prints what it holds, the simulation generator's state and the world state hash. With
// --updates, the level is then played that many world updates by a local player who gives no
// commands, and the line "saved=<n> result=<win|loss|none>" follows with the hash after the
// run; --picture then draws the level (terrain, traps, flimbs) and writes its bottom-left
// 1280 x 720, the view of a 720p screen resting on the level's floor, as a PNG. Two runs print the same text; nothing local (time, paths of this machine) goes into it.
#include "app/GameException.h"
#include "app/Random.h"
#include "app/UserFolders.h"
#include "app/XmlUtil.h"
#include "game/GameController.h"
#include "media/DXManager.h"
#include "media/Draw2D.h"
#include "gui/GuiDevice.h"
#include "media/Surface.h"
#include "platform/image/ImageCodec.h"
#include "world/TrapDraw.h"
#include "world/ViewServices.h"
#include "world/Landscape.h"
#include "game/GameServices.h"
#include "game/WorldUpdate.h"
#include "game/LevelLoader.h"
#include "game/LevelSections.h"
#include "modes/ModeServices.h"
#include "tools/headless/HeadlessSession.h"
#include "tools/headless/HelpOption.h"
#include "traps/Trap.h"
#include "world/AnimationSpec.h"
#include "world/StateHash.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"
#include "world/TrapSpecs.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"

#include <algorithm>
#include <cinttypes>
#include <cstdlib>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// The mode's result codes (a match win or loss, a single-player win or loss).
constexpr int kResultWon = 1, kResultLost = 2, kResultSingleLost = 5, kResultSingleWon = 6;

constexpr int kPictureWidth = 1280, kPictureHeight = 720;
// The device covers the largest sample level; the picture is cut from its bottom-left.
constexpr int kDeviceWidth = 2048, kDeviceHeight = 1024;

// The level as the game view draws it at zoom 1: the terrain (an unpainted sky where there
// is none), the trap layers and the flimbs; its bottom-left 1280 x 720 written as a PNG.
bool WritePicture(const std::string& path)
{
    const Landscape& land = *GameLandscape();
    const int top = std::max(0, std::min(land.Height(), kDeviceHeight) - kPictureHeight);
    MemBaseSurface terrain;
    gfx::D3DLOCKED_RECT locked;
    if (terrain.Create(kDeviceWidth, kDeviceHeight) != 0 || !terrain.Lock(locked))
        return false;
    for (int y = 0; y < kDeviceHeight; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch);
        for (int x = 0; x < kDeviceWidth; ++x) {
            const uint32_t colour = x < land.Width() && y < land.Height() ? land.GetPixelColour(x, y) : 0;
            row[x] = colour >> 24 ? colour : 0xFF2A3A55u;
        }
    }
    terrain.Unlock();
    // The picture's view: screen and world pixels are the same.
    GameViewHooks view;
    view.visibleWorldRect = [] { return gfx::RECT{0, 0, kDeviceWidth, kDeviceHeight}; };
    SetGameViewHooks(std::move(view));
    gfx::Device* device = DXManager::GetDevice();
    device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    device->BeginScene();
    Draw2D::DrawTexturedQuad(terrain.texture, nullptr, 0, 0, 1, 1, 0, 0, 0, 0xFFFFFFFFu);
    RebuildTrapDrawList();
    DrawTrapsBackLayer();
    DrawTrapsMiddleLayer();
    for (const Flimb& flimb : World())
        if (!flimb.IsFree())
            flimb.Draw();
    DrawTrapsFrontLayer();
    device->EndScene();
    ResetGameViewHooks();
    std::vector<uint32_t> pixels(size_t(kPictureWidth) * kPictureHeight);
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x)
            pixels[size_t(y) * kPictureWidth + size_t(x)] =
                DXManager::GetBackBuffer()->ReadPixel(uint32_t(x), uint32_t(top + y)) | 0xFF000000u;
    std::vector<uint8_t> png;
    if (!platform::image::EncodePng(pixels.data(), kPictureWidth, kPictureHeight, kPictureWidth * 4, true, png))
        return false;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
    return std::fclose(file) == 0 && written;
}

// The world run for that many updates with the level's game mode and a local player of the
// default group; then the exits' saved flimbs and the result the mode settles on.
void PlayLevel(const LevelLoader& loader, int updates, const std::string& picture)
{
    GameController& controller = Controller();
    controller.players.clear();
    auto player = std::make_unique<PlayerRecord>();
    player->name = "levelrun";
    player->team = static_cast<uint8_t>(loader.defaultGroup >= 0 ? loader.defaultGroup : 0);
    controller.localPlayer = player.get();
    controller.players.push_back(std::move(player));
    controller.sessionKind = kSessionLocal;
    controller.runState = kRunRunning;
    // As the match start does: the traps stamp themselves into the terrain.
    StampTrapsIntoLand();
    CreateCurrentGameMode(loader.info.gameMode);
    ResetExitsFilled();
    ModeStartMatch();
    int result = ModeSettledResult();
    for (int i = 0; i < updates && result == 0; ++i) {
        UpdateWorld();
        result = ModeSettledResult();
    }
    int32_t saved = 0;
    for (const Trap* exit : GetTrapsOfKind(kTrapExit))
        saved += exit->SavedCount();
    const char* outcome = "none";
    if (result == kResultWon || result == kResultSingleWon)
        outcome = "win";
    else if (result == kResultLost || result == kResultSingleLost)
        outcome = "loss";
    std::printf("  after %u updates: saved=%d result=%s\n", World().clock.updateCounter, saved, outcome);
    std::printf("  state hash: %016" PRIX64 "\n", WorldStateHash());
    if (!picture.empty() && !WritePicture(picture))
        std::fprintf(stderr, "levelrun: could not write the picture %s\n", picture.c_str());
    controller.runState = kRunNone;
    controller.localPlayer = nullptr;
    controller.players.clear();
}

// Prints the level's state after a game load (and after the updates when asked); false when
// it could not be loaded.
bool RunLevel(const std::string& name, int updates, const std::string& picture)
{
    std::printf("level %s\n", name.c_str());
    std::unique_ptr<LevelLoader> loader = LoadFlimbsLevel(name, kLevelLoadGame);
    const bool read = LoadLevel(*loader);
    std::printf("  loaded: %s\n", read ? "yes" : "no");
    if (!read)
        return false;
    const LevelChooserEntry& info = loader->info;
    std::printf("  title: %s\n", info.title.c_str());
    std::printf("  size: %d x %d, universes %d, game mode %d, kind %d\n", info.width, info.height, loader->universes,
                info.gameMode, loader->kind);
    int present = 0, available = 0;
    for (const GroupSetup& group : info.groups) {
        present += group.present ? 1 : 0;
        available += group.present && group.available ? 1 : 0;
    }
    std::printf("  groups: %d present, %d available, default %d\n", present, available, loader->defaultGroup);
    std::map<std::string, int> kinds;
    for (const auto& trap : World().traps.all)
        ++kinds[TrapTypeName(trap->kind)];
    std::printf("  traps: %zu", World().traps.all.size());
    const char* separator = " (";
    for (const auto& [kind, count] : kinds) {
        std::printf("%s%s %d", separator, kind.c_str(), count);
        separator = ", ";
    }
    std::printf("%s\n", kinds.empty() ? "" : ")");
    int flimbs = 0;
    for (Flimb& flimb : World())
        flimbs += flimb.IsFree() ? 0 : 1;
    std::printf("  flimbs: %d\n", flimbs);
    xmlNode* primitives = XmlGetChild(XmlChildren(XmlRoot(loader->document.get())), "primitives");
    std::printf("  primitives: %zu, missing %d\n", LevelSectionElements(primitives, "prim").size(),
                loader->missingPrimitives);
    std::printf("  generator: %08" PRIX32 "\n", SimRandom().State());
    std::printf("  state hash: %016" PRIX64 "\n", WorldStateHash());
    if (updates > 0)
        PlayLevel(*loader, updates, picture);
    CloseLevelDocument(*loader);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (AsksForHelp(argc, argv))
        return PrintHelp("usage: levelrun <level>... [--updates N [--picture FILE.png]]\n");
    std::vector<std::string> levels;
    int updates = 0;
    std::string picture;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--picture" && i + 1 < argc) {
            picture = argv[++i];
            continue;
        }
        if (arg == "--updates") {
            char* end = nullptr;
            const long n = i + 1 < argc ? std::strtol(argv[i + 1], &end, 10) : -1;
            if (n < 0 || n > 10000000 || !end || *end) {
                std::fprintf(stderr, "levelrun: --updates wants a count of 0..10000000\n");
                return 2;
            }
            updates = static_cast<int>(n);
            ++i;
        } else {
            levels.push_back(arg);
        }
    }
    if (levels.empty()) {
        std::fprintf(stderr, "usage: levelrun <level>... [--updates N]\n");
        return 2;
    }
    // Playing needs the art: the flimbs' and traps' frame counts and sizes come from their
    // images, loaded as textures of a hidden window's software device.
    const bool device = updates > 0;
    int failures = 0;
    try {
        GameStartOptions options;
        options.programFolder = ProgramFolderFromExecutable();
        options.display = device;
        options.screenWidth = kDeviceWidth;
        options.screenHeight = kDeviceHeight;
        if (device)
            UseHeadlessDrivers();
        GameStartup startup;
        startup.Start(options);
        for (const std::string& level : levels)
            failures += RunLevel(level, updates, picture) ? 0 : 1;
        ClearCurrentGameMode();
        if (device)
            UnloadTraps();
    } catch (const GameException& e) {
        std::fprintf(stderr, "levelrun: %s\n", e.what());
        failures = 1;
    }
    return failures == 0 ? 0 : 1;
}
