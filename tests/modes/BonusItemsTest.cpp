// Bonus items: reading the data file (types, thresholds, order, failures), what a gain or a
// beaten level earns, the unlocked levels, look-ups, "giveall", the end of a passed level,
// and the file the game ships.
#include "../support/FakeMatch.h"

#include "app/ConsoleParam.h"
#include "app/FileManager.h"
#include "app/GameException.h"
#include "app/MemoryFileManager.h"
#include "app/PlayerProfile.h"
#include "app/UserFolders.h"
#include "app/XmlUtil.h"
#include "modes/BonusItems.h"
#include "modes/CorralTheFlimbMode.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

namespace {

class BonusItemsTest : public MatchFixture {
protected:
    void SetUp() override
    {
        MatchFixture::SetUp();
        SetProgramFolder(FLIMBS_GAME_DIR);
        previous_ = fileManager;
        manager_ = std::make_unique<FileManager>();
        auto memory = std::make_unique<MemoryFileManager>();
        memory_ = memory.get();
        manager_->AddMember(std::move(memory));
        fileManager = manager_.get();
        CurrentProfile().Load(std::string("Bonus") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override
    {
        BonusItemList::Clear();
        BonusItemList::SetBossLevelLookup(nullptr);
        fileManager = previous_;
        MatchFixture::TearDown();
    }
    // Loads a file of these items; the failure text, empty on success.
    std::string Load(const std::string& items)
    {
        const std::string text = "<bonus-items>" + items + "</bonus-items>";
        memory_->AddFile("Data\\bonus_items.xml", text.data(), text.size());
        try {
            BonusItemList::Load();
        } catch (const GameException& error) {
            return error.Message();
        }
        return "";
    }
    static std::string Item(const std::string& attributes, const std::string& file = "Graphics\\x.png")
    {
        return "<item " + attributes + "><description>D</description><award_msg>A</award_msg><filepath>" + file +
               "</filepath></item>";
    }
    static std::vector<std::string> Ids()
    {
        std::vector<std::string> ids;
        for (const BonusItemInfo& item : BonusItemList::Items())
            ids.push_back(item.id);
        return ids;
    }

    FileManager* previous_ = nullptr;
    std::unique_ptr<FileManager> manager_;
    MemoryFileManager* memory_ = nullptr;
};

TEST_F(BonusItemsTest, OrderTypesAndConditions)
{
    ASSERT_EQ(Load(Item("type='Stamp' id='q' min_qdots='5'") + Item("type='Decoration' id='p' min_points='30'") +
                   Item("type='Level' id='m' min_fragments='1'") + Item("type='Hat' id='bad' min_qdots='1'") +
                   Item("type='stamp' id='lower' min_qdots='1'") + Item("type='Stamp' id='none'") +
                   Item("type='Stamp' id='zero' min_qdots='0'") + Item("type='Stamp' id='word' min_points='lots'") +
                   Item("type='Stamp' id='p2' min_points='35'")),
              "");
    EXPECT_EQ(Ids(), (std::vector<std::string>{"zero", "word", "p", "p2", "q", "m"}))
        << "points, qdots, medallions; equal orders in file order; bad types and no conditions left out";
    const BonusItemInfo p = BonusItemList::FindById("p");
    EXPECT_EQ(p.type, BonusItemInfo::kDecoration);
    EXPECT_EQ(p.order, 3);
    EXPECT_EQ(p.minQdots, -1);
    EXPECT_EQ(p.minPoints, 30);
    EXPECT_EQ(p.description, "D");
    EXPECT_EQ(p.awardMessage, "A");
    EXPECT_EQ(BonusItemList::FindById("m").order, 10);
    EXPECT_EQ(BonusItemList::FindById("word").minPoints, 0) << "no number reads 0";
    EXPECT_EQ(BonusItemList::FindById("nothing").id, "");
    EXPECT_EQ(BonusItemInfo::TypeFromName("Level"), 2);
    EXPECT_EQ(BonusItemInfo::TypeFromName("level"), -1);

    // Items without conditions make an empty list that earns nothing.
    ASSERT_EQ(Load(Item("type='Stamp' id='a'") + Item("type='Level' id='b'")), "");
    EXPECT_TRUE(BonusItemList::Items().empty());
    BonusItemInfo out;
    EXPECT_FALSE(BonusItemList::FindNewlyEarned(1000, "x", BonusStat::kPoints, out));
}

TEST_F(BonusItemsTest, BeatenLevelsSortAfterTheirBoss)
{
    BonusItemList::SetBossLevelLookup([](const std::string& level) { return level == "s_dm_two.flevel" ? 2 : -1; });
    ASSERT_EQ(Load(Item("type='Stamp' id='late' level_beaten='s_dm_two.flevel'") +
                   Item("type='Stamp' id='nowhere' level_beaten='s_dm_gone.flevel'") +
                   Item("type='Stamp' id='q' min_qdots='20'")),
              "");
    EXPECT_EQ(Ids(), (std::vector<std::string>{"nowhere", "q", "late"}));
    EXPECT_EQ(BonusItemList::FindById("late").order, 25);
    BonusItemInfo out;
    ASSERT_TRUE(BonusItemList::FindForBeatenLevel("Level\\S_DM_TWO.flevel", out));
    EXPECT_EQ(out.id, "late");
    EXPECT_FALSE(BonusItemList::FindForBeatenLevel("s_dm_three.flevel", out));
}

TEST_F(BonusItemsTest, BadFilesFailCleanly)
{
    memory_->AddFile("Data\\bonus_items.xml", "<broken", 7);
    EXPECT_THROW(BonusItemList::Load(), GameException);
    for (const char* missing : {"description", "award_msg", "filepath"}) {
        SCOPED_TRACE(missing);
        std::string item = Item("type='Stamp' id='x' min_qdots='1'");
        const std::string open = std::string("<") + missing + ">";
        const size_t from = item.find(open);
        item.erase(from, item.find(std::string("</") + missing + ">") - from + open.size() + 1);
        EXPECT_EQ(Load(item), std::string("The requested tag [") + missing + "] was not found in level and in defaults\n");
    }
}

TEST_F(BonusItemsTest, WhatAGainEarns)
{
    ASSERT_EQ(Load(Item("type='Stamp' id='fifty' min_points='50'") + Item("type='Stamp' id='f55' min_points='55'") +
                   Item("type='Stamp' id='zero' min_points='0'") + Item("type='Stamp' id='q3' min_qdots='3'")),
              "");
    PlayerProfile& profile = CurrentProfile();
    profile.SetSingleplayerTotals({0, 0, 40, 0});
    BonusItemInfo out;
    ASSERT_TRUE(BonusItemList::FindNewlyEarned(20, "x", BonusStat::kPoints, out));
    EXPECT_EQ(out.id, "fifty") << "one item a call, the first in list order";
    profile.SetSingleplayerTotals({0, 0, 60, 0});
    EXPECT_FALSE(BonusItemList::FindNewlyEarned(20, "x", BonusStat::kPoints, out));
    profile.SetSingleplayerTotals({0, 0, 49, 0});
    EXPECT_FALSE(BonusItemList::FindNewlyEarned(0, "x", BonusStat::kPoints, out)) << "49 + 0 stays below";
    EXPECT_TRUE(BonusItemList::FindNewlyEarned(1, "x", BonusStat::kPoints, out));
    profile.AddBonusItem({"Stamp", "fifty"});
    ASSERT_TRUE(BonusItemList::FindNewlyEarned(10, "x", BonusStat::kPoints, out));
    EXPECT_EQ(out.id, "f55") << "an unlocked item is passed over";
    EXPECT_FALSE(BonusItemList::FindNewlyEarned(5, "x", BonusStat::kMedallions, out));
    profile.SetSingleplayerTotals({2, 0, 0, 0});
    ASSERT_TRUE(BonusItemList::FindNewlyEarned(1, "x", BonusStat::kQdots, out));
    EXPECT_EQ(out.id, "q3");
}

TEST_F(BonusItemsTest, UnlockedLevelsDecorationsAndGiveAll)
{
    ASSERT_EQ(Load(Item("type='Level' id='secret' min_qdots='3'", "Level\\Bonus\\secret.flevel") +
                   Item("type='Decoration' id='hat' min_qdots='1'", "tophat") +
                   Item("type='Decoration' id='cap' min_qdots='2'", "cap") +
                   Item("type='Stamp' id='star' min_qdots='4'")),
              "");
    EXPECT_FALSE(BonusItemList::IsLevelUnlocked("level\\bonus\\SECRET.flevel"));
    EXPECT_FALSE(BonusItemList::IsLevelUnlocked("Level\\s_dm_x.flevel"));
    std::vector<BonusItemInfo> decorations;
    BonusItemList::CollectDecorations(decorations);
    ASSERT_EQ(decorations.size(), 2u);
    EXPECT_EQ(decorations[0].filePath, "tophat");
    EXPECT_EQ(decorations[1].filePath, "cap");

    PlayerProfile& profile = CurrentProfile();
    profile.AddBonusItem({"Stamp", "star"});
    profile.AddBonusItem({"Stamp", "old"});
    ConsoleParam* giveAll = ConsoleParam::Find("giveall");
    ASSERT_NE(giveAll, nullptr);
    EXPECT_EQ(giveAll->HelpText(), "unlock all bonus items");
    giveAll->Execute("");
    const std::vector<UnlockedBonusItem> unlocked = profile.LoadBonusItems();
    ASSERT_EQ(unlocked.size(), 4u) << "one entry per list item, nothing else";
    EXPECT_EQ(unlocked[0].id, "hat");
    EXPECT_EQ(unlocked[0].type, "Decoration");
    EXPECT_EQ(unlocked[3].id, "star");
    EXPECT_TRUE(BonusItemList::IsLevelUnlocked("level\\bonus\\SECRET.flevel"));
    // The profile was saved: it reads back the same.
    PlayerProfile again;
    again.Load(profile.Name());
    EXPECT_EQ(again.LoadBonusItems().size(), 4u);
}

TEST_F(BonusItemsTest, APassedLevelUnlocksWhatItsQdotsEarn)
{
    ASSERT_EQ(Load(Item("type='Stamp' id='two' min_qdots='2'") + Item("type='Stamp' id='won' level_beaten='s_dm_bonus.flevel'")),
              "");
    world.levelPath = "Level\\s_dm_bonus.flevel";
    world.AddExit(0, 5, 5);
    world.trapCounts[kTrapKindQdot] = 2;
    CorralTheFlimbMode mode;
    mode.CreateStatsWidget(nullptr);
    mode.StartMatch();
    mode.qdotCounts[0] = 2;
    mode.GameOver();
    ASSERT_EQ(effects.popups.size(), 3u);
    EXPECT_EQ(effects.popups[1].kind, EndOfLevelPopup::Kind::BonusItemUnlocked);
    EXPECT_TRUE(CurrentProfile().HasBonusItem("two"));
    EXPECT_TRUE(CurrentProfile().HasBonusItem("won"));
    EXPECT_EQ(CurrentProfile().LoadSingleplayerTotals().qdotsTotal, 2);
}

// The file the game ships reads cleanly, holds a decoration and a stamp, and names files that
// exist in the game folder.
TEST_F(BonusItemsTest, TheShippedFile)
{
    const std::string game = FLIMBS_GAME_DIR;
    std::ifstream in(game + "/Data/bonus_items.xml", std::ios::binary);
    ASSERT_TRUE(in) << "the game folder has the file";
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    memory_->AddFile("Data\\bonus_items.xml", text.data(), text.size());
    BonusItemList::Load();
    std::set<int32_t> types;
    for (const BonusItemInfo& item : BonusItemList::Items()) {
        SCOPED_TRACE(item.id);
        types.insert(item.type);
        EXPECT_FALSE(item.description.empty());
        if (item.type == BonusItemInfo::kDecoration) {
            EXPECT_TRUE(std::filesystem::exists(game + "/Graphics/Animations/Decorations/" + item.filePath + "-walk.png"));
        } else {
            std::string path = item.filePath;
            std::replace(path.begin(), path.end(), '\\', '/');
            EXPECT_TRUE(std::filesystem::exists(game + "/" + path)) << path;
        }
    }
    EXPECT_TRUE(types.count(BonusItemInfo::kDecoration));
    EXPECT_TRUE(types.count(BonusItemInfo::kStamp));
}

} // namespace
