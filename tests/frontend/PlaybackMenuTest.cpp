// The playback menu over real recording files in the test's user folder: its rows, newest
// first; Delete with its confirmation; Playback of a file that cannot be played; Back; the
// way in from the extras menu; and the level chooser it shows.
#include "FrontEndFixture.h"
#include "../support/LevelFixture.h"
#include "../support/LogCapture.h"
#include "../support/TestWorld.h"

#include "editor/LevelChooser.h"
#include "frontend/menus/MainMenu.h"
#include "frontend/playback/PlaybackMenu.h"
#include "game/LevelNames.h"
#include "gui/ComboBox.h"
#include "gui/EditBox.h"
#include "gui/FlimbsListBox.h"
#include "gui/FlimbsMessageBox.h"
#include "gui/FlimbsWindow3.h"
#include "session/ClientCommandState.h"
#include "session/NetCommand.h"
#include "session/NetInfoFile.h"
#include "session/SessionServices.h"

#include <filesystem>
#include <regex>
#include <utime.h>

namespace {

namespace fs = std::filesystem;

class PlaybackMenuTest : public FrontEndFixture {
protected:
    void SetUp() override
    {
        FrontEndFixture::SetUp();
        InstallLevelServices();
        fs::remove_all(Folder());
        fs::create_directories(Folder());
    }
    void TearDown() override
    {
        CloseAllWindows();
        ResetCommandState();
        ReleaseLevelServices();
        FrontEndFixture::TearDown();
    }
    static fs::path Folder() { return GetUserPath(PlaybackFolder()); }
    // A recording file written at a time (seconds since the epoch).
    static void Record(const std::string& name, std::time_t written, const std::string& bytes = "not a playback")
    {
        WriteText((Folder() / name).string(), bytes);
        const utimbuf times{written, written};
        utime((Folder() / name).c_str(), &times);
    }
    PlaybackMenu* Open()
    {
        EXPECT_TRUE(ShowPlaybackMenu());
        Step(16);
        return dynamic_cast<PlaybackMenu*>(Find(PlaybackMenu::kName));
    }
    static std::vector<std::string> Rows(FlimbsListBox* list)
    {
        std::vector<std::string> rows;
        for (int i = 0; i < list->GetCount(); ++i)
            rows.push_back(list->GetItemText(i));
        return rows;
    }
    static FlimbsMessageBox* Box() { return dynamic_cast<FlimbsMessageBox*>(GetModalWindow()); }

    TestWorld world;
    LogCapture log;
};

TEST_F(PlaybackMenuTest, RowsShowTheFileDatesNewestFirstForTheChosenLevelOnly)
{
    Record("s_dm_first_steps_000.flimbs", 1700000000);
    Record("s_dm_first_steps_001.flimbs", 1700000500);
    Record("s_dm_first_steps_002.flimbs", 1600000000);
    Record("s_dm_waypoints_000.flimbs", 1750000000);
    Record("s_dm_first_steps.txt", 1750000000);
    PlaybackMenu* menu = Open();
    ASSERT_NE(menu, nullptr);
    menu->Chooser()->SelectLevel("s_dm_first_steps", true);
    EXPECT_EQ(menu->Chooser()->GetSelectedLevelFile(), "s_dm_first_steps.flevel");
    EXPECT_EQ(Rows(menu->Recordings()), (std::vector<std::string>{RecordingRowText(1700000500),
                                                                  RecordingRowText(1700000000),
                                                                  RecordingRowText(1600000000)}));
    EXPECT_EQ(menu->Recordings()->GetIntValue(), 0);
    EXPECT_EQ(menu->SelectedRecording(), PlaybackFolder() + "s_dm_first_steps_001.flimbs");
    EXPECT_TRUE(std::regex_match(RecordingRowText(1700000000),
                                 std::regex("[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}:[0-9]{2}    ")));
    std::tm local{};
    const std::time_t at = 1700000000;
    localtime_r(&at, &local);
    EXPECT_EQ(RecordingRowText(at).substr(0, 4), std::to_string(local.tm_year + 1900));

    // The layout, once the widgets have flown in: the recordings beside the chooser's list,
    // as high, tops aligned.
    Steps(120, 16);
    const FloatRect levels = menu->Chooser()->List()->GetScreenRect();
    const FloatRect recordings = menu->Recordings()->GetScreenRect();
    EXPECT_NEAR(recordings.top, levels.top, 0.5f);
    EXPECT_NEAR(recordings.bottom - recordings.top, levels.bottom - levels.top, 0.5f);
    EXPECT_GT(recordings.left, levels.right);
    EXPECT_EQ(menu->TipOf(Find("Delete")), "Delete a saved game");
    EXPECT_EQ(menu->TipOf(Find("Playback")), "Playback a saved game");
}

TEST_F(PlaybackMenuTest, ALevelWithoutRecordingsListsNothingAndTheButtonsDoNothing)
{
    Record("s_dm_first_steps_000.flimbs", 1700000000);
    PlaybackMenu* menu = Open();
    menu->Chooser()->SelectLevel("s_dm_waypoints", true);
    EXPECT_EQ(menu->Recordings()->GetCount(), 0);
    Press("Delete");
    Press("Playback");
    EXPECT_EQ(Box(), nullptr);
    EXPECT_EQ(Find("FlimbsGameBase"), nullptr);
    EXPECT_NE(Find(PlaybackMenu::kName), nullptr);
}

TEST_F(PlaybackMenuTest, DeleteAsksWithTheFileNameOnlyAndRemovesExactlyThatFile)
{
    Record("s_dm_first_steps_000.flimbs", 1700000000);
    Record("s_dm_first_steps_001.flimbs", 1700000500);
    PlaybackMenu* menu = Open();
    menu->Chooser()->SelectLevel("s_dm_first_steps", true);
    menu->Recordings()->SetSelection(1, false);
    Press("Delete");
    FlimbsMessageBox* box = Box();
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->Closable());
    EXPECT_EQ(box->Title()->title, "Yikes");
    EXPECT_EQ(box->Text(), "Are you sure you want to DELETE 's_dm_first_steps_000.flimbs'?");
    box->Press(0);
    Step(16);
    EXPECT_FALSE(fs::exists(Folder() / "s_dm_first_steps_000.flimbs"));
    EXPECT_TRUE(fs::exists(Folder() / "s_dm_first_steps_001.flimbs"));
    EXPECT_EQ(Rows(menu->Recordings()), std::vector<std::string>{RecordingRowText(1700000500)});

    // The close button only closes the question.
    Press("Delete");
    ASSERT_NE(Box(), nullptr);
    Box()->Close();
    Step(16);
    EXPECT_TRUE(fs::exists(Folder() / "s_dm_first_steps_001.flimbs"));
}

TEST_F(PlaybackMenuTest, AFileThatCannotBeDeletedSaysSoAndTheListIsRefreshed)
{
    Record("s_dm_first_steps_000.flimbs", 1700000000);
    PlaybackMenu* menu = Open();
    menu->Chooser()->SelectLevel("s_dm_first_steps", true);
    Press("Delete");
    // Meanwhile the file has become a folder with something in it: it cannot go.
    fs::remove(Folder() / "s_dm_first_steps_000.flimbs");
    fs::create_directories(Folder() / "s_dm_first_steps_000.flimbs" / "held");
    Box()->Press(0);
    Step(16);
    FlimbsMessageBox* error = Box();
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->Title()->title, "Error");
    EXPECT_EQ(error->Text(), "Cannot delete file! File in use?");
    EXPECT_EQ(menu->Recordings()->GetCount(), 0);
    EXPECT_TRUE(fs::is_directory(Folder() / "s_dm_first_steps_000.flimbs"));
}

TEST(PlaybackRecordings, ADeleteOutsideThePlaybackFolderIsRefused)
{
    LogCapture log;
    const fs::path outside = GetUserPath("Level\\kept.flimbs");
    fs::create_directories(outside.parent_path());
    std::ofstream(outside) << "x";
    for (const std::string& bad : {std::string("Level\\kept.flimbs"), PlaybackFolder() + "..\\..\\..\\Level\\kept.flimbs",
                                  PlaybackFolder() + "sub\\x.flimbs", PlaybackFolder() + "x.flevel",
                                  PlaybackFolder()})
        EXPECT_FALSE(DeleteRecording(bad)) << bad;
    EXPECT_TRUE(fs::exists(outside));
    EXPECT_TRUE(log.Contains("Refused to delete [Level\\kept.flimbs]"));
}

TEST_F(PlaybackMenuTest, APlaybackThatCannotBeLoadedSaysSoAndTheMenuStays)
{
    Record("s_dm_first_steps_000.flimbs", 1700000000, "not a playback file at all");
    PlaybackMenu* menu = Open();
    menu->Chooser()->SelectLevel("s_dm_first_steps", true);
    Press("Playback");
    ASSERT_NE(Box(), nullptr);
    EXPECT_EQ(Box()->Text(), "Error in playback");
    EXPECT_TRUE(log.Contains("Playback file [" + PlaybackFolder() + "s_dm_first_steps_000.flimbs] is damaged or missing"));
    EXPECT_EQ(Find("FlimbsGameBase"), nullptr);
    EXPECT_FALSE(RunPlaybackReturnCallback());
    Box()->Press(0);
    Step(16);
    EXPECT_NE(Find(PlaybackMenu::kName), nullptr);
    EXPECT_NE(Find(FlimbsMenuTemplate::kName), nullptr);

    // A playback whose records are not commands.
    const std::string invalid = PlaybackFolder() + "s_dm_first_steps_001.flimbs";
    NetInfoFileWriter writer;
    ASSERT_TRUE(writer.Open(invalid));
    writer.WriteRecord(MakeUpdateFlimbs().data());
    NetRecord alien = MakeChecksum(0);
    alien[0] = 50;
    writer.WriteRecord(alien.data());
    ASSERT_TRUE(writer.Close());
    menu->Refresh();
    ASSERT_EQ(menu->SelectedRecording(), invalid);
    Press("Playback");
    ASSERT_NE(Box(), nullptr);
    EXPECT_EQ(Box()->Text(), "Error in playback");
    EXPECT_TRUE(log.Contains("Playback file [" + invalid + "] contains invalid data"));
    EXPECT_EQ(Find("FlimbsGameBase"), nullptr);
}

TEST_F(PlaybackMenuTest, TheFlimbsPlayerRowOpensTheMenuAndBackShowsTheExtras)
{
    ShowExtrasMenu();
    Step(16);
    Press("Flimbs Player");
    Step(16);
    ASSERT_NE(Find(PlaybackMenu::kName), nullptr);
    EXPECT_EQ(Find("Extra Menu"), nullptr);
    EXPECT_TRUE(log.Contains("Front end: PlaybackMenu"));
    Press("Back");
    Step(16);
    EXPECT_EQ(Find(PlaybackMenu::kName), nullptr);
    EXPECT_NE(Find("Extra Menu"), nullptr);
}

TEST_F(PlaybackMenuTest, TheChooserSearchesAndFindsAHiddenLevelByAdjustingItsFilters)
{
    PlaybackMenu* menu = Open();
    LevelChooser* chooser = menu->Chooser();
    ASSERT_NE(chooser->Search(), nullptr);
    EXPECT_GE(chooser->List()->GetCount(), 5);
    chooser->Search()->SetText("waypoint");
    chooser->Search()->onChange(chooser, chooser->Search());
    ASSERT_EQ(chooser->List()->GetCount(), 1);
    EXPECT_EQ(chooser->GetSelectedLevelFile(), "s_dm_waypoints.flevel");
    // A multiplayer level while single-player levels are shown: the filters follow it.
    chooser->Search()->SetText("");
    chooser->Search()->onChange(chooser, chooser->Search());
    chooser->Filter("game_type")->SetSelection(0, true);
    chooser->SelectLevel("m_dm_twin_valleys", false);
    EXPECT_NE(chooser->GetSelectedLevelFile(), "m_dm_twin_valleys.flevel");
    chooser->SelectLevel("m_dm_twin_valleys", true);
    EXPECT_EQ(chooser->GetSelectedLevelFile(), "m_dm_twin_valleys.flevel");
    EXPECT_EQ(chooser->Filter("game_type")->GetIntValue(), 1);
}

} // namespace
