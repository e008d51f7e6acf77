// The pop-ups over the HUD on a fake game: the level intro, the match result pop-up with
// its buttons, the world-record comparison and hiding behind "Restore", the unlock pop-ups
// and the queue that shows them one after another.
#include "HudFixture.h"

#include "../support/FakeMatch.h"

#include "game/GameHooks.h"
#include "game/GameTimeFormat.h"
#include "gui/CheckBox.h"
#include "gui/EditBox.h"
#include "gui/Label.h"
#include "gui/StretchGraphicButton.h"
#include "hud/EndOfLevelPopups.h"
#include "hud/LevelIntro.h"
#include "hud/MatchResultVoice.h"
#include "hud/ResultRows.h"
#include "hud/RestoreWatcher.h"
#include "hud/UnlockPopups.h"
#include "media/PngFile.h"
#include "modes/ModeServices.h"
#include "session/SessionServices.h"

namespace {

class PopupTest : public HudFixture {
protected:
    void SetUp() override
    {
        HudFixture::SetUp();
        SetMatchWorld(&world);
        SetMatchEffects(&effects);
    }
    void TearDown() override
    {
        HudFixture::TearDown();
        ClearCurrentGameMode();
        SetMatchWorld(nullptr);
        SetMatchEffects(nullptr);
    }
    // A Corral match of the local group that passed, with its figures.
    void CorralPass()
    {
        CreateCurrentGameMode(0);
        world.AddExit(0, 12, 10);
        world.SetInPlay(0, 14);
        world.stats[0].lost = 2;
        world.updateCounter = 845;
        game.modeIndex = 0;
    }
    MatchResultVoice* ShowResult(const std::string& outcome = "You have passed this puzzle!")
    {
        EXPECT_TRUE(HudQueueEndOfLevelPopups({{EndOfLevelPopup::Kind::MatchResult, outcome, {}, {}, {}}}));
        return FindInUpper<MatchResultVoice>();
    }
    static StretchGraphicButton* ButtonOf(PrimContainer* popup, const std::string& name)
    {
        return dynamic_cast<StretchGraphicButton*>(popup->FindChild(name));
    }

    FakeMatchWorld world;
    RecordingMatchEffects effects;
};

TEST_F(PopupTest, IntroNeedsTheHudAndOnlyTheMultiverseMatchStartsTheBossMusic)
{
    game.modeIndex = 4;
    ShowLevelIntro();
    EXPECT_TRUE(game.calls.empty()) << "no HUD: no pop-up, no music";

    OpenScene();
    game.level = {"Rolling Hills", "Get them home.", "", ""};
    ShowLevelIntro();
    EXPECT_TRUE(game.Called("music boss_intro 1 0.50"));
    EXPECT_TRUE(game.Called("effect 19"));
    EXPECT_EQ(scene->MasterDisplay()->EmblemPath(), FlimbMasterDisplay::kUnknownShield);

    for (int mode : {0, 1, 2, 3, 5, 6}) {
        game.calls.clear();
        game.modeIndex = mode;
        ShowLevelIntro();
        EXPECT_FALSE(game.Called("music boss_intro 1 0.50")) << "mode " << mode;
        EXPECT_TRUE(game.Called("effect 19"));
    }
}

TEST_F(PopupTest, IntroShowsTheObjectiveLineAndStartsTheLevelFromItsFocusedButton)
{
    OpenScene();
    game.level = {"Rolling Hills", "Get them home.", "", ""};
    ShowLevelIntro();
    auto* bubble = FindInUpper<VoiceBubble>();
    ASSERT_NE(bubble, nullptr);
    bool objective = false;
    for (Primitive* child : bubble->Children())
        objective = objective || child->GetText() == "Objective:\n";
    EXPECT_TRUE(objective) << "an empty objective still shows \"Objective:\" on its own line";
    Primitive* start = bubble->FindChild("START");
    ASSERT_NE(start, nullptr);
    EXPECT_EQ(GetKeyboardFocus(), start);
    EXPECT_EQ(bubble->alpha, 0) << "it fades in";
    Frames(40);
    EXPECT_EQ(bubble->alpha, 255);
    // The bubble stays 140 design pixels above the bottom.
    EXPECT_LE(bubble->GetScreenRect().bottom, 1000.0f - DesignUnitsY(140.0f) + 0.5f);
    static_cast<Button*>(start)->Click();
    EXPECT_TRUE(game.Called("start-level"));
}

TEST_F(PopupTest, ResultTitleComesFromTheFlimbMasterInAMultiverseMatch)
{
    OpenScene();
    CorralPass();
    game.modeIndex = 4;
    MatchResultVoice* voice = ShowResult();
    ASSERT_NE(voice, nullptr);
    bool noMaster = false;
    for (Primitive* child : voice->Children())
        noMaster = noMaster || child->GetText() == "No FlimbMaster";
    EXPECT_TRUE(noMaster);

    FlimbMasterRecord master;
    master.texts[0] = "Beaten, narrowly";
    master.texts[3] = "Crushed";
    game.flimbMaster = master;
    struct Case {
        int detail;
        const char* title;
    };
    for (const Case& c : {Case{0, "Beaten, narrowly"}, Case{1, "Beaten, narrowly"}, Case{129, "Crushed"}}) {
        game.resultDetail = c.detail;
        MatchResultVoice other("x");
        bool found = false;
        for (Primitive* child : other.Children())
            found = found || child->GetText() == c.title;
        EXPECT_TRUE(found) << c.detail;
    }
}

TEST_F(PopupTest, ResultButtonsAreDisabledWhereTheyCannotAct)
{
    OpenScene();
    CorralPass();
    struct Case {
        int mode;
        bool checkpoint;
        bool review;
    };
    for (const Case& c : {Case{0, false, true}, Case{4, true, false}, Case{5, false, false}, Case{1, true, true}}) {
        game.modeIndex = c.mode;
        game.checkpoints = c.checkpoint ? std::vector<std::string>{"a.flimbs"} : std::vector<std::string>{};
        MatchResultVoice voice("x");
        EXPECT_EQ(ButtonOf(&voice, "Checkpoint")->enabled != 0, c.checkpoint) << c.mode;
        EXPECT_EQ(ButtonOf(&voice, "Review")->enabled != 0, c.review) << c.mode;
        EXPECT_EQ(ButtonOf(&voice, "Review")->tint, c.review ? 0xFF808080u : 0xFF303030u);
        EXPECT_TRUE(ButtonOf(&voice, "Rankings")->enabled);
    }
}

TEST_F(PopupTest, TheWorldRecordComparisonIsFilledOnceWhenTheReplyArrives)
{
    OpenScene();
    CorralPass();
    MatchResultVoice* voice = ShowResult();
    ASSERT_NE(voice, nullptr);
    Primitive* throbber = voice->FindChild("THROBBER");
    ASSERT_NE(throbber, nullptr);
    Primitive* time = voice->FindChild("STAT_15");
    ASSERT_NE(time, nullptr);
    auto* row = dynamic_cast<ResultRow*>(time->parent);
    ASSERT_NE(row, nullptr);
    const std::string plainTip = row->TipOf(time);

    Frames(3);
    EXPECT_EQ(game.statsPolls, 3);
    EXPECT_TRUE(throbber->visible) << "no reply yet";
    EXPECT_EQ(row->TipOf(time), plainTip);
    EXPECT_FALSE(voice->ResultsShown());

    // Rows: Qdots, Flimbs, Lost, Morphs, Time; the reply has records for the first four.
    StatsReply reply;
    reply.rank = 7;
    reply.records = {{18, 3}, {0, 20}, {2, 0}, {4, 9}};
    game.statsReply = reply;
    Frames(1);
    EXPECT_TRUE(voice->ResultsShown());
    EXPECT_FALSE(throbber->visible);
    EXPECT_EQ(voice->FindChild("RANK")->GetText(), "7");
    Primitive* flimbs = voice->FindChild("STAT_0");
    EXPECT_EQ(row->TipOf(flimbs), "Flimbs\nWorld Record: 20");
    // No record for the time row: the local value, as game time.
    EXPECT_EQ(row->TipOf(time), plainTip + "\nWorld Record: " + FormatGameTime(845, true));
    Frames(5);
    EXPECT_EQ(game.statsPolls, 4) << "asked no more once filled";
    EXPECT_EQ(row->TipOf(flimbs), "Flimbs\nWorld Record: 20") << "filled once";
    EXPECT_EQ(voice->Description()->GetText(), "You have passed this puzzle!");
}

TEST_F(PopupTest, ANewWorldRecordWinsOverTies)
{
    OpenScene();
    CorralPass();
    struct Case {
        bool record;
        bool tie;
        int gameType;
        const char* text;
    };
    for (const Case& c : {Case{true, true, 1, "Incredible! You have set a new WORLD RECORD!!"},
                          Case{false, true, 6, "Some of your stats tied the World Record!"},
                          Case{false, false, 1, "passed"}, Case{true, true, 3, "passed"}}) {
        game.gameType = c.gameType;
        StatsReply reply;
        reply.newRecord = c.record;
        reply.tiedRecord = c.tie;
        game.statsReply = reply;
        MatchResultVoice voice("passed");
        voice.Update();
        EXPECT_EQ(voice.Description()->GetText(), c.text);
    }
}

TEST_F(PopupTest, ResultButtonsActThroughTheGameAndTheSession)
{
    OpenScene();
    CorralPass();
    game.levelFile = "dm_Up Hill+1.flevel";
    game.lastPlayback = "Profiles\\x\\..\\..\\evil\\run 3.flimbs";
    game.playbackFails = true;
    MatchResultVoice* voice = ShowResult();
    ASSERT_NE(voice, nullptr);

    ButtonOf(voice, "Rankings")->Click();
    EXPECT_TRUE(game.Called(std::string("url ") + kStatisticsSite +
                            "/flimbstats/singleplayer/by_level/dm_Up%20Hill%2B1"));

    ButtonOf(voice, "Review")->Click();
    ASSERT_GE(game.calls.size(), 3u);
    const std::string playback = game.calls[game.calls.size() - 3];
    EXPECT_EQ(playback.rfind("playback ", 0), 0u);
    EXPECT_NE(playback.find("\\Playbacks\\run 3.flimbs"), std::string::npos) << playback;
    EXPECT_EQ(playback.find(".."), std::string::npos) << "the session's playback is a file name only";
    EXPECT_EQ(game.calls[game.calls.size() - 2], "reload-fm");
    EXPECT_EQ(game.calls.back(), "message Error|Error in playback!");

    // Without a browser the player is told where the rankings are.
    game.urlOpens = false;
    ButtonOf(voice, "Rankings")->Click();
    EXPECT_EQ(game.calls.back(), std::string("message Rankings|No web browser could be started for\n") +
                                     kStatisticsSite + "/flimbstats/singleplayer/by_level/dm_Up%20Hill%2B1");

    ButtonOf(voice, "Continue")->Click();
    EXPECT_EQ(game.calls.back(), "planet");
    game.editorTest = true;
    ButtonOf(voice, "Continue")->Click();
    EXPECT_EQ(game.calls.back(), "editor dm_Up Hill+1.flevel");

    ButtonOf(voice, "Play Again")->Click();
    EXPECT_EQ(session.requests.back(), "gamedata dm_Up Hill+1.flevel");
    EXPECT_FALSE(voice->active) << "Play Again closes the pop-up";
}

TEST_F(PopupTest, ReviewTakesTheScreenFromThePopupAndItsEndLeadsToThePlanet)
{
    OpenScene();
    CorralPass();
    game.levelFile = "dm_Up Hill+1.flevel";
    game.lastPlayback = "run 3.flimbs";
    MatchResultVoice* voice = ShowResult();
    ASSERT_NE(voice, nullptr);
    ButtonOf(voice, "Review")->Click();
    EXPECT_FALSE(voice->active) << "the replay is not played behind the pop-up";
    EXPECT_EQ(game.calls.back().rfind("playback ", 0), 0u);
    EXPECT_TRUE(RunPlaybackReturnCallback());
    EXPECT_EQ(game.calls.back(), "planet");
    SetPlaybackReturnCallback(nullptr);
}

TEST_F(PopupTest, RankingsPathEscapesEveryByteButTheUnreservedOnes)
{
    EXPECT_EQ(RankingsPath("kpt_one"), "/flimbstats/singleplayer/by_level/kpt_one");
    EXPECT_EQ(RankingsPath("a b/c?d&e%\xC3\xBC~.-"),
              "/flimbstats/singleplayer/by_level/a%20b%2Fc%3Fd%26e%25%C3%BC~.-");
}

TEST_F(PopupTest, OkayClosesItsPopupAndTheNextOpens)
{
    OpenScene();
    std::vector<EndOfLevelPopup> popups{
        {EndOfLevelPopup::Kind::FlimbMasterUnlocked, "Grumbold", "Graphics\\missing.png", {}, {}},
        {EndOfLevelPopup::Kind::BonusItemUnlocked, "hat", "Level\\bonus_missing.flevel", "Level", "A new level!"},
        {EndOfLevelPopup::Kind::BonusItemUnlocked, "odd", "x.png", "Trophy", "Odd one"}};
    ASSERT_TRUE(HudQueueEndOfLevelPopups(popups));
    EXPECT_EQ(std::count(game.calls.begin(), game.calls.end(), "effect 19"), 1);
    auto* first = FindInUpper<FlimbMasterUnlockedVoice>();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(FindInUpper<BonusItemUnlockVoice>(), nullptr) << "one at a time";

    auto* okay = dynamic_cast<Button*>(first->FindChild("OKAY"));
    ASSERT_NE(okay, nullptr);
    okay->Click();
    Frames(1);
    EXPECT_EQ(FindInUpper<FlimbMasterUnlockedVoice>(), nullptr);
    auto* level = FindInUpper<BonusItemUnlockVoice>();
    ASSERT_NE(level, nullptr);
    EXPECT_EQ(level->Picture(), nullptr) << "a level whose preview cannot be made shows no picture";
    EXPECT_EQ(std::count(game.calls.begin(), game.calls.end(), "effect 19"), 1) << "only the first sounds";
    level->Close();
    Frames(1);
    auto* odd = FindInUpper<BonusItemUnlockVoice>();
    ASSERT_NE(odd, nullptr);
    EXPECT_NE(odd, level);
    EXPECT_EQ(odd->Picture(), nullptr) << "an unknown type shows no picture";
    odd->Close();
    Frames(1);
    EXPECT_EQ(FindInUpper<VoiceBubble>(), nullptr);
}

TEST_F(PopupTest, NoHudMeansTheQueueRefusesAndTheModesLogInstead)
{
    EXPECT_FALSE(HudQueueEndOfLevelPopups({{EndOfLevelPopup::Kind::MatchResult, "x", {}, {}, {}}}));
}

TEST_F(PopupTest, HiddenResultComesBackOnAClickOutsideTheChat)
{
    OpenScene();
    CorralPass();
    struct Case {
        bool network;
        bool clickOnChat;
        bool restored;
    };
    for (const Case& c : {Case{false, true, true}, Case{true, true, false}, Case{true, false, true}}) {
        game.multiplayer = c.network;
        auto chat = std::make_unique<EditBox>();
        chat->SetName("CHAT_BOX");
        chat->SetPosition(100.0f, 900.0f);
        chat->SetSize(200.0f, 40.0f);
        scene->AddWidget(chat.release());

        MatchResultVoice* voice = ShowResult();
        ASSERT_NE(voice, nullptr);
        auto* hide = voice->FindChild("HIDE");
        ASSERT_NE(hide, nullptr);
        static_cast<CheckBox*>(hide)->Toggle();
        EXPECT_FALSE(voice->visible);
        auto* watcher = FindIn<RestoreWatcher>(scene.get());
        ASSERT_NE(watcher, nullptr);
        const int x = c.clickOnChat ? int(Primitive::ToPixelsX(150.0f)) : 640;
        const int y = c.clickOnChat ? int(Primitive::ToPixelsY(920.0f)) : 100;
        RouteLeftButton(kPhaseDown, now_, x, y);
        RouteLeftButton(kPhaseUp, now_, x, y);
        Frames(1);
        EXPECT_EQ(voice->visible != 0, c.restored) << c.network << c.clickOnChat;
        EXPECT_EQ(FindIn<RestoreWatcher>(scene.get()) == nullptr, c.restored);
        HudClosePopups();
        if (Primitive* left = FindIn<RestoreWatcher>(scene.get()))
            left->Deactivate();
        if (Primitive* box = scene->FindChild("CHAT_BOX"))
            box->Deactivate();
        if (Primitive* button = scene->FindChild("Restore"))
            button->Deactivate();
        Frames(1);
    }
}

} // namespace

namespace {

// The result pop-up of a passed single-player Corral level, its rows filled and the rank
// given by the statistics reply, drawn at 1280 x 720 into <build>/result-popup.png.
TEST_F(PopupTest, TheResultPopupPicture)
{
    OpenScene();
    CorralPass();
    game.level.title = "Rolling Hills";
    game.checkpoints = {"dm_test1.flimbs"};
    MatchResultVoice* voice = ShowResult();
    ASSERT_NE(voice, nullptr);
    Frames(40, 16);
    StatsReply reply;
    reply.rank = 3;
    reply.records = {{18, 3}, {0, 14}, {2, 0}, {4, 6}, {15, 700}};
    reply.tiedRecord = true;
    game.statsReply = reply;
    Frames(1, 16);
    EXPECT_EQ(voice->FindChild("RANK")->GetText(), "3");
    EXPECT_EQ(voice->Description()->GetText(), "Some of your stats tied the World Record!");
    DrawFrame([&] { scene->Draw(); });
    // The bubble's fill is drawn where the pop-up lies.
    const FloatRect r = voice->rect;
    EXPECT_NE(Pixel(int(r.left + r.right) / 2, int(r.top + r.bottom) / 2), 0x2A4A6Au);
    std::vector<uint32_t> pixels(size_t(1280) * 720);
    for (int y = 0; y < 720; ++y)
        for (int x = 0; x < 1280; ++x)
            pixels[size_t(y) * 1280 + size_t(x)] = 0xFF000000u | Pixel(x, y);
    EXPECT_TRUE(WritePngFile(std::string(FLIMBS_GAME_DIR) + "/result-popup.png", pixels.data(), 1280, 720));
}

} // namespace
