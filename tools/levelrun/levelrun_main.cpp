// levelrun <level>...: loads each level headless for play, as the game does, and prints what
// it holds, the simulation generator's state and the world state hash. Two runs print the
// same text; nothing local (time, paths of this machine) goes into it.
#include "app/FileManager.h"
#include "app/GameException.h"
#include "app/MemoryFileManager.h"
#include "app/Random.h"
#include "app/ResourceFileManager.h"
#include "app/StandardFileManager.h"
#include "app/UserFolders.h"
#include "app/XmlUtil.h"
#include "game/GameServices.h"
#include "game/LevelLoader.h"
#include "game/LevelSections.h"
#include "modes/ModeServices.h"
#include "traps/Trap.h"
#include "world/StateHash.h"
#include "world/TrapKinds.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"

#include <cinttypes>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

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

// Prints the level's state after a game load; false when it could not be loaded.
bool RunLevel(const std::string& name)
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
    CloseLevelDocument(*loader);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: levelrun <level>...\n");
        return 2;
    }
    std::unique_ptr<FileManager> manager = MakeFileManager();
    fileManager = manager.get();
    int failures = 0;
    try {
        LoadProfileResources();
        InitLandscape();
        for (int i = 1; i < argc; ++i)
            failures += RunLevel(argv[i]) ? 0 : 1;
    } catch (const GameException& e) {
        std::fprintf(stderr, "levelrun: %s\n", e.what());
        failures = 1;
    }
    ClearCurrentGameMode();
    ReleaseLandscape();
    FreeProfileResources();
    fileManager = nullptr;
    return failures == 0 ? 0 : 1;
}
