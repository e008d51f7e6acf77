// The other types at work: timed ends and turns, floating, flying, drilling and gulping,
// steering and jumping, queued orders, computer-controlled combat, the Nova's effects on
// the flimbs round it, walls and one-way walls, and the local selection.
#include "app/Random.h"
#include "game/Directions.h"
#include "modes/MatchOptions.h"
#include "tests/support/FlimbFixture.h"
#include "tests/support/SessionRecorder.h"
#include "world/FlimbFrame.h"
#include "world/FlimbHandlers.h"
#include "world/ViewServices.h"

#include <gtest/gtest.h>

namespace {

class FlimbTypesTest : public FlimbFixture {
protected:
    void SetUp() override
    {
        FlimbFixture::SetUp();
        ResetMatchOptions();
        SimSrand(1);
        LoadMap({}, {}, 320, 240);
        Fill(1, 0, 200, 319, 239);
    }
    void TearDown() override
    {
        ResetMatchOptions();
        FlimbFixture::TearDown();
    }
    Flimb* Ordered(int x, int y, uint8_t type, uint8_t group = 0)
    {
        Flimb* flimb = Place(x, y, kWalk, group);
        flimb->SetType(type, true);
        return flimb;
    }
    static int CountMaterial(const AsciiMap& map, char c)
    {
        int count = 0;
        for (const std::string& row : map)
            count += int(std::count(row.begin(), row.end(), c));
        return count;
    }
};

TEST_F(FlimbTypesTest, TimedTypesEndOnTheirStep)
{
    struct Case {
        uint8_t type;
        int update;       // the update after which it has left or changed
        bool leaves;      // leaves the world (else: takes `next`)
        uint8_t next;
    };
    const Case cases[] = {
        {kShock, 17, true, 0},        {kDrown, 15, true, 0},   {kBurn, 20, true, 0},    {kAtomize, 1, true, 0},
        {kLop, 15, false, kWalk},     {kStun, 27, false, kWalk}, {kGraviturn, 9, false, kFall},
        {kSpawn, 22, false, kFall},   {kCopySpawn, 16, false, kFall},
    };
    for (const Case& c : cases) {
        Flimb* flimb = Ordered(160, 200, c.type);
        flimb->targetX = 160;
        flimb->targetY = 200;
        flimb->counter = 0; // Graviturn: from down, to the gravity it has (down)
        Run(c.update - 1);
        EXPECT_TRUE(flimb->InWorld() && flimb->type == c.type) << FlimbTypeName(c.type) << " too early";
        Run(1);
        if (c.leaves)
            EXPECT_FALSE(flimb->InWorld()) << FlimbTypeName(c.type);
        else
            EXPECT_EQ(flimb->type, c.next) << FlimbTypeName(c.type);
        ClearWorldFlimbs(World());
    }
}

TEST_F(FlimbTypesTest, AnimationsChangeOnTheirSteps)
{
    Flimb* shock = Ordered(100, 200, kShock);
    Flimb* burn = Ordered(200, 200, kBurn);
    Run(4);
    EXPECT_EQ(shock->anim, 0);
    EXPECT_EQ(burn->anim, 1) << "at typeAge 3";
    Run(2);
    EXPECT_EQ(shock->anim, 1) << "at typeAge 5";
    Run(5);
    EXPECT_EQ(shock->anim, 2) << "at typeAge 10";
}

TEST_F(FlimbTypesTest, ASpawnComesOutAlongGravityAndACopyFallsTwoPixelsOn)
{
    LoadMap({}, {}, 320, 240); // no floor: only the handlers move them
    Flimb* spawn = Ordered(100, 20, kSpawn);
    Flimb* copy = Ordered(200, 20, kCopySpawn);
    Run(8);
    EXPECT_EQ(spawn->y, 20 + 8 * 4) << "frames 0..7: 4 pixels a step";
    EXPECT_EQ(copy->anim, 1) << "its first animation ran once";
    EXPECT_EQ(copy->y, 20);
    Run(8);
    EXPECT_EQ(copy->type, kFall);
    EXPECT_EQ(copy->y, 22);
    Run(2);
    EXPECT_EQ(spawn->y, 52) << "frames 8..17: still";
    Run(4);
    EXPECT_EQ(spawn->type, kFall);
    EXPECT_EQ(spawn->y, 52 + 4 * 3 + 2);
}

TEST_F(FlimbTypesTest, GraviturnTurnsTheShorterWayAndDropsOntoItsNewFloor)
{
    Flimb* flimb = Ordered(160, 100, kGraviturn);
    flimb->counter = 0; // it fell down ...
    flimb->gravity = 3; // ... and now falls right
    flimb->targetX = 166;
    flimb->targetY = 100;
    Run(1);
    EXPECT_EQ(flimb->angle, 0);
    EXPECT_EQ(flimb->x, 163) << "at most 3 pixels a step towards its target";
    Run(4);
    EXPECT_EQ(flimb->angle, 90 * 4 / 8) << "down 0 to right 90 in eight steps";
    Run(4);
    EXPECT_EQ(flimb->type, kFall);
    EXPECT_EQ(flimb->x, 166 + 17);
}

TEST_F(FlimbTypesTest, APuffFloatsDownSafelyFromAnyHeight)
{
    LoadMap({}, {}, 320, 640);
    Fill(1, 0, 600, 319, 639);
    Flimb* flimb = Place(160, 20, kFall);
    flimb->fallDistance = 20;
    flimb->SetType(kPuff, true);
    const int landed = RunUntil(400, [&] { return flimb->type != kPuff; });
    EXPECT_EQ(flimb->type, kWalk);
    EXPECT_EQ(landed, (600 - 20) / 3 + 1) << "three pixels an update";
}

TEST_F(FlimbTypesTest, ASpinRisesUntilTheBandOverItsHeadMeetsTheCeiling)
{
    Fill(2, 0, 0, 319, 99);
    Flimb* flimb = Ordered(160, 199, kSpin);
    const int stopped = RunUntil(200, [&] { return flimb->type != kSpin; });
    ASSERT_LE(stopped, 200);
    EXPECT_EQ(flimb->type, kFall);
    EXPECT_GE(flimb->y, 100 + 45);
    EXPECT_LE(flimb->y, 100 + 45 + 2);
}

TEST_F(FlimbTypesTest, AFallHeadingForASplatScreamsAndTheSplatSinksAway)
{
    LoadMap({}, {}, 320, 640);
    Fill(1, 0, 600, 319, 639);
    Flimb* flimb = Place(160, 300, kFall);
    Run(1);
    EXPECT_TRUE(flimb->attributes & kAttrCounted) << "no ground within a safe fall below it";
    EXPECT_TRUE(flimb->anim == 1 || flimb->anim == 2);
    EXPECT_EQ(World().tallies[0][kTallyFalling], 1);
    const int splat = RunUntil(100, [&] { return flimb->type == kSplat; });
    ASSERT_LE(splat, 100);
    EXPECT_EQ(flimb->splatHeight, 48);
    EXPECT_FALSE(flimb->IsAlive());
    const int gone = RunUntil(100, [&] { return !flimb->InWorld(); });
    EXPECT_EQ(gone, 24) << "two pixels of its 48 sink away each step";

    Flimb* safe = Place(100, 500, kFall);
    Run(1);
    EXPECT_FALSE(safe->attributes & kAttrCounted) << "ground within reach: no scream";
}

TEST_F(FlimbTypesTest, TheQuantumTimePreviewOfANovaChangesNeitherTheTerrainNorTheFlimbsAroundIt)
{
    SessionRecorder session;
    CurrentMatchOptions().contagiousNova = true;
    CurrentMatchOptions().explosionPhysics = true;
    SetBlockBrush(12, 1, 40, 40);
    Fill(1, 100, 150, 220, 199);
    Flimb* neighbour = Place(150, 200, kWalk, 1);
    neighbour->walkSpeed = 0;
    Flimb* flimb = Place(160, 200, kWalk);
    flimb->walkSpeed = 0;
    flimb->SetAttribute(kAttrNovaFuse);
    flimb->fuse = 100; // a Nova in twenty steps, its blast thirteen later
    flimb->flags |= kFlimbSelected;
    World().selected = flimb;
    World().preview.state = 1;
    const uint64_t terrain = LandscapeStateHash();
    for (int update = 0; update < 12; ++update) {
        Run(1);
        EXPECT_EQ(LandscapeStateHash(), terrain) << "update " << update;
    }
    EXPECT_GE(World().preview.steps, 33 - 12) << "the copy has run past its blast";
    EXPECT_EQ(neighbour->pushX, 0);
    EXPECT_TRUE(session.requests.empty());
    RunUntil(30, [&] { return !flimb->InWorld(); });
    EXPECT_NE(LandscapeStateHash(), terrain) << "the real blast digs";
    EXPECT_FALSE(session.requests.empty()) << "and sends its chain reaction";
}

TEST_F(FlimbTypesTest, ADrillDigsDownAndStopsAtRock)
{
    Fill(2, 0, 230, 319, 239);
    SetBlockBrush(3, 1, 12, 4);
    Flimb* flimb = Ordered(160, 200, kDrill);
    const int stopped = RunUntil(200, [&] { return flimb->type != kDrill; });
    ASSERT_LE(stopped, 200);
    EXPECT_EQ(flimb->type, kWalk);
    EXPECT_GE(flimb->y, 226);
    const AsciiMap map = Map();
    EXPECT_EQ(map[215].substr(154, 12), "............") << "a shaft a brush wide";
    EXPECT_EQ(CountMaterial(map, '#'), 320 * 10) << "the rock is whole";

    Flimb* through = Ordered(60, 200, kDrill);
    Fill(0, 40, 204, 80, 229); // a cave under a thin floor
    Run(3);
    EXPECT_EQ(through->type, kFall) << "a stroke that digs nothing lets it fall";
}

TEST_F(FlimbTypesTest, AGulpDigsDiagonallyDown)
{
    Fill(1, 0, 100, 319, 239);
    SetBlockBrush(15, 1, 40, 40);
    Flimb* flimb = Ordered(100, 100, kGulp);
    Run(30);
    EXPECT_EQ(flimb->type, kGulp);
    EXPECT_GT(flimb->x, 110);
    EXPECT_GT(flimb->y, 100) << "it sinks into its tunnel";
    EXPECT_GT(CountMaterial(Map(), '.'), 320 * 100);
}

TEST_F(FlimbTypesTest, AWalkerTurnsAtAWallAndOneWayWallsStopOneDirectionOnly)
{
    Fill(2, 240, 100, 250, 199);
    Flimb* walker = Place(200, 200, kWalk);
    RunUntil(60, [&] { return walker->walkSpeed < 0; });
    EXPECT_LT(walker->walkSpeed, 0);
    EXPECT_EQ(walker->anim, 2) << "the turning animation";
    EXPECT_LE(walker->x, 240 - 8);

    Fill(8, 100, 100, 101, 199); // lets the negative way pass, stops the positive one
    Flimb* left = Place(130, 200, kWalk, 0, 0, -1);
    Flimb* right = Place(70, 200, kWalk, 0, 0, 1);
    Run(30);
    EXPECT_LT(left->x, 100) << "through material 8 going the negative way";
    EXPECT_LT(right->x, 100) << "stopped by material 8 going the positive way";
    EXPECT_LT(right->walkSpeed, 0);
}

TEST_F(FlimbTypesTest, ASteeredFlimbWalksWhileAKeyIsHeldStandsWithoutAndJumps)
{
    Flimb* flimb = Place(160, 200, kWalk);
    flimb->SetAttribute(kAttrSteered);
    Run(1);
    EXPECT_EQ(flimb->type, kEntangle) << "no key held: it stands";
    EXPECT_EQ(flimb->anim, 3);
    flimb->SetSteerKey(true, false);
    Run(1);
    flimb->SetSteerKey(true, true);
    EXPECT_EQ(flimb->SteerDirection(), 1) << "both held: the one pressed last";
    Run(5);
    EXPECT_EQ(flimb->type, kWalk);
    EXPECT_GT(flimb->walkSpeed, 0);
    const int16_t x = flimb->x;
    Run(2);
    EXPECT_EQ(flimb->x, x + 2 * 2 * 3) << "two handler runs an update";
    flimb->SetSteerKey(false, true);
    EXPECT_EQ(flimb->SteerDirection(), -1);
    flimb->SetSteerKey(false, false);
    EXPECT_EQ(flimb->SteerDirection(), 0);

    flimb->Jump();
    EXPECT_TRUE(flimb->flags2 & kFlimbJumping);
    EXPECT_EQ(flimb->jumpVY, -31);
    Run(2);
    EXPECT_LT(flimb->y, 200) << "up it goes";
    RunUntil(60, [&] { return !(flimb->flags2 & kFlimbJumping); });
    EXPECT_FALSE(flimb->flags2 & kFlimbJumping);
    EXPECT_EQ(flimb->y, 200);
    EXPECT_TRUE(flimb->InWorld());
}

TEST_F(FlimbTypesTest, QueuedOrdersSpendUsesWaitForTheirDelayAndAreDropped)
{
    Controller().groups[0].uses[kDoppel] = 1;
    Flimb* first = Place(100, 200, kWalk);
    Flimb* second = Place(200, 200, kWalk);
    first->queuedAction = kDoppel;
    second->queuedAction = kDoppel;
    Run(1);
    EXPECT_EQ(first->type, kDoppel);
    EXPECT_EQ(Controller().groups[0].uses[kDoppel], 0);
    EXPECT_EQ(second->type, kWalk);
    EXPECT_EQ(second->queuedAction, kNoType) << "no uses left: dropped";

    Controller().groups[0].uses[kClob] = 5;
    Flimb* falling = Place(60, 100, kFall);
    falling->fallDistance = 10;
    falling->queuedAction = kClob;
    falling->queuedDelay = 3;
    Run(2);
    EXPECT_EQ(falling->queuedAction, kClob) << "kept while its delay runs";
    Run(1);
    EXPECT_EQ(falling->queuedAction, kNoType) << "refused when the delay ran out: dropped";
    EXPECT_EQ(Controller().groups[0].uses[kClob], 5);
}

TEST_F(FlimbTypesTest, ComputerControlledFlimbsFightEnemiesThatTouchThem)
{
    Flimb* fighter = Place(160, 200, kWalk, 0);
    fighter->autoBehaviour = 4;
    fighter->walkSpeed = 0;
    Flimb* enemy = Place(164, 200, kStun, 1);
    enemy->walkSpeed = 0;
    Run(12);
    EXPECT_EQ(fighter->type, kWalk) << "a Stun is no enemy, and nothing before typeAge 16";
    enemy->type = kWalk;
    enemy->typeAge = 0;
    const int fought = RunUntil(10, [&] { return fighter->type == kClob; });
    EXPECT_LE(fought, 10);
    EXPECT_EQ(fighter->fuse, 1);

    enemy->flags &= uint8_t(~(kFlimbInWorld | kFlimbAlive));
    fighter->typeAge = 16;
    Run(1);
    EXPECT_EQ(fighter->pendingType, kWalk) << "its enemy gone, the Clob it started walks on";

    Flimb* weak = Place(60, 200, kWalk, 2);
    weak->autoBehaviour = 4;
    weak->energy = 1000;
    weak->typeAge = 16;
    weak->walkSpeed = 0;
    Flimb* other = Place(62, 200, kWalk, 3);
    other->walkSpeed = 0;
    weak->CheckEnemies();
    EXPECT_EQ(weak->pendingType, kNova) << "a weak flimb goes off";
    EXPECT_EQ(weak->fuse, 5);
}

TEST_F(FlimbTypesTest, TheNovaSendsChainReactionsPushesAndDealsWithDoppels)
{
    SessionRecorder session;
    CurrentMatchOptions().contagiousNova = true;
    CurrentMatchOptions().explosionPhysics = true;
    CurrentMatchOptions().explosionMag = 55;
    Flimb* pushed = Place(190, 200, kWalk, 1);    // placed first: pushed after its own step
    pushed->walkSpeed = 0;
    Flimb* friendDoppel = Ordered(140, 200, kDoppel, 0);
    Flimb* enemyDoppel = Ordered(180, 200, kDoppel, 1);
    Flimb* near = Place(175, 200, kWalk, 2);
    near->walkSpeed = 0;
    Flimb* nova = Ordered(160, 200, kNova, 0);
    nova->typeAge = 13;
    Run(1);
    EXPECT_FALSE(nova->InWorld());
    EXPECT_EQ(friendDoppel->type, kStun) << "its own group's Doppel is stunned";
    EXPECT_FALSE(enemyDoppel->InWorld()) << "the enemy's is shattered";
    const auto sent = [&](int id) {
        return std::count(session.requests.begin(), session.requests.end(),
                          "type " + std::to_string(id) + " 2 255 0") == 1;
    };
    EXPECT_TRUE(sent(near->id));
    EXPECT_TRUE(sent(pushed->id));
    // dx 30, dy 0 - 24: d = 38, v = trunc(exp(-38 / 50) x 55) = 25.
    EXPECT_EQ(pushed->pushX, 25);
    EXPECT_EQ(pushed->pushY, -25 * 30 / 20);
}

TEST_F(FlimbTypesTest, SelectionIsLocalItKeepsTheSteeringKeysAndLetsTheFollowedFlimbGo)
{
    SessionRecorder session;
    Controller().runState = kRunRunning;
    Flimb* flimb = Place(160, 200, kWalk);
    Flimb* linked = Place(100, 200, kWalk);
    flimb->linkedId = linked->id;
    static const Flimb* followed = nullptr;
    static int letGo = 0;
    followed = flimb;
    letGo = 0;
    GameViewHooks hooks;
    hooks.followedFlimb = [] { return followed; };
    hooks.stopFollowing = [] { ++letGo; };
    SetGameViewHooks(hooks);
    flimb->SetSelected(true, true);
    EXPECT_TRUE(linked->IsSelected());
    flimb->SetSteerKey(true, true);
    flimb->SetSelected(false, true);
    EXPECT_FALSE(linked->IsSelected());
    EXPECT_EQ(flimb->steerKeys & 1, 1) << "keys change through commands only";
    EXPECT_EQ(letGo, 1);
    EXPECT_EQ(session.requests, std::vector<std::string>{"highlight " + std::to_string(flimb->id)});
}

// The brushes a flimb lays are the same shape in its own frame whatever its gravity: the
// masks of directions 1-3 are the direction-0 mask turned the way the flimb turns.
TEST_F(FlimbTypesTest, ABrushHasOneShapeInTheFlimbsOwnFrameUnderEveryGravity)
{
    for (uint8_t gravity = 0; gravity < 4; ++gravity) {
        Flimb* probe = Place(100, 100, kWalk, 0, gravity);
        int32_t x = 100, y = 100, wx = 0, wy = 0;
        OffsetByDirection(gravity, x, y, 7, -3);
        flimbs::FrameToWorld(*probe, 7, -3, wx, wy);
        EXPECT_EQ(wx, x);
        EXPECT_EQ(wy, y);
        int fx = 0, fy = 0;
        flimbs::WorldToFrame(*probe, wx, wy, fx, fy);
        EXPECT_EQ(fx, 7);
        EXPECT_EQ(fy, -3);
    }
    SetBrush(2, 1, {"##....", "###...", "####..", "#####."}); // asymmetric, so that a turn shows
    for (const bool flip : {false, true}) {
        Flimb* upright = Place(100, 100, kWalk, 0, 0);
        int width = 0, height = 0;
        flimbs::BrushFrameSize(*upright, 2, flip, width, height);
        ASSERT_EQ(width, 6);
        ASSERT_EQ(height, 4);
        for (uint8_t gravity = 1; gravity < 4; ++gravity) {
            Flimb* turned = Place(100, 100, kWalk, 0, gravity);
            int w = 0, h = 0;
            flimbs::BrushFrameSize(*turned, 2, flip, w, h);
            EXPECT_EQ(w, width);
            EXPECT_EQ(h, height);
            for (int row = 0; row < height; ++row)
                for (int column = 0; column < width; ++column)
                    EXPECT_EQ(flimbs::BrushSolidAt(*turned, 2, flip, column, row),
                              flimbs::BrushSolidAt(*upright, 2, flip, column, row))
                        << "gravity " << int(gravity) << " flip " << flip << " at " << column << "," << row;
        }
        EXPECT_EQ(flimbs::BrushSolidAt(*upright, 2, flip, flip ? 5 : 0, 0), true);
        EXPECT_EQ(flimbs::BrushSolidAt(*upright, 2, flip, flip ? 0 : 5, 0), false) << "mirrored with flip";
    }
}

} // namespace
