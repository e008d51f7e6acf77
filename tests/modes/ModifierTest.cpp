// The statue, stun and shift modifiers: uses and their keys, blocked statue clicks, the
// requests they send, the shift across universe strips, and the executor's modifier and
// difficulty records.
#include "../support/FakeMatch.h"
#include "../support/LogCapture.h"

#include "app/XmlUtil.h"
#include "media/KBManager.h"
#include "modes/GameMode.h"
#include "modes/ModeServices.h"
#include "modes/MultiverseMatchMode.h"
#include "modes/PlayerModifiers.h"
#include "world/ViewServices.h"

#include <cmath>

namespace {

constexpr int kPress = 0x80;
constexpr int kRelease = 0;

class ModifierTest : public MatchFixture {
protected:
    void TearDown() override
    {
        ResetGameViewHooks();
        MatchFixture::TearDown();
    }
    // Clicks at a world point (the screen is the world without a view).
    static void Click(GameModifier& modifier, float x, float y)
    {
        modifier.OnLeftButton(int(x), int(y), kPhaseDown);
    }
    static int Key(GameModifier& modifier, int value, int code) { return modifier.OnKey(value, code, false, kbManager); }
};

TEST_F(ModifierTest, ThreeStatuesAndTheFourthPressOnlyTells)
{
    world.localGroup = 2;
    BoxPaintGameModifier statue;
    statue.Reset();
    EXPECT_EQ(statue.name, "BOXPAINT");
    Click(statue, 100.0f, 100.0f);
    EXPECT_TRUE(effects.bashes.empty()) << "not armed";
    for (int n = 0; n < 3; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(Key(statue, kPress, 8), 1);
        EXPECT_TRUE(statue.armed);
        Click(statue, 100.0f + float(n), 200.0f);
        ASSERT_EQ(effects.bashes.size(), size_t(n + 1));
        const NetBashRequest& bash = effects.bashes.back();
        EXPECT_EQ(bash.brush, "Graphics\\Actions\\statue" + std::to_string(n) + ".png");
        EXPECT_EQ(bash.x, 100 + n);
        EXPECT_EQ(bash.y, 200);
        EXPECT_EQ(bash.mode, n == 2 ? 2u : 1u);
        EXPECT_EQ(bash.colour, 0xFFFF4444u);
        EXPECT_FLOAT_EQ(bash.scaleX, 1.0f);
        EXPECT_NEAR(bash.rotation, 3.0 * 3.14159265 / 2.0, 1e-5);
    }
    EXPECT_FALSE(statue.armed) << "the third statue disarms";
    EXPECT_EQ(statue.count, 3);
    EXPECT_EQ(effects.chats, std::vector<std::string>(3, "A flimb statue has been placed!"));
    Key(statue, kPress, 8);
    EXPECT_FALSE(statue.armed);
    EXPECT_EQ(effects.notices, std::vector<std::string>{"No more flimb statues left to place."});
    Click(statue, 300.0f, 300.0f);
    EXPECT_EQ(effects.bashes.size(), 3u);

    // A release disarms; repeats and other keys are not the modifier's; a match start
    // gives the uses back.
    statue.Reset();
    Key(statue, kPress, 8);
    EXPECT_EQ(Key(statue, 2, 8), 0);
    EXPECT_TRUE(statue.armed);
    Key(statue, kRelease, 8);
    EXPECT_FALSE(statue.armed);
    EXPECT_EQ(Key(statue, kPress, 9), 0);
    world.spectator = true;
    EXPECT_EQ(Key(statue, kPress, 8), 0);
    EXPECT_FALSE(statue.armed);

    // The click goes through the game view's conversion and rotation.
    world.spectator = false;
    GameViewHooks hooks;
    hooks.screenToWorld = [](float x, float y, float& wx, float& wy) {
        wx = x + 1000.0f;
        wy = y * 2.0f;
    };
    hooks.viewRotation = [] { return 0.5f; };
    SetGameViewHooks(hooks);
    Key(statue, kPress, 8);
    Click(statue, 10.0f, 20.0f);
    EXPECT_EQ(effects.bashes.back().x, 1010);
    EXPECT_EQ(effects.bashes.back().y, 40);
    EXPECT_NEAR(effects.bashes.back().rotation, 3.0 * 3.14159265 / 2.0 - 0.5, 1e-5);
}

TEST_F(ModifierTest, StatuesMayNotBlockExitsOrSpawnPoints)
{
    world.AddExit(0, 0, 0);
    ExitInfo& exit = world.exits.back();
    exit.x = 500.0f;
    exit.y = 500.0f;
    exit.scaleX = 2.0f; // 80 across either way, 180 up and 40 down for facing 0
    exit.scaleY = 2.0f;
    world.startTraps = {{21, 0, 100.0f, 100.0f}};
    struct Case {
        int direction;
        float dx, dy;
        bool blocked;
    };
    const Case cases[] = {
        {0, 0.0f, -179.0f, true},  {0, 0.0f, -181.0f, false}, {0, 0.0f, 39.0f, true},   {0, 0.0f, 41.0f, false},
        {0, 79.0f, 0.0f, true},    {0, 81.0f, 0.0f, false},   {1, 0.0f, 179.0f, true},  {1, 0.0f, -39.0f, true},
        {1, 0.0f, -41.0f, false},  {2, 179.0f, 0.0f, true},   {2, -179.0f, 0.0f, false}, {2, 0.0f, 79.0f, true},
        {3, -179.0f, 0.0f, true},  {3, 179.0f, 0.0f, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "facing " << c.direction << " at " << c.dx << "," << c.dy);
        world.exits[0].direction = c.direction;
        EXPECT_EQ(!BoxPaintGameModifier::BlockedReason(500.0f + c.dx, 500.0f + c.dy).empty(), c.blocked);
    }
    world.exits[0].direction = 0;
    world.exits[0].active = false;
    EXPECT_EQ(BoxPaintGameModifier::BlockedReason(500.0f, 480.0f), "") << "a switched-off exit blocks nothing";

    BoxPaintGameModifier statue;
    statue.Reset();
    Key(statue, kPress, 8);
    Click(statue, 100.0f + 24.9f, 100.0f);
    EXPECT_EQ(statue.count, 0) << "a blocked click spends nothing";
    EXPECT_TRUE(statue.armed);
    EXPECT_TRUE(effects.bashes.empty());
    EXPECT_EQ(effects.chats, std::vector<std::string>{"Blocking a spawn point with a statue is not allowed."});
    Click(statue, 100.0f + 25.0f, 100.0f);
    EXPECT_EQ(statue.count, 1);
    world.exits[0].active = true;
    Click(statue, 500.0f, 480.0f);
    EXPECT_EQ(statue.count, 1);
    EXPECT_EQ(effects.chats.back(), "Blocking an exit with a statue is not allowed.");
}

TEST_F(ModifierTest, StunSpendsAUseOnlyOnAFlimb)
{
    world.AddFlimb(5, 1, 100.0f, 100.0f);
    world.AddFlimb(6, 1, 104.0f, 100.0f);
    StunFlimbGameModifier stun;
    stun.Reset();
    EXPECT_EQ(stun.name, "STUNFLIMB");
    Key(stun, kPress, 9);
    Click(stun, 400.0f, 400.0f);
    EXPECT_EQ(stun.count, 0);
    EXPECT_TRUE(effects.typeUpdates.empty());
    Click(stun, 102.0f, 90.0f);
    EXPECT_EQ(stun.count, 1);
    EXPECT_EQ(effects.typeUpdates,
              (std::vector<RecordingMatchEffects::TypeUpdate>{{5, kFlimbTypeStunned, 88, 0}})) << "the first one found";
    EXPECT_EQ(effects.chatLines, std::vector<std::string>{"A flimb has been stunned!"});
    Click(stun, 102.0f, 90.0f);
    Click(stun, 102.0f, 90.0f);
    EXPECT_FALSE(stun.armed);
    Key(stun, kPress, 9);
    EXPECT_EQ(effects.notices, std::vector<std::string>{"No more flimb stuns left."});
}

TEST_F(ModifierTest, ShiftMovesIntoTheFirstOtherUniverseAndCopiesIntoTheRest)
{
    struct Case {
        std::vector<int> groups;
        float x;
        std::vector<int32_t> xs; // the flimb, then its copies
    };
    const Case cases[] = {
        {{0, 1}, 100.0f, {700}},           // two strips of 600
        {{1, 4}, 700.0f, {100}},           // from the second strip back to the first
        {{0, 1, 2}, 450.0f, {50, 850}},    // strips of 400: from the second into the first, a copy in the third
        {{0, 2, 5}, 1150.0f, {350, 750}},  // from the third
        {{0, 1}, -30.0f, {600}},           // left of the world: the first strip's edge
        {{0, 1}, 5000.0f, {599}},          // right of it: the last strip's edge
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.groups.size() << " strips, x " << c.x);
        for (GroupStatsBlock& block : world.stats)
            block.enabled = false;
        for (int g : c.groups)
            world.stats[size_t(g)].enabled = true;
        world.flimbs.clear();
        world.copies.clear();
        world.AddFlimb(9, 0, c.x, 50.0f);
        world.nextFlimbId = 20;
        ShiftFlimbGameModifier shift;
        shift.Apply(9);
        std::vector<int32_t> xs{int32_t(world.Any(9)->x)};
        for (int32_t copy : world.copies)
            xs.push_back(int32_t(world.Any(copy)->x));
        EXPECT_EQ(xs, c.xs);
    }
    // No universes: nothing moves.
    for (GroupStatsBlock& block : world.stats)
        block.enabled = false;
    LogCapture log;
    ShiftFlimbGameModifier shift;
    shift.Apply(9);
    EXPECT_TRUE(log.Contains("the level has no enabled group"));
}

TEST_F(ModifierTest, ShiftKeyNeedsAHighlightedFlimbAndUses)
{
    ShiftFlimbGameModifier shift;
    shift.Reset();
    EXPECT_EQ(shift.name, "SHIFTFLIMB");
    EXPECT_EQ(Key(shift, kPress, 7), 0) << "no flimb highlighted";
    world.highlighted = 12;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Key(shift, kPress, 7), 1);
    EXPECT_EQ(Key(shift, kRelease, 7), 0);
    EXPECT_EQ(shift.count, 0);
    EXPECT_EQ(effects.modifierStates, (std::vector<std::pair<int, int32_t>>(3, {GameModifier::kShift, 12})));
    EXPECT_EQ(effects.chatLines, std::vector<std::string>(3, "A flimb has been shifted!"));
    Key(shift, kPress, 7);
    EXPECT_EQ(effects.modifierStates.size(), 3u);
    EXPECT_EQ(effects.notices, std::vector<std::string>{"You have no more flimb shifts remaining."});
}

TEST_F(ModifierTest, TheOptionsMakeTheModifiersAndTheExecutorChecksTheirRecords)
{
    effects.hudOpen = true;
    CreateCurrentGameMode(4);
    XmlDocument block = XmlNewDocument("gamemode_data");
    xmlNode* root = XmlRoot(block.get());
    XmlAddChildText(root, "allow_paint", "1");
    XmlAddChildText(root, "allow_stun", "1");
    XmlAddChildText(root, "shiftFlimb", "1");
    GameMode& mode = *CurrentGameMode();
    mode.ReadOptions(root, nullptr);
    ASSERT_EQ(mode.modifiers.size(), 3u);
    EXPECT_NE(dynamic_cast<BoxPaintGameModifier*>(mode.FindModifier(GameModifier::kStatue)), nullptr);
    EXPECT_NE(dynamic_cast<StunFlimbGameModifier*>(mode.FindModifier(GameModifier::kStun)), nullptr);
    EXPECT_NE(dynamic_cast<ShiftFlimbGameModifier*>(mode.FindModifier(GameModifier::kShift)), nullptr);
    EXPECT_EQ(effects.attached.size(), 3u);

    world.EnableGroups({0, 1});
    world.AddFlimb(300, 0, 100.0f, 10.0f);
    LogCapture log;
    std::vector<uint8_t> record = {28, 0, 10, 0, 0, 0, GameModifier::kShift, 0, 0x2C, 0x01};
    EXPECT_FALSE(ModeApplyModifierRecord(record.data(), 9));
    EXPECT_TRUE(log.Contains("UPATE_MODIFIER of 9 bytes is too short; ignored"));
    EXPECT_TRUE(ModeApplyModifierRecord(record.data(), record.size()));
    EXPECT_EQ(world.Any(300)->x, 700.0f);
    record[6] = 1;
    EXPECT_FALSE(ModeApplyModifierRecord(record.data(), record.size()));
    EXPECT_TRUE(log.Contains("UPATE_MODIFIER for modifier 1 that the match does not have; ignored"));
    record[6] = GameModifier::kShift;
    record[8] = 0x2D;
    EXPECT_FALSE(ModeApplyModifierRecord(record.data(), record.size()));
    EXPECT_TRUE(log.Contains("UPATE_MODIFIER for flimb 301 that is gone; ignored"));

    std::vector<uint8_t> skill = {39, 0, 12, 0, 0, 0, 0, 0, 2, 0, 0, 0};
    EXPECT_TRUE(ModeApplyBattleSkill(skill.data(), skill.size()));
    EXPECT_EQ(dynamic_cast<MultiverseMatchMode&>(mode).difficulty, 2);
    skill[8] = 3;
    EXPECT_FALSE(ModeApplyBattleSkill(skill.data(), skill.size()));
    EXPECT_FALSE(ModeApplyBattleSkill(skill.data(), 11));
    EXPECT_EQ(dynamic_cast<MultiverseMatchMode&>(mode).difficulty, 2);
    CreateCurrentGameMode(0);
    skill[8] = 1;
    EXPECT_FALSE(ModeApplyBattleSkill(skill.data(), skill.size()));
    EXPECT_TRUE(log.Contains("BATTLESKILL outside a Multiverse match; ignored"));
}

} // namespace
