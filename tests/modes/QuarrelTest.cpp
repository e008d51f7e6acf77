// The elimination mode on the fake world: lopper, nova and clobber damage by distance, the
// friendly-fire and self-hurt switches, kills and multi-kills, and the end of the match.
#include "../support/FakeMatch.h"

#include "modes/MatchOptions.h"
#include "modes/QuantumQuarrelMode.h"

#include <cmath>

namespace {

class QuarrelTest : public MatchFixture {
protected:
    // A flimb standing on the floor whose centre (15 above its feet) is at (x, y).
    FlimbInfo& At(int32_t id, int group, float x, float y) { return world.AddFlimb(id, group, x, y + 15.0f); }
    int32_t Health(int32_t id) { return world.Any(id)->points; }
    bool Dead(int32_t id) { return !FakeMatchWorld::IsLive(*world.Any(id)); }
    std::string LabelOf(int32_t id)
    {
        for (const auto& [flimb, text] : effects.damageLabels)
            if (flimb == id)
                return text;
        return "";
    }

    QuantumQuarrelMode mode;
};

TEST_F(QuarrelTest, LopperDamageFallsWithDistance)
{
    At(1, 0, 0.0f, 0.0f); // the thrower
    struct Case {
        int32_t id;
        float distance;
        int32_t damage; // -1: out of reach
    };
    const Case cases[] = {{10, 0.0f, 3255}, {11, 37.5f, 1628}, {12, 75.0f, 0}, {13, 76.0f, -1}};
    for (const Case& c : cases)
        At(c.id, 1, 300.0f + c.distance, 300.0f);
    mode.StartMatch();
    mode.OnBlast(1, 300.0f, 300.0f, 4);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.distance);
        EXPECT_EQ(Health(c.id), 13023 - (c.damage > 0 ? c.damage : 0));
        EXPECT_FALSE(Dead(c.id));
    }
    EXPECT_EQ(LabelOf(10), "-25.0%");
    EXPECT_EQ(LabelOf(11), "-12.5%");
    EXPECT_EQ(LabelOf(12), "") << "a hit of 0 shows no text";
    EXPECT_EQ(effects.damageLabels.size(), 2u);

    // Only loppers (kinds 4 to 11) hurt; a blast of another kind is no attack.
    for (int kind : {3, 12})
        mode.OnBlast(1, 300.0f, 300.0f, kind);
    EXPECT_EQ(Health(10), 13023 - 3255);
    // A hit of 0 on a flimb without health left kills it.
    world.Any(12)->points = 0;
    mode.OnBlast(1, 300.0f, 300.0f, 11);
    EXPECT_TRUE(Dead(12));
    EXPECT_EQ(mode.kills[0], 1);
}

TEST_F(QuarrelTest, NovaReachAndTheBigNova)
{
    struct Case {
        bool big;
        float distance;
        int32_t damage; // -1: out of reach, 13023: killed
    };
    const Case cases[] = {
        {false, 62.5f, 6512}, {false, 125.0f, 0}, {false, 126.0f, -1}, {true, 0.0f, 13023},
        {true, 199.0f, 13023}, {true, 200.0f, 13023}, {true, 201.0f, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.big ? "big " : "") << c.distance);
        world.flimbs.clear();
        FlimbInfo& nova = At(1, 0, 500.0f, 500.0f);
        nova.type = kFlimbTypeNova;
        if (c.big)
            nova.marks = kFlimbMarkBig;
        At(2, 1, 500.0f, 500.0f + c.distance); // below: the distance runs along y
        At(3, 0, 500.0f, 510.0f);              // its own group, friendly fire off
        world.TakeOutOfPlay(1); // a nova dies as a nova
        mode.OnFlimbDied(1);
        if (c.damage == 13023)
            EXPECT_TRUE(Dead(2));
        else
            EXPECT_EQ(Health(2), 13023 - (c.damage > 0 ? c.damage : 0));
        EXPECT_EQ(Health(3), 13023);
    }
    // Only the exploding type novas.
    world.flimbs.clear();
    At(1, 0, 0.0f, 0.0f);
    At(2, 1, 10.0f, 0.0f);
    world.TakeOutOfPlay(1);
    mode.OnFlimbDied(1);
    EXPECT_EQ(Health(2), 13023);
}

TEST_F(QuarrelTest, FriendlyFireAndSelfHurtDecideWhoALopperHurts)
{
    struct Case {
        bool friendlyFire, selfHurt;
        bool thrower, teammate, enemy, stunnedEnemy;
    };
    const Case cases[] = {
        {false, false, false, false, true, false},
        {true, false, false, true, true, false},
        {false, true, true, false, true, false},
        {true, true, true, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "ff " << c.friendlyFire << " self " << c.selfHurt);
        world.flimbs.clear();
        At(1, 0, 100.0f, 100.0f);
        At(2, 0, 110.0f, 100.0f);
        At(3, 2, 90.0f, 100.0f);
        At(4, 2, 100.0f, 110.0f).type = kFlimbTypeStunned;
        mode.friendlyFire = c.friendlyFire;
        mode.selfHurt = c.selfHurt;
        mode.OnBlast(1, 100.0f, 100.0f, 9);
        EXPECT_EQ(Health(1) < 13023, c.thrower);
        EXPECT_EQ(Health(2) < 13023, c.teammate);
        EXPECT_EQ(Health(3) < 13023, c.enemy);
        EXPECT_EQ(Health(4) < 13023, c.stunnedEnemy);
    }
}

TEST_F(QuarrelTest, ClobberHitsTheShrunkBoxUnlessStunned)
{
    At(1, 0, 100.0f, 100.0f);         // box x 92..108, y 85..115; shrunk: 100..100 wide
    At(2, 1, 100.0f, 100.0f);         // inside
    At(3, 1, 100.0f + 16.5f, 100.0f); // its box starts past the shrunk one
    At(4, 0, 100.0f, 100.0f);         // a teammate
    mode.OnFlimbEvent(1, 0, 0);
    EXPECT_EQ(Health(2), 13023 - QuantumQuarrelMode::kClobberDamage);
    EXPECT_EQ(Health(3), 13023);
    EXPECT_EQ(Health(4), 13023);
    mode.OnFlimbEvent(1, 1, 0); // the flag set: no clobber
    EXPECT_EQ(Health(2), 13023 - QuantumQuarrelMode::kClobberDamage);
    mode.friendlyFire = true;
    mode.OnFlimbEvent(1, 0, 0);
    EXPECT_EQ(Health(4), 13023 - QuantumQuarrelMode::kClobberDamage);
    EXPECT_EQ(Health(1), 13023) << "never the attacker itself";
    world.Any(1)->type = kFlimbTypeStunned;
    mode.OnFlimbEvent(1, 0, 0);
    EXPECT_EQ(Health(4), 13023 - QuantumQuarrelMode::kClobberDamage);
}

TEST_F(QuarrelTest, MultiKillsAndTheirAnnouncements)
{
    world.multiplayer = true;
    struct Case {
        int victims;
        int multiKills;
        std::string chat;
    };
    const Case cases[] = {{1, 0, ""}, {4, 1, ""}, {5, 1, "5 flimbs were just torn apart!"},
                          {10, 1, "LOOK OUT! 10 flimbs were atomized all at once!"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.victims);
        world.flimbs.clear();
        effects.chats.clear();
        mode.StartMatch();
        FlimbInfo& nova = At(1, 3, 0.0f, 0.0f);
        nova.type = kFlimbTypeNova;
        nova.marks = kFlimbMarkBig;
        for (int i = 0; i < c.victims; ++i)
            At(10 + i, 4, float(i), 0.0f);
        world.TakeOutOfPlay(1); // a nova dies as a nova
        mode.OnFlimbDied(1);
        EXPECT_EQ(mode.kills[3], c.victims);
        EXPECT_EQ(mode.multiKills[3], c.multiKills);
        EXPECT_EQ(effects.chats, c.chat.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.chat});
    }
    // Not announced by a client that does not host.
    world.host = false;
    world.flimbs.clear();
    effects.chats.clear();
    At(1, 3, 0.0f, 0.0f).marks = kFlimbMarkBig;
    world.Any(1)->type = kFlimbTypeNova;
    for (int i = 0; i < 6; ++i)
        At(10 + i, 4, float(i), 0.0f);
    world.TakeOutOfPlay(1);
    mode.OnFlimbDied(1);
    EXPECT_TRUE(effects.chats.empty());
    const GroupStats rows = mode.AddEndOfMatchStats(3);
    ASSERT_EQ(rows.rows.size(), 5u);
    EXPECT_EQ(rows.rows[2]->kind, kStatMelt);
    EXPECT_EQ(rows.rows[2]->value, 16);
    EXPECT_EQ(rows.rows[3]->kind, kStatMulti);
}

TEST_F(QuarrelTest, TheLastGroupStandingWins)
{
    world.updateCounter = 5;
    At(1, 2, 0.0f, 0.0f);
    At(2, 1, 0.0f, 0.0f);
    world.SetInPlay(2, 1);
    world.SetInPlay(1, 1);
    mode.StartMatch();
    EXPECT_FALSE(mode.IsMatchOver());
    world.KillFlimb(2);
    EXPECT_TRUE(mode.IsMatchOver());
    world.startWaiting[1] = 1;
    EXPECT_FALSE(mode.IsMatchOver()) << "a group with flimbs to release is still in";
    world.startWaiting[1] = 0;
    mode.GameOver();
    EXPECT_EQ(world.matchResult, kResultSingleLost) << "red won, the local player is blue";
    world.localGroup = 2;
    QuantumQuarrelMode again;
    again.GameOver();
    EXPECT_EQ(world.matchResult, kResultSingleWon);
    world.updateCounter = 0;
    EXPECT_FALSE(again.IsMatchOver());
}

TEST_F(QuarrelTest, OptionsTravelAndNameTheObjective)
{
    mode.friendlyFire = true;
    const std::string document = WriteModeStateDocument(mode);
    EXPECT_NE(document.find("<friendly_fire>1</friendly_fire>"), std::string::npos);
    EXPECT_NE(document.find("<self_hurt>0</self_hurt>"), std::string::npos);
    QuantumQuarrelMode other;
    ASSERT_TRUE(ReadModeStateDocument(other, document));
    EXPECT_TRUE(other.friendlyFire);
    EXPECT_FALSE(other.selfHurt);
    EXPECT_EQ(other.GetObjectiveText(), "Eliminate all other flimbs using clobbers, loppers, and nova. Friendly Fire On.");
    EXPECT_NE(other.StateHash(), QuantumQuarrelMode().StateHash());
}

} // namespace
