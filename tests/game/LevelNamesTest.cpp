// Level names: paths, file-name parts and the difficulty and permission tables.
#include "game/LevelNames.h"

#include <gtest/gtest.h>

namespace {

TEST(LevelNamesTest, MakeLevelPath)
{
    const std::pair<const char*, const char*> cases[] = {
        {"s_dm_forest", "Level\\s_dm_forest.flevel"},
        {"Level\\UGC\\m_ctf_Two.FLEVEL", "Level\\UGC\\m_ctf_Two.FLEVEL"},
        {"s_dm_x.flevel", "Level\\s_dm_x.flevel"},
        {"Other\\f_dm_boss", "Other\\f_dm_boss.flevel"},
    };
    for (const auto& [name, path] : cases)
        EXPECT_EQ(MakeLevelPath(name), path) << name;
    EXPECT_EQ(MakeLevelPath(std::string(243, 'a')), ""); // 255 characters at most
    EXPECT_EQ(MakeLevelPath(std::string(242, 'a')).size(), 255u);
}

TEST(LevelNamesTest, ParseLevelFileName)
{
    struct Case {
        const char* path;
        bool parsed;
        int32_t kind;
        int32_t mode;
        const char* name;
    } const cases[] = {
        {"Level\\s_kpt_under_the_sea.flevel", true, 0, 1, "under_the_sea"},
        {"m_dm_arena.flevel", true, 1, 0, "arena"},
        {"Level\\UGC\\f_dm_boss.v2.flevel", true, 2, 0, "boss.v2"},
        {"UGC1_m_ctf_four.flevel", true, 1, 2, "four"}, // a first field of four characters is skipped
        {"x_zz_unknown.flevel", true, 0, 0, "unknown"}, // unknown kind and mode give 0
        {"S_dm_case.flevel", true, 0, 0, "case"},       // kind letters compare exactly
        {"noparts.flevel", false, 0, 0, ""},
        {"s_dmonly.flevel", false, 0, 0, ""},
        {"abcd_s.flevel", false, 0, 0, ""},
    };
    for (const Case& c : cases) {
        LevelFileName parts;
        EXPECT_EQ(ParseLevelFileName(c.path, parts), c.parsed) << c.path;
        if (!c.parsed)
            continue;
        EXPECT_EQ(parts.kind, c.kind) << c.path;
        EXPECT_EQ(parts.gameMode, c.mode) << c.path;
        EXPECT_EQ(parts.name, c.name) << c.path;
    }
    LevelFileName parts;
    EXPECT_FALSE(ParseLevelFileName("Level\\s_dm_" + std::string(250, 'n') + ".flevel", parts));
}

TEST(LevelNamesTest, NameTables)
{
    const std::pair<const char*, int32_t> difficulties[] = {
        {"Easy", 0}, {"medium", 1}, {"HARD", 2}, {"Ultra Hard", 3}, {"ultrahard", 0}, {"", 0}};
    for (const auto& [text, index] : difficulties)
        EXPECT_EQ(DifficultyFromName(text), index) << text;
    const std::pair<const char*, int32_t> permissions[] = {
        {"Full", 0}, {"playonly", 1}, {"PlayOnly", 1}, {"EditOnly", 2}, {"PLAYTESTONLY", 3}, {"Nope", 0}};
    for (const auto& [text, index] : permissions)
        EXPECT_EQ(PermissionFromName(text), index) << text;
    EXPECT_STREQ(PermissionName(3), "PlayTestOnly");
    EXPECT_STREQ(DifficultyName(4), "");
    EXPECT_EQ(LevelPreviewPath("Level\\s_dm_forest.flevel"), "Cache\\Previews\\s_dm_forest.jpg");
}

} // namespace
