// The level manager's cache of level summaries over a Level folder on disk, and the
// playback and preview questions of the level lists.
#include "app/PlayerProfile.h"
#include "app/StandardFileManager.h"
#include "app/UserFolders.h"
#include "game/LevelManager.h"
#include "tests/support/LevelFixture.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

std::string Built(const std::string& name)
{
    std::ifstream in(std::string(FLIMBS_GAME_DIR) + "/Level/" + name + ".flevel", std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class LevelManagerTest : public LevelFixture {
protected:
    void SetUp() override
    {
        LevelFixture::SetUp();
        folder = GetUserPath("Level");
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::remove_all(GetUserPath(CurrentProfile().GetPath()));
        manager = std::make_unique<FileManager>();
        auto user = std::make_unique<StandardFileManager>();
        for (const char* root : {"Level", "Cache", "Profiles"})
            user->AddRootFolder(root);
        manager->AddMember(std::move(user));
        manager->IndexNames(nullptr, 0, nullptr);
        fileManager = manager.get();
    }
    void TearDown() override
    {
        levels.Clear();
        fs::remove_all(folder);
        LevelFixture::TearDown();
    }

    void Write(const std::string& leaf, const std::string& bytes)
    {
        std::ofstream(folder / leaf, std::ios::binary) << bytes;
    }
    const LevelManager::Entry* EntryOf(const std::string& key) const
    {
        const auto found = levels.Entries().find(key);
        return found == levels.Entries().end() ? nullptr : found->second.get();
    }

    fs::path folder;
    LevelManager levels;
};

TEST_F(LevelManagerTest, RefreshReadsNewTouchedAndForgetsDeletedFiles)
{
    Write("s_dm_first_steps.flevel", Built("s_dm_first_steps"));
    Write("m_dm_twin_valleys.flevel", Built("m_dm_twin_valleys"));
    Write("editor-test-level.flevel", Built("s_dm_first_steps"));
    Write("s_dm_broken.flevel", "not a level");
    LogCapture log;
    levels.Refresh();
    EXPECT_EQ(log.Copy().rfind("LevelManager.. ", 0), 0u) << log.Copy();
    EXPECT_TRUE(log.Contains("the level summary of Level\\s_dm_broken.flevel could not be read"));
    EXPECT_NE(log.Copy().find(" refreshed "), std::string::npos);
    ASSERT_EQ(levels.Entries().size(), 2u) << "the test level and the broken file have none";
    const LevelManager::Entry* first = EntryOf("s_dm_first_steps.flevel");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->summary.title, "First Steps");
    EXPECT_EQ(first->reads, 1u);

    levels.Refresh();
    EXPECT_EQ(EntryOf("s_dm_first_steps.flevel"), first) << "the same record";
    EXPECT_EQ(first->reads, 1u) << "an unchanged file is not read again";

    fs::last_write_time(folder / "s_dm_first_steps.flevel",
                        fs::last_write_time(folder / "s_dm_first_steps.flevel") + std::chrono::seconds(5));
    levels.Refresh();
    EXPECT_EQ(first->reads, 2u) << "a touched file is read again";

    fs::remove(folder / "m_dm_twin_valleys.flevel");
    levels.Refresh();
    EXPECT_EQ(EntryOf("m_dm_twin_valleys.flevel"), nullptr);
    EXPECT_EQ(levels.Entries().size(), 1u);
}

TEST_F(LevelManagerTest, AnUnopenableFileLosesItsEntryAtItsNextLoad)
{
    Write("s_dm_first_steps.flevel", Built("s_dm_first_steps"));
    levels.Refresh();
    ASSERT_NE(levels.LoadLevelInfo("Level\\s_dm_first_steps.flevel", 0), nullptr);
    fs::remove(folder / "s_dm_first_steps.flevel");
    EXPECT_EQ(levels.LoadLevelInfo("Level\\S_DM_First_Steps.flevel", 0), nullptr);
    EXPECT_TRUE(levels.Entries().empty());
}

TEST_F(LevelManagerTest, SearchAndResolve)
{
    Write("s_dm_first_steps.flevel", Built("s_dm_first_steps"));
    Write("m_dm_twin_valleys.flevel", Built("m_dm_twin_valleys"));
    Write("f_dm_the_gardener.flevel", Built("f_dm_the_gardener"));
    std::vector<const LevelChooserEntry*> found;
    levels.Search("_DM_T", found);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0]->fileName, "f_dm_the_gardener.flevel") << "map order";
    EXPECT_EQ(found[1]->fileName, "m_dm_twin_valleys.flevel");

    LevelChooserEntry out;
    levels.ResolveLevel("m_dm_twin_valleys", out);
    EXPECT_EQ(out.fileName, "m_dm_twin_valleys.flevel");
    out.title = "kept";
    levels.ResolveLevel("s_dm_gone", out);
    EXPECT_EQ(out.title, "kept") << "nothing found: the record stays";

    // The editor's test level is read from its file every time and never cached.
    Write("editor-test-level.flevel", Built("s_dm_first_steps"));
    levels.ResolveLevel("editor-test-level", out);
    EXPECT_EQ(out.title, "First Steps");
    Write("editor-test-level.flevel", Built("f_dm_the_gardener"));
    levels.ResolveLevel("editor-test-level.flevel", out);
    EXPECT_NE(out.title, "First Steps");
    EXPECT_EQ(EntryOf("editor-test-level.flevel"), nullptr);
    EXPECT_EQ(levels.Entries().size(), 3u);
}

TEST_F(LevelManagerTest, PlaybacksOfALevel)
{
    CurrentProfile().Load("Tester");
    ASSERT_EQ(CurrentProfile().GetPath(), "Profiles\\Tester");
    const fs::path playbacks = GetUserPath(CurrentProfile().GetPath() + "\\Playbacks");
    EXPECT_FALSE(LevelManager::HasPlaybacks("Level\\s_dm_first_steps.flevel")) << "no folder";
    fs::create_directories(playbacks);
    for (const char* leaf : {"s_dm_first_steps0001.flimbs", "s_dm_first_steps0002.flimbs", "s_dm_other0001.flimbs",
                             "s_dm_first_steps0003.txt"})
        std::ofstream(playbacks / leaf) << "x";
    EXPECT_TRUE(LevelManager::HasPlaybacks("Level\\s_dm_first_steps.flevel"));
    EXPECT_FALSE(LevelManager::HasPlaybacks("Level\\s_dm_none.flevel"));
    EXPECT_EQ(LevelManager::ListPlaybacks("s_dm_first_steps.flevel"),
              (std::vector<std::string>{"s_dm_first_steps0001.flimbs", "s_dm_first_steps0002.flimbs"}));
}

} // namespace
