// levelrun <level>... [--updates N]: loads each level headless for play, as the game does, and
// prints what it holds, the simulation generator's state and the world state hash. With
// --updates, the level is then played that many world updates by a local player who gives no
// commands, and the line "saved=<n> result=<win|loss|none>" follows with the hash after the
// run. Two runs print the same text; nothing local (time, paths of this machine) goes into it.
#include "app/FileManager.h"
#include "app/GameException.h"
#include "app/MemoryFileManager.h"
#include "app/Random.h"
#include "app/ResourceFileManager.h"
#include "app/StandardFileManager.h"
#include "app/UserFolders.h"
#include "app/XmlUtil.h"
#include "game/GameController.h"
#include "media/DXManager.h"
#include "media/ImageCache.h"
#include "platform/window/MainWindow.h"
#include "game/GameServices.h"
#include "game/WorldUpdate.h"
#include "game/LevelLoader.h"
#include "game/LevelSections.h"
#include "modes/ModeServices.h"
#include "traps/Trap.h"
#include "world/AnimationSpec.h"
#include "world/StateHash.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"

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

std::unique_ptr<FileManager> MakeFileManager()
{
    auto manager = std::make_unique<FileManager>();
    auto program = StandardFileManager::ForProgramFolder();
    const std::string archive = program->Resolve("Data\\resource.dat");
    manager->AddMember(std::move(program));
    if (!archive.empty())
        manager->AddMember(std::make_unique<ResourceFileManager>(archive));
    auto user = std::make_unique<StandardFileManager>();
    user->AddRootFolder("Level");
    user->AddRootFolder("Cache");
    manager->AddMember(std::move(user));
    manager->AddMember(std::make_unique<MemoryFileManager>());
    manager->IndexNames(nullptr, 0, nullptr);
    return manager;
}

// The world run for that many updates with the level's game mode and a local player of the
// default group; then the exits' saved flimbs and the result the mode settles on.
void PlayLevel(const LevelLoader& loader, int updates)
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
    controller.runState = kRunNone;
    controller.localPlayer = nullptr;
    controller.players.clear();
}

// Prints the level's state after a game load (and after the updates when asked); false when
// it could not be loaded.
bool RunLevel(const std::string& name, int updates)
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
        PlayLevel(*loader, updates);
    CloseLevelDocument(*loader);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> levels;
    int updates = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
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
    std::unique_ptr<FileManager> manager = MakeFileManager();
    fileManager = manager.get();
    // Playing needs the art: the flimbs' and traps' frame counts and sizes come from their
    // images, loaded as textures of a hidden window's software device.
    platform::MainWindow window;
    const bool device = updates > 0;
    if (device) {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("ALSOFT_DRIVERS", "null", 0);
        if (!window.Create("Flimbs", {0, 0, 640, 480})) {
            std::fprintf(stderr, "levelrun: no window for the device\n");
            return 1;
        }
        DXManager::Init(&window, 640, 480);
    }
    int failures = 0;
    try {
        LoadProfileResources();
        InitLandscape();
        // The flimbs' animations: their frame counts pace the flimbs' actions.
        LoadActionSprites();
        for (const std::string& level : levels)
            failures += RunLevel(level, updates) ? 0 : 1;
    } catch (const GameException& e) {
        std::fprintf(stderr, "levelrun: %s\n", e.what());
        failures = 1;
    }
    ClearCurrentGameMode();
    UnloadActionSprites();
    ReleaseLandscape();
    ReleaseProfileResources();
    if (device) {
        ImageCache::Clear();
        DXManager::Shutdown();
    }
    fileManager = nullptr;
    return failures == 0 ? 0 : 1;
}
