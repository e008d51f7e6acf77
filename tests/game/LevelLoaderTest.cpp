// Level loading into the game (mode 0), the editor's model (mode 2) and previews (mode 3).
#include "app/Random.h"
#include "game/GameController.h"
#include "game/GameServices.h"
#include "game/LevelGlobals.h"
#include "game/LevelLoader.h"
#include "levelmodel/MapEditor.h"
#include "levelmodel/MapFlimb.h"
#include "levelmodel/MapPrimitive.h"
#include "levelmodel/MapTrap.h"
#include "modes/ModeServices.h"
#include "tests/support/LevelFixture.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ScopedConsoleInt.h"
#include "tests/support/SessionRecorder.h"
#include "traps_flow/StartTrap.h"
#include "world/Landscape.h"
#include "world/TrapRegistry.h"
#include "world/WorldServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>

namespace {

std::string TrapText(uint32_t id, const char* type, int x, int y, const std::string& more = "")
{
    return "<trap><objectID>" + std::to_string(id) + "</objectID><type>" + type + "</type><x>" + std::to_string(x) +
           "</x><y>" + std::to_string(y) + "</y>" + more + "<map_order>0</map_order></trap>";
}

std::string FlimbText(uint32_t id, int x, int y, int group, const std::string& more = "")
{
    return "<flimb><objectID>" + std::to_string(id) + "</objectID><posX>" + std::to_string(x) + "</posX><posY>" +
           std::to_string(y) + "</posY><group>" + std::to_string(group) + "</group>" + more + "</flimb>";
}

std::string PrimText(uint32_t id, int x, int y, const std::string& file, const std::string& more = "")
{
    return "<prim><objectID>" + std::to_string(id) + "</objectID><posX>" + std::to_string(x) + "</posX><posY>" +
           std::to_string(y) + "</posY><filename>" + file + "</filename>" + more + "</prim>";
}

std::string Link(uint32_t target, uint32_t event)
{
    return "<trap_event><target_id>" + std::to_string(target) + "</target_id><event_id>" + std::to_string(event) +
           "</event_id></trap_event>";
}

class LevelLoaderTest : public LevelFixture {
protected:
    // Opens and reads a level in a mode; the loader stays open for the checks.
    std::unique_ptr<LevelLoader> Load(const std::string& path, int32_t mode, MapEditor* editor = nullptr,
                                      int32_t previewSize = -1)
    {
        std::unique_ptr<LevelLoader> loader = LoadFlimbsLevel(path, mode, editor, previewSize);
        read = LoadLevel(*loader);
        return loader;
    }
    static int TrapCount() { return static_cast<int>(World().traps.all.size()); }
    static int FlimbCount()
    {
        int count = 0;
        for (Flimb& flimb : World())
            count += flimb.IsFree() ? 0 : 1;
        return count;
    }

    bool read = false;
};

TEST_F(LevelLoaderTest, AGameLoadFillsTheWorld)
{
    SessionRecorder session;
    LevelParts parts;
    parts.globals = "<title>Meadow</title><width>3000</width><height>1200</height><singleplayer>1</singleplayer>"
                    "<boundary_left>10</boundary_left><boundary_bottom>20</boundary_bottom><zoomFlimbID>41</zoomFlimbID>";
    parts.groups = "<group id=\"2\" group_gravity=\"1\" default_group=\"1\"><Clob>4</Clob><Walk>9</Walk></group>"
                   "<group id=\"5\" group_gravity=\"0\"/>";
    parts.traps = TrapText(7, "Start", 100, 200, "<groupID>2</groupID>") + TrapText(8, "Exit", 900, 200) +
                  TrapText(9, "Teleport", 400, 300, Link(8, 0));
    parts.flimbs = FlimbText(40, 50, 60, 2) + FlimbText(41, 70, 60, 2, "<type>Clob</type>");
    AddLevel("Level\\s_dm_meadow.flevel", parts.Text());

    auto loader = Load("s_dm_meadow", kLevelLoadGame);
    ASSERT_TRUE(loader->loaded);
    ASSERT_TRUE(read);
    EXPECT_EQ(TrapCount(), 3);
    ASSERT_NE(FindTrapById(7), nullptr);
    EXPECT_EQ(FindTrapById(7)->Group(), 2);
    EXPECT_EQ(FindTrapById(9)->links, (std::vector<TrapLink>{{0, 8}}));
    EXPECT_FLOAT_EQ(FindTrapById(9)->x, 400.0f);
    EXPECT_EQ(World().traps.nextTrapId, 10u);
    EXPECT_EQ(FlimbCount(), 2);
    EXPECT_EQ(World().flimbs[1].type, kClob);
    EXPECT_EQ(World().flimbs[0].group, 2);
    EXPECT_EQ(CurrentLevelGlobals().zoomFlimbId, World().flimbs[1].id);
    EXPECT_EQ(CurrentLevelGlobals().boundaryLeft, 10);
    EXPECT_EQ(CurrentLevelGlobals().boundaryBottom, 20);
    EXPECT_EQ(GameLandscape()->Width(), 3000);
    EXPECT_EQ(GameLandscape()->Height(), 1200);
    const LevelChooserEntry& level = Controller().currentLevel;
    EXPECT_EQ(level.title, "Meadow");
    EXPECT_EQ(level.path, "s_dm_meadow.flevel");
    EXPECT_EQ(level.groups[2].actions[0], 4);
    EXPECT_EQ(level.groups[2].actions[10], 9);
    EXPECT_EQ(level.groups[2].gravity, 1);
    // Single player in Corral the flimb: only the default group may be taken.
    EXPECT_TRUE(level.groups[2].available);
    EXPECT_FALSE(level.groups[5].available);
    EXPECT_EQ(loader->defaultGroup, 2);
    EXPECT_EQ(CurrentGameModeIndex(), 0);
    EXPECT_EQ(session.requests, (std::vector<std::string>{"team 2"}));
}

TEST_F(LevelLoaderTest, LoaderCases)
{
    struct Case {
        const char* what;
        LevelParts parts;
        int32_t mode;
        std::function<void(LevelLoader&)> check;
    };
    LevelParts wide;
    wide.globals = "<width>20000</width><height>500</height>";
    LevelParts narrow;
    narrow.globals = "<width>800</width><height>600</height>";
    LevelParts unknown;
    unknown.traps = TrapText(3, "Nonsense", 1, 1) + TrapText(4, "Freezer", 2, 2) + TrapText(5, "OneWayBlock", 3, 3) +
                    TrapText(6, "BallCrawl", 4, 4);
    LevelParts scoped;
    scoped.groups = "";
    scoped.flimbs = FlimbText(1, 5, 5, 0, "<group id=\"6\" group_gravity=\"0\" default_group=\"1\"/>");
    LevelParts badValues;
    badValues.groups = "<group id=\"9\" group_gravity=\"0\" default_group=\"1\"/><group id=\"3\" group_gravity=\"7\"/>"
                       "<group id=\"1\" group_gravity=\"2\" default_group=\"1\"/>";
    badValues.flimbs = FlimbText(1, 5, 5, 9) + FlimbText(2, 5, 5, 0, "<gravity>4</gravity>") +
                       FlimbText(3, 5, 5, 1, "<scaleFactor>nan</scaleFactor>") + FlimbText(4, 40000, 5, 1);
    badValues.primitives = PrimText(1, 0, 0, "Graphics\\a.png", "<bashtype>18</bashtype>");
    LevelParts oldGroups;
    oldGroups.groups = "<group id=\"3\" group_gravity=\"0\" default_group=\"1\"><numflimbs>25</numflimbs>"
                       "<mustsave>12</mustsave><start><objectID>20</objectID><x>5</x><y>6</y></start>"
                       "<start><objectID>21</objectID><x>7</x><y>8</y></start>"
                       "<exit><objectID>22</objectID><x>9</x><y>10</y></exit></group>";
    LevelParts derived;
    derived.globals = "<singleplayer>0</singleplayer>";
    derived.groups = "<group id=\"0\" group_gravity=\"0\" default_group=\"1\"/><group id=\"1\" group_gravity=\"0\"/>"
                     "<group id=\"2\" group_gravity=\"0\"/>";
    derived.traps = TrapText(1, "Start", 0, 0, "<groupID>1</groupID>");
    derived.flimbs = FlimbText(5, 1, 1, 2);
    LevelParts missing;
    missing.primitives = PrimText(1, 0, 0, "..\\..\\etc\\passwd") + PrimText(2, 0, 0, "/etc/passwd") +
                         PrimText(3, 0, 0, "Graphics\\nowhere.png");

    const Case cases[] = {
        {"a 20000-wide level loads 16384 wide", wide, kLevelLoadGame,
         [](LevelLoader& l) {
             EXPECT_EQ(l.info.width, 16384);
             EXPECT_EQ(l.info.height, 768);
             EXPECT_EQ(GameLandscape()->Width(), 16384);
         }},
        {"a preview keeps 20000", wide, kLevelLoadPreview,
         [](LevelLoader& l) {
             EXPECT_EQ(l.info.width, 20000);
             EXPECT_EQ(l.info.height, 500);
             ASSERT_TRUE(l.previewSurface);
             EXPECT_LE(l.previewSurface->Width(), 8192u);
         }},
        {"an 800-wide level loads 1024 wide", narrow, kLevelLoadGame,
         [](LevelLoader& l) {
             EXPECT_EQ(l.info.width, 1024);
             EXPECT_EQ(l.info.height, 768);
         }},
        {"a preview keeps 800", narrow, kLevelLoadPreview, [](LevelLoader& l) { EXPECT_EQ(l.info.width, 800); }},
        {"unknown types are skipped, old names mapped", unknown, kLevelLoadGame,
         [](LevelLoader&) {
             EXPECT_EQ(FindTrapById(3), nullptr);
             ASSERT_NE(FindTrapById(4), nullptr);
             EXPECT_EQ(FindTrapById(4)->kind, 28);
             EXPECT_EQ(FindTrapById(5), nullptr);
             EXPECT_EQ(FindTrapById(6)->kind, 18);
         }},
        {"an empty groups section finds no group elsewhere", scoped, kLevelLoadGame,
         [](LevelLoader& l) {
             for (const GroupSetup& g : l.info.groups)
                 EXPECT_FALSE(g.present);
             EXPECT_EQ(l.defaultGroup, -1);
             EXPECT_EQ(FlimbCount(), 1);
         }},
        {"bad values are skipped or take their defaults", badValues, kLevelLoadGame,
         [](LevelLoader& l) {
             EXPECT_FALSE(l.info.groups[3].present);
             EXPECT_TRUE(l.info.groups[1].present);
             EXPECT_EQ(l.defaultGroup, 1);
             // Group 9 and gravity 4 are refused; a non-finite scale and an x beyond 16 bits
             // take their defaults.
             ASSERT_EQ(FlimbCount(), 2);
             EXPECT_FLOAT_EQ(World().flimbs[0].scale, 1.0f);
             EXPECT_EQ(World().flimbs[1].x, 100);
         }},
        {"an old file's group start and exit points", oldGroups, kLevelLoadGame,
         [](LevelLoader&) {
             ASSERT_EQ(TrapCount(), 3);
             Trap* first = FindTrapById(20);
             Trap* second = FindTrapById(21);
             Trap* exit = FindTrapById(22);
             ASSERT_TRUE(first && second && exit);
             EXPECT_EQ(first->Group(), 3);
             EXPECT_EQ(first->zorder, 0);
             EXPECT_EQ(first->flimborder, 1);
             EXPECT_EQ(first->FlimbsLeft(), 25);
             EXPECT_EQ(second->FlimbsLeft(), 100); // the defaults' stock
             EXPECT_EQ(exit->Group(), 3);
             EXPECT_EQ(exit->zorder, 1);
             EXPECT_EQ(exit->FlimbsWanted(), 12);
         }},
        {"group availability is worked out", derived, kLevelLoadGame,
         [](LevelLoader& l) {
             EXPECT_FALSE(l.info.groups[0].available); // no start, no flimbs
             EXPECT_TRUE(l.info.groups[1].available);  // a start
             EXPECT_TRUE(l.info.groups[2].available);  // flimbs, none collectable
             EXPECT_EQ(l.info.availableGroups, 2);
         }},
        {"primitives outside the game's graphics count as missing", missing, kLevelLoadGame,
         [](LevelLoader& l) { EXPECT_EQ(l.missingPrimitives, 3); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AddLevel("Level\\m_dm_case.flevel", c.parts.Text());
        auto loader = Load("m_dm_case", c.mode);
        ASSERT_TRUE(loader->loaded);
        ASSERT_TRUE(read);
        c.check(*loader);
        CloseLevelDocument(*loader);
        DeleteAllTraps();
    }
}

TEST_F(LevelLoaderTest, PrimitivesLeftOfMinus500AreNotStamped)
{
    for (int x : {-500, -499}) {
        SCOPED_TRACE(x);
        LevelParts parts;
        parts.primitives = PrimText(1, x, 300, "Graphics\\Terrain\\ground.png", "<scaleX>8</scaleX>") +
                           PrimText(2, 600, -500, "Graphics\\Terrain\\ground.png", "<scaleY>16</scaleY>") +
                           PrimText(3, 900, 300, "Graphics\\Terrain\\ground.png", "<bash_on_load>0</bash_on_load>");
        AddLevel("Level\\m_dm_edge.flevel", parts.Text());
        auto loader = Load("m_dm_edge", kLevelLoadGame);
        ASSERT_TRUE(read);
        EXPECT_EQ(GameLandscape()->HitTestPoint(100, 300) != 0, x == -499);
        EXPECT_EQ(GameLandscape()->HitTestPoint(600, 10), 0);  // y = -500 is not stamped either
        EXPECT_EQ(GameLandscape()->HitTestPoint(900, 300), 0); // nor one that waits for a ModifyLand trap
    }
}

TEST_F(LevelLoaderTest, MissingPrimitivesAreReported)
{
    SessionRecorder session;
    LevelParts parts;
    parts.primitives = PrimText(1, 0, 0, "..\\x.png") + PrimText(2, 5, 5, "..\\x.png");
    AddLevel("Level\\m_dm_holes.flevel", parts.Text());
    LogCapture log;
    auto loader = Load("m_dm_holes", kLevelLoadGame);
    ASSERT_TRUE(read);
    EXPECT_EQ(session.requests, (std::vector<std::string>{"chat -2 0 Warning: [2] missing primitives", "team 0"}));
    EXPECT_FALSE(log.Contains("MISSING PRIM"));
    EXPECT_TRUE(log.Contains("WARNING: primitive file [..\\x.png] lies outside the game's graphics; not stamped"));

    ScopedConsoleInt verbose("missingprims", 1);
    log.Clear();
    Load("m_dm_holes", kLevelLoadGame);
    EXPECT_TRUE(log.Contains("MISSING PRIM: ..\\x.png\n"));
}

TEST_F(LevelLoaderTest, ASinglePlayerMultiverseMatchLoadsTwoUniverses)
{
    LevelParts parts;
    parts.globals = "<width>2000</width><height>1000</height><singleplayer>1</singleplayer>"
                    "<gamemode>MultiverseMatch</gamemode>";
    parts.groups = "<group id=\"0\" group_gravity=\"0\" default_group=\"1\"/>";
    parts.traps = TrapText(10, "Start", 100, 50, "<groupID>0</groupID>") + TrapText(11, "Exit", 300, 60) +
                  TrapText(12, "Teleport", 200, 70, Link(11, 0) + Link(99, 1)) + TrapText(13, "Camera", 5, 5);
    parts.flimbs = FlimbText(30, 40, 50, 0);
    parts.primitives = PrimText(14, 200, 900, "Graphics\\Terrain\\rock.png");
    AddLevel("Level\\s_ar_twins.flevel", parts.Text());

    auto loader = Load("s_ar_twins", kLevelLoadGame);
    ASSERT_TRUE(read);
    EXPECT_EQ(loader->universes, 2);
    EXPECT_EQ(loader->info.width, 4000);
    EXPECT_EQ(GameLandscape()->Width(), 4000);
    ASSERT_EQ(TrapCount(), 8);
    Trap* start = FindTrapById(10);
    Trap* copy = FindTrapById(50010);
    ASSERT_TRUE(start && copy);
    EXPECT_FLOAT_EQ(copy->x, 2100.0f);
    EXPECT_EQ(start->Group(), 0);
    EXPECT_EQ(copy->Group(), CurrentLevelGlobals().flimbMasterGroup);
    EXPECT_TRUE(dynamic_cast<StartTrap&>(*copy).IsSecondUniverseStart());
    EXPECT_FALSE(dynamic_cast<StartTrap&>(*start).IsSecondUniverseStart());
    // The copy's links point at the copies in its own universe; others stay.
    EXPECT_EQ(FindTrapById(12)->links, (std::vector<TrapLink>{{0, 11}, {1, 99}}));
    EXPECT_EQ(FindTrapById(50012)->links, (std::vector<TrapLink>{{0, 50011}, {1, 99}}));
    EXPECT_TRUE(FindTrapById(13)->enabled);
    EXPECT_FALSE(FindTrapById(50013)->enabled);
    // The flimbs: the second universe's copy in the FlimbMaster's group with a high id.
    ASSERT_EQ(FlimbCount(), 2);
    EXPECT_EQ(World().flimbs[1].x, 2040);
    EXPECT_EQ(World().flimbs[1].group, CurrentLevelGlobals().flimbMasterGroup);
    EXPECT_EQ(World().flimbs[1].id, 10000);
    EXPECT_EQ(CountLevelLoadItems(*loader), 1 + 4 * 2);
}

// The second universe's terrain is the first's: copied when it begins on a tile, stamped
// again when it does not.
TEST_F(LevelLoaderTest, TheSecondUniverseHasTheFirstsTerrain)
{
    for (int width : {2048, 2000}) {
        SCOPED_TRACE(width);
        LevelParts parts;
        parts.globals = "<width>" + std::to_string(width) +
                        "</width><height>1000</height><singleplayer>1</singleplayer><gamemode>MultiverseMatch</gamemode>";
        parts.primitives = PrimText(14, 200, 900, "Graphics\\Terrain\\rock.png") +
                           PrimText(15, 900, 500, "Graphics\\Terrain\\missing.png");
        AddLevel("Level\\s_ar_copy.flevel", parts.Text());
        auto loader = Load("s_ar_copy", kLevelLoadGame);
        ASSERT_TRUE(read);
        EXPECT_EQ(loader->missingPrimitives, 1);
        const Landscape& land = *GameLandscape();
        ASSERT_NE(land.HitTestPoint(200, 900), 0);
        for (int x = 130; x < 270; x += 3)
            for (int y = 860; y < 950; y += 5)
                ASSERT_EQ(land.HitTestPoint(x + width, y), land.HitTestPoint(x, y)) << x << ", " << y;
    }
}

TEST_F(LevelLoaderTest, AnEditorLoadFillsTheModel)
{
    LevelParts parts;
    parts.globals = "<title>Workshop</title><width>2500</width><height>900</height><permission>playonly</permission>"
                    "<difficulty>hard</difficulty><theme>3</theme><tags><caves/><water/></tags><music>m.ogg</music>"
                    "<last_editor_x>300</last_editor_x><last_editor_y>-999</last_editor_y>"
                    "<last_editor_zoom>2.5</last_editor_zoom><boundary_top>7</boundary_top>";
    parts.groups = "<group id=\"4\" group_gravity=\"3\" default_group=\"1\" available_group=\"0\"/>";
    parts.traps = TrapText(3, "Exit", 10, 20, "<groupID>4</groupID>");
    parts.flimbs = FlimbText(5, 1, 2, 4);
    parts.primitives = PrimText(6, 100, 100, "Graphics\\rock.png");
    AddLevel("Level\\m_dm_workshop.flevel", parts.Text());

    const uint32_t generator = SimRandom().State();
    MapEditor editor;
    ASSERT_TRUE(LoadLevelIntoMap(editor, "Level\\m_dm_workshop.flevel"));
    EXPECT_EQ(SimRandom().State(), generator); // the editor's draws are its own
    EXPECT_EQ(editor.FieldText("LevelName"), "workshop");
    EXPECT_EQ(editor.FieldText("LevelTitle"), "Workshop");
    EXPECT_EQ(editor.FieldText("permission"), "PlayOnly");
    EXPECT_TRUE(editor.readOnly);
    EXPECT_EQ(editor.FieldText("difficulty"), "2");
    EXPECT_EQ(editor.FieldText("theme"), "2");
    EXPECT_EQ(editor.FieldText("music"), "m.ogg");
    EXPECT_EQ(editor.FieldText("boundary_top"), "7");
    EXPECT_EQ(editor.FieldText("default_group"), "4");
    EXPECT_EQ(editor.FieldEntries("tags"), (std::vector<std::string>{"caves", "water"}));
    EXPECT_EQ(editor.width, 2500);
    EXPECT_EQ(editor.viewX, 1250); // -999 in either coordinate centres the view
    EXPECT_EQ(editor.viewY, 450);
    EXPECT_FLOAT_EQ(editor.viewZoom, 2.5f);
    EXPECT_TRUE(editor.groups[4].present);
    EXPECT_FALSE(editor.groups[4].available);
    EXPECT_EQ(editor.groups[4].gravity, 3);
    ASSERT_EQ(editor.ObjectCount(), 3u);
    auto* trap = static_cast<MapTrap*>(editor.FindObjectOfKind(kMapTrap, 3));
    ASSERT_NE(trap, nullptr);
    EXPECT_EQ(trap->GetTrap()->id, 3u);
    EXPECT_NE(editor.FindObjectOfKind(kMapFlimb, 5), nullptr);
    EXPECT_NE(editor.FindObjectOfKind(kMapPrimitive, 6), nullptr);
    EXPECT_EQ(TrapCount(), 0); // nothing went into the world
    EXPECT_EQ(FlimbCount(), 0);
}

// Package levels reach the editor as they are: unusable and doubled ids, unknown types,
// missing or outside images. Each gets a log line; the objects are kept or skipped.
TEST_F(LevelLoaderTest, AnEditorLoadOfAwkwardObjects)
{
    LevelParts parts;
    parts.traps = TrapText(0, "Start", 1, 1) + TrapText(2147483647, "Exit", 2, 2) +
                  TrapText(4294967295u, "Teleport", 3, 3) + TrapText(9, "Teleport", 4, 4) + TrapText(9, "Exit", 5, 5) +
                  TrapText(12, "Nonsense", 6, 6) + TrapText(20, "Teleport", 7, 7, Link(9, 0));
    parts.primitives = PrimText(30, 0, 0, "..\\..\\etc\\passwd") + PrimText(31, 0, 0, "Graphics\\nowhere.png") +
                       PrimText(9, 0, 0, "Graphics\\Terrain\\rock.png");
    parts.flimbs = FlimbText(40, 5, 5, 0, "<energy>99999</energy>") + FlimbText(40, 6, 6, 0);
    AddLevel("Level\\m_dm_awkward.flevel", parts.Text());

    LogCapture log;
    MapEditor editor;
    SetCurrentEditor(&editor);
    editor.Open();
    ASSERT_TRUE(LoadLevelIntoMap(editor, "Level\\m_dm_awkward.flevel"));
    EXPECT_TRUE(editor.IsOpen());
    EXPECT_TRUE(log.Contains("WARNING: flimbs trap type is not recognized"));
    EXPECT_TRUE(log.Contains("WARNING: trap id 9 is used twice"));
    ASSERT_EQ(editor.Traps().size(), 6u);
    for (const auto& placed : editor.Traps()) {
        const uint32_t id = placed->id;
        EXPECT_TRUE(id != 0 && id != 0x7FFFFFFFu && id != 0xFFFFFFFFu) << id;
        EXPECT_EQ(editor.FindTrap(id), placed.get()) << id;
        EXPECT_EQ(static_cast<MapTrap&>(*placed).GetTrap()->id, id);
    }
    // The later of the doubled id keeps it, so the link to 9 names the exit.
    MapObject* nine = editor.FindTrap(9);
    ASSERT_NE(nine, nullptr);
    EXPECT_EQ(static_cast<MapTrap*>(nine)->GetTrap()->kind, 22);
    editor.CollectLinkedTraps(nine);
    EXPECT_EQ(nine->linkedTrapIds, (std::vector<uint32_t>{0xFFFFFFFFu, 20u}));
    // Images outside the game's graphics or missing: the primitives stay, without them.
    ASSERT_EQ(editor.Primitives().size(), 3u);
    EXPECT_EQ(static_cast<MapPrimitive&>(*editor.Primitives()[0]).Image(), nullptr);
    EXPECT_NE(editor.FindPrimitive(9), nullptr);
    ASSERT_EQ(editor.Flimbs().size(), 2u);
    EXPECT_EQ(static_cast<MapFlimb&>(*editor.Flimbs()[0]).GetFlimb()->energy, 13023u);
    EXPECT_NE(editor.Flimbs()[0]->id, editor.Flimbs()[1]->id);
    editor.Reset();
    SetCurrentEditor(nullptr);
}

TEST_F(LevelLoaderTest, AnEditedLevelIsRefusedButStillPreviews)
{
    LevelParts parts;
    const std::string hashed = Hashed(parts.Text());
    std::string edited = hashed;
    edited.replace(edited.find("<width>2048"), 11, "<width>2049");
    AddLevel("Level\\m_dm_edited.flevel", edited, false);
    LogCapture log;
    for (int32_t mode : {kLevelLoadGame, kLevelLoadEditor}) {
        MapEditor editor;
        auto loader = Load("m_dm_edited", mode, &editor);
        EXPECT_FALSE(loader->loaded) << mode;
        EXPECT_FALSE(read) << mode;
    }
    EXPECT_TRUE(log.Contains("Error: LoadFlimbsLevel() : Invalid hash on flimbs level file"));
    auto preview = Load("m_dm_edited", kLevelLoadPreview, nullptr, 64);
    EXPECT_TRUE(read);
    ASSERT_TRUE(preview->previewSurface);
    EXPECT_EQ(preview->previewSurface->Width(), 64u);
    EXPECT_EQ(preview->previewSurface->Height(), 31u); // 1024 x 64 / 2049
}

TEST_F(LevelLoaderTest, OpeningFailures)
{
    LogCapture log;
    AddFile("Level\\m_dm_junk.flevel", {'<', 'a'});
    AddLevel("Level\\m_dm_noglobals.flevel", "<flimbs-level><groups/></flimbs-level>");
    struct Case {
        std::string name;
        const char* line;
    } const cases[] = {
        {"m_dm_absent", "Error : [Level\\m_dm_absent.flevel] not found"},
        {"m_dm_junk", "Error : Couldn't parse level [Level\\m_dm_junk.flevel]"},
        {"m_dm_noglobals", "Error: LoadFlimbsLevel() : Globals tag is required"},
        {std::string(300, 'n'), "not found"},
    };
    for (const Case& c : cases) {
        log.Clear();
        auto loader = Load(c.name, kLevelLoadGame);
        EXPECT_FALSE(loader->loaded) << c.name;
        EXPECT_FALSE(read);
        EXPECT_TRUE(log.Contains(c.line)) << log.Text();
    }
    LevelParts noDefault;
    noDefault.globals = "<colour>red</colour>";
    SetLevelDefaultsDocument("<level-defaults><globals><title>Title</title></globals></level-defaults>");
    AddLevel("Level\\m_dm_sparse.flevel", noDefault.Text());
    log.Clear();
    EXPECT_FALSE(Load("m_dm_sparse", kLevelLoadGame)->loaded);
    EXPECT_TRUE(log.Contains("Error: LoadFlimbsLevel() : The requested tag [author] was not found in level and in defaults"))
        << log.Text();
}

TEST_F(LevelLoaderTest, ALevelIsReadOncePerOpening)
{
    AddLevel("Level\\m_dm_once.flevel", LevelParts{}.Text());
    std::unique_ptr<LevelLoader> loader = LoadFlimbsLevel("m_dm_once", kLevelLoadGame);
    EXPECT_TRUE(LoadLevel(*loader));
    EXPECT_FALSE(LoadLevel(*loader));
}

TEST_F(LevelLoaderTest, LoadingTwiceLeavesTheSameGeneratorState)
{
    LevelParts parts;
    parts.traps = TrapText(1, "Teleport", 5, 5) + TrapText(2, "Start", 9, 9);
    parts.flimbs = FlimbText(3, 1, 1, 0);
    AddLevel("Level\\m_dm_twice.flevel", parts.Text());
    SimSrand(7);
    Load("m_dm_twice", kLevelLoadGame);
    const uint32_t first = SimRandom().State();
    SimSrand(1234);
    Load("m_dm_twice", kLevelLoadGame);
    EXPECT_EQ(SimRandom().State(), first);
    // 42, the start's glow step, then the final hash check's 16 draws.
    RandomGenerator expected(42);
    for (int i = 0; i < 17; ++i)
        expected.Next();
    EXPECT_EQ(first, expected.State());
}

TEST_F(LevelLoaderTest, PreviewLoadsTouchNeitherTheWorldNorTheGenerator)
{
    LevelParts parts;
    parts.traps = TrapText(1, "Teleport", 5, 5) + TrapText(2, "Start", 9, 9);
    parts.flimbs = FlimbText(3, 1, 1, 0);
    AddLevel("Level\\m_dm_look.flevel", parts.Text());
    SimSrand(99);
    const uint32_t generator = SimRandom().State();
    const uint32_t nextTrapId = World().traps.nextTrapId;
    auto loader = Load("m_dm_look", kLevelLoadPreview, nullptr, 100);
    ASSERT_TRUE(read);
    EXPECT_EQ(SimRandom().State(), generator);
    EXPECT_EQ(World().traps.nextTrapId, nextTrapId);
    EXPECT_EQ(TrapCount(), 0);
    EXPECT_EQ(loader->previewTraps.size(), 2u);
    EXPECT_EQ(loader->previewFlimbs.size(), 1u);
    EXPECT_EQ(loader->previewLandscape, nullptr); // destroyed once drawn
    CloseLevelDocument(*loader);
    EXPECT_TRUE(loader->previewTraps.empty());
}

TEST_F(LevelLoaderTest, APreviewOnAWorkerThreadLeavesTheGameAlone)
{
    LevelParts parts;
    parts.traps = TrapText(1, "Teleport", 5, 5) + TrapText(2, "Start", 9, 9);
    parts.flimbs = FlimbText(3, 1, 1, 0);
    AddLevel("Level\\m_dm_worker.flevel", parts.Text());
    SimSrand(5);
    const uint32_t generator = SimRandom().State();
    const uint32_t nextTrapId = World().traps.nextTrapId;
    const int32_t nextFlimbId = World().nextIdLow;
    bool previewed = false;
    size_t traps = 0;
    std::thread worker([&] {
        auto loader = LoadFlimbsLevel("m_dm_worker", kLevelLoadPreview, nullptr, 64);
        previewed = LoadLevel(*loader);
        traps = loader->previewTraps.size();
    });
    worker.join();
    EXPECT_TRUE(previewed);
    EXPECT_EQ(traps, 2u);
    EXPECT_EQ(SimRandom().State(), generator);
    EXPECT_EQ(World().traps.nextTrapId, nextTrapId);
    EXPECT_EQ(World().nextIdLow, nextFlimbId);
}

TEST_F(LevelLoaderTest, ALevelListRecordLoadsItsLevel)
{
    LevelParts parts;
    parts.traps = TrapText(4, "Exit", 5, 5);
    AddLevel("Level\\m_dm_listed.flevel", parts.Text());
    LevelChooserEntry record;
    record.path = "m_dm_listed.flevel";
    EXPECT_TRUE(LoadLevelFromRecord(record));
    EXPECT_NE(FindTrapById(4), nullptr);
    record.path = "m_dm_unlisted.flevel";
    EXPECT_FALSE(LoadLevelFromRecord(record));
}

TEST_F(LevelLoaderTest, APreviewRefusesAnEmptyLevel)
{
    LevelParts parts;
    parts.globals = "<width>0</width><height>500</height>";
    AddLevel("Level\\m_dm_flat.flevel", parts.Text());
    LogCapture log;
    EXPECT_FALSE(Load("m_dm_flat", kLevelLoadPreview)->loaded);
    EXPECT_TRUE(log.Contains("cannot be previewed"));
}

} // namespace
