// The capture and the carrying modes on the fake world: who captures, when nobody can, the
// tracked exit, passing a particle by contact, dropping, losing and stealing it.
#include "../support/FakeMatch.h"
#include "../support/DynamicType.h"
#include "../support/LogCapture.h"

#include "modes/CaptureTheFlimbMode.h"
#include "modes/ProcureTheParticleMode.h"
#include "modes/ScorePanels.h"

#include <typeinfo>

namespace {

using CaptureTest = MatchFixture;

// Group 0 (local) and group 1, one exit each; a special flimb of group 0.
void TwoExitsAndASpecial(FakeMatchWorld& world)
{
    world.AddExit(0, 0, 0).x = 0.0f;
    world.AddExit(1, 0, 0).x = 100.0f;
    world.AddFlimb(7, 0, 50.0f, 40.0f).marks = kFlimbMarkSpecial;
    world.AddFlimb(8, 0, 10.0f, 40.0f);
    world.SetInPlay(0, 2);
    world.startWaiting[0] = 3; // the base end test stays false
}

TEST_F(CaptureTest, SpecialAtAnOpponentsExitWinsForThatExit)
{
    TwoExitsAndASpecial(world);
    CaptureTheFlimbMode mode;
    mode.StartMatch();
    mode.OnGoalReached(1, 8);
    EXPECT_EQ(mode.winnerGroup, CaptureTheFlimbMode::kNobodyYet) << "an ordinary flimb captures nothing";
    EXPECT_FALSE(mode.IsMatchOver());
    mode.OnGoalReached(1, 7);
    EXPECT_EQ(mode.winnerGroup, 1);
    EXPECT_TRUE(mode.IsMatchOver());
    mode.GameOver();
    EXPECT_EQ(world.matchResult, kResultSingleLost);
    EXPECT_EQ(DynamicType(mode.CreateScorePanel()), typeid(CaptureTheFlimbScore));

    // The same capture seen from the capturing group of a multiplayer match.
    world.multiplayer = true;
    world.localGroup = 1;
    CaptureTheFlimbMode other;
    other.StartMatch();
    other.OnGoalReached(1, 7);
    other.GameOver();
    EXPECT_EQ(world.matchResult, kResultWon);
}

TEST_F(CaptureTest, LastSpecialDyingEndsTheMatchForEverybody)
{
    TwoExitsAndASpecial(world);
    CaptureTheFlimbMode mode;
    mode.StartMatch();
    mode.OnFlimbDied(8);
    EXPECT_EQ(mode.winnerGroup, CaptureTheFlimbMode::kNobodyYet) << "a special flimb still lives";
    world.KillFlimb(7);
    mode.OnFlimbDied(7);
    EXPECT_EQ(mode.winnerGroup, CaptureTheFlimbMode::kNobodyCan);
    EXPECT_EQ(effects.chats, std::vector<std::string>{"Woe! All captureable flimbs have ceased to be!"});
    EXPECT_TRUE(mode.IsMatchOver());
    mode.GameOver();
    EXPECT_EQ(world.matchResult, kResultSingleLost);

    // Another death afterwards changes nothing and is not announced again.
    mode.OnFlimbDied(8);
    EXPECT_EQ(effects.chats.size(), 1u);
}

TEST_F(CaptureTest, SinglePlayerWaitsForTheLiveSpecial)
{
    TwoExitsAndASpecial(world);
    world.startWaiting[0] = 0;
    world.SetInPlay(0, 0); // the base end test holds
    CaptureTheFlimbMode mode;
    mode.StartMatch();
    EXPECT_FALSE(mode.IsMatchOver()) << "a special flimb lives uncaptured";
    world.multiplayer = true;
    EXPECT_TRUE(mode.IsMatchOver());
    world.multiplayer = false;
    world.KillFlimb(7);
    world.SetInPlay(0, 0);
    EXPECT_TRUE(mode.IsMatchOver());
}

TEST_F(CaptureTest, TrackedGroupIsTheNearestExitAndTheLaterOnATie)
{
    world.AddFlimb(7, 0, 50.0f, 50.0f).marks = kFlimbMarkSpecial; // centre (50, 35)
    world.AddExit(3, 0, 0).x = 20.0f;
    world.exits.back().y = 35.0f;
    world.AddExit(5, 0, 0).x = 80.0f; // as far on the other side
    world.exits.back().y = 35.0f;
    world.AddExit(6, 0, 0).x = 200.0f;
    CaptureTheFlimbMode mode;
    mode.DecideResult();
    EXPECT_EQ(mode.trackedGroup, 5);
    world.exits[0].x = 21.0f;
    mode.DecideResult();
    EXPECT_EQ(mode.trackedGroup, 3) << "29 units beat 30";
    world.KillFlimb(7);
    mode.DecideResult();
    EXPECT_EQ(mode.trackedGroup, -1);
}

TEST_F(CaptureTest, NoFlimbsLeftIsToldOnceAndRowsFollowTheMatchKind)
{
    TwoExitsAndASpecial(world);
    world.SetInPlay(0, 0);
    world.startWaiting[0] = 0;
    world.copierWaiting[0] = 1;
    CaptureTheFlimbMode mode;
    mode.StartMatch();
    mode.CheckLose();
    EXPECT_TRUE(effects.notices.empty()) << "a copier still holds a flimb";
    world.copierWaiting[0] = 0;
    mode.CheckLose();
    mode.CheckLose();
    EXPECT_EQ(effects.notices, std::vector<std::string>{"You have no more flimbs remaining.  You must restart the "
                                                        "level if there is no path to the exit."});
    auto kinds = [](const GroupStats& stats) {
        std::vector<int> list;
        for (const auto& row : stats.rows)
            list.push_back(row->kind);
        return list;
    };
    EXPECT_EQ(kinds(mode.AddEndOfMatchStats(0)), (std::vector<int>{kStatQdots, kStatLost, kStatMorphs, kStatTime}));
    world.multiplayer = true;
    EXPECT_EQ(kinds(mode.AddEndOfMatchStats(0)), (std::vector<int>{kStatLost, kStatMorphs, kStatTime}));
    EXPECT_EQ(mode.GetObjectiveText(), "Beam up any special flimb by leading it to your pad to win.");
}

// ---- Procure the particle ----------------------------------------------------------------

class ProcureTest : public MatchFixture {
protected:
    // Carrier 1 (group 0) holds particle 50 (of `particleGroup`); flimb 2 of `otherGroup`
    // stands `dx` to its right.
    void Scene(float dx, int otherGroup = 0, int particleGroup = 0)
    {
        world.AddFlimb(1, 0, 100.0f, 60.0f).flags |= kFlimbFlagCarrier;
        world.AddFlimb(2, otherGroup, 100.0f + dx, 60.0f);
        ParticleInfo particle;
        particle.id = 50;
        particle.carrierId = 1;
        particle.homeX = 10.0f;
        particle.homeY = 20.0f;
        particle.group = particleGroup;
        world.particleTraps.push_back(particle);
        world.SetInPlay(0, 2);
        mode.passByContact = true;
        mode.StartMatch();
    }
    bool Carries(int32_t id) { return (world.Any(id)->flags & kFlimbFlagCarrier) != 0; }

    ProcureTheParticleMode mode;
};

TEST_F(ProcureTest, PassingByContact)
{
    struct Case {
        float dx;
        int otherGroup;
        int particleGroup;
        bool interGroup;
        int cooldown;
        bool passes;
    };
    const Case cases[] = {
        {5.0f, 0, 0, false, 0, true},    // close enough
        {-5.0f, 0, 0, false, 0, true},   // on either side
        {6.0f, 0, 0, false, 0, false},   // 6 is too far
        {5.0f, 0, 0, false, 3, false},   // still cooling down
        {5.0f, 1, 0, false, 0, false},   // another group's flimb
        {5.0f, 1, 0, true, 0, true},     // ... with hand-offs between groups
        {5.0f, 1, 255, false, 0, true},  // any group's particle
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "dx " << c.dx << " group " << c.otherGroup << " cooldown " << c.cooldown);
        world.flimbs.clear();
        world.particleTraps.clear();
        Scene(c.dx, c.otherGroup, c.particleGroup);
        mode.interGroup = c.interGroup;
        world.Any(2)->passCooldown = c.cooldown;
        mode.UpdateMessages();
        EXPECT_EQ(Carries(2), c.passes);
        EXPECT_EQ(Carries(1), !c.passes);
        EXPECT_EQ(world.particleTraps[0].carrierId, c.passes ? 2 : 1);
        EXPECT_EQ(world.Any(1)->passCooldown, c.passes ? ProcureTheParticleMode::kPassCooldown : 0);
    }
}

TEST_F(ProcureTest, APassedParticleDoesNotBounceBackAndStaysWithOneCarrier)
{
    Scene(5.0f);
    world.Any(1)->flags &= uint8_t(~kFlimbFlagOrderable);
    mode.UpdateMessages();
    ASSERT_TRUE(Carries(2));
    EXPECT_TRUE(world.Any(1)->flags & kFlimbFlagOrderable) << "the old carrier takes orders again";
    for (int update = 0; update < 3; ++update)
        mode.UpdateMessages();
    EXPECT_TRUE(Carries(2)) << "the old carrier waits out its cool-down";
    EXPECT_FALSE(Carries(1));

    // Passing is off: nothing moves; a carrier without its particle keeps it to itself.
    mode.passByContact = false;
    world.Any(1)->passCooldown = 0;
    mode.UpdateMessages();
    EXPECT_TRUE(Carries(2));

    // A spectator's game and a replay pass alike: the carrier is match state.
    mode.passByContact = true;
    world.spectator = true;
    world.playback = true;
    mode.UpdateMessages();
    EXPECT_TRUE(Carries(1));
}

TEST_F(ProcureTest, DroppingWhenTheCarrierDies)
{
    struct Case {
        bool allowDrop;
        uint8_t type;
        float x, y; // where the particle ends
    };
    const Case cases[] = {{false, 10, 10.0f, 20.0f}, {true, 10, 100.0f, 60.0f}, {true, kFlimbTypeSplat, 0.0f, 0.0f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "drop " << c.allowDrop << " type " << int(c.type));
        world.flimbs.clear();
        world.particleTraps.clear();
        Scene(50.0f);
        mode.allowDrop = c.allowDrop;
        world.Any(1)->type = c.type;
        world.KillFlimb(1);
        world.Any(1)->type = c.type;
        mode.OnFlimbDied(1);
        EXPECT_FALSE(Carries(1));
        EXPECT_EQ(world.particleTraps[0].carrierId, -1);
        EXPECT_FLOAT_EQ(world.particleTraps[0].x, c.x);
        EXPECT_FLOAT_EQ(world.particleTraps[0].y, c.y);
        EXPECT_EQ(mode.drops[0], 1);
    }
}

TEST_F(ProcureTest, ADeadCarrierWithoutAParticleIsLoggedAndLosesItsFlag)
{
    Scene(50.0f);
    world.particleTraps.clear();
    LogCapture log;
    world.KillFlimb(1);
    mode.OnFlimbDied(1);
    EXPECT_TRUE(log.Contains("Dead flimb with null particle"));
    EXPECT_FALSE(Carries(1));
    EXPECT_EQ(mode.drops[0], 1);
    mode.OnFlimbDied(2); // no carrier: nothing
    EXPECT_EQ(mode.drops[0], 1);
}

TEST_F(ProcureTest, LosingAParticle)
{
    Scene(50.0f);
    world.particleTraps[0].x = 500.0f;
    mode.OnObjectLost(50); // lose particle off: it comes home
    EXPECT_FLOAT_EQ(world.particleTraps[0].x, 10.0f);
    EXPECT_EQ(effects.chats, std::vector<std::string>{"Particle has been reset!"});
    EXPECT_FALSE(mode.IsMatchOver());

    mode.loseParticle = true;
    mode.OnObjectLost(50);
    EXPECT_FALSE(world.particleTraps[0].active);
    EXPECT_FALSE(Carries(1));
    EXPECT_TRUE(mode.particleLost);
    EXPECT_EQ(effects.chats.back(), "The particle was lost!");
    EXPECT_TRUE(mode.IsMatchOver());
    mode.winnerGroup = 0; // even a winner loses once the particle is gone for good
    mode.GameOver();
    EXPECT_EQ(world.matchResult, kResultSingleLost);
}

TEST_F(ProcureTest, StealingAndPickingUp)
{
    world.multiplayer = true;
    world.AddPlayer(0, 0, "Ann");
    world.AddPlayer(1, 1, "Bo");
    Scene(50.0f);
    mode.OnGoalReached(0, 2);
    EXPECT_EQ(mode.winnerGroup, kNoGroup) << "only a carrier scores";
    mode.OnGoalReached(1, 1);
    EXPECT_EQ(mode.winnerGroup, 1);
    EXPECT_EQ(effects.chats, std::vector<std::string>{"The green group stole the blue group's particle!"});
    mode.GameOver();
    EXPECT_EQ(world.matchResult, kResultLost);

    effects.chats.clear();
    world.highlighted = 2;
    mode.OnPickup(50, 2);
    EXPECT_EQ(world.particleTraps[0].carrierId, 2);
    EXPECT_TRUE(Carries(2));
    EXPECT_EQ(effects.highlights, std::vector<int32_t>{-1}) << "a carrier loses the highlight";
    EXPECT_EQ(effects.chats, std::vector<std::string>{"Particle in possession!"});
    EXPECT_EQ(mode.pickups[0], 1);
    EXPECT_FALSE(mode.IsFlimbControllable(2));
    world.carrierOverride = true;
    EXPECT_TRUE(mode.IsFlimbControllable(2));
    world.carrierOverride = false;
    mode.controlCarrier = true;
    EXPECT_TRUE(mode.IsFlimbControllable(2));
    mode.OnGoalReached(0, 2);
    EXPECT_EQ(effects.chats.back(), "The blue group got their particle!");
}

} // namespace
