// The local platform store: persistence, callbacks, refused names and forced failure.
#include "platform/steam/Steam.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace steam = platform::steam;

namespace {

std::string StoreFolder()
{
    return std::string(std::getenv("FLIMBS_HOME")) + "/store";
}

} // namespace

TEST(SteamStore, KeepsStatsAchievementsScoresAndFilesAcrossSessions)
{
    ASSERT_TRUE(steam::Init(StoreFolder()));
    EXPECT_TRUE(steam::SetStat("levels_won", int32_t{7}));
    EXPECT_TRUE(steam::SetStat("best_time", 12.5f));
    EXPECT_TRUE(steam::SetAchievement("FIRST_WIN"));
    int32_t kept = 0;
    bool stored = false;
    EXPECT_TRUE(steam::UploadScore("arena", 50, false, [&](bool ok, int32_t score) { kept = ok ? score : -1; }));
    EXPECT_TRUE(steam::UploadScore("arena", 30, false));
    EXPECT_TRUE(steam::UploadScore("Singleplayer - intro", -5, false));
    EXPECT_FALSE(steam::UploadScore("two\nlines", 1, false));
    EXPECT_TRUE(steam::StoreStats([&](bool ok) { stored = ok; }));
    EXPECT_FALSE(stored) << "callbacks wait for RunCallbacks";
    steam::RunCallbacks();
    EXPECT_TRUE(stored);
    EXPECT_EQ(kept, 50);
    EXPECT_TRUE(steam::FileWrite("save.bin", std::string("a\0b", 3)));
    EXPECT_FALSE(steam::FileWrite("../escape", "x"));
    EXPECT_FALSE(steam::FileWrite("sub/file", "x"));
    EXPECT_FALSE(steam::SetStat("bad name", int32_t{1}));
    steam::Shutdown();
    EXPECT_FALSE(steam::SetStat("levels_won", int32_t{1}));

    ASSERT_TRUE(steam::Init(StoreFolder()));
    int32_t won = 0;
    float best = 0;
    bool achieved = false;
    int32_t score = 0;
    std::string data;
    EXPECT_TRUE(steam::GetStat("levels_won", won));
    EXPECT_EQ(won, 7);
    EXPECT_TRUE(steam::GetStat("best_time", best));
    EXPECT_FLOAT_EQ(best, 12.5f);
    EXPECT_TRUE(steam::GetAchievement("FIRST_WIN", achieved));
    EXPECT_TRUE(achieved);
    EXPECT_TRUE(steam::GetScore("arena", score));
    EXPECT_EQ(score, 50);
    EXPECT_TRUE(steam::GetScore("Singleplayer - intro", score));
    EXPECT_EQ(score, -5);
    EXPECT_TRUE(steam::FileRead("save.bin", data));
    EXPECT_EQ(data, std::string("a\0b", 3));
    EXPECT_EQ(steam::ListFiles(), std::vector<std::string>{"save.bin"});
    EXPECT_TRUE(steam::FileDelete("save.bin"));
    EXPECT_FALSE(steam::FileExists("save.bin"));
    steam::Shutdown();
}

TEST(SteamStore, ReadsScoresStoredInTheEarlierLineForm)
{
    std::filesystem::create_directories(StoreFolder());
    {
        std::ofstream out(StoreFolder() + "/stats.txt");
        out << "l arena 9\nb 12 Singleplayer UGC - my level\n";
    }
    ASSERT_TRUE(steam::Init(StoreFolder()));
    int32_t score = 0;
    EXPECT_TRUE(steam::GetScore("arena", score));
    EXPECT_EQ(score, 9);
    EXPECT_TRUE(steam::GetScore("Singleplayer UGC - my level", score));
    EXPECT_EQ(score, 12);
    steam::Shutdown();
    std::filesystem::remove_all(StoreFolder());
}

TEST(SteamStore, InitFailsWhenForced)
{
    setenv("FLIMBS_STEAM_FAIL", "1", 1);
    EXPECT_FALSE(steam::Init(StoreFolder()));
    EXPECT_FALSE(steam::IsInitialised());
    unsetenv("FLIMBS_STEAM_FAIL");
    steam::Shutdown(); // harmless when never started
}
