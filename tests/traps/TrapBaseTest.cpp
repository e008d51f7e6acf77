// The trap base: the factory and its kinds, the common save and load (stand-ins included),
// event links, cooldowns, pickups, falling, bounds and the deep copy.
#include "app/GameException.h"
#include "app/XmlUtil.h"
#include "media/AnimSurface.h"
#include "tests/support/LogCapture.h"
#include "tests/support/ScopedStandIn.h"
#include "tests/support/SessionRecorder.h"
#include "tests/support/TestWorld.h"
#include "tests/support/WorldFixture.h"
#include "traps/StandInTrap.h"
#include "traps/TrapFactory.h"
#include "world/FlimbTable.h"
#include "world/Landscape.h"
#include "world/TrapRegistry.h"
#include "world/WorldServices.h"

#include <gtest/gtest.h>


#include <functional>
#include <map>
#include <string>

namespace {

// The text of a trap's Save output under a "trap" element.
std::string SaveText(const Trap& trap)
{
    XmlDocument doc = XmlNewDocument("trap");
    trap.Save(XmlRoot(doc.get()));
    return XmlDocumentText(doc.get());
}

// Loads a trap element given as text into the trap, with the defaults element given as text
// (none when empty).
void LoadFrom(Trap& trap, const std::string& element, const std::string& defaults = "")
{
    XmlDocument doc = XmlParseBuffer(element.data(), element.size(), "trap");
    ASSERT_TRUE(doc);
    XmlDocument defaultsDoc;
    if (!defaults.empty())
        defaultsDoc = XmlParseBuffer(defaults.data(), defaults.size(), "defaults");
    trap.Load(XmlRoot(doc.get()), XmlRoot(defaultsDoc.get()), kTrapLoadAll);
}

// Every common child a level's defaults give.
const char* const kDefaults = R"(<trap><x>0</x><y>0</y><zorder>0</zorder><flimborder>0</flimborder>
  <renderUnderShadow>0</renderUnderShadow><alpha>255</alpha><visible>1</visible><trap_rotation>0</trap_rotation>
  <scale_x>1.0</scale_x><scale_y>1.0</scale_y><tint>8421504</tint><pickup_mode>0</pickup_mode>
  <floating_pickup>0</floating_pickup><pickup_left>1</pickup_left><allow_fall>0</allow_fall><enabled>1</enabled>
  <audible>1</audible><activated>0</activated><alive>1</alive>
  <trap_event><target_id>77</target_id><event_id>1</event_id></trap_event></trap>)";

class TrapBaseTest : public ::testing::Test {
protected:
    TestWorld world;
};

TEST_F(TrapBaseTest, FactoryMakesEveryKindButTheThreeWithoutAClass)
{
    for (int32_t kind = -1; kind <= 56; ++kind) {
        std::unique_ptr<Trap> trap = Trap::Create(kind);
        const bool expected = kind >= 1 && kind <= 54 && kind != 16 && kind != 30 && kind != 44;
        EXPECT_EQ(trap != nullptr, expected) << "kind " << kind;
        if (trap) {
            EXPECT_EQ(trap->kind, kind);
        }
    }
}

TEST_F(TrapBaseTest, NewTrapsTakeTheWorldsNextIdsAndTheBaseDefaults)
{
    world.world.traps.nextTrapId = 40;
    std::unique_ptr<Trap> first = Trap::Create(1);
    std::unique_ptr<Trap> second = Trap::Create(22);
    EXPECT_EQ(first->id, 40u);
    EXPECT_EQ(second->id, 41u);
    EXPECT_EQ(world.world.traps.nextTrapId, 42u);
    EXPECT_EQ(first->alive, 1);
    EXPECT_EQ(first->visible, 1);
    EXPECT_EQ(first->animating, 1);
    EXPECT_EQ(first->pickup_left, 1);
    EXPECT_EQ(first->alpha, 255);
    EXPECT_EQ(first->tint, 0x808080u);
    EXPECT_EQ(first->enabled, 1);
    EXPECT_EQ(first->audible, 1);
    EXPECT_FLOAT_EQ(first->scale_x, 1.0f);
}

TEST_F(TrapBaseTest, KindNames)
{
    const struct {
        const char* name;
        int32_t kind;
    } cases[] = {{"BallCrawl", 18}, {"Slug", 18},     {"Teleport", 1},   {"Checkpoint", 54}, {"Undefined", 0},
                 {"undefined", 55}, {"teleport", 55}, {"Freezer", 55},   {"", 55},           {"Nothing", 55}};
    for (const auto& c : cases)
        EXPECT_EQ(Trap::KindFromName(c.name), c.kind) << c.name;
    EXPECT_EQ(Trap::KindFromName(nullptr), 55);
}

// A trap of every common group with non-default values and two links saves, loads and saves
// again with the same text, stand-ins keeping their own children.
TEST_F(TrapBaseTest, SaveLoadSaveKeepsTheText)
{
    // Start and Exit as their stand-ins: the real kinds snap their scale and write their own
    // children (their own tests cover them).
    auto make = [](int32_t kind) -> std::unique_ptr<Trap> {
        if (kind == 21 || kind == 22)
            return std::make_unique<StandInTrap>(kind);
        return Trap::Create(kind);
    };
    for (int32_t kind : {1, 17, 20, 21, 22, 36, 42}) {
        std::unique_ptr<Trap> source = make(kind);
        source->x = 12.0f;
        source->y = -30.0f;
        source->zorder = 1;
        source->renderUnderShadow = 1;
        source->alpha = 90;
        source->rotation = 270.0f;
        source->scale_x = 2.5f;
        source->scale_y = 0.5f;
        source->tint = 0x102030;
        source->pickup_mode = 1;
        source->floating_pickup = 1;
        source->pickup_left = 4;
        source->allow_fall = 1;
        source->activated = 1;
        source->SetLink({0, 900});
        source->SetLink({2, 901});
        std::string first = SaveText(*source);
        if (kind == 21) {
            // A stand-in keeps the kind's own children, a second "activated" included.
            const std::string own = "<groupID>3</groupID><releaserate>4500</releaserate><flimbCount>20</flimbCount>"
                                    "<activated>1</activated><ai>2</ai>";
            first.insert(first.find("</trap>"), own);
        }

        std::unique_ptr<Trap> copy = make(kind);
        LoadFrom(*copy, first, kDefaults);
        const std::string second = SaveText(*copy);
        EXPECT_EQ(second, first) << "kind " << kind;
        std::unique_ptr<Trap> third = make(kind);
        LoadFrom(*third, second, kDefaults);
        EXPECT_EQ(SaveText(*third), second) << "kind " << kind;
        if (kind == 21) {
            EXPECT_EQ(copy->Group(), 3);
        }
    }
}

TEST_F(TrapBaseTest, SaveWritesTheGroupsTheKindsSwitchesName)
{
    // Sound (42) has no display, rotation, scale, tint, fall or pickup group.
    std::unique_ptr<Trap> sound = Trap::Create(42);
    sound->SetLink({1, 5});
    EXPECT_NE(SaveText(*sound).find("<trap><type>Sound</type><x>0.0000</x><y>0.0000</y><trap_event><target_id>5"
                                    "</target_id><event_id>1</event_id></trap_event><enabled>1</enabled><audible>1"
                                    "</audible><activated>0</activated><alive>1</alive>"),
              std::string::npos)
        << SaveText(*sound);
    // FrozenFlimb (17) can fall; Start (21) has no scale group.
    EXPECT_NE(SaveText(*Trap::Create(17)).find("<allow_fall>0</allow_fall>"), std::string::npos);
    EXPECT_EQ(SaveText(*Trap::Create(21)).find("scale_x"), std::string::npos);
    EXPECT_NE(SaveText(*Trap::Create(1)).find("<tint>8421504</tint>"), std::string::npos);
}

TEST_F(TrapBaseTest, LoadCases)
{
    struct Case {
        const char* what;
        int32_t kind;
        const char* element;
        std::function<void(const Trap&)> check;
    };
    const Case cases[] = {
        {"positions drop their fraction", 1, "<trap><x>12.75</x><y>-3.5</y></trap>",
         [](const Trap& t) {
             EXPECT_FLOAT_EQ(t.x, 12.0f);
             EXPECT_FLOAT_EQ(t.y, -3.0f);
         }},
        {"rotations load whole", 1, "<trap><trap_rotation>90.5</trap_rotation></trap>",
         [](const Trap& t) { EXPECT_FLOAT_EQ(t.rotation, 90.0f); }},
        {"an old single scale gives both", 1, "<trap><scale>2.0000</scale></trap>",
         [](const Trap& t) {
             EXPECT_FLOAT_EQ(t.scale_x, 2.0f);
             EXPECT_FLOAT_EQ(t.scale_y, 2.0f);
         }},
        {"scale_x wins over scale", 1, "<trap><scale_x>3</scale_x><scale>2</scale></trap>",
         [](const Trap& t) {
             EXPECT_FLOAT_EQ(t.scale_x, 3.0f);
             EXPECT_FLOAT_EQ(t.scale_y, 2.0f);
         }},
        {"no trap_event: no links, whatever the defaults hold", 1, "<trap/>",
         [](const Trap& t) { EXPECT_TRUE(t.links.empty()); }},
        {"events in document order, nested ones and any case included", 1,
         "<trap><trap_event><target_id>5</target_id><event_id>0</event_id></trap_event><x>1</x>"
         "<TRAP_EVENT><target_id>6</target_id><event_id>0</event_id></TRAP_EVENT>"
         "<box><trap_event><target_id>7</target_id></trap_event></box></trap>",
         [](const Trap& t) {
             ASSERT_EQ(t.links.size(), 3u);
             EXPECT_EQ(t.links[0], (TrapLink{0, 5}));
             EXPECT_EQ(t.links[1], (TrapLink{0, 6}));
             EXPECT_EQ(t.links[2], (TrapLink{1, 7})); // event_id from the defaults' first event
         }},
        {"a kind without the audible option keeps audible", 17, "<trap><audible>0</audible></trap>",
         [](const Trap& t) {
             EXPECT_EQ(t.audible, 1);
             EXPECT_NE(SaveText(t).find("<audible>1</audible>"), std::string::npos);
         }},
        {"a kind with it reads audible", 1, "<trap><audible>NO</audible></trap>",
         [](const Trap& t) { EXPECT_EQ(t.audible, 0); }},
        {"booleans are yes or 1 in any case", 1, "<trap><visible>Yes</visible><enabled>true</enabled></trap>",
         [](const Trap& t) {
             EXPECT_EQ(t.visible, 1);
             EXPECT_EQ(t.enabled, 0);
         }},
        {"text that is no number reads 0", 1, "<trap><x>west</x><pickup_left>many</pickup_left></trap>",
         [](const Trap& t) {
             EXPECT_FLOAT_EQ(t.x, 0.0f);
             EXPECT_EQ(t.pickup_left, 0);
         }},
        {"non-finite and oversized values take their default", 1,
         "<trap><scale_x>nan</scale_x><scale_y>1e60</scale_y><x>99999999999</x><y>5</y></trap>",
         [](const Trap& t) {
             EXPECT_FLOAT_EQ(t.scale_x, 1.0f);
             EXPECT_FLOAT_EQ(t.scale_y, 1.0f);
             EXPECT_FLOAT_EQ(t.x, 0.0f);
             EXPECT_FLOAT_EQ(t.y, 5.0f);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // The base's own load, whatever class the kind has by now.
        auto trap = std::make_unique<Trap>(c.kind);
        LoadFrom(*trap, c.element, kDefaults);
        c.check(*trap);
    }
}

TEST_F(TrapBaseTest, AValueMissingFromTrapAndDefaultsStopsTheLoad)
{
    std::unique_ptr<Trap> trap = Trap::Create(1);
    try {
        LoadFrom(*trap, "<trap><x>1</x></trap>", "<trap><x>0</x></trap>");
        FAIL() << "no exception";
    } catch (const GameException& e) {
        EXPECT_STREQ(e.what(), "The requested tag [y] was not found in level and in defaults\n");
    }
}

TEST_F(TrapBaseTest, OversizedValuesAreLogged)
{
    LogCapture log;
    auto trap = std::make_unique<Trap>(1);
    LoadFrom(*trap, "<trap><scale_x>inf</scale_x></trap>", kDefaults);
    EXPECT_TRUE(log.Contains("WARNING: Tag [scale_x] holds [inf], not a usable number. Using 1.0000")) << log.Text();
}

TEST_F(TrapBaseTest, FiringAnEventQueuesTheFirstLinksTarget)
{
    std::unique_ptr<Trap> owned = Trap::Create(1);
    Trap* source = owned.get();
    RegisterTrap(std::move(owned));
    // Targets whose activation is the base's.
    std::unique_ptr<Trap> firstTarget = std::make_unique<Trap>(3);
    std::unique_ptr<Trap> secondTarget = std::make_unique<Trap>(3);
    Trap* first = firstTarget.get();
    Trap* second = secondTarget.get();
    RegisterTrap(std::move(firstTarget));
    RegisterTrap(std::move(secondTarget));
    source->links = {{1, first->id}, {1, second->id}, {0, 999}};

    source->FireEvent(2, nullptr, false); // no link: nothing
    source->FireEvent(0, nullptr, false); // unknown target: nothing
    EXPECT_TRUE(world.world.traps.pendingActivations.empty());
    source->FireEvent(1, nullptr, false);
    ASSERT_EQ(world.world.traps.pendingActivations.size(), 1u);
    EXPECT_EQ(world.world.traps.pendingActivations[0].first, first);
    EXPECT_EQ(first->activated, 0); // not inside the caller's own work
    UpdateTraps();
    EXPECT_EQ(first->activated, 1);
    EXPECT_EQ(second->activated, 0);
}

TEST_F(TrapBaseTest, ANetworkedEventSendsTheTargetsState)
{
    SessionRecorder session;
    std::unique_ptr<Trap> source = Trap::Create(1);
    std::unique_ptr<Trap> target = Trap::Create(3);
    source->SetLink({0, target->id});
    const uint32_t targetId = target->id;
    RegisterTrap(std::move(target));
    Flimb* flimb = AddFlimb(10, 10, 44, 0, kWalk, 0, kFlimbStartEnergy, 0, 1);
    source->FireEvent(0, flimb, true);
    source->FireEvent(0, nullptr, true);
    ASSERT_EQ(session.requests.size(), 2u);
    EXPECT_EQ(session.requests[0], "trap " + std::to_string(targetId) + " 1 44");
    EXPECT_EQ(session.requests[1], "trap " + std::to_string(targetId) + " 1 -1");
    EXPECT_TRUE(world.world.traps.pendingActivations.empty());
}

TEST_F(TrapBaseTest, SetLinkReplacesTheLinkOfAnEventElseAppends)
{
    std::unique_ptr<Trap> trap = Trap::Create(1);
    trap->SetLink({0, 5});
    trap->SetLink({1, 6});
    trap->SetLink({0, 7});
    EXPECT_EQ(trap->links, (std::vector<TrapLink>{{0, 7}, {1, 6}}));
}

TEST_F(TrapBaseTest, RemapLinksWalksThePairsInOrder)
{
    std::unique_ptr<Trap> trap = Trap::Create(1);
    trap->links = {{0, 5}, {1, 6}, {2, 9}};
    trap->RemapLinks({{5, 50005}, {50005, 7}, {6, 50006}}, 10, 20);
    EXPECT_EQ(trap->links, (std::vector<TrapLink>{{0, 7}, {1, 50006}, {2, 9}}));
}

TEST_F(TrapBaseTest, CooldownsAreKeptBySlotAndExpire)
{
    Flimb* a = AddFlimb(10, 10, 1, 0, kWalk, 0, kFlimbStartEnergy, 0, 1);
    Flimb* b = AddFlimb(20, 10, 2, 0, kWalk, 0, kFlimbStartEnergy, 0, 1);
    std::unique_ptr<Trap> trap = Trap::Create(1);
    world.world.clock.updateCounter = 100;
    trap->NoteCooldown(a);
    world.world.clock.updateCounter = 104;
    trap->NoteCooldown(b);
    EXPECT_EQ(trap->cooldowns, (std::map<int32_t, uint32_t>{{0, 100}, {1, 104}}));
    Flimb copy = *a; // a record outside the table (the Quantum Time preview's) has none
    trap->NoteCooldown(&copy);
    EXPECT_FALSE(trap->HasCooldown(&copy));

    world.world.clock.updateCounter = 110;
    trap->ExpireCooldowns(10); // 100 + 10 is not below 110
    EXPECT_TRUE(trap->HasCooldown(a));
    world.world.clock.updateCounter = 111;
    trap->ExpireCooldowns(10);
    EXPECT_FALSE(trap->HasCooldown(a));
    EXPECT_TRUE(trap->HasCooldown(b));
    trap->ForgetObject(b);
    EXPECT_TRUE(trap->cooldowns.empty());
}

TEST_F(TrapBaseTest, PickupsAreUsedUp)
{
    std::unique_ptr<Trap> last = Trap::Create(1);
    last->pickup_mode = 1;
    last->pickup_left = 2;
    last->ConsumePickup();
    EXPECT_EQ(last->pickup_left, 1);
    EXPECT_EQ(last->alive, 1);
    last->ConsumePickup();
    EXPECT_EQ(last->pickup_left, 0);
    EXPECT_EQ(last->alive, 0);

    std::unique_ptr<Trap> unlimited = Trap::Create(1);
    unlimited->pickup_mode = 1;
    unlimited->pickup_left = 0;
    for (int i = 0; i < 3; ++i)
        unlimited->ConsumePickup();
    EXPECT_EQ(unlimited->pickup_left, 0);
    EXPECT_EQ(unlimited->alive, 1);

    std::unique_ptr<Trap> plain = Trap::Create(1);
    plain->ConsumePickup();
    EXPECT_EQ(plain->pickup_left, 1);
}

TEST_F(TrapBaseTest, PickupsAreTouchedTenPixelsFurtherInside)
{
    AnimSurface frame;
    frame.frameWidth = 20;
    frame.frameHeight = 30;
    frame.hotspotX = 10;
    frame.hotspotY = 29;
    Flimb* flimb = AddFlimb(100, 100, 1, 0, kWalk, 0, kFlimbStartEnergy, 0, 1);
    flimb->animation = &frame;
    const gfx::RECT own = flimb->GetCurrentSprite();

    auto trap = std::make_unique<Trap>(1); // the base's test, whatever class the kind has

    // The 32 x 32 square reaches 5 pixels into the flimb's rectangle from its left.
    trap->x = static_cast<float>(own.left - 16 + 5);
    trap->y = static_cast<float>(own.top);
    EXPECT_TRUE(trap->TestContact(flimb, 1, false, 0, 0, nullptr).has_value());
    EXPECT_EQ(trap->TestContact(nullptr, 1, false, 0, 0, nullptr).value_or(FlimbList{}), FlimbList{flimb});
    trap->pickup_mode = 1;
    EXPECT_FALSE(trap->TestContact(flimb, 1, false, 0, 0, nullptr).has_value());
    EXPECT_FALSE(trap->TestContact(nullptr, 1, false, 0, 0, nullptr).has_value());
    // A point test looks at the flimb's rectangle only.
    EXPECT_TRUE(trap->TestContact(flimb, 1, true, own.left, own.top, nullptr).has_value());
    EXPECT_FALSE(trap->TestContact(flimb, 1, true, own.right, own.top, nullptr).has_value());
    flimb->animation = nullptr;
}

TEST_F(TrapBaseTest, BoundsTurnThroughTheAngleTable)
{
    AnimSurface frame;
    frame.frameWidth = 41;
    frame.frameHeight = 21;
    frame.hotspotX = 20;
    frame.hotspotY = 20;
    std::unique_ptr<Trap> trap = Trap::Create(1);
    trap->x = 100.0f;
    trap->y = 200.0f;
    EXPECT_EQ(trap->GetBounds(), (gfx::RECT{84, 184, 116, 216}));
    trap->sprite = &frame;
    EXPECT_EQ(trap->GetBounds(), (gfx::RECT{80, 180, 120, 200}));
    trap->rotation = 90.0f; // (x, y) -> (-y, x)
    EXPECT_EQ(trap->GetBounds(), (gfx::RECT{100, 180, 120, 220}));
    trap->rotation = 180.0f;
    EXPECT_EQ(trap->GetBounds(), (gfx::RECT{80, 200, 120, 220}));
    trap->scale_x = 2.0f;
    trap->rotation = 0.0f;
    EXPECT_EQ(trap->GetBounds(), (gfx::RECT{60, 180, 141, 200}));
    trap->sprite = nullptr;
}

TEST_F(TrapBaseTest, FallingProbesAlongTheGravityOfTheRotation)
{
    InitLandscape();
    Landscape& land = *GameLandscape();
    ASSERT_EQ(land.Create(256, 256), TileStore::kCreated);
    PaintAscii(land, 0, 120, AsciiMap(16, std::string(256, '#')));
    std::unique_ptr<Trap> trap = Trap::Create(17);
    trap->x = 50.0f;
    trap->y = 100.0f;
    EXPECT_TRUE(trap->TryFall(3, false, 10)); // probe y 110: empty
    EXPECT_FLOAT_EQ(trap->y, 103.0f);
    trap->scale_y = 2.0f; // probe y 123: rock
    EXPECT_FALSE(trap->TryFall(3, true, 10));
    EXPECT_FLOAT_EQ(trap->y, 100.0f);
    EXPECT_FALSE(trap->TryFall(3, false, 10));
    EXPECT_FLOAT_EQ(trap->y, 100.0f);
    trap->rotation = 90.0f; // gravity right
    EXPECT_TRUE(trap->TryFall(4, false, 2));
    EXPECT_FLOAT_EQ(trap->x, 54.0f);
    trap->rotation = 180.0f; // up
    EXPECT_TRUE(trap->TryFall(4, false, 2));
    EXPECT_FLOAT_EQ(trap->y, 96.0f);
    ReleaseLandscape();
}

TEST_F(TrapBaseTest, FramesAdvanceAndPair)
{
    AnimSurface sheet;
    sheet.frameCount = 6;
    std::unique_ptr<Trap> trap = Trap::Create(1);
    trap->AdvanceFrame(); // no sheet: nothing
    EXPECT_EQ(trap->frame, 0);
    trap->sprite = &sheet;
    for (int i = 0; i < 6; ++i)
        trap->AdvanceFrame();
    EXPECT_EQ(trap->frame, 0);
    sheet.fps = 26;
    trap->AdvanceFrame();
    EXPECT_EQ(trap->frame, 2);
    trap->frame = 3;
    trap->AdvanceFrame();
    EXPECT_EQ(trap->frame, 4);
    EXPECT_EQ(trap->DisplayedFrame(), 4);
    Controller().alternateFrame = 1;
    EXPECT_EQ(trap->DisplayedFrame(), 5);
    trap->frame = 5;
    EXPECT_EQ(trap->DisplayedFrame(), 5);
    trap->animating = 0;
    trap->AdvanceFrame();
    EXPECT_EQ(trap->frame, 5);
    trap->sprite = nullptr;
}

TEST_F(TrapBaseTest, SnapRotation)
{
    std::unique_ptr<Trap> trap = Trap::Create(1);
    const std::pair<float, float> cases[] = {{0, 0}, {44, 0}, {46, 90}, {134, 90}, {316, 0}, {359, 0}, {400, 0}};
    for (const auto& [rotation, snapped] : cases) {
        trap->rotation = rotation;
        EXPECT_FLOAT_EQ(trap->SnapRotation90(), snapped) << rotation;
    }
}

TEST_F(TrapBaseTest, DuplicateIsADeepCopyWithAnIdOfItsOwn)
{
    // The stand-in of the start kind: the copy is made by the factory, so it is one too.
    ScopedStandIn standIn(21);
    Flimb* flimb = AddFlimb(10, 10, 1, 0, kWalk, 0, kFlimbStartEnergy, 0, 1);
    std::unique_ptr<Trap> source = Trap::Create(21);
    LoadFrom(*source, "<trap><groupID>4</groupID><releaserate>50</releaserate></trap>", kDefaults);
    source->links = {{0, 8}, {1, 9}};
    source->x = 40.0f;
    source->activated = 1;
    source->pickup_left = 3;
    source->NoteCooldown(flimb);
    std::unique_ptr<Trap> copy = source->Duplicate();
    ASSERT_TRUE(copy);
    EXPECT_NE(copy->id, source->id);
    EXPECT_EQ(copy->links, source->links);
    EXPECT_EQ(copy->cooldowns, source->cooldowns);
    EXPECT_EQ(copy->activated, 1);
    EXPECT_EQ(copy->pickup_left, 3);
    EXPECT_EQ(copy->Group(), 4);
    copy->links[0].target_id = 100;
    copy->SetGroup(6);
    EXPECT_EQ(source->links[0].target_id, 8u);
    EXPECT_EQ(source->Group(), 4);
    EXPECT_STREQ(static_cast<StandInTrap&>(*source).KeptText("groupID"), "4");
    EXPECT_STREQ(static_cast<StandInTrap&>(*copy).KeptText("groupID"), "6");
    EXPECT_STREQ(static_cast<StandInTrap&>(*copy).KeptText("releaserate"), "50");
}

// A kind registered by another folder replaces its stand-in.
class RegisteredKind : public Trap {
public:
    RegisteredKind() : Trap(45) {}
};

TEST_F(TrapBaseTest, RegisteredKindsReplaceStandIns)
{
    // The kinds' own classes come back afterwards.
    const ScopedStandIn keepUpdater(45), keepCopier(46);
    EXPECT_FALSE(RegisterTrapKind(16, [] { return std::unique_ptr<Trap>(new RegisteredKind); }));
    ASSERT_TRUE(RegisterTrapKind(45, [] { return std::unique_ptr<Trap>(new RegisteredKind); }));
    EXPECT_NE(dynamic_cast<RegisteredKind*>(Trap::Create(45).get()), nullptr);
    UnregisterTrapKind(45);
    EXPECT_NE(dynamic_cast<StandInTrap*>(Trap::Create(45).get()), nullptr);
    // A maker that makes another kind is refused.
    ASSERT_TRUE(RegisterTrapKind(46, [] { return std::unique_ptr<Trap>(new RegisteredKind); }));
    EXPECT_EQ(Trap::Create(46), nullptr);
    UnregisterTrapKind(46);
}

TEST_F(TrapBaseTest, StandInsAnswerForStartAndExit)
{
    std::unique_ptr<Trap> start = std::make_unique<StandInTrap>(21);
    LoadFrom(*start, "<trap><groupID>2</groupID><spawn_energy>20000</spawn_energy></trap>", kDefaults);
    EXPECT_EQ(start->Group(), 2);
    EXPECT_EQ(start->FlimbEnergySetting(), 13023);
    start->SetFlimbsLeft(12);
    EXPECT_NE(SaveText(*start).find("<flimbCount>12</flimbCount>"), std::string::npos);

    std::unique_ptr<Trap> exit = std::make_unique<StandInTrap>(22);
    EXPECT_EQ(exit->Group(), 0);
    exit->SetGroup(5);
    exit->SetFlimbsWanted(7);
    EXPECT_NE(SaveText(*exit).find("<groupID>5</groupID><min_flimbs>7</min_flimbs>"), std::string::npos);
    EXPECT_TRUE(exit->IsOpen());
    LoadFrom(*exit, "<trap><default_on>0</default_on></trap>", kDefaults);
    EXPECT_FALSE(exit->IsOpen());
}

} // namespace
