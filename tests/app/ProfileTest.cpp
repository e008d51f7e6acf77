#include "app/ConsoleParam.h"
#include "app/GlobalConfig.h"
#include "app/KeyBindings.h"
#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "app/UserFolders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {


std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override { SetProgramFolder(FLIMBS_GAME_DIR); }
    fs::path ProfileFile(const std::string& name) { return GetUserPath("Profiles\\" + name + ".xml"); }
};

} // namespace

TEST_F(ProfileTest, SavedProfileLoadsBackUnchanged)
{
    PlayerProfile& profile = CurrentProfile();
    EXPECT_FALSE(profile.Load("Alice")); // new player: defaults
    profile.SetSetting("music_volume", "77");
    profile.SetSetting("last_edited_level", "Level\\my level.flevel");
    GetBindingStore().FindByName("GulpUp")->keyNames[0] = "U";
    GetBindingStore().FindByName("GulpUp")->keyNames[1] = "LEFT MOUSE";
    profile.SetAccount("alice", "5f4dcc3b5aa765d61d8327deb882cf99");
    std::unique_ptr<LevelStats> stats = profile.GetLevelStatsNode("Level\\s_first.flevel", true);
    ASSERT_TRUE(stats);
    stats->qdotsObtained = true;
    stats->groupID = 3;
    profile.RecordSession(*stats, SessionRecord{1, true, 250, true, 3, "2026-01-02 03:04:05", "Cache\\p.flimbs", 17});
    profile.RecordSession(*stats, SessionRecord{2, false, 0, false, 3, "2026-01-02 03:10:00", "", 0});
    profile.SaveSkillLevel(*stats, 2);
    profile.WriteBestStats("s_first", {{"time", 93}, {"saved", 17}});
    profile.SetSingleplayerTotals({5, 1, 250, 3600});
    EXPECT_TRUE(profile.AddBonusItem({"Stamp", "star"}));
    EXPECT_FALSE(profile.AddBonusItem({"Stamp", "star"}));
    profile.SaveLastLevelPlayed("Master One", "Level\\f_master.flevel");
    profile.SetIntroViewed("Master One", true);
    WriteText(GetUserPath(profile.CheckpointPath("s_first.flevel", true, 0, false)), "a");
    WriteText(GetUserPath(profile.CheckpointPath("s_first.flevel", false, 1, false)), "b");
    WriteText(GetUserPath(profile.CheckpointPath("s_firstly.flevel", false, 1, false)), "c");
    ASSERT_TRUE(profile.Save());
    const std::string firstSave = ReadText(ProfileFile("Alice"));

    EXPECT_TRUE(profile.Load("default-profile"));
    EXPECT_EQ(KeyNameForAction("GulpUp"), "MINUS");
    ASSERT_TRUE(profile.Load("Alice"));
    EXPECT_EQ(CurrentPlayerName, "Alice");
    EXPECT_EQ(profile.Setting("music_volume"), "77");
    EXPECT_EQ(ConsoleParam::Find("musiclevel")->GetInt(), 77);
    EXPECT_EQ(profile.Setting("last_edited_level"), "Level\\my level.flevel");
    EXPECT_EQ(KeyNameForAction("GulpUp"), "U");
    EXPECT_EQ(KeyBindings::CommandForKey("left mouse"), "GulpUp");
    EXPECT_EQ(profile.AccountUser(), "alice");
    stats = profile.GetLevelStatsNode("Level\\S_first.flevel", false);
    ASSERT_TRUE(stats == nullptr); // file titles are matched exactly
    stats = profile.GetLevelStatsNode("Level\\s_first.flevel", false);
    ASSERT_TRUE(stats);
    EXPECT_EQ(stats->nAttempts, 2);
    EXPECT_EQ(stats->nPasses, 1);
    EXPECT_TRUE(stats->qdotsObtained);
    EXPECT_FALSE(stats->fragmentObtained);
    EXPECT_EQ(stats->groupID, 3);
    ASSERT_EQ(profile.Sessions("s_first").size(), 2u);
    EXPECT_EQ(profile.Sessions("s_first")[0].playback, "Cache\\p.flimbs");
    bool beaten[3];
    profile.GetSkillLevel(*stats, beaten);
    EXPECT_FALSE(beaten[0]);
    EXPECT_TRUE(beaten[2]);
    ASSERT_EQ(profile.ReadBestStats("s_first").size(), 2u);
    EXPECT_EQ(profile.ReadBestStats("s_first")[0].value, 93);
    EXPECT_EQ(profile.LoadSingleplayerTotals().playtimeTotal, 3600);
    EXPECT_TRUE(profile.HasBonusItem("star"));
    EXPECT_EQ(profile.LoadBonusItems().size(), 1u);
    FlimbMasterProgress progress;
    ASSERT_TRUE(profile.GetFlimbMasterProgress("Master One", progress));
    EXPECT_EQ(progress.lastLevelPlayed, "Level\\f_master.flevel");
    EXPECT_TRUE(progress.introViewed);
    EXPECT_FALSE(profile.GetFlimbMasterProgress("Nobody", progress));
    EXPECT_EQ(profile.ListCheckpoints("Level\\s_first.flevel"),
              (std::vector<std::string>{"auto-s_first0.flimbs", "s_first-1.flimbs"}));

    ASSERT_TRUE(profile.Save());
    EXPECT_EQ(ReadText(ProfileFile("Alice")), firstSave);
}

TEST_F(ProfileTest, MissingSettingsAndBindingsComeFromTheDefaults)
{
    WriteText(ProfileFile("Bob"), "<flimbs-profile><settings><touchscreen>1</touchscreen></settings>"
                                  "<bindings><MiniMap><primary>F2</primary><secondary/></MiniMap></bindings>"
                                  "</flimbs-profile>");
    PlayerProfile& profile = CurrentProfile();
    ASSERT_TRUE(profile.Load("Bob"));
    EXPECT_EQ(ConsoleParam::Find("touchscreen")->GetInt(), 1);
    EXPECT_EQ(profile.Setting("music_volume"), "128");
    EXPECT_EQ(profile.Setting("positive_scroll_scale"), "1.5000");
    EXPECT_EQ(KeyNameForAction("MiniMap"), "F2");
    EXPECT_EQ(KeyNameForAction("ChatMode"), "RETURN");
    EXPECT_EQ(KeyNameForType(0), "1");
    EXPECT_EQ(KeyNameForType(23), "??");
    EXPECT_EQ(ExpandKeyTokens("Press <MiniMap> for the map, <Nothing> stays"), "Press F2 for the map, <Nothing> stays");
    EXPECT_EQ(ExpandKeyTokens("Map: <minimap>, <MINIMAP>"), "Map: F2, F2"); // any letter case

    std::map<std::string, std::string> fields;
    profile.LoadBindings(fields);
    EXPECT_EQ(fields["MiniMap_0"], "F2");
    fields["MiniMap_1"] = "TAB";
    profile.SaveBindings(fields);
    EXPECT_EQ(GetBindingStore().FindByName("MiniMap")->keyNames[1], "TAB");
    EXPECT_EQ(GetBindingStore().Entries().size(), 44u);
}

TEST_F(ProfileTest, DamagedProfileUsesDefaultsAndIsKeptUntilThePlayerSaves)
{
    const std::string broken = "<flimbs-profile><settings><music_volume>5</settings>";
    WriteText(ProfileFile("Carol"), broken);
    PlayerProfile& profile = CurrentProfile();
    EXPECT_FALSE(profile.Load("Carol"));
    EXPECT_TRUE(profile.FileIsDamaged());
    EXPECT_NE(ReadText(LogFilePath()).find("ERROR: [Carol] profile couldn't be opened. Using defaults\n"),
              std::string::npos);
    EXPECT_EQ(profile.Setting("music_volume"), "128");

    EXPECT_FALSE(profile.Save());
    EXPECT_FALSE(profile.SaveStats());
    profile.SetIntroViewed("Master", true); // saves on its own: refused too
    writeGlobalConfig(GlobalConfigSource{{0, 0, 900, 700}, 800, 600, 1024, 768}); // saves the profile first
    EXPECT_EQ(ReadText(ProfileFile("Carol")), broken);

    EXPECT_TRUE(profile.Save("", true));
    EXPECT_FALSE(profile.FileIsDamaged());
    EXPECT_TRUE(profile.Load("Carol"));
}

TEST_F(ProfileTest, ProfileNamesCannotLeaveTheProfilesFolder)
{
    EXPECT_EQ(FilterProfileName("../..\\Evil/Na me!"), "EvilName");
    for (const char* bad : {"", "..", "..\\..\\x", "a/b", "a\\b", "C:x", "/etc/passwd", "x.xml"})
        EXPECT_FALSE(IsSafeProfileName(bad)) << bad;
    EXPECT_TRUE(IsSafeProfileName("default-profile"));

    WriteText(GetUserPath("outside.xml"), "<flimbs-profile/>");
    PlayerProfile& profile = CurrentProfile();
    EXPECT_TRUE(profile.Load("..\\outside"));
    EXPECT_EQ(profile.Name(), "default-profile");
    EXPECT_NE(ReadText(LogFilePath()).find("ERROR: refused profile name [..\\outside]"), std::string::npos);
    EXPECT_FALSE(profile.Save("../../escaped", true));
    EXPECT_FALSE(ProfileFileExists("..\\outside"));
    EXPECT_FALSE(fs::exists(fs::path(GetUserRoot()).parent_path() / "escaped.xml"));
}

TEST_F(ProfileTest, GlobalConfigRoundTripAndFallbacks)
{
    ConsoleParam* profileName = ConsoleParam::Find("profile");
    ASSERT_NE(profileName, nullptr);
    ASSERT_TRUE(profileName->SetFromString("Dave"));
    ConsoleParam::Find("serverPORT")->SetInt(4000);
    ASSERT_TRUE(writeGlobalConfig(GlobalConfigSource{{30, 40, 846, 679}, 800, 600, 1280, 720}));
    const std::string text = ReadText(GetUserPath("Cache\\Settings\\global_config.xml"));
    EXPECT_NE(text.find("<flimbs-config>\n  <last-profile>Dave</last-profile>\n  <window-right>830</window-right>\n"
                        "  <window-top>40</window-top>\n  <window-left>30</window-left>\n"
                        "  <window-bottom>640</window-bottom>\n  <res-x>1280</res-x>\n  <res-y>720</res-y>\n"
                        "  <serverPORT>4000</serverPORT>\n</flimbs-config>"),
              std::string::npos)
        << text;

    ConsoleParam::Find("serverPORT")->SetInt(9877);
    profileName->ResetToDefault();
    EXPECT_TRUE(readGlobalConfig());
    EXPECT_EQ(profileName->GetString(), "Dave");
    EXPECT_EQ(CurrentProfile().Name(), "Dave");
    EXPECT_EQ(ConsoleParam::Find("serverPORT")->GetInt(), 4000);
    const WindowPlacement placement = ReadGlobalConfigWindow();
    EXPECT_FALSE(placement.centre);
    EXPECT_EQ(placement.client.left, 30);
    EXPECT_EQ(placement.client.right - placement.client.left, 800);
    EXPECT_EQ(placement.client.bottom - placement.client.top, 600);

    EXPECT_EQ(ReadGlobalConfigResolution().width, 1280);
    EXPECT_EQ(ReadGlobalConfigResolution().height, 720);

    // Invalid rectangles: off screen to the left or top, too narrow or too low, or no file.
    for (const GlobalConfigSource& bad : {GlobalConfigSource{{-10, 40, 900, 700}, 800, 600, 1280, 720},
                                          GlobalConfigSource{{10, -1, 900, 700}, 800, 600, 1280, 720},
                                          GlobalConfigSource{{10, 10, 900, 700}, 99, 600, 1280, 720},
                                          GlobalConfigSource{{10, 10, 900, 700}, 800, 99, 1280, 720}}) {
        writeGlobalConfig(bad);
        const WindowPlacement fallbackPlacement = ReadGlobalConfigWindow();
        EXPECT_TRUE(fallbackPlacement.centre);
        EXPECT_EQ(fallbackPlacement.client.left, 5);
        EXPECT_EQ(fallbackPlacement.client.top, 5);
        EXPECT_EQ(fallbackPlacement.client.right, 805);
        EXPECT_EQ(fallbackPlacement.client.bottom, 605);
    }
    fs::remove(GetUserPath("Cache\\Settings\\global_config.xml"));
    EXPECT_TRUE(ReadGlobalConfigWindow().centre);
    EXPECT_EQ(ReadGlobalConfigResolution().width, 0);
    EXPECT_FALSE(readGlobalConfig());
    EXPECT_EQ(CurrentProfile().Name(), "default-profile");
    EXPECT_EQ(ConsoleParam::Find("serverPORT")->GetInt(), 4000);

    // A profile name is written as it is, escaped by the XML writer.
    profileName->ResetToDefault();
    ASSERT_TRUE(profileName->SetString("A&B"));
    writeGlobalConfig(GlobalConfigSource{{30, 40, 846, 679}, 800, 600, 1280, 720});
    EXPECT_NE(ReadText(GetUserPath("Cache\\Settings\\global_config.xml")).find("<last-profile>A&amp;B</last-profile>"),
              std::string::npos);
}
