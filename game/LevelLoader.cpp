#include "game/LevelLoader.h"

#include "app/ConsoleParam.h"
#include "app/FileManager.h"
#include "app/GameClock.h"
#include "app/GameException.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "game/GameServices.h"
#include "game/LevelFile.h"
#include "game/LevelGlobals.h"
#include "game/LevelNames.h"
#include "game/LevelReaders.h"
#include "game/LevelSections.h"
#include "levelmodel/MapEditor.h"
#include "modes/ModeServices.h"
#include "traps/ModifyLandPrimStore.h"
#include "world/ConsoleValues.h"
#include "world/FlimbTable.h"
#include "world/Landscape.h"
#include "world/TrapRegistry.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"

#include <algorithm>
#include <optional>

namespace {

// Modes 2 and 3 draw from the loader's own generator; mode 3 fills its own world too. Both
// only on this thread, for the life of the object.
class LoaderScope {
public:
    explicit LoaderScope(LevelLoader& loader)
    {
        if (loader.mode != kLevelLoadGame)
            random_.emplace(loader.privateRandom);
        if (loader.mode == kLevelLoadPreview && loader.privateWorld)
            world_.emplace(*loader.privateWorld);
    }

private:
    std::optional<ScopedSimRandom> random_;
    std::optional<ScopedWorld> world_;
};

xmlNode* Roots(LevelLoader& loader, xmlNode*& defaultsRoot)
{
    xmlNode* root = XmlRoot(loader.document.get());
    defaultsRoot = XmlRoot(LevelDefaultsDocument());
    if (!root || !defaultsRoot)
        throw GameException("Coundn't obtain root node of xml");
    return root;
}

xmlNode* Section(xmlNode* root, const char* name)
{
    return XmlGetChild(XmlChildren(root), name);
}

// The first `element` of a section of the defaults document.
xmlNode* DefaultsOf(xmlNode* defaultsRoot, const char* section, const char* element)
{
    return XmlGetChild(XmlChildren(Section(defaultsRoot, section)), element);
}

void ClearRecord(LevelLoader& loader)
{
    loader.info = LevelChooserEntry{};
    loader.defaultGroup = -1;
    loader.availabilityDerived = true;
    loader.loaded = false;
    loader.levelRead = false;
}

void FinishGameLoad(LevelLoader& loader, uint32_t started)
{
    DeriveGroupAvailability(loader);
    if (loader.kind == kLevelSinglePlayer && loader.info.gameMode == 0) {
        for (GroupSetup& group : loader.info.groups)
            group.available = group.slot == loader.defaultGroup ? 1 : 0;
    }
    loader.info.availableGroups = 0;
    for (const GroupSetup& group : loader.info.groups)
        if (group.present && group.available)
            ++loader.info.availableGroups;
    Controller().currentLevel = loader.info;
    Controller().levelFile = loader.info.path;
    Controller().levelTitle = loader.info.title;
    WriteLog("LoadLevel took %d milliseconds\n", static_cast<int>(SteadyMilliseconds() - started));
    ClearLandscapePrimitives();
    if (Landscape* landscape = GameLandscape())
        landscape->RecreateMinimapSurface();
    ResetNextTrapId();
    RunTrapsAfterLevelLoad();
    World().nextIdHigh = World().nextIdLow;
    if (loader.info.gameMode != 5 && loader.defaultGroup >= 0 && loader.kind == kLevelSinglePlayer)
        SendTeamChange(static_cast<uint8_t>(loader.defaultGroup));
}

void PublishGlobals(const LevelLoader& loader)
{
    LevelGlobals& globals = CurrentLevelGlobals();
    globals.boundaryTop = loader.boundaries[0];
    globals.boundaryBottom = loader.boundaries[1];
    globals.boundaryLeft = loader.boundaries[2];
    globals.boundaryRight = loader.boundaries[3];
    globals.zoomFlimbId = loader.zoomFlimbId;
}

} // namespace

LevelLoader::LevelLoader() = default;

LevelLoader::~LevelLoader()
{
    CloseLevelDocument(*this);
}

int32_t GetUniverseCount(const LevelLoader& loader)
{
    if (loader.mode != kLevelLoadGame || loader.info.gameMode != 4)
        return 1;
    if (loader.kind == kLevelSinglePlayer)
        return 2;
    int32_t players = 0;
    for (const auto& player : Controller().players)
        if (player && !player->spectator)
            ++players;
    return std::max(players, 1);
}

int32_t RemapGroupForUniverse(const LevelLoader& loader, int32_t group, int32_t universe)
{
    if (loader.mode != kLevelLoadGame || loader.info.gameMode != 4)
        return group;
    if (loader.kind == kLevelSinglePlayer)
        return universe == 1 && group == loader.defaultGroup ? CurrentLevelGlobals().flimbMasterGroup : group;
    return universe;
}

std::unique_ptr<LevelLoader> LoadFlimbsLevel(const std::string& levelName, int32_t mode, MapEditor* editor,
                                             int32_t previewSize)
{
    auto loader = std::make_unique<LevelLoader>();
    loader->mode = mode;
    loader->editor = editor;
    ClearRecord(*loader);
    loader->previewSize = previewSize > 0 ? previewSize : -1;
    if (mode == kLevelLoadPreview)
        loader->privateWorld = std::make_unique<WorldState>();
    LoaderScope scope(*loader);

    const uint32_t started = SteadyMilliseconds();
    loader->path = MakeLevelPath(levelName);
    if (!loader->path.empty())
        loader->document = XmlLoadFile(loader->path);
    if (!loader->document) {
        if (!loader->path.empty() && fileManager && fileManager->Exists(loader->path, -1))
            WriteLog("Error : Couldn't parse level [%s]\n", loader->path.c_str());
        else
            WriteLog("Error : [%s] not found\n", loader->path.empty() ? levelName.c_str() : loader->path.c_str());
        return loader;
    }
    if (ConsoleInt("debug_mode"))
        WriteLog("Parse time: %d ms\n", static_cast<int>(SteadyMilliseconds() - started));

    LevelFileName parts;
    loader->info.fileName = GetFileTitle(loader->path, false);
    loader->info.title = ParseLevelFileName(loader->path, parts) ? parts.name : GetFileTitle(loader->path, true);
    const size_t firstSeparator = loader->path.find('\\');
    loader->info.path =
        firstSeparator == std::string::npos ? loader->path : loader->path.substr(firstSeparator + 1);
    if (fileManager) {
        if (const int handle = fileManager->Open(loader->path)) {
            fileManager->GetFileTime(&loader->info.fileTime, handle);
            loader->info.crc = GetFileCrcAndClose(*fileManager, handle);
        }
        loader->info.inUserFolder = fileManager->Exists(loader->path, 2) ? 1 : 0;
    }

    try {
        xmlNode* defaultsRoot = nullptr;
        xmlNode* root = Roots(*loader, defaultsRoot);
        if (mode != kLevelLoadPreview && !XmlVerifyHash(root))
            throw GameException("Invalid hash on flimbs level file");
        ReadLevelGlobals(*loader, Section(root, "globals"), Section(defaultsRoot, "globals"));
        loader->loaded = true;
    } catch (const GameException& e) {
        WriteLog("Error: LoadFlimbsLevel() : %s\n", e.what());
    }
    return loader;
}

bool LoadLevel(LevelLoader& loader)
{
    if (!loader.loaded || loader.levelRead)
        return false;
    loader.levelRead = true;
    LoaderScope scope(loader);
    // Every level load starts without the primitives the last one's modify-land traps moved.
    ModifyLandPrimStore::Clear();
    const uint32_t started = SteadyMilliseconds();
    try {
        if (loader.mode == kLevelLoadEditor && loader.editor) {
            loader.editor->ClearObjects();
            LevelFileName parts;
            loader.editor->SetFieldText("LevelName", ParseLevelFileName(loader.path, parts)
                                                         ? parts.name
                                                         : GetFileTitle(loader.path, true));
            loader.editor->path = loader.path;
        } else if (loader.mode == kLevelLoadGame) {
            DeleteAllTraps();
            ClearWorldFlimbs(World());
        } else if (loader.mode == kLevelLoadPreview) {
            // Square, twice the preview's size a side (the size is at most half the largest).
            const int32_t side = std::min(2 * loader.previewSize, kMaxLevelSide);
            loader.previewLandscape = std::make_unique<Landscape>();
            loader.previewLandscape->Create(side, side);
        }
        loader.placed.clear();
        loader.placedTraps.clear();
        xmlNode* defaultsRoot = nullptr;
        xmlNode* root = Roots(loader, defaultsRoot);
        ApplyLevelGlobals(loader, root, defaultsRoot);

        loader.universes = GetUniverseCount(loader);
        for (int32_t u = 0; u < loader.universes; ++u) {
            SimSrand(42);
            loader.offsetX = static_cast<int32_t>((static_cast<int64_t>(loader.info.width) * u) / loader.universes);
            loader.offsetY = 0;
            ReadPreFlimbs(loader, Section(root, "preflimbs"), DefaultsOf(defaultsRoot, "preflimbs", "flimb"), u);
            ReadLevelGroups(loader, Section(root, "groups"), DefaultsOf(defaultsRoot, "groups", "group"),
                            defaultsRoot, u);
            ReadLevelTraps(loader, Section(root, "traps"), DefaultsOf(defaultsRoot, "traps", "trap"), u);
            if (loader.mode == kLevelLoadPreview) {
                DrawPreviewSky(loader);
                StampPreviewTraps(loader, true);
            }
            ReadLevelPrimitives(loader, Section(root, "primitives"), DefaultsOf(defaultsRoot, "primitives", "prim"),
                                u);
            if (u > 0)
                RelinkUniverse(loader);
        }
        if (loader.mode != kLevelLoadPreview)
            XmlVerifyHash(root);

        switch (loader.mode) {
        case kLevelLoadGame:
            PublishGlobals(loader);
            FinishGameLoad(loader, started);
            return true;
        case kLevelLoadPreview:
            DrawPreviewSky(loader);
            StampPreviewTraps(loader, true);
            StampPreviewTraps(loader, false);
            FinishPreview(loader);
            loader.previewLandscape.reset();
            return true;
        default:
            PublishGlobals(loader);
            if (loader.editor) {
                loader.editor->FixObjectIds();
                loader.editor->RenumberOrder();
                loader.editor->CommitObjectStates();
            }
            return true;
        }
    } catch (const GameException& e) {
        WriteLog("Error: LoadFlimbsLevel() : %s\n", e.what());
        if (loader.mode == kLevelLoadEditor && loader.editor)
            loader.editor->Reset();
        return false;
    }
}

void CloseLevelDocument(LevelLoader& loader)
{
    // The traps and flimbs of a preview belong to its private world.
    std::optional<ScopedWorld> world;
    if (loader.privateWorld)
        world.emplace(*loader.privateWorld);
    loader.document.reset();
    loader.previewLandscape.reset();
    loader.previewTraps.clear();
    for (Flimb& flimb : loader.previewFlimbs)
        DestroyFlimbTag(flimb);
    loader.previewFlimbs.clear();
    loader.previewSurface.reset();
    loader.placed.clear();
    loader.placedTraps.clear();
}

bool LoadLevelFromRecord(const LevelChooserEntry& record)
{
    std::unique_ptr<LevelLoader> loader = LoadFlimbsLevel(record.path.empty() ? record.fileName : "Level\\" + record.path,
                                                          kLevelLoadGame);
    const bool read = LoadLevel(*loader);
    CloseLevelDocument(*loader);
    return read;
}

bool LoadLevelIntoMap(MapEditor& editor, const std::string& path)
{
    // An open editor stays open: the load replaces its level and its undo history.
    const bool open = editor.IsOpen();
    editor.Reset();
    if (open)
        editor.Open();
    std::unique_ptr<LevelLoader> loader = LoadFlimbsLevel(path, kLevelLoadEditor, &editor);
    if (ConsoleParam* touchscreen = ConsoleParam::Find("touchscreen")) {
        editor.rememberedTouchscreen = touchscreen->GetInt();
        touchscreen->SetInt(0);
    }
    const bool read = LoadLevel(*loader);
    CloseLevelDocument(*loader);
    if (open)
        editor.Open(); // a failed read reset the editor
    return read;
}

bool ReloadEditorLevel(MapEditor& editor)
{
    const std::string path = editor.path;
    return LoadLevelIntoMap(editor, path);
}

int32_t CountLevelLoadItems(const LevelLoader& loader)
{
    xmlNode* root = XmlRoot(loader.document.get());
    const int32_t primitives =
        static_cast<int32_t>(LevelSectionElements(Section(root, "primitives"), "prim").size());
    const int32_t traps = static_cast<int32_t>(LevelSectionElements(Section(root, "traps"), "trap").size());
    return primitives + traps * GetUniverseCount(loader);
}
