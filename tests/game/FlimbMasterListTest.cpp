// The FlimbMaster level list: scanning boss levels, their settings, lookups and unlocks.
#include "game/FlimbMasterLevelList.h"
#include "modes/BonusItems.h"
#include "modes/ModeServices.h"
#include "tests/support/LevelFixture.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string BossLevel(const std::string& name, int points, bool enabled = true, const std::string& levelTraps = "")
{
    LevelParts parts;
    parts.globals = "<flimbmaster>1</flimbmaster>";
    parts.traps = "<trap><type>FlimbMaster</type><enabled>" + std::string(enabled ? "1" : "0") +
                  "</enabled><flimbmaster_name>" + name + "</flimbmaster_name><minpoints>" + std::to_string(points) +
                  "</minpoints><minfragments>2</minfragments><image_filename>Graphics\\Boss\\" + name +
                  ".png</image_filename><lattitude>40</lattitude><latitude>10</latitude></trap>" + levelTraps;
    return parts.Text();
}

std::string LevelTrap(const std::string& file, bool final = false)
{
    return "<trap><type>Level</type><level_filename>" + file + "</level_filename><final_level>" +
           (final ? "1" : "0") + "</final_level></trap>";
}

class FlimbMasterListTest : public LevelFixture {
protected:
    void TearDown() override
    {
        list.Clear();
        LevelFixture::TearDown();
    }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : list.Entries())
            names.push_back(entry->bossName);
        return names;
    }
    FlimbMasterLevelList list;
};

TEST_F(FlimbMasterListTest, BossesAreListedByNeededPointsInScanOrder)
{
    AddLevel("Level\\f_dm_a.flevel", BossLevel("Mister A", 50));
    AddLevel("Level\\f_dm_b.flevel", BossLevel("Mister B", 50));
    AddLevel("Level\\f_dm_c.flevel", BossLevel("Mister C", 10));
    AddLevel("Level\\f_dm_off.flevel", BossLevel("Sleeper", 1, false));
    AddLevel("Level\\s_dm_plain.flevel", BossLevel("Not a boss level", 1));
    AddFile("Level\\f_dm_broken.flevel", {'<', 'x'});
    LogCapture log;
    list.Load(false);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Mister C", "Mister A", "Mister B"}));
    EXPECT_TRUE(log.Contains("Invalid FlimbMaster File"));
}

TEST_F(FlimbMasterListTest, AnEntryCarriesTheBossSettings)
{
    AddLevel("Level\\f_dm_the boss.flevel",
             BossLevel("Dr. Flimb Lord", 5, true, LevelTrap("s_dm_one.flevel") + LevelTrap("s_dm_two.flevel", true)));
    list.Load(false);
    ASSERT_EQ(list.Entries().size(), 1u);
    const FlimbMasterEntry& e = *list.Entries()[0];
    EXPECT_EQ(e.videoBaseName, "DrFlimbLord");
    EXPECT_EQ(e.levelFileName, "f_dm_theboss.flevel");
    EXPECT_EQ(e.silhouette, "Graphics\\Boss\\Dr. Flimb Lord_silhouette.png");
    EXPECT_EQ(e.introVideo, "Graphics\\Videos\\DrFlimbLord-intro.ogv");
    EXPECT_EQ(e.outroVideo, "Graphics\\Videos\\DrFlimbLord-outro.ogv");
    EXPECT_EQ(e.latitude, 40); // "lattitude" wins
    EXPECT_EQ(e.minFragments, 2);
    EXPECT_EQ(e.levelTrapCount, 2);
    EXPECT_EQ(e.finalLevel, "s_dm_two.flevel");
    EXPECT_EQ(e.summary.playerKind, kLevelFlimbMaster);
    EXPECT_TRUE(e.document);
    EXPECT_FALSE(FlimbMasterLevelList::IntroVideoPresent(e));
    EXPECT_EQ(list.FindByBossName("Dr. Flimb Lord"), &e);
    EXPECT_EQ(list.FindByBossName("dr. flimb lord"), nullptr);
    EXPECT_EQ(list.FindByLevelFileName("f_dm_theboss.flevel"), &e);
}

TEST_F(FlimbMasterListTest, UserLevelsAreAddedOnce)
{
    AddLevel("Level\\f_dm_main.flevel", BossLevel("Main", 1));
    AddLevel("Level\\UGC\\f_dm_fan.flevel", BossLevel("Fan", 2));
    list.Load(false);
    list.Load(true);
    list.Load(true);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Main", "Fan"}));
    EXPECT_TRUE(list.Entries()[1]->fromUserLevels);
    list.RemoveUserLevels();
    EXPECT_EQ(Names(), (std::vector<std::string>{"Main"}));
    list.Load(true);
    EXPECT_EQ(Names(), (std::vector<std::string>{"Main", "Fan"}));
}

TEST_F(FlimbMasterListTest, TheBossOfALevel)
{
    AddLevel("Level\\f_dm_first.flevel",
             BossLevel("First", 1, true, "<trap><type>Level</type></trap>" + LevelTrap("S_DM_Cave.flevel")));
    AddLevel("Level\\f_dm_second.flevel", BossLevel("Second", 2, true, LevelTrap("s_dm_lake")));
    LogCapture log;
    const FlimbMasterEntry* cave = list.FindBossOfLevel("Level\\s_dm_cave.flevel"); // loads the list
    ASSERT_NE(cave, nullptr);
    EXPECT_EQ(cave->bossName, "First");
    EXPECT_TRUE(log.Contains("names no level_filename; skipped"));
    ASSERT_NE(list.FindBossOfLevel("s_dm_lake.flevel"), nullptr);
    EXPECT_EQ(list.FindBossOfLevel("s_dm_lake")->bossName, "Second");
    EXPECT_EQ(list.FindBossOfLevel("s_dm_sea"), nullptr);
}

TEST_F(FlimbMasterListTest, NewlyUnlockedBosses)
{
    AddLevel("Level\\f_dm_p100.flevel", BossLevel("P100", 100));
    AddLevel("Level\\f_dm_p300.flevel", BossLevel("P300", 300));
    list.Load(false);
    auto names = [](const std::vector<const FlimbMasterEntry*>& entries) {
        std::vector<std::string> out;
        for (const FlimbMasterEntry* e : entries)
            out.push_back(e->bossName);
        return out;
    };
    // minfragments is 2 for both.
    EXPECT_EQ(names(list.NewlyUnlocked(60, 0, 50, 2)), (std::vector<std::string>{"P100"}));
    EXPECT_EQ(names(list.NewlyUnlocked(250, 0, 50, 2)), (std::vector<std::string>{"P100", "P300"}));
    EXPECT_TRUE(list.NewlyUnlocked(60, 0, 100, 2).empty()); // already unlocked
    EXPECT_TRUE(list.NewlyUnlocked(60, 0, 50, 1).empty());  // fragments do not suffice
    EXPECT_EQ(names(list.NewlyUnlocked(0, 1, 150, 1)), (std::vector<std::string>{"P100"}));
}

// The start-up step that loads the bonus items asks this list for the boss of a beaten
// level: an item unlocked by beating a level sorts 10 x the boss's place + 5.
TEST_F(FlimbMasterListTest, BonusItemsOfABeatenLevelSortAfterItsBoss)
{
    AddLevel("Level\\f_dm_first.flevel", BossLevel("First", 10, true, LevelTrap("s_dm_one.flevel")));
    AddLevel("Level\\f_dm_second.flevel", BossLevel("Second", 50, true, LevelTrap("s_dm_two.flevel")));
    const std::string items =
        "<bonus-items>"
        "<item type=\"Level\" id=\"after_two\" level_beaten=\"S_DM_TWO.flevel\"><description>D</description>"
        "<award_msg>A</award_msg><filepath>Level\\x.flevel</filepath></item>"
        "<item type=\"Stamp\" id=\"unlisted\" level_beaten=\"s_dm_none.flevel\"><description>D</description>"
        "<award_msg>A</award_msg><filepath>Graphics\\x.png</filepath></item>"
        "<item type=\"Stamp\" id=\"points\" min_points=\"100\"><description>D</description>"
        "<award_msg>A</award_msg><filepath>Graphics\\x.png</filepath></item>"
        "</bonus-items>";
    AddFile("Data\\bonus_items.xml", std::vector<uint8_t>(items.begin(), items.end()));
    LoadBonusItems();
    std::vector<std::pair<std::string, int32_t>> orders;
    for (const BonusItemInfo& item : BonusItemList::Items())
        orders.emplace_back(item.id, item.order);
    EXPECT_EQ(orders, (std::vector<std::pair<std::string, int32_t>>{{"unlisted", 0}, {"points", 10}, {"after_two", 15}}));
    BonusItemList::Clear();
    BonusItemList::SetBossLevelLookup(nullptr);
    FlimbMasterLevelList::Global().Clear();
}

} // namespace
