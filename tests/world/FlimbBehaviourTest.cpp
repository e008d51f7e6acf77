// Flimbs on small landscapes: orders while falling, walking off ledges, safe and fatal
// landings, the Nova's fuse and blast, the Mold's stair, the Doppel's block, the Clob's
// tunnel, wrapping and leaving edges.
#include "app/Random.h"
#include "modes/MatchOptions.h"
#include "tests/support/FlimbFixture.h"
#include "tests/support/LogCapture.h"
#include "world/FlimbHandlers.h"

#include <gtest/gtest.h>

namespace {

class FlimbBehaviourTest : public FlimbFixture {
protected:
    void SetUp() override
    {
        FlimbFixture::SetUp();
        ResetMatchOptions();
        SimSrand(1);
    }
    void TearDown() override
    {
        ResetMatchOptions();
        FlimbFixture::TearDown();
    }
    // A flat floor of dirt from row `top` down, the whole width.
    void Floor(int top, int material = 1)
    {
        Fill(material, 0, top, Land().Width() - 1, Land().Height() - 1);
    }
    // A walker given the type as an order (SetType: the type's counters start afresh).
    Flimb* PlaceOrdered(int x, int y, uint8_t type, uint8_t group = 0, uint8_t gravity = 0)
    {
        Flimb* flimb = Place(x, y, kWalk, group, gravity);
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

TEST_F(FlimbBehaviourTest, OrdersThatMayNotStartWhileFallingAreRefusedFromFallDistanceFour)
{
    LoadMap({}, {}, 256, 128);
    for (uint8_t type = 0; type < kFlimbTypeCount; ++type) {
        for (const uint16_t fall : {3, 4}) {
            Flimb* flimb = Place(50, 50, kWalk);
            flimb->fallDistance = fall;
            flimb->SetType(type, true);
            const bool refused = fall >= 4 && (type == kClob || type == kMold || type == kDrill || type == kGulp ||
                                               type == kDoppel || type == kLop);
            EXPECT_EQ(flimb->type, refused ? uint8_t(kWalk) : type) << FlimbTypeName(type) << " at fall distance " << fall;
        }
    }
}

TEST_F(FlimbBehaviourTest, AWalkerOffALedgeKeepsItsTypeFourUpdatesAndFallsOnTheFifth)
{
    LoadMap({}, {}, 256, 256);
    Fill(1, 0, 100, 40, 255);
    Flimb* flimb = Place(50, 100, kWalk); // past the ledge's edge: no foothold from the start
    for (int update = 1; update <= 4; ++update) {
        Run(1);
        EXPECT_EQ(flimb->type, kWalk) << "update " << update;
    }
    Run(1);
    EXPECT_EQ(flimb->type, kFall);
    EXPECT_EQ(flimb->x, 50) << "no foothold: it drops, it does not walk on";
    EXPECT_EQ(flimb->fallDistance, 5 * 8) << "the step-down limit, trunc(8 x scale), each update";
}

TEST_F(FlimbBehaviourTest, ALandingAtTheSafeHeightIsSafeAndOnePixelMoreSplats)
{
    struct Case {
        const char* what;
        bool doubleFall;
        bool steered;
        int safe;
    };
    for (const Case& c : {Case{"plain", false, false, 190}, Case{"double safe fall", true, false, 380},
                          Case{"steered", false, true, 285}}) {
        for (const int extra : {0, 1}) {
            LoadMap({}, {}, 128, 512);
            Floor(500);
            CurrentMatchOptions().doubleFall = c.doubleFall;
            Flimb* flimb = Place(64, 500 - c.safe - extra, kFall);
            if (c.steered)
                flimb->SetAttribute(kAttrSteered);
            const int took = RunUntil(200, [&] { return flimb->type != kFall || !flimb->InWorld(); });
            ASSERT_LE(took, 200) << c.what;
            EXPECT_EQ(flimb->type, extra ? kSplat : kWalk) << c.what << ", drop " << c.safe + extra;
            EXPECT_EQ(flimb->y, 500) << c.what;
            ClearWorldFlimbs(World());
        }
    }
}

TEST_F(FlimbBehaviourTest, ASureFootedFlimbNeverSplats)
{
    LoadMap({}, {}, 128, 512);
    Floor(500);
    Flimb* flimb = Place(64, 100, kFall);
    flimb->SetAttribute(kAttrSureFooted);
    RunUntil(200, [&] { return flimb->type != kFall; });
    EXPECT_EQ(flimb->type, kWalk);
}

TEST_F(FlimbBehaviourTest, TheNovaFuseBurnsFiftyOneStepsThenTheBlastComesAtTypeAgeThirteen)
{
    LoadMap({}, {}, 256, 128);
    Floor(100);
    Fill(1, 90, 60, 150, 99); // a mound round the flimb's body
    AsciiMap disc;
    for (int y = 0; y < 16; ++y) {
        std::string row;
        for (int x = 0; x < 16; ++x)
            row += (2 * x - 15) * (2 * x - 15) + (2 * y - 15) * (2 * y - 15) <= 256 ? '#' : '.';
        disc.push_back(row);
    }
    SetBrush(12, 1, disc);
    Flimb* flimb = PlaceOrdered(120, 100, kDoppel); // stands still while the fuse burns
    flimb->SetAttribute(kAttrNovaFuse);
    EXPECT_EQ(flimb->fuse, 255);
    const int becameNova = RunUntil(100, [&] { return flimb->type == kNova; });
    EXPECT_EQ(becameNova, 51);
    EXPECT_TRUE(flimb->flags & kFlimbFuseLit);
    const int gone = RunUntil(100, [&] { return !flimb->InWorld(); });
    EXPECT_EQ(gone, 13) << "the handler step of typeAge 13 blows it up";
    EXPECT_FALSE(flimb->flags & kFlimbFuseLit);
    // The crater: the disc centred 16 pixels over the feet (0.35 x 48).
    const AsciiMap map = Map();
    EXPECT_EQ(CountMaterial(map, '.'), 256 * 100 - 61 * 40 + CountMaterial(disc, '#'));
    EXPECT_EQ(map[84].substr(110, 20), "11................11") << "the crater's widest row";
    EXPECT_EQ(map[99].substr(110, 20), "11111111111111111111") << "the floor under the feet stays";
    EXPECT_EQ(Land().ComputeChecksum(), 255160) << "crater checksum (a hand-made disc brush)";
}

TEST_F(FlimbBehaviourTest, ANovaThatNeverBlewUpLeavesAtTypeAgeNineteen)
{
    LoadMap({}, {}, 128, 128);
    Floor(100);
    Flimb* flimb = Place(60, 100, kWalk);
    flimb->SetType(kNova);
    flimb->typeAge = 14; // past its blast
    Run(5);
    EXPECT_TRUE(flimb->InWorld());
    Run(1);
    EXPECT_FALSE(flimb->InWorld());
}

TEST_F(FlimbBehaviourTest, AMoldLaysThirteenBricksTheLastThreeDarkerWaitsThenWalks)
{
    LoadMap({}, {}, 256, 128);
    Floor(120);
    SetBlockBrush(4, 1, 6, 2, 0xFF808080u); // group 0's brick
    Flimb* flimb = PlaceOrdered(40, 120, kMold);
    EXPECT_EQ(flimb->counter, 13);
    int restFrom = 0;
    const int walked = RunUntil(400, [&] {
        if (!restFrom && flimb->counter == 0 && flimb->frame == 0)
            restFrom = int(World().clock.updateCounter);
        return flimb->type == kWalk;
    });
    ASSERT_LE(walked, 400);
    EXPECT_EQ(int(World().clock.updateCounter) - restFrom, 24) << "it rests 24 steps on its stair";
    EXPECT_EQ(CountMaterial(Map(), '7'), 13 * 12);
    // Brick n lies 3 pixels further on and 2 higher than the one before it.
    for (int brick = 0; brick < 13; ++brick) {
        const uint32_t colour = Land().GetPixelColour(40 + 3 * brick + 1, 120 - 2 * brick - 1) & 0xFFFFFFu;
        const uint32_t expected = brick == 10 ? 0x404040u : brick == 11 ? 0x202020u : brick == 12 ? 0u : 0x808080u;
        EXPECT_EQ(colour, expected) << "brick " << brick + 1;
    }
}

TEST_F(FlimbBehaviourTest, ADoppelStaysOnOrdersAndFallsWithItsBlockGoneWhenItsSupportGoes)
{
    LoadMap({}, {}, 128, 128);
    Fill(1, 40, 100, 80, 127);
    SetBlockBrush(2, 1, 5, 20);
    Flimb* flimb = Place(60, 100, kDoppel);
    Run(2);
    const AsciiMap blocked = Map();
    EXPECT_EQ(CountMaterial(blocked, '8'), 5 * 20);
    EXPECT_EQ(CountMaterial(blocked, '9'), 5 * 20);
    EXPECT_EQ(blocked[90].substr(55, 10), "8888899999");
    flimb->SetType(kWalk);
    EXPECT_EQ(flimb->type, kDoppel) << "a Doppel changes only into a final type";

    // A walker coming from the left stops at the block.
    Flimb* walker = Place(30, 100, kWalk);
    Fill(1, 0, 100, 40, 127);
    Run(20);
    EXPECT_LT(walker->x, 60);

    Fill(0, 40, 100, 80, 110); // the ground under it goes
    Run(1);
    EXPECT_EQ(flimb->type, kFall);
    const AsciiMap after = Map();
    EXPECT_EQ(CountMaterial(after, '8') + CountMaterial(after, '9'), 0);
}

TEST_F(FlimbBehaviourTest, AClobStopsAtRock)
{
    LoadMap({}, {}, 256, 128);
    Floor(100, 2);
    Fill(1, 80, 40, 119, 99);
    Fill(2, 120, 40, 140, 99);
    SetBlockBrush(13, 1, 10, 40);
    Flimb* flimb = PlaceOrdered(60, 100, kClob);
    const int stopped = RunUntil(200, [&] { return flimb->type != kClob; });
    ASSERT_LE(stopped, 200);
    EXPECT_EQ(flimb->type, kWalk);
    const AsciiMap map = Map();
    EXPECT_EQ(CountMaterial(map, '#'), 256 * 28 + 21 * 60) << "the rock is whole";
    EXPECT_EQ(map[70].substr(112, 8), "........") << "the tunnel reaches the rock";
}

TEST_F(FlimbBehaviourTest, AClobGivesUpAfterTwelveHardHits)
{
    LoadMap({}, {}, 256, 128);
    Floor(100, 2);
    // Dirt with layers of bricks (material 7): every column holds both.
    for (int y = 40; y < 100; ++y)
        Fill(y % 2 ? 1 : 7, 80, y, 199, y);
    SetBlockBrush(13, 1, 10, 40);
    Flimb* flimb = PlaceOrdered(60, 100, kClob);
    int hits = 0, lastX = 0;
    const int stopped = RunUntil(200, [&] {
        if (flimb->type == kClob) {
            hits = flimb->counter;
            lastX = flimb->x;
        }
        return flimb->type != kClob;
    });
    ASSERT_LE(stopped, 200);
    EXPECT_EQ(flimb->type, kWalk);
    EXPECT_EQ(hits, 11) << "the twelfth hard hit ends the dig";
    EXPECT_EQ(flimb->x, lastX - 1) << "it steps back out of the face";
    EXPECT_LT(flimb->x, 120) << "the bricks hold it up";
}

TEST_F(FlimbBehaviourTest, AFlimbWrapsRoundAWrappingEdgeWithItsPreviousPosition)
{
    EdgeModes edges;
    edges.left = edges.right = TileStore::kEdgeWrap;
    LoadMap({}, edges, 128, 128);
    Floor(100);
    Flimb* flimb = Place(120, 100, kWalk);
    const int wrapped = RunUntil(100, [&] { return flimb->x < 64; });
    ASSERT_LE(wrapped, 100);
    EXPECT_TRUE(flimb->InWorld());
    EXPECT_EQ(flimb->x, 128 - 1 + 32 + 1 + 2 - 128) << "past the edge by the sprite's width, moved round";
    EXPECT_EQ(flimb->x - flimb->prevX, 3) << "the previous position moved round too";
}

TEST_F(FlimbBehaviourTest, AFlimbLeavesThroughAnOpenEdgeAThirdOfItsSpriteBeyondIt)
{
    LoadMap({}, {}, 128, 128);
    Flimb* sideways = Place(100, 64, kFall, 0, 3); // falls towards +x
    int lastX = 0;
    RunUntil(100, [&] {
        if (sideways->InWorld())
            lastX = sideways->x;
        return !sideways->InWorld();
    });
    EXPECT_FALSE(sideways->InWorld());
    EXPECT_LE(lastX, 127 + 4 * 32 / 3) << "a third of the frame width beyond the whole of it";
    EXPECT_GT(lastX, 127 + 4 * 32 / 3 - 8);

    Flimb* faller = Place(64, 20, kFall);
    int lastY = 0;
    RunUntil(100, [&] {
        if (faller->InWorld())
            lastY = faller->y;
        return !faller->InWorld();
    });
    EXPECT_FALSE(faller->InWorld());
    EXPECT_LE(lastY, 127 + 4 * 48 / 3);
    EXPECT_GT(lastY, 127 + 4 * 48 / 3 - 8);
}

TEST_F(FlimbBehaviourTest, HostileValuesAreRefusedWhereTheyEnter)
{
    LoadMap({}, {}, 128, 128);
    Floor(100);
    LogCapture log;
    Flimb* flimb = Place(60, 100, kWalk);
    const Flimb before = *flimb;
    for (const uint8_t type : {uint8_t(22), uint8_t(255)}) {
        log.Clear();
        flimb->SetType(type);
        EXPECT_TRUE(log.Contains("WARNING: FLIMB type not defined!")) << int(type);
        EXPECT_EQ(flimb->type, kWalk);
        EXPECT_EQ(flimb->frame, before.frame);
        EXPECT_EQ(flimb->queuedAction, before.queuedAction);
        EXPECT_EQ(flimb->flags, before.flags);
    }

    log.Clear();
    Flimb* odd = AddFlimb(30, 100, 77, 9, 22, 7, kFlimbStartEnergy, 0, 1);
    ASSERT_NE(odd, nullptr);
    EXPECT_EQ(odd->group, 0);
    EXPECT_EQ(odd->gravity, 0);
    EXPECT_EQ(odd->type, kWalk);
    EXPECT_TRUE(log.Contains("group 9 refused"));
    EXPECT_TRUE(log.Contains("gravity 7 refused"));

    log.Clear();
    flimb->SetAttribute(32);
    EXPECT_TRUE(log.Contains("WARNING: FLIMB attr not defined!"));
    EXPECT_TRUE(flimb->attributes & 32);

    log.Clear();
    flimb->scale = 0.0f;
    Run(1);
    EXPECT_EQ(flimb->scale, 1.0f);
    EXPECT_TRUE(log.Contains("scale 0.000000 refused"));

    log.Clear();
    flimb->SetGroupAnimation(9, 0);
    EXPECT_EQ(flimb->anim, 0);
    EXPECT_TRUE(log.Contains("animation 9 refused"));
}

TEST_F(FlimbBehaviourTest, TheContactRectangleTurnsWithGravityAndWorkingTypesKeepTheWalkingFrame)
{
    LoadMap({}, {}, 256, 256);
    const gfx::RECT expected[4] = {{84, 64, 116, 102}, {84, 98, 116, 136}, {98, 84, 136, 116}, {64, 84, 102, 116}};
    for (uint8_t gravity = 0; gravity < 4; ++gravity) {
        Flimb* flimb = Place(100, 100, kWalk, 0, gravity);
        const gfx::RECT r = flimb->GetCurrentSprite();
        EXPECT_EQ(r.left, expected[gravity].left) << int(gravity);
        EXPECT_EQ(r.top, expected[gravity].top) << int(gravity);
        EXPECT_EQ(r.right, expected[gravity].right) << int(gravity);
        EXPECT_EQ(r.bottom, expected[gravity].bottom) << int(gravity);
    }
    Flimb* walker = Place(100, 100, kWalk);
    walker->scale = 2.0f;
    for (const uint8_t type : {kClob, kMold, kDrill, kGulp, kLop}) {
        Flimb* worker = Place(100, 100, kWalk);
        worker->scale = 2.0f;
        worker->SetType(type, true);
        const gfx::RECT a = worker->GetCurrentSprite(), b = walker->GetCurrentSprite();
        EXPECT_TRUE(a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom)
            << FlimbTypeName(type);
    }
}

} // namespace
