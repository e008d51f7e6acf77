// The play keys, reached through the player's key bindings, and the landscape's keys.
#include "app/KeyBindings.h"
#include "media/AnimSurface.h"
#include "platform/input/ScanCodes.h"
#include "media/KBManager.h"
#include "tests/support/ScopedConsoleInt.h"
#include "tests/support/SessionRecorder.h"
#include "tests/support/TestWorld.h"
#include "world/BindableAction.h"
#include "world/FlimbTable.h"
#include "world/Landscape.h"
#include "world/LandscapeKeys.h"
#include "world/PlayKeys.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

class PlayKeysTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        frame_.frameWidth = 20;
        frame_.frameHeight = 20;
        frame_.hotspotX = 10;
        frame_.hotspotY = 20;
        test.AddLocalPlayer();
        Controller().runState = kRunRunning;
        for (auto& group : Controller().groups)
            group.uses.fill(5);
        selected = Add(100, 1);
        selected->flags |= kFlimbSelected;
        World().selected = selected;
    }
    void TearDown() override { GetBindingStore().Clear(); }

    Flimb* Add(int16_t x, int16_t id, int8_t walkSpeed = 3)
    {
        Flimb* flimb = AddFlimb(x, 100, id, 0, kWalk, 0, kFlimbStartEnergy, 0, 1);
        flimb->animation = &frame_;
        flimb->walkSpeed = walkSpeed;
        return flimb;
    }

    static void Bind(const std::string& action, const std::string& key)
    {
        BindingStore& store = GetBindingStore();
        store.Build({{action}});
        store.FindByName(action)->keyNames[0] = key;
    }

    TestWorld test;
    SessionRecorder session;
    AnimSurface frame_;
    Flimb* selected = nullptr;
};

TEST_F(PlayKeysTest, ABoundActionKeyOrdersTheSelectedFlimb)
{
    // The key's action is found in the binding store and run through the action table.
    const auto runBoundKey = [](const std::string& key, bool down) {
        return RunBindableAction(KeyBindings::CommandForKey(key), down ? 1 : 0);
    };
    Bind("Clob", "C");
    EXPECT_TRUE(runBoundKey("C", true));
    EXPECT_EQ(session.requests, std::vector<std::string>{"type 1 0 255 0"});
    EXPECT_NE(World().actionKeyStamp, 0u);
    EXPECT_TRUE(runBoundKey("C", false));
    EXPECT_EQ(World().actionKeyStamp, 0u) << "a release clears the stamp";
    EXPECT_FALSE(runBoundKey("X", true)) << "an unbound key";

    session.requests.clear();
    Controller().runState = kRunPaused;
    runBoundKey("C", true);
    EXPECT_TRUE(session.requests.empty()) << "no orders while paused";
}

TEST_F(PlayKeysTest, OrdersCarryTheSelectionRequestAndThePreviewDelay)
{
    const auto forceLeft = ForceLeftKey;
    const auto forceRight = ForceRightKey;
    forceLeft(true);
    EXPECT_EQ(World().selectRequests[0], 2);
    forceRight(true);
    EXPECT_EQ(World().selectRequests[0], 0);
    EXPECT_EQ(World().selectRequests[1], 2);
    forceRight(false);
    EXPECT_EQ(World().selectRequests[1], 1) << "on for one more order";

    World().preview.soundPlayed = true;
    World().preview.steps = 40;
    World().preview.state = 1;
    SelectAction(kDrill, 0, false);
    EXPECT_EQ(session.requests, std::vector<std::string>{"type 1 3 99 40"});
    EXPECT_EQ(World().selectRequests[1], 0) << "used up";
    EXPECT_EQ(World().preview.state, 0);
    EXPECT_EQ(World().preview.steps, 1);

    forceLeft(true);
    forceLeft(true);
    EXPECT_EQ(World().selectRequests[0], 0) << "a second press switches it off";
}

TEST_F(PlayKeysTest, OrdersOutOfBudgetOrForSpectatorsAreNotSent)
{
    Controller().groups[0].uses[kMold] = 0;
    SelectAction(kMold, 0, false);
    Controller().localPlayer->spectator = 1;
    SelectAction(kClob, 0, false);
    EXPECT_TRUE(session.requests.empty());
}

TEST_F(PlayKeysTest, GulpOrdersAskForTheWantedVariant)
{
    selected->flags |= kFlimbGulpVariant;
    SelectAction(kGulp, 1, false);
    EXPECT_EQ(session.requests, (std::vector<std::string>{"type 1 4 255 0", "gulp 1 0"}));
    session.requests.clear();
    Add(140, 2);
    selected->linkedId = 2;
    GulpKey(true);
    GulpUpKey(true);
    EXPECT_EQ(session.requests, (std::vector<std::string>{"gulp 1 0", "gulp 2 0", "gulp 1 1"}));
}

TEST_F(PlayKeysTest, TurnAndJumpKeysSteerQualifiedFlimbs)
{
    const auto right = WalkRightKey;
    const auto left = WalkLeftKey;
    const auto jump = JumpKey;
    right(true);
    left(true);
    jump(true);
    EXPECT_TRUE(session.requests.empty()) << "a plain walker is not steered";
    selected->attributes = kAttrSteered;
    right(true);
    right(false);
    left(true);
    left(false);
    jump(true);
    selected->flags2 |= kFlimbJumping;
    jump(true);
    EXPECT_EQ(session.requests, (std::vector<std::string>{"type 1 3 77 0", "type 1 1 77 0", "type 1 2 77 0",
                                                          "type 1 0 77 0", "type 1 4 77 0"}));
    session.requests.clear();
    selected->attributes = 0;
    ScopedConsoleInt demigod("demigod", 1);
    right(true);
    EXPECT_EQ(session.requests, std::vector<std::string>{"type 1 3 77 0"}) << "god modes steer any flimb";
}

TEST_F(PlayKeysTest, SwitchKeys)
{
    HideOwnTeamKey(true);
    EXPECT_EQ(World().overlaySwitches[0], 0);
    HideOwnTeamKey(false);
    EXPECT_EQ(World().overlaySwitches[0], 1);
    OverlaysOffKey(true);
    EXPECT_EQ(World().hideOverlays, 1);
    EXPECT_EQ(World().overlaySwitches, (std::array<uint8_t, 2>{0, 0}));
    OverlaysOffKey(false);
    EXPECT_EQ(World().overlaySwitches, (std::array<uint8_t, 2>{1, 1}));

    const auto quick = QuickKey;
    World().quickCounters = {1, 2, 3};
    for (uint8_t expected : {1, 2, 0}) {
        quick(true);
        quick(false);
        EXPECT_EQ(World().quickState, expected);
    }
    EXPECT_TRUE(World().quickRedraw);
    EXPECT_EQ(World().quickCounters, (std::array<int32_t, 3>{}));

    ScopedConsoleInt follow("follow_selected", 1);
    FollowFlimbKey(true);
    EXPECT_EQ(ConsoleParam::Find("follow_selected")->GetInt(), 0);
    FollowFlimbKey(true);
    EXPECT_EQ(ConsoleParam::Find("follow_selected")->GetInt(), 1);

    ScopedConsoleInt lag("lag", 75);
    ShowScoresKey(true);
    // The key asks for 4; "lag" itself keeps every pulse at 10 ms or more.
    EXPECT_EQ(ConsoleParam::Find("lag")->GetInt(), 10);
    ShowScoresKey(true);
    EXPECT_EQ(ConsoleParam::Find("lag")->GetInt(), 75);
}

TEST_F(PlayKeysTest, SelectionMovesToTheNearestFlimbOnThatSide)
{
    Add(40, 2);        // 60 to the left
    Add(70, 3);        // 30 to the left
    Add(60, 4, -3);    // 40 to the left, walking the other way
    Add(70, 7);        // as near as 3, found later
    Add(130, 5);       // 30 to the right
    Add(400, 6);       // too far
    SelectFlimbLeft(true);
    EXPECT_EQ(World().selected->id, 3) << "the first found wins a tie";
    EXPECT_EQ(session.requests, (std::vector<std::string>{"highlight 1", "highlight 3"}));

    session.requests.clear();
    World().selectRequests[0] = 2; // only flimbs walking towards negative x
    SelectFlimbRight(true);
    EXPECT_EQ(World().selected->id, 3) << "nothing to the right walks left";
    SelectFlimbLeft(true);
    EXPECT_EQ(World().selected->id, 4);
    World().selectRequests[0] = 0;

    SelectFlimbRight(false);
    EXPECT_EQ(World().selected->id, 4) << "a release does nothing";
    Controller().runState = kRunPaused;
    SelectFlimbRight(true);
    EXPECT_EQ(World().selected->id, 4);
    Controller().runState = kRunRunning;
    SelectFlimbRight(true);
    EXPECT_EQ(World().selected->id, 3) << "the nearest right of 60";
}

TEST_F(PlayKeysTest, LandscapeKeysNeedARunningGameAndTheirSwitches)
{
    GameViewHooks hooks;
    hooks.makeGameViewCurrent = [](void*&) { return true; };
    hooks.mouseWorldPoint = [](int32_t& x, int32_t& y) { x = 12, y = 34; };
    SetGameViewHooks(hooks);
    EXPECT_FALSE(LandscapeOnKey(kKeyInsert, 1)) << "god mode is off";
    ScopedConsoleInt god("god", 1);
    ScopedConsoleInt debug("debug_mode", 1);
    EXPECT_FALSE(LandscapeOnKey(kKeyInsert, 0)) << "a release";
    EXPECT_TRUE(LandscapeOnKey(kKeyInsert, 1));
    EXPECT_EQ(session.requests, std::vector<std::string>{"create 12 34 0 0"});
    EXPECT_TRUE(LandscapeOnKey(kKeyF11, 1));
    EXPECT_FALSE(LandscapeOnKey(0x10, 1));
    Controller().runState = kRunPaused;
    EXPECT_FALSE(LandscapeOnKey(kKeyInsert, 1));
    Controller().runState = kRunNone;
    EXPECT_FALSE(LandscapeOnKey(kKeyInsert, 1));
    EXPECT_EQ(session.requests.size(), 1u);
}

TEST_F(PlayKeysTest, TheLandscapesChildrenTakeAKeyBeforeItsOwnKeys)
{
    // A manned device's panel is a child of the landscape: its keys must not reach the mode's
    // bindings (which scroll the camera with the arrows) or the debugging keys first.
    class KeyTaker final : public Primitive {
    public:
        int OnKey(int value, int code, bool, IInputDevice&) override
        {
            if (code != kKeyInsert)
                return 0;
            taken.push_back(value);
            return 1;
        }
        std::vector<int> taken;
    };
    GameViewHooks hooks;
    hooks.makeGameViewCurrent = [](void*&) { return true; };
    hooks.mouseWorldPoint = [](int32_t& x, int32_t& y) { x = 12, y = 34; };
    SetGameViewHooks(hooks);
    ScopedConsoleInt god("god", 1);
    ScopedConsoleInt debug("debug_mode", 1);
    Landscape land;
    KeyTaker taker;
    taker.deleteWhenClosed = 0;
    land.AddChild(&taker);
    EXPECT_EQ(land.OnKey(1, kKeyInsert, false, kbManager), 1);
    EXPECT_EQ(taker.taken, std::vector<int>{1});
    EXPECT_TRUE(session.requests.empty()) << "the debugging key did not act";
    EXPECT_EQ(land.OnKey(1, kKeyF11, false, kbManager), 1) << "a key no child takes still reaches the landscape";
    land.RemoveChild(&taker, false);
}

TEST(PlayKeyTable, TheBindingTableRunsThePlayKeys)
{
    // Each play key is reached through its row of the key binding table.
    for (const char* name : {"Clob", "Gulp", "GulpUp", "WalkLeft", "Jump", "LeftFlimb", "RightFlimb", "HideOwnTeam",
                             "Quick", "FollowFlimb", "HoldBelt", "ForceLeft", "ForceRight", "ShowScores"}) {
        const BindableAction* action = FindBindableAction(name);
        ASSERT_NE(action, nullptr) << name;
        EXPECT_TRUE(action->handler) << name;
    }
    const BindableAction* left = FindBindableAction("LeftFlimb");
    EXPECT_EQ(left->category, "Advanced");
    EXPECT_EQ(left->description, "Select the nearest flimb to the left of the currently selected flimb.");
}

} // namespace
