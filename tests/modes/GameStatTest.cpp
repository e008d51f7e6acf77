// Statistic rows: the kind table, the row texts, the computed figures and the rows each
// mode gives at the end of a match.
#include "../support/FakeMatch.h"
#include "../support/DynamicType.h"

#include "modes/CorralTheFlimbMode.h"
#include "modes/GameStat.h"
#include "modes/SuperSynergyMode.h"

#include <memory>
#include <typeinfo>

namespace {

using GameStatTest = MatchFixture;

std::vector<std::pair<int, int>> KindsAndValues(const GroupStats& record)
{
    std::vector<std::pair<int, int>> rows;
    for (const auto& row : record.rows)
        rows.emplace_back(row->kind, row->value);
    return rows;
}

TEST_F(GameStatTest, KindTable)
{
    EXPECT_EQ(StatKindFromName("Qdots"), 18);
    EXPECT_EQ(StatKindFromName("World Rank"), 19);
    EXPECT_EQ(StatKindFromName("Flimbs"), 0);
    EXPECT_EQ(StatKindFromName("qdots"), 20) << "names compare as stored";
    EXPECT_EQ(StatKindFromName("Nothing"), 20);
    int bits = 0;
    for (int kind = 0; kind < kStatKindCount; ++kind)
        bits += FindStatKind(kind)->bits;
    EXPECT_EQ(bits, 10 * 13 + 7 * 4 + 20 + 16 + 18);
    EXPECT_STREQ(FindStatKind(kStatSaved)->icon, "flimbs.png");
    EXPECT_TRUE(IsLowerBetter(kStatTime));
    EXPECT_FALSE(IsLowerBetter(kStatScore));
    for (int kind : {-1, 20, 255}) {
        EXPECT_EQ(FindStatKind(kind), nullptr);
        EXPECT_FALSE(IsLowerBetter(kind));
        EXPECT_EQ(GameStat(kind, 4).GetName(), "") << "a kind out of the table has no name";
    }
}

TEST_F(GameStatTest, RowTexts)
{
    EXPECT_EQ(QdotsGameStat(3, 0).GetValueText(), "3");
    EXPECT_EQ(QdotsGameStat(3, 5).GetValueText(), "3/5");
    EXPECT_EQ(GameStat(kStatLost, -12).GetValueText(), "-12");
    EXPECT_EQ(TimeGameStat(100).GetValueText(), "00:07.100"); // 100 updates of 71 ms
    EXPECT_EQ(TimeGameStat(1).GetValueText(), "00:00.071"); // milliseconds always in three digits
    EXPECT_EQ(GameStat(kStatMorphs).GetName(), "Morphs");
    std::unique_ptr<GameStat> copy = TimeGameStat(5).Clone();
    EXPECT_EQ(DynamicType(copy), typeid(TimeGameStat));
}

TEST_F(GameStatTest, ComputedFigures)
{
    world.updateCounter = 100;
    world.AddExit(2, 4, 0);
    world.AddExit(2, 1, 0);
    world.AddExit(3, 9, 0);
    GroupStatsBlock& block = world.stats[2];
    block.stolen = 3;
    block.lost = 5;
    block.actions = {9, 10, 7, 1, 1, 1, 1, 1, 1, 8, 2};
    struct Case {
        int kind;
        int32_t value;
    };
    const Case cases[] = {{0, 5},  {1, 3},  {2, 5},  {3, 7},  {4, 42}, {5, 0},  {6, 0},  {7, 0},  {11, 8},
                          {12, 9}, {13, 0}, {15, 128}, {16, 0}, {17, 10}, {18, 0}, {19, 0}, {25, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        std::unique_ptr<GameStat> stat = MakeGameStat(world, 2, 2, c.kind, true);
        EXPECT_EQ(stat->kind, c.kind);
        EXPECT_EQ(stat->value, c.value);
        EXPECT_EQ(MakeGameStat(world, 2, 2, c.kind, false)->value, 0);
    }
    EXPECT_EQ(DynamicType(MakeGameStat(world, 0, 2, 15, false)), typeid(TimeGameStat));
    EXPECT_EQ(DynamicType(MakeGameStat(world, 0, 2, 18, true)), typeid(QdotsGameStat));
    block.stolen = -9999;
    EXPECT_EQ(MakeGameStat(world, 0, 2, kStatStolen, true)->value, 0) << "-9999 means none";
    // Groups outside the statistics blocks read nothing from them.
    EXPECT_EQ(MakeGameStat(world, 0, 255, kStatLost, true)->value, 0);
    EXPECT_EQ(MakeGameStat(world, 0, 8, kStatMorphs, true)->value, 0);
}

TEST_F(GameStatTest, RowsOfCorralAndSuperSynergy)
{
    world.updateCounter = 50;
    world.trapCounts[kTrapKindQdot] = 4;
    world.AddExit(1, 6, 3);
    world.stats[1].stolen = 2;
    world.stats[1].lost = 3;
    world.stats[1].actions[4] = 5;
    CorralTheFlimbMode corral;
    SuperSynergyMode synergy;
    for (GameMode* mode : {static_cast<GameMode*>(&corral), static_cast<GameMode*>(&synergy)}) {
        mode->CreateStatsWidget(nullptr);
        mode->qdotCounts[1] = 1;
        mode->CountFreeze();
    }
    using Rows = std::vector<std::pair<int, int>>;
    EXPECT_EQ(KindsAndValues(corral.AddEndOfMatchStats(1)), (Rows{{18, 1}, {0, 6}, {2, 3}, {4, 5}, {15, 64}}));
    EXPECT_EQ(KindsAndValues(synergy.AddEndOfMatchStats(1)), (Rows{{18, 1}, {0, 6}, {2, 3}, {4, 5}, {15, 64}}));
    EXPECT_EQ(corral.AddEndOfMatchStats(1).rows[0]->GetValueText(), "1/4");
    world.multiplayer = true;
    EXPECT_EQ(KindsAndValues(corral.AddEndOfMatchStats(1)), (Rows{{0, 6}, {1, 2}, {2, 3}, {4, 5}, {15, 64}}));
    EXPECT_EQ(KindsAndValues(synergy.AddEndOfMatchStats(1)), (Rows{{0, 6}, {2, 3}, {4, 5}, {15, 64}}));
    // A spectator's group (255) indexes no array.
    world.multiplayer = false;
    EXPECT_EQ(KindsAndValues(corral.AddEndOfMatchStats(255)), (Rows{{18, 0}, {0, 0}, {2, 0}, {4, 0}, {15, 64}}));
}

TEST_F(GameStatTest, RecordsAreFoundCopiedAndCleared)
{
    std::vector<GroupStats> records;
    records.emplace_back(3);
    AppendQdotStat(records.back(), 2, 7);
    AppendGameStat(records.back(), world, 0, 3, kStatTime, false);
    records.emplace_back(5);
    ASSERT_NE(FindGroupStats(records, 5), nullptr);
    EXPECT_EQ(FindGroupStats(records, 4), nullptr);
    GroupStats copy = records[0].Copy();
    ASSERT_EQ(copy.rows.size(), 2u);
    EXPECT_EQ(copy.rows[0]->GetValueText(), "2/7");
    ClearGroupStats(records[0]);
    EXPECT_TRUE(records[0].rows.empty());
    EXPECT_EQ(copy.rows.size(), 2u);
    ClearGroupStatsList(records);
    EXPECT_TRUE(records.empty());
}

} // namespace
