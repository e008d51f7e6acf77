// The level loader's section readers: globals, pre-placed flimbs, groups, traps and
// primitives, the relinking of later universes and the group availability.
#include "game/LevelReaders.h"

#include "app/ConsoleParam.h"
#include "app/FileManager.h"
#include "app/GameException.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "game/GameHooks.h"
#include "game/LevelFile.h"
#include "game/LevelGlobals.h"
#include "game/LevelNames.h"
#include "game/LevelSections.h"
#include "gui/MessageBox.h"
#include "levelmodel/MapEditor.h"
#include "levelmodel/MapFlimb.h"
#include "levelmodel/MapPrimitive.h"
#include "levelmodel/MapTrap.h"
#include "media/DXManager.h"
#include "modes/ModeServices.h"
#include "world/ConsoleValues.h"
#include "world/FlimbQueries.h"
#include "world/FlimbTable.h"
#include "world/Landscape.h"
#include "world/PrimitiveCache.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"
#include "world/WorldState.h"

#include <algorithm>
#include <climits>

namespace {

ConsoleParam g_missingPrims("missingprims", ConsoleParamType::Int, "0",
                            "Logs every primitive image a level load cannot find (1)");

constexpr int32_t kMaxPreviewSize = kMaxLevelSide / 2;
constexpr uint32_t kMaxBashType = 17;

bool IsEditor(const LevelLoader& loader)
{
    return loader.mode == kLevelLoadEditor && loader.editor;
}

// A message box over the game, or the log without a display.
void ShowLevelError(const std::string& text)
{
    if (DXManager::GetDevice())
        ShowMessageBox("Error", text, {}, true);
    else
        WriteLog("Error: %s\n", text.c_str());
}

const char* AttributeOf(const xmlNode* element, const xmlNode* defaults, const char* name)
{
    const char* value = XmlGetAttrValue(element, name);
    if (!value)
        value = XmlGetAttrValue(defaults, name);
    if (!value)
        throw GameException("Attribute not found in original or in defaults");
    return value;
}

// A number of an old file's group ("mustsave", "numflimbs"): the group's own, else the
// defaults group's, else 0.
int32_t OldGroupNumber(xmlNode* group, xmlNode* defaults, const char* name)
{
    xmlNode* element = FindInsideSection(group, name);
    if (!element)
        element = FindInsideSection(defaults, name);
    int32_t value = 0;
    if (element && !ParseLeadingInt(XmlNodeText(element), value))
        value = 0;
    return value;
}

// Files a trap the reader made: its id is its object id plus 50000 per universe; the editor
// keeps the placed object, a preview or a game takes the trap. Later universes keep the ids
// and the trap for relinking.
void FileTrap(LevelLoader& loader, std::unique_ptr<MapTrap> placed, int32_t universe)
{
    Trap* trap = placed->GetTrap();
    placed->loadedId = placed->id;
    trap->id = placed->id + kUniverseIdStep * static_cast<uint32_t>(universe);
    if (IsEditor(loader)) {
        loader.editor->AddObject(std::move(placed), false, false, -1, false);
        return;
    }
    if (universe > 0) {
        loader.placed.push_back({placed->loadedId, trap->id});
        loader.placedTraps.push_back(trap);
    }
    std::unique_ptr<Trap> owned = placed->ReleaseTrap();
    if (loader.mode == kLevelLoadPreview)
        loader.previewTraps.push_back(std::move(owned));
    else if (loader.mode == kLevelLoadGame)
        RegisterTrap(std::move(owned));
}

// A Start or Exit trap of an old file's group.
Trap* PlaceGroupTrap(LevelLoader& loader, int32_t kind, xmlNode* element, xmlNode* defaults, int32_t universe,
                     int32_t slot)
{
    std::unique_ptr<Trap> trap = Trap::Create(kind);
    if (!trap)
        return nullptr;
    trap->ResetToStart(loader.mode);
    auto placed = std::make_unique<MapTrap>(std::move(trap));
    placed->ReadProps(element, defaults);
    Trap* made = placed->GetTrap();
    made->zorder = kind == kTrapExit ? 1 : 0;
    made->flimborder = 1;
    made->x += static_cast<float>(loader.offsetX);
    made->y += static_cast<float>(loader.offsetY);
    made->SetGroup(static_cast<uint8_t>(slot));
    FileTrap(loader, std::move(placed), universe);
    return made;
}

} // namespace

void ReadLevelGlobals(LevelLoader& loader, xmlNode* globals, xmlNode* defaults)
{
    if (!globals)
        throw GameException("Globals tag is required");
    LevelChooserEntry& info = loader.info;
    auto text = [&](const char* name) { return XmlGetTagText(globals, name, defaults); };
    const std::string title = text("title");
    if (title != "Title")
        info.title = title;
    info.author = text("author");
    info.description = text("description");
    info.objective = text("objective");
    info.objectiveFailure = text("objective_failure");
    info.preLevelIcon = text("prelevelicon");
    info.width = XmlGetTagInt(globals, "width", defaults, kMinLevelWidth);
    info.height = XmlGetTagInt(globals, "height", defaults, kMinLevelHeight);
    info.permission = PermissionFromName(text("permission"));
    if (loader.mode != kLevelLoadPreview) {
        info.width = std::clamp(info.width, kMinLevelWidth, kMaxLevelSide);
        info.height = std::clamp(info.height, kMinLevelHeight, kMaxLevelSide);
    } else if (info.width <= 0 || info.height <= 0) {
        throw GameException(StringPrintf("Level size %d x %d cannot be previewed", info.width, info.height));
    }
    loader.universeWidth = info.width;
    loader.universeHeight = info.height;
    if (loader.previewSize == -1)
        loader.previewSize = info.width;
    loader.previewSize = std::min(loader.previewSize, kMaxPreviewSize);

    info.music = text("music");
    if (XmlGetTagBool(globals, "flimbmaster", defaults))
        loader.kind = kLevelFlimbMaster;
    else
        loader.kind = text("singleplayer") == "1" ? kLevelSinglePlayer : kLevelMultiplayer;
    info.playerKind = loader.kind;

    xmlNode* modeElement = XmlGetChild(XmlChildren(globals), "gametype");
    if (!modeElement)
        modeElement = XmlGetChild(XmlChildren(globals), "gamemode");
    if (!modeElement)
        modeElement = XmlGetChild(XmlChildren(defaults), "gamemode");
    std::string modeName = XmlNodeText(modeElement);
    if (modeName.empty())
        modeName = GameModeKeyName(0);
    info.gameMode = GameModeIndexFromName(modeName);

    if (loader.mode != kLevelLoadGame && loader.mode != kLevelLoadEditor)
        return;
    if (!CreateCurrentGameMode(info.gameMode)) {
        WriteLog("Failed to created gamemode for levelloader\n");
        return;
    }
    xmlNode* modeData = XmlGetChild(XmlChildren(globals), "gamemode_data");
    xmlNode* modeDefaults = XmlGetChild(XmlChildren(defaults), "gamemode_data");
    if (modeData || modeDefaults)
        ModeReadOptions(modeData, modeDefaults);
    if (info.gameMode == 4) {
        const int64_t width = static_cast<int64_t>(info.width) * GetUniverseCount(loader);
        if (width > kMaxLevelSide) {
            ShowLevelError("Level width is too large for Arcade mode");
            throw GameException("Level width is too large for Arcade mode");
        }
        info.width = static_cast<int32_t>(width);
    }
}

void ApplyLevelGlobals(LevelLoader& loader, xmlNode* root, xmlNode* defaultsRoot)
{
    xmlNode* globals = XmlGetChild(XmlChildren(root), "globals");
    xmlNode* defaults = XmlGetChild(XmlChildren(defaultsRoot), "globals");
    if (!globals)
        throw GameException("Globals tag is required");
    LevelChooserEntry& info = loader.info;
    MapEditor* editor = IsEditor(loader) ? loader.editor : nullptr;
    if (editor) {
        editor->SetFieldText("LevelTitle", info.title);
        editor->SetFieldText("LevelDesc", info.description);
        editor->SetFieldText("author", info.author);
        editor->SetFieldText("objective", info.objective);
        editor->SetFieldText("objective_failure", info.objectiveFailure);
        editor->SetFieldText("prelevelicon", info.preLevelIcon);
        editor->SetFieldText("permission", PermissionName(info.permission));
        editor->readOnly = info.permission == 1 || info.permission == 3;
        CurrentLevelGlobals().editorReadOnly = editor->readOnly;
        editor->SetLevelSize(info.width, info.height);
    }
    loader.boundaries[3] = XmlGetTagInt(globals, "boundary_right", defaults, 0);
    loader.boundaries[2] = XmlGetTagInt(globals, "boundary_left", defaults, 0);
    loader.boundaries[1] = XmlGetTagInt(globals, "boundary_bottom", defaults, 0);
    loader.boundaries[0] = XmlGetTagInt(globals, "boundary_top", defaults, 0);
    loader.zoomFlimbId = XmlGetTagInt(globals, "zoomFlimbID", defaults, 0);
    info.theme = XmlGetTagInt(globals, "theme", defaults, 1) - 1;
    if (editor) {
        loader.difficulty = DifficultyFromName(XmlGetTagText(globals, "difficulty", defaults));
        editor->SetFieldText("music", info.music);
        editor->SetFieldText("gamemode", GameModeKeyName(info.gameMode));
        editor->SetFieldValue("filetype", loader.kind);
        editor->SetFieldValue("difficulty", loader.difficulty);
        editor->SetFieldValue("theme", info.theme);
        editor->SetFieldValue("boundary_top", loader.boundaries[0]);
        editor->SetFieldValue("boundary_left", loader.boundaries[2]);
        editor->SetFieldValue("boundary_right", loader.boundaries[3]);
        editor->SetFieldValue("boundary_bottom", loader.boundaries[1]);
        editor->SetFieldValue("zoomFlimbID", loader.zoomFlimbId);
        for (xmlNode* tag = XmlChildren(XmlGetChild(XmlChildren(globals), "tags")); tag; tag = XmlNext(tag))
            if (!XmlName(tag).empty())
                editor->AddFieldEntry("tags", XmlName(tag));
    }
    Landscape* landscape = loader.mode == kLevelLoadPreview ? nullptr : GameLandscape();
    if (landscape) {
        landscape->Clear();
        landscape->ClearPrimitives();
    }
    XmlGetTagText(globals, "backtile", defaults); // read and not used
    if (loader.mode == kLevelLoadPreview) {
        loader.previewScale =
            static_cast<float>(loader.previewSize) / static_cast<float>(std::max(info.width, info.height));
        const uint32_t w = std::max<uint32_t>(1, static_cast<uint32_t>(static_cast<float>(info.width) * loader.previewScale));
        const uint32_t h = std::max<uint32_t>(1, static_cast<uint32_t>(static_cast<float>(info.height) * loader.previewScale));
        loader.previewSurface = gfx::Ref<gfx::Surface>(
            new gfx::Surface(w, h, gfx::D3DFMT_A8R8G8B8, gfx::D3DPOOL_SYSTEMMEM, 0));
    } else if (landscape) {
        landscape->Create(info.width, info.height);
    }
    if (editor) {
        const int32_t x = XmlGetTagInt(globals, "last_editor_x", defaults, -999);
        const int32_t y = XmlGetTagInt(globals, "last_editor_y", defaults, -999);
        const float zoom = XmlGetTagFloat(globals, "last_editor_zoom", defaults, 1.0f);
        if (x == -999 || y == -999)
            editor->CentreView(info.width / 2, info.height / 2, zoom);
        else
            editor->CentreView(x, y, zoom);
    }
}

void ReadPreFlimbs(LevelLoader& loader, xmlNode* section, xmlNode* defaults, int32_t universe)
{
    WorldState& world = World();
    const bool multiverseMatch = loader.mode == kLevelLoadGame && loader.info.gameMode == 4;
    for (xmlNode* element : LevelSectionElements(section, "flimb")) {
        auto record = std::make_unique<Flimb>();
        record->Init();
        record->Setup(100, 100, static_cast<int16_t>(world.nextIdLow++), 0, kNoType, 0, kFlimbStartEnergy, 0, 1);
        auto placed = std::make_unique<MapFlimb>(std::move(record));
        placed->ReadProps(element, defaults);
        Flimb& flimb = *placed->GetFlimb();
        if (placed->readGroup < 0 || placed->readGroup >= kLevelGroupCount || placed->readGravity > 3) {
            WriteLog("WARNING: flimb %u has group %d and gravity %u; skipped\n", placed->id, placed->readGroup,
                     placed->readGravity);
            continue;
        }
        if (loader.mode == kLevelLoadGame && placed->id == static_cast<uint32_t>(loader.zoomFlimbId))
            loader.zoomFlimbId = flimb.id;
        const int32_t x = flimb.x + loader.offsetX;
        if (x > INT16_MAX) {
            WriteLog("WARNING: flimb %u lies beyond the level; skipped\n", placed->id);
            continue;
        }
        flimb.x = flimb.prevX = static_cast<int16_t>(x);

        if (multiverseMatch && loader.kind != kLevelSinglePlayer && (flimb.attributes & kAttrMarked)) {
            // A sabotage flimb goes into every other universe, or nowhere.
            if (ModeCopiesFlimbsAcrossUniverses()) {
                for (int32_t other = 0; other < loader.universes; ++other) {
                    if (other == universe || other >= kLevelGroupCount)
                        continue;
                    Flimb copy = flimb;
                    copy.id = static_cast<int16_t>(world.nextIdLow++);
                    copy.group = static_cast<uint8_t>(other);
                    copy.attributes |= kAttrMarked;
                    copy.tag = nullptr;
                    AddFlimbTo(world, copy);
                }
            }
            continue;
        }
        if (universe > 0) {
            if (flimb.group == loader.defaultGroup) {
                const int32_t group = RemapGroupForUniverse(loader, flimb.group, universe);
                if (group >= 0 && group < kLevelGroupCount)
                    flimb.group = static_cast<uint8_t>(group);
            }
            if (loader.kind == kLevelSinglePlayer)
                flimb.id = static_cast<int16_t>(10000 + world.nextIdHigh++);
        }
        if (IsEditor(loader)) {
            loader.editor->AddObject(std::move(placed), false, false, -1, true);
        } else if (loader.mode == kLevelLoadPreview) {
            loader.previewFlimbs.push_back(flimb);
        } else if (loader.mode == kLevelLoadGame) {
            AddFlimbTo(world, flimb);
            placed->ReleaseFlimb(); // the table holds the record now (its tag too)
        }
    }
}

void ReadLevelGroups(LevelLoader& loader, xmlNode* section, xmlNode* defaults, xmlNode* defaultsRoot,
                     int32_t universe)
{
    LevelChooserEntry& info = loader.info;
    MapEditor* editor = IsEditor(loader) ? loader.editor : nullptr;
    if (universe == 0) {
        for (size_t slot = 0; slot < info.groups.size(); ++slot) {
            info.groups[slot].present = 0;
            if (editor)
                editor->groups[slot].available = 0;
        }
        info.availableGroups = 0;
    }
    xmlNode* defaultStart = FindInsideSection(defaults, "start");
    xmlNode* defaultExit = FindInsideSection(defaults, "exit");
    if (!defaultStart || !defaultExit) {
        xmlNode* defaultTrap = XmlGetChild(XmlChildren(XmlGetChild(XmlChildren(defaultsRoot), "traps")), "trap");
        defaultStart = defaultStart ? defaultStart : defaultTrap;
        defaultExit = defaultExit ? defaultExit : defaultTrap;
    }
    for (xmlNode* element : LevelSectionElements(section, "group")) {
        const char* idText = AttributeOf(element, defaults, "id");
        const char* gravityText = AttributeOf(element, defaults, "group_gravity");
        const char* defaultText = AttributeOf(element, defaults, "default_group");
        int32_t id = -1, gravity = -1, isDefault = 0;
        if (!ParseLeadingInt(idText, id) || id < 0 || id >= kLevelGroupCount) {
            WriteLog("WARNING: level group id [%s] is not a group slot; skipped\n", idText);
            continue;
        }
        if (!ParseLeadingInt(gravityText, gravity) || gravity < 0 || gravity > 3) {
            WriteLog("WARNING: level group %d has gravity [%s]; skipped\n", id, gravityText);
            continue;
        }
        const int32_t slot = RemapGroupForUniverse(loader, id, universe);
        if (slot < 0 || slot >= kLevelGroupCount) {
            WriteLog("WARNING: universe %d has no group slot; group %d skipped\n", universe, id);
            continue;
        }
        GroupSetup& record = editor ? editor->groups[static_cast<size_t>(slot)] : info.groups[static_cast<size_t>(slot)];
        record.gravity = static_cast<uint8_t>(gravity);
        if (const char* available = XmlGetAttrValue(element, "available_group")) {
            loader.availabilityDerived = false;
            record.available = IsTrueText(available) ? 1 : 0;
        } else {
            record.available = 1;
        }
        record.present = 1;
        info.groups[static_cast<size_t>(slot)].present = 1;
        if (record.available)
            ++info.availableGroups;
        if (ParseLeadingInt(defaultText, isDefault) && isDefault == 1 && universe == 0) {
            loader.defaultGroup = slot;
            if (editor)
                editor->SetFieldValue("default_group", slot);
        }
        for (int action = 0; action < kLevelActionCount; ++action)
            record.actions[static_cast<size_t>(action)] =
                static_cast<uint8_t>(std::clamp(XmlGetTagInt(element, LevelActionName(action), defaults, 0), 0, 255));
        const int32_t mustSave = OldGroupNumber(element, defaults, "mustsave");
        const int32_t flimbCount = OldGroupNumber(element, defaults, "numflimbs");

        bool first = true;
        for (xmlNode* start : LevelSectionElements(element, "start")) {
            Trap* trap = PlaceGroupTrap(loader, kTrapStart, start, defaultStart, universe, slot);
            if (trap && first)
                trap->SetFlimbsLeft(flimbCount);
            first = false;
        }
        for (xmlNode* exit : LevelSectionElements(element, "exit"))
            if (Trap* trap = PlaceGroupTrap(loader, kTrapExit, exit, defaultExit, universe, slot))
                trap->SetFlimbsWanted(mustSave);
    }
}

void ReadLevelTraps(LevelLoader& loader, xmlNode* section, xmlNode* defaults, int32_t universe)
{
    SimSrand(42);
    for (xmlNode* element : LevelSectionElements(section, "trap")) {
        if (loader.progress)
            loader.progress();
        std::string type = XmlGetTagText(element, "type", defaults);
        if (type == "Freezer")
            type = "Blaster";
        std::unique_ptr<Trap> made = Trap::Create(Trap::KindFromName(type.c_str()));
        if (!made) {
            WriteLog("WARNING: flimbs trap type is not recognized\n");
            continue;
        }
        made->ResetToStart(loader.mode);
        auto placed = std::make_unique<MapTrap>(std::move(made));
        placed->ReadProps(element, defaults);
        Trap* trap = placed->GetTrap();
        trap->x += static_cast<float>(loader.offsetX);
        trap->y += static_cast<float>(loader.offsetY);
        if (trap->kind == kTrapStart || trap->kind == kTrapExit || trap->kind == kTrapFrozenFlimb) {
            const int32_t group = trap->Group();
            const int32_t remapped = RemapGroupForUniverse(loader, group, universe);
            if (group < kLevelGroupCount && remapped >= 0 && remapped < kLevelGroupCount) {
                if (trap->kind == kTrapStart) {
                    trap->SetGroup(static_cast<uint8_t>(remapped));
                    loader.info.groups[static_cast<size_t>(remapped)].present = 1;
                    if (loader.kind == kLevelSinglePlayer && universe == 1)
                        trap->SetSecondUniverseStart(true);
                } else if (trap->kind == kTrapExit) {
                    trap->SetGroup(static_cast<uint8_t>(remapped));
                } else if (loader.mode == kLevelLoadGame && group == loader.defaultGroup &&
                           !HasGroupFrozenFlimbTrap(static_cast<uint8_t>(remapped))) {
                    trap->SetGroup(static_cast<uint8_t>(remapped));
                    trap->TakeHeldFlimb();
                }
            } else if (trap->kind != kTrapFrozenFlimb || group != 255) {
                WriteLog("WARNING: %s trap %u has group %d; kept without one\n", TrapTypeName(trap->kind), placed->id,
                         group);
            }
        }
        if (type == "Camera" && universe > 0)
            trap->SetEnabled(false);
        FileTrap(loader, std::move(placed), universe);
    }
}

void ReadLevelPrimitives(LevelLoader& loader, xmlNode* section, xmlNode* defaults, int32_t universe)
{
    Landscape* landscape = loader.mode == kLevelLoadPreview ? loader.previewLandscape.get() : GameLandscape();
    if (loader.mode == kLevelLoadGame && universe == 0) {
        loader.primitiveFiles.clear();
        loader.missingPrimitiveFiles.clear();
        loader.missingPrimitives = 0;
    }
    // A later universe copies the first one's terrain. The copy moves whole tiles, so a
    // universe that does not begin on a tile is stamped again instead (a copy would sit up
    // to 127 pixels away from its traps and flimbs).
    bool copied = false;
    if (loader.mode == kLevelLoadGame && universe > 0 && landscape && loader.offsetX % kTileSize == 0) {
        landscape->CopyTiles(0, 0, loader.universeWidth - 1, loader.universeHeight - 1, loader.offsetX, 0);
        copied = true;
    }
    for (xmlNode* element : LevelSectionElements(section, "prim")) {
        if (loader.progress)
            loader.progress();
        auto primitive = std::make_unique<MapPrimitive>();
        primitive->ReadProps(element, defaults);
        if (primitive->bashType > kMaxBashType) {
            WriteLog("WARNING: primitive %u has bash type %u; skipped\n", primitive->id, primitive->bashType);
            continue;
        }
        primitive->loadedId = primitive->id;
        primitive->id += kUniverseIdStep * static_cast<uint32_t>(universe);
        if (universe > 0) {
            loader.placed.push_back({primitive->loadedId, primitive->id});
            if (copied || loader.mode != kLevelLoadGame)
                continue;
        }
        if (IsEditor(loader)) {
            primitive->SetImage(primitive->fileName);
            loader.editor->AddObject(std::move(primitive), false, false, -1, false);
            continue;
        }
        // A name from the file that leaves the game's graphics counts as missing.
        const bool confined = IsPrimitiveNameAllowed(primitive->fileName);
        if (!confined && !loader.missingPrimitiveFiles.count(primitive->fileName))
            WriteLog("WARNING: primitive file [%.200s] lies outside the game's graphics; not stamped\n",
                     primitive->fileName.c_str());
        if (loader.mode == kLevelLoadGame) {
            const std::string& file = primitive->fileName;
            if (!loader.primitiveFiles.count(file) && !loader.missingPrimitiveFiles.count(file)) {
                int handle = 0;
                if (confined && fileManager)
                    handle = fileManager->Open(file);
                if (handle) {
                    fileManager->Close(handle);
                    loader.primitiveFiles.insert(file);
                } else {
                    loader.missingPrimitiveFiles.insert(file);
                }
            }
            if (loader.missingPrimitiveFiles.count(file)) {
                if (universe == 0) {
                    ++loader.missingPrimitives;
                    if (g_missingPrims.GetInt())
                        WriteLog("MISSING PRIM: %s\n", file.c_str());
                }
                continue;
            }
        } else if (!confined) {
            loader.missingPrimitiveFiles.insert(primitive->fileName);
            continue;
        }
        if (primitive->bashOnLoad && primitive->posX + static_cast<float>(loader.offsetX) > -500.0f &&
            primitive->posY + static_cast<float>(loader.offsetY) > -500.0f && landscape)
            StampLevelPrimitive(*landscape, *primitive, loader.mode == kLevelLoadPreview ? loader.previewScale : 1.0f,
                                loader.offsetX, loader.offsetY, loader.mode == kLevelLoadPreview);
    }
    if (loader.mode == kLevelLoadGame && universe == loader.universes - 1 && loader.missingPrimitives > 0)
        SendChat(std::string(), StringPrintf("Warning: [%d] missing primitive%s", loader.missingPrimitives,
                              loader.missingPrimitives > 1 ? "s" : ""),
                 -2, false); // -2: a line without a speaker
}

void RelinkUniverse(LevelLoader& loader)
{
    for (Trap* trap : loader.placedTraps)
        trap->RemapLinks(loader.placed, loader.offsetX, loader.offsetY);
    loader.placed.clear();
    loader.placedTraps.clear();
}

void DeriveGroupAvailability(LevelLoader& loader)
{
    if (!loader.availabilityDerived)
        return;
    const std::vector<Trap*> starts = GetTrapsOfKind(kTrapStart);
    for (GroupSetup& group : loader.info.groups) {
        if (!group.present)
            continue;
        const bool hasStart = std::any_of(starts.begin(), starts.end(),
                                          [&group](const Trap* start) { return start->Group() == group.slot; });
        if (hasStart) {
            group.available = 1;
            continue;
        }
        int32_t total = 0;
        for (Flimb& flimb : World())
            if (!flimb.IsFree() && flimb.group == group.slot)
                ++total;
        if (total == 0) {
            group.available = 0;
            continue;
        }
        const size_t collectable = CollectGroupFlimbs(group.slot).size();
        group.available = (collectable == 0 || static_cast<int32_t>(collectable) != total) ? 1 : 0;
    }
}
