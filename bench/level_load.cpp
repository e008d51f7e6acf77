// A game load of a large level: 4096 x 2048, gzip-compressed, 1,500 primitives, 200 traps
// and 500 flimbs, read from the user folder as the game reads it (the budget: 1 s), after
// the game's start-up without a display; and the same level loaded for editing into a
// level editor (the same budget).
#include "app/FileManager.h"
#include "app/UserFolders.h"
#include "frontend/GameStartup.h"
#include "game/GameServices.h"
#include "game/LevelFile.h"
#include "game/LevelLoader.h"
#include "levelmodel/MapEditor.h"
#include "levelmodel/MapFlimb.h"
#include "levelmodel/MapPrimitive.h"
#include "levelmodel/MapTrap.h"
#include "modes/ModeServices.h"
#include "traps/Trap.h"
#include "world/TrapRegistry.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

const char* const kLevel = "Level\\m_dm_bench_large.flevel";

struct LargeLevel {
    GameStartup startup;

    LargeLevel()
    {
        std::string home = (std::filesystem::temp_directory_path() / "flimbs-bench-XXXXXX").string();
        if (char* made = mkdtemp(home.data()))
            setenv("FLIMBS_HOME", made, 1);
        GameStartOptions options;
        options.programFolder = ProgramFolderFromExecutable();
        options.display = false;
        startup.Start(options);
        Write();
        startup.Files()->IndexNames(nullptr, 0, nullptr);
    }
    ~LargeLevel()
    {
        ClearCurrentGameMode();
        DeleteAllTraps();
        startup.Stop();
        std::error_code ignored;
        std::filesystem::remove_all(GetUserRoot(), ignored);
    }
    // The level, written as the editor writes it.
    static void Write()
    {
        LevelDescription level;
        level.title = "Bench";
        level.width = 4096;
        level.height = 2048;
        level.kind = kLevelMultiplayer;
        for (int g = 0; g < 8; ++g) {
            level.groups[static_cast<size_t>(g)].present = 1;
            level.groups[static_cast<size_t>(g)].available = 1;
            level.groups[static_cast<size_t>(g)].actions.fill(5);
        }
        std::vector<std::unique_ptr<MapObject>> objects;
        std::vector<const MapObject*> traps, flimbs, primitives;
        const char* const files[] = {"Graphics\\Terrain\\ground.png", "Graphics\\Terrain\\rock.png",
                                     "Graphics\\Terrain\\girder.png"};
        const int kinds[] = {21, 22, 1, 4, 6, 8, 9, 12, 20, 24, 34, 42};
        for (int i = 0; i < 200; ++i) {
            auto trap = std::make_unique<MapTrap>(Trap::Create(kinds[i % 12]));
            trap->SetPosition((i * 197) % 4000 + 40, (i * 89) % 1900 + 60);
            trap->GetTrap()->SetLink({0, static_cast<uint32_t>((i + 1) % 200)});
            trap->mapOrder = i;
            traps.push_back(trap.get());
            objects.push_back(std::move(trap));
        }
        for (int i = 0; i < 500; ++i) {
            auto flimb = std::make_unique<MapFlimb>(nullptr);
            flimb->SetPosition((i * 53) % 4000 + 40, (i * 31) % 1900 + 60);
            flimb->GetFlimb()->group = static_cast<uint8_t>(i % 8);
            flimbs.push_back(flimb.get());
            objects.push_back(std::move(flimb));
        }
        for (int i = 0; i < 1500; ++i) {
            auto primitive = std::make_unique<MapPrimitive>();
            primitive->fileName = files[i % 3];
            primitive->SetPositionF(static_cast<float>((i * 173) % 4096), static_cast<float>((i * 71) % 2048));
            primitive->rotation = static_cast<float>((i % 4) * 90 + (i % 7 == 0 ? 15 : 0));
            primitive->scaleX = primitive->scaleY = i % 5 == 0 ? 1.5f : 1.0f;
            primitive->mapOrder = i;
            primitives.push_back(primitive.get());
            objects.push_back(std::move(primitive));
        }
        XmlDocument doc = BuildLevelDocument(level, traps, flimbs, primitives);
        SaveLevelDocument(doc.get(), kLevel, true);
    }
};

void BM_LoadLargeLevel(benchmark::State& state)
{
    LargeLevel level;
    for (auto _ : state) {
        std::unique_ptr<LevelLoader> loader = LoadFlimbsLevel(kLevel, kLevelLoadGame);
        const bool read = LoadLevel(*loader);
        if (!read)
            state.SkipWithError("the level did not load");
        CloseLevelDocument(*loader);
    }
}
BENCHMARK(BM_LoadLargeLevel)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_LoadLargeLevelForEditing(benchmark::State& state)
{
    LargeLevel level;
    MapEditor editor;
    SetCurrentEditor(&editor);
    editor.Open();
    for (auto _ : state) {
        if (!LoadLevelIntoMap(editor, kLevel) || editor.ObjectCount() != 2200)
            state.SkipWithError("the level did not load for editing");
    }
    editor.Reset();
    SetCurrentEditor(nullptr);
}
BENCHMARK(BM_LoadLargeLevelForEditing)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
