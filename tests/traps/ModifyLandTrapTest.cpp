// The modify-land trap on the game's landscape: stepping on multiples of mod_speed, finals
// that point away, endless runs, forceAir, the shrinking stamp, shared primitives, pushing
// and crushing, riding a platform, and the level file's primitives.
#include "tests/support/RecordingTrap.h"
#include "tests/support/TrapHarness.h"

#include "game/LevelReaders.h"
#include "levelmodel/MapPrimitive.h"
#include "traps/ModifyLandTrap.h"
#include "world/Flimb.h"
#include "world/FlimbTable.h"
#include "world/Landscape.h"
#include "world/TrapRegistry.h"
#include "world/WorldState.h"

#include <gtest/gtest.h>

namespace {

constexpr const char* kSlab = "Graphics\\Terrain\\slab.png";   // 64 x 64, every pixel solid
constexpr const char* kPlate = "Graphics\\Terrain\\plate.png"; // 96 x 16

class ModifyLandTrapTest : public TrapHarness {
protected:
    void SetUp() override
    {
        TrapHarness::SetUp();
        if (HasFatalFailure())
            return;
        ModifyLandPrimStore::Clear();
        LoadMap(AsciiMap(300, std::string(400, '.')));
    }
    void TearDown() override
    {
        ResetFlimbTypeHandlers();
        TrapHarness::TearDown();
        ModifyLandPrimStore::Clear();
    }
    static std::string Prim(int id, int x, int y, const char* file = kSlab, const char* bashType = "1")
    {
        return "<modify_prim><objectID>" + std::to_string(id) + "</objectID><posX>" + std::to_string(x) +
               "</posX><posY>" + std::to_string(y) + "</posY><bashtype>" + bashType + "</bashtype><filename>" +
               file + "</filename></modify_prim>";
    }
    // A trap moving the primitives (stamped first, as the level reader stamps them).
    ModifyLandTrap* AddModifyLand(const std::string& children, const std::string& prims)
    {
        auto* trap = dynamic_cast<ModifyLandTrap*>(
            AddTrapXml("<trap><type>ModifyLand</type><x>10</x><y>10</y><can_trigger>0</can_trigger>" + children +
                       prims + "</trap>"));
        if (!trap)
            return nullptr;
        for (const ModifyLandTarget& target : trap->targets)
            if (target.prim && target.prim->prim)
                StampLevelPrimitive(Land(), *target.prim->prim, 1.0f, 0, 0, false);
        return trap;
    }
    static const MapPrimitive& PrimOf(const ModifyLandTrap& trap, size_t i = 0) { return *trap.targets.at(i).prim->prim; }
    int32_t Solid(int x0, int y0, int x1, int y1) { return Land().CountSolidPixels(x0, y0, x1, y1); }
    // A listener that keeps the flimb of each activation.
    RecordingTrap* Listener(Trap& source, uint32_t eventId)
    {
        auto listener = std::make_unique<RecordingTrap>(42, journal);
        RecordingTrap* raw = listener.get();
        RegisterTrap(std::move(listener));
        source.SetLink({eventId, raw->id});
        return raw;
    }
    // Flimbs that stay where they are put (no type handler moves them).
    static void HoldFlimbsStill()
    {
        for (uint8_t type = 0; type < kFlimbTypeCount; ++type)
            SetFlimbTypeHandler(type, [](Flimb&) {});
    }

    std::vector<std::string> journal;
};

TEST_F(ModifyLandTrapTest, ModSpeedThreeStepsOnlyOnItsMultiples)
{
    ModifyLandTrap* trap = AddModifyLand(
        "<mod_speed>3</mod_speed><x_pos_delta>2</x_pos_delta><x_final_pos>6</x_final_pos>", Prim(7, 100, 100));
    ASSERT_NE(trap, nullptr);
    Listen(*trap, 0);
    trap->Activate(nullptr);
    std::vector<float> xs;
    for (int i = 0; i < 8; ++i) {
        Run(1);
        xs.push_back(PrimOf(*trap).posX);
    }
    EXPECT_EQ(xs, (std::vector<float>{102, 102, 102, 104, 104, 104, 106, 106}));
    EXPECT_EQ(trap->active, 0);
    EXPECT_EQ(events, (std::vector<std::string>{std::to_string(trap->id) + ":0"}));
    EXPECT_EQ(Solid(68, 68, 73, 131), 0) << "the old place was taken out";
    EXPECT_EQ(Solid(106 - 32, 68, 106 + 31, 131), 64 * 64) << "the new one stamped";
}

TEST_F(ModifyLandTrapTest, AChangePointingAwayCountsAsDoneAtOnce)
{
    ModifyLandTrap* trap =
        AddModifyLand("<x_pos_delta>-2</x_pos_delta><x_final_pos>20</x_final_pos>", Prim(7, 100, 100));
    Listen(*trap, 0);
    trap->Activate(nullptr);
    Run(1);
    EXPECT_EQ(PrimOf(*trap).posX, 100.0f);
    EXPECT_EQ(trap->active, 0);
    EXPECT_EQ(events.size(), 1u);
}

TEST_F(ModifyLandTrapTest, EndlessTurnsAndMouseLinkNeverFinish)
{
    ModifyLandTrap* turning =
        AddModifyLand("<rot_delta>5</rot_delta><infinite_rot>1</infinite_rot>", Prim(7, 100, 100));
    ModifyLandTrap* linked = AddModifyLand("<mouseLink>1</mouseLink><x_pos_delta>2</x_pos_delta><x_final_pos>250</x_final_pos>",
                                           Prim(8, 250, 100));
    Listen(*turning, 0);
    Listen(*linked, 0);
    EXPECT_EQ(linked->relative, 0) << "mouseLink makes the finals absolute";
    turning->Activate(nullptr);
    linked->Activate(nullptr);
    Run(80);
    EXPECT_EQ(turning->active, 1);
    EXPECT_EQ(linked->active, 1);
    EXPECT_EQ(PrimOf(*turning).rotation, 400.0f);
    EXPECT_EQ(PrimOf(*linked).posX, 250.0f);
    EXPECT_TRUE(events.empty());
}

TEST_F(ModifyLandTrapTest, ForceAirErasesOnceAndFinishesInTheSameUpdate)
{
    ModifyLandTrap* trap = AddModifyLand("<forceAir>1</forceAir>", Prim(7, 100, 100));
    Listen(*trap, 0);
    ASSERT_EQ(Solid(68, 68, 131, 131), 64 * 64);
    trap->Activate(nullptr);
    Run(1);
    EXPECT_EQ(Solid(60, 60, 140, 140), 0);
    EXPECT_EQ(trap->active, 0);
    EXPECT_EQ(events.size(), 1u);
    EXPECT_EQ(PrimOf(*trap).posX, 100.0f);
}

TEST_F(ModifyLandTrapTest, AShrinkingTargetIsStampedInThreeCallsAGrowingOneInOne)
{
    ModifyLandTrap* shrinking =
        AddModifyLand("<x_delta>-0.25</x_delta><x_final_scale>-0.5</x_final_scale>", Prim(7, 100, 100));
    ModifyLandTrap* growing =
        AddModifyLand("<x_delta>0.25</x_delta><x_final_scale>0.5</x_final_scale>", Prim(8, 300, 100));
    shrinking->Activate(nullptr);
    growing->Activate(nullptr);
    Run(1);
    EXPECT_EQ(PrimOf(*shrinking).scaleX, 0.75f);
    // Marked as 1, the new shape laid as 2, the loose rest of the old one cleared.
    EXPECT_EQ(Land().HitTestPoint(100, 100), 2);
    EXPECT_EQ(Land().HitTestPoint(70, 100), 0);
    EXPECT_EQ(Land().HitTestPoint(129, 100), 0);
    EXPECT_EQ(PrimOf(*growing).scaleX, 1.25f);
    EXPECT_EQ(Land().HitTestPoint(300, 100), 1) << "a single stamp keeps the primitive's own bash type";
    EXPECT_EQ(Land().HitTestPoint(263, 100), 1);
    Run(1);
    EXPECT_EQ(PrimOf(*shrinking).scaleX, 0.5f);
    EXPECT_EQ(shrinking->active, 0);
}

TEST_F(ModifyLandTrapTest, TwoTrapsNamingOnePrimitiveMoveOneObject)
{
    const std::string moves = "<x_pos_delta>2</x_pos_delta><x_final_pos>20</x_final_pos>";
    ModifyLandTrap* first = AddModifyLand(moves, Prim(7, 100, 100));
    ModifyLandTrap* second = AddModifyLand(moves, Prim(7, 180, 180));
    EXPECT_EQ(ModifyLandPrimStore::Count(), 1u);
    EXPECT_EQ(first->targets[0].prim, second->targets[0].prim);
    EXPECT_EQ(PrimOf(*second).posX, 100.0f) << "the first one read is the one kept";
    first->Activate(nullptr);
    second->Activate(nullptr);
    Run(1);
    EXPECT_EQ(PrimOf(*first).posX, 104.0f);
    // Duplicating shares the primitive too, with records of its own.
    std::unique_ptr<Trap> copy = first->Duplicate();
    auto* typed = dynamic_cast<ModifyLandTrap*>(copy.get());
    ASSERT_NE(typed, nullptr);
    EXPECT_EQ(typed->targets[0].prim, first->targets[0].prim);
    EXPECT_NE(&typed->targets[0], &first->targets[0]);
}

TEST_F(ModifyLandTrapTest, LandPushedIntoAFlimbAgainstAWallCrushesItOnlyWithCanCrush)
{
    for (const bool crush : {false, true}) {
        SCOPED_TRACE(crush);
        ModifyLandPrimStore::Clear();
        LoadMap(AsciiMap(300, std::string(400, '.')));
        Fill(2, 0, 160, 399, 170);  // ground
        Fill(2, 160, 90, 180, 159); // a wall
        HoldFlimbsStill();
        ModifyLandTrap* trap = AddModifyLand(std::string("<can_crush>") + (crush ? "1" : "0") +
                                                 "</can_crush><platform>0</platform><x_pos_delta>4</x_pos_delta>"
                                                 "<x_final_pos>80</x_final_pos>",
                                             Prim(7, 100, 128));
        RecordingTrap* listener = Listener(*trap, 1);
        Flimb* flimb = PlaceAt(140, 159, 0);
        sounds.clear();
        trap->Activate(nullptr);
        const int16_t startX = flimb->x;
        Run(12);
        EXPECT_GT(flimb->x, startX) << "the land pushed it";
        if (crush) {
            EXPECT_FALSE(flimb->InWorld() && !flimb->IsFree());
            EXPECT_EQ(listener->lastBy, flimb);
            ASSERT_EQ(sounds.size(), 1u);
            EXPECT_EQ(sounds[0].rfind("32 at ", 0), 0u) << sounds[0];
        } else {
            EXPECT_TRUE(flimb->InWorld());
            EXPECT_EQ(listener->lastBy, nullptr);
            EXPECT_TRUE(sounds.empty());
        }
        ResetFlimbTypeHandlers();
        DeleteAllTraps();
        ClearWorldFlimbs(World());
    }
}

TEST_F(ModifyLandTrapTest, AStandingFlimbRidesTheRoundedStep)
{
    HoldFlimbsStill();
    ModifyLandTrap* trap = AddModifyLand("<platform>1</platform><x_pos_delta>1.5</x_pos_delta><x_final_pos>60</x_final_pos>",
                                         Prim(7, 100, 150, kPlate));
    Flimb* rider = PlaceAt(100, 141, 0);
    Flimb* beside = PlaceAt(300, 141, 0);
    trap->Activate(nullptr);
    Run(4);
    EXPECT_EQ(PrimOf(*trap).posX, 106.0f);
    EXPECT_EQ(rider->x, 108) << "carried by the rounded 1.5 each step";
    EXPECT_EQ(beside->x, 300);
}

TEST_F(ModifyLandTrapTest, TheLevelFormRoundTripsAndRefusesForeignFiles)
{
    ModifyLandTrap* trap = AddModifyLand("<rot_delta>2.5000</rot_delta><atomizeMode>-1</atomizeMode>"
                                         "<liquid_bash>1</liquid_bash><add_to_landscape>1</add_to_landscape>"
                                         "<mod_speed>0</mod_speed>",
                                         Prim(7, 100, 100) + Prim(7, 100, 100) + Prim(9, 200, 100, kPlate));
    ASSERT_NE(trap, nullptr);
    EXPECT_EQ(trap->atomizeMode, ModifyLandTrap::kAtomizeBridge);
    EXPECT_EQ(trap->mod_speed, 1);
    EXPECT_EQ(trap->targets.size(), 3u);
    const std::string saved = SaveText(*trap);
    size_t children = 0;
    for (size_t at = saved.find("<modify_prim>"); at != std::string::npos; at = saved.find("<modify_prim>", at + 1))
        ++children;
    EXPECT_EQ(children, 2u) << "one child per object id";
    auto again = Trap::Create(ModifyLandTrap::kKind);
    again->ResetToStart(kLoadModeGame);
    LoadInto(*again, saved);
    EXPECT_EQ(SaveText(*again), saved);

    log->Clear();
    ModifyLandTrap* foreign = AddModifyLand("<x_pos_delta>1</x_pos_delta><x_final_pos>3</x_final_pos>",
                                            Prim(11, 50, 250, "..\\..\\secret.png"));
    ASSERT_NE(foreign, nullptr);
    EXPECT_TRUE(log->Contains("lies outside the game's graphics"));
    foreign->Activate(nullptr);
    Run(5);
    EXPECT_EQ(Solid(0, 200, 99, 299), 0) << "nothing stamped";
    ModifyLandTrap* missing = AddModifyLand("<forceAir>1</forceAir>", Prim(12, 50, 50, "Graphics\\Terrain\\none.png"));
    missing->Activate(nullptr);
    Run(1);
    EXPECT_EQ(missing->active, 0) << "a primitive that cannot be loaded never blocks the end";
}

TEST_F(ModifyLandTrapTest, AFlimbInTheTriggerAreaStartsTheRun)
{
    auto* trap = dynamic_cast<ModifyLandTrap*>(AddTrapXml(
        "<trap><type>ModifyLand</type><x>300</x><y>100</y><can_trigger>1</can_trigger><trigger_width>40</trigger_width>"
        "<trigger_hight>80</trigger_hight><x_pos_delta>1</x_pos_delta><x_final_pos>50</x_final_pos>" +
        Prim(7, 100, 100) + "</trap>"));
    ASSERT_NE(trap, nullptr);
    EXPECT_EQ(trap->GetBounds(), (gfx::RECT{280, 60, 320, 140}));
    HoldFlimbsStill();
    PlaceAt(300, 120, 0, 3);
    Run(1);
    EXPECT_EQ(trap->active, 1);
    EXPECT_EQ(trap->activator_direction, 3);
}

} // namespace

namespace {

TEST_F(ModifyLandTrapTest, RemappingTakesTheNewIdsPrimitiveOrAMovedCopyOfItsOwn)
{
    ModifyLandTrap* trap = AddModifyLand("<custom_center>1</custom_center><x_center>5</x_center><y_center>6</y_center>"
                                         "<relative>0</relative><x_final_pos>30</x_final_pos>",
                                         Prim(7, 100, 100) + Prim(8, 200, 100));
    ModifyLandTrap* other = AddModifyLand("", Prim(80, 250, 250));
    trap->RemapLinks({{7, 70}, {8, 80}}, 10, 20);
    EXPECT_EQ(trap->x_center, 15);
    EXPECT_EQ(trap->y_center, 26);
    EXPECT_EQ(trap->x_final_pos, 40);
    ASSERT_EQ(trap->targets.size(), 2u);
    EXPECT_EQ(trap->targets[0].prim_id, 70);
    EXPECT_EQ(trap->targets[0].prim, ModifyLandPrimStore::Find(70));
    EXPECT_EQ(PrimOf(*trap, 0).posX, 110.0f) << "a moved copy of its own";
    EXPECT_EQ(PrimOf(*trap, 0).posY, 120.0f);
    EXPECT_EQ(trap->targets[1].prim, other->targets[0].prim) << "the store's primitive of the new id";
}

} // namespace
