// The level chooser's query: type, mode, group-count, source and name filters, and the two
// orders.
#include "editor/LevelChooser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

LevelChoice Level(const std::string& file, const std::string& title, int kind, int mode, int groups, FileTime time,
                  bool user)
{
    LevelChoice level;
    level.entry.fileName = file;
    level.entry.title = title;
    level.entry.playerKind = kind;
    level.entry.gameMode = mode;
    for (int g = 0; g < groups; ++g)
        level.entry.groups[size_t(g)].present = 1;
    level.entry.fileTime = time;
    level.entry.inUserFolder = user ? 1 : 0;
    return level;
}

std::vector<std::string> Files(const std::vector<LevelChoice>& levels)
{
    std::vector<std::string> files;
    for (const LevelChoice& level : levels)
        files.push_back(level.entry.fileName);
    return files;
}

const std::vector<LevelChoice> kLevels = {
    Level("s_dm_caves.flevel", "caves", 0, 0, 1, 30, false),
    Level("m_kpt_duel.flevel", "Duel", 1, 1, 2, 10, false),
    Level("s_dm_Bridges.flevel", "Bridges", 0, 0, 1, 20, true),
    Level("f_dm_boss.flevel", "Boss", 2, 0, 1, 40, false),
};

TEST(LevelChooserQuery, EachFilterNarrowsAndAllKeepsEverything)
{
    struct Case {
        LevelQuery query;
        std::vector<std::string> files;
    };
    LevelQuery all;
    LevelQuery single;
    single.gameType = 0;
    LevelQuery capture;
    capture.gameMode = 1;
    LevelQuery twoGroups;
    twoGroups.groups = 2;
    LevelQuery core;
    core.source = kLevelSourceCore;
    LevelQuery user;
    user.source = kLevelSourceUser;
    LevelQuery named;
    named.pattern = "*BRID*";
    for (const Case& c : {Case{all, {"f_dm_boss.flevel", "s_dm_Bridges.flevel", "s_dm_caves.flevel", "m_kpt_duel.flevel"}},
                          Case{single, {"s_dm_Bridges.flevel", "s_dm_caves.flevel"}},
                          Case{capture, {"m_kpt_duel.flevel"}}, Case{twoGroups, {"m_kpt_duel.flevel"}},
                          Case{core, {"f_dm_boss.flevel", "s_dm_caves.flevel", "m_kpt_duel.flevel"}},
                          Case{user, {"s_dm_Bridges.flevel"}}, Case{named, {"s_dm_Bridges.flevel"}}})
        EXPECT_EQ(Files(FilterLevels(kLevels, c.query)), c.files);
}

TEST(LevelChooserQuery, TitlesIgnoreCaseAndDatesPutTheNewestFirst)
{
    LevelQuery byTitle;
    EXPECT_EQ(Files(FilterLevels(kLevels, byTitle)).front(), "f_dm_boss.flevel");
    EXPECT_EQ(FilterLevels(kLevels, byTitle)[2].entry.title, "caves") << "case is ignored";
    LevelQuery byDate;
    byDate.byDate = true;
    EXPECT_EQ(Files(FilterLevels(kLevels, byDate)),
              (std::vector<std::string>{"f_dm_boss.flevel", "s_dm_caves.flevel", "s_dm_Bridges.flevel",
                                        "m_kpt_duel.flevel"}));
}

} // namespace
