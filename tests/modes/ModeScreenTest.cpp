// What the modes show on a software device: the statistics widgets and the HUD's list of
// them, the score panel and its meters, the options panel, and the Corral score window over
// a strip of stat widgets written to <build>/corral-score-window.png.
#include "../gui/DeviceFixture.h"
#include "../support/FakeMatch.h"

#include "gui/CheckBox.h"
#include "gui/ComboBox.h"
#include "gui/GuiClock.h"
#include "gui/PrimContainer.h"
#include "gui/UiScale.h"
#include "media/FontManager.h"
#include "media/PngFile.h"
#include "modes/CorralTheFlimbMode.h"
#include "modes/GameModeStatsWidget.h"
#include "modes/MatchEnd.h"
#include "modes/MatchOptions.h"
#include "modes/ModeServices.h"
#include "modes/ScorePanels.h"

#include <memory>
#include <set>

namespace {

class ModeScreenTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        SetMatchWorld(&world);
        SetMatchEffects(&effects);
        ResetMatchOptions();
        Screen(1024, 768);
    }
    void TearDown() override
    {
        FontManager::ReleaseFonts();
        ClearCurrentGameMode();
        ResetMatchOptions();
        SetMatchWorld(nullptr);
        SetMatchEffects(nullptr);
        DeviceFixture::TearDown();
        SetScreenSize(1000, 1000);
    }
    // The device at that size, with the fonts made on it (before any widget is made).
    void Screen(int width, int height)
    {
        FontManager::ReleaseFonts();
        ImageCache::Clear();
        DXManager::Shutdown();
        StartScreen(width, height);
        FontManager::Start();
    }
    static std::vector<int> Pulse(GameModeStatsWidget& widget, int updates)
    {
        std::vector<int> amounts;
        for (int i = 0; i < updates; ++i) {
            widget.Update();
            amounts.push_back(widget.PulseAmount());
        }
        return amounts;
    }
    // Two groups with players: blue (local) and red, red having stolen one blue flimb.
    void TwoGroupsOneSteal()
    {
        world.multiplayer = true;
        world.localGroup = 0;
        world.AddPlayer(0, 0, "Ann");
        world.AddPlayer(1, 2, "Bo");
        world.AddPlayer(2, 0, "Cy");
        world.AddPlayer(3, 2, "Dee", true);
        world.AddExit(0, 18, 0);
        world.AddExit(2, 25, 0);
        world.stats[0].savedFrom.assign(18, 0);
        world.stats[2].savedFrom.assign(25, 2);
        world.stats[2].savedFrom[2] = 0; // the third save was a blue flimb
        world.stats[2].stolen = 1;
        world.stats[0].lost = 2;
        world.SetInPlay(0, 12);
        world.SetInPlay(2, 9);
        world.startWaiting[0] = 10;
        world.startWaiting[2] = 6;
        world.trapCounts[kTrapKindQdot] = 3;
    }

    FakeMatchWorld world;
    RecordingMatchEffects effects;
};

TEST_F(ModeScreenTest, WidgetPulsesOncePerNewValue)
{
    GameModeStatsWidget widget(2, "Graphics\\HUD\\InGame\\stat_flimb_{group-label}.png");
    EXPECT_EQ(widget.IconName(), "Graphics\\HUD\\InGame\\stat_flimb_red.png");
    widget.SetValue(5);
    EXPECT_EQ(widget.PulsesLeft(), 0) << "the first value shown does not pulse";
    widget.SetValue(5);
    EXPECT_EQ(widget.PulsesLeft(), 0);
    EXPECT_EQ(Pulse(widget, 3), (std::vector<int>{0, 0, 0}));
    widget.SetValue(6);
    EXPECT_EQ(widget.GetText(), "6");
    EXPECT_EQ(Pulse(widget, 10), (std::vector<int>{60, 120, 180, 200, 140, 80, 20, 0, 0, 0}));
    widget.SetText("6");
    EXPECT_EQ(Pulse(widget, 2), (std::vector<int>{0, 0}));
}

TEST_F(ModeScreenTest, WidgetRegroupsAndSizesToItsText)
{
    GameModeStatsWidget widget(1, "Graphics\\HUD\\InGame\\stat_lost_{group-label}.png");
    EXPECT_EQ(widget.IconName(), "Graphics\\HUD\\InGame\\stat_lost_green.png");
    widget.SetGroup(7);
    EXPECT_EQ(widget.IconName(), "Graphics\\HUD\\InGame\\stat_lost_purple.png");
    widget.SetGroup(255); // a spectator: no group to index
    EXPECT_EQ(widget.IconName(), "Graphics\\HUD\\InGame\\stat_lost_all.png");
    EXPECT_EQ(widget.LabelText(), "Graphics\\HUD\\InGame\\stat_lost_{group-label}.png");
    widget.SetShade(0.5f);
    EXPECT_FLOAT_EQ(widget.Shade(), 0.5f);
    widget.SetValue(1);
    const float narrow = widget.GetSizeVirtual().x;
    widget.SetValue(123456);
    EXPECT_GT(widget.GetSizeVirtual().x, narrow);
    widget.SetValue(7);
    EXPECT_FLOAT_EQ(widget.GetSizeVirtual().x, narrow) << "at least as wide as \"HH\"";
    GameModeStatsWidget plain(0, "Graphics\\HUD\\InGame\\stats_end.png");
    EXPECT_EQ(plain.IconName(), "Graphics\\HUD\\InGame\\stats_end.png");
}

TEST_F(ModeScreenTest, HudStatIconsOfTheRescueMode)
{
    world.localGroup = 1;
    world.SetInPlay(1, 7);
    world.startWaiting[1] = 2;
    world.copierWaiting[1] = 1;
    world.stats[1].lost = 4;
    world.trapCounts[kTrapKindQdot] = 3;
    world.AddExit(1, 2, 5);
    world.AddPlayer(0, 1, "Ann");
    CorralTheFlimbMode mode;
    mode.CreateStatsWidget(nullptr);
    mode.StartMatch();
    mode.qdotCounts[1] = 1;
    std::vector<GameModeStatsWidget*> list;
    mode.AddHudStatIcons(list);
    ASSERT_EQ(list.size(), 6u);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Graphics\\HUD\\InGame\\stat_flimb_green.png", "7"}, {"Graphics\\HUD\\InGame\\stat_start_green.png", "3"},
        {"Graphics\\HUD\\InGame\\stat_qdot.png", "1/3"},      {"Graphics\\HUD\\InGame\\stat_lost_green.png", "4"},
        {"Graphics\\HUD\\InGame\\stats_end.png", "2/5"},      {"", ""}};
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(list[i]->IconName(), expected[i].first);
        EXPECT_EQ(list[i]->GetText(), expected[i].second);
    }
    EXPECT_EQ(list[1]->Colour(), 0xCCBBBBBBu);
    EXPECT_EQ(list[2]->ToolTipText(), "QDots");
    EXPECT_EQ(list[5], mode.GroupBar());
    mode.GroupBar()->Refresh();
    EXPECT_EQ(mode.GroupBar()->ToolTipText(), "Beamed 2, Min Save 5, and Max Possible 12");
    // The widgets are kept: a second call refreshes the same ones.
    mode.qdotCounts[1] = 3;
    world.exits[0].saved = 5;
    list.clear();
    mode.AddHudStatIcons(list);
    EXPECT_EQ(list[0], mode.hudStats[0].get());
    EXPECT_EQ(list[2]->Colour(), 0x88FF8800u);
    EXPECT_EQ(list[4]->Colour(), 0xCC44CC44u);

    // Multiplayer: no Qdots, the saved count as a number, the shorter bar tooltip.
    world.multiplayer = true;
    CorralTheFlimbMode match;
    match.CreateStatsWidget(nullptr);
    list.clear();
    match.AddHudStatIcons(list);
    ASSERT_EQ(list.size(), 5u);
    EXPECT_EQ(list[3]->GetText(), "5");
    match.GroupBar()->Refresh();
    EXPECT_EQ(match.GroupBar()->ToolTipText(), "Beamed 5 and Group Max 15");
}

TEST_F(ModeScreenTest, TurnModeAndSpectatorsShowTheAllIcons)
{
    for (const auto& [index, local] : {std::pair{5, 2}, std::pair{0, 255}}) {
        SCOPED_TRACE(index);
        world.localGroup = local;
        std::unique_ptr<GameMode> mode = GameMode::Create(index);
        std::vector<GameModeStatsWidget*> list;
        mode->AddHudStatIcons(list);
        ASSERT_GE(list.size(), 4u);
        EXPECT_EQ(list[0]->IconName(), "Graphics\\HUD\\InGame\\stat_flimb_all.png");
        EXPECT_EQ(list[1]->IconName(), "Graphics\\HUD\\InGame\\stat_start_all.png");
        EXPECT_EQ(list[3]->IconName(), "Graphics\\HUD\\InGame\\stat_lost_all.png");
    }
}

TEST_F(ModeScreenTest, MetersWithNothingToCountKeepTheScaleAt100)
{
    world.AddPlayer(0, 0, "Ann");
    ScoreMeter meter(0, 0);
    meter.Refresh();
    EXPECT_EQ(meter.scaleMaximum, 100);
    EXPECT_EQ(meter.current, 0);
    EXPECT_EQ(meter.predicted, 0);
    EXPECT_EQ(meter.maximum, 0);
    EXPECT_EQ(meter.waitingAll, 0);
}

TEST_F(ModeScreenTest, MeterFigures)
{
    TwoGroupsOneSteal();
    world.startWaiting[0] = 70;
    ScoreMeter blue(0, 0), red(2, 0);
    blue.Refresh();
    red.Refresh();
    EXPECT_EQ(blue.waitingAll, 76);
    EXPECT_EQ(blue.current, 18);
    EXPECT_EQ(blue.predicted, 18 + 12 + 70);
    EXPECT_EQ(blue.maximum, 18 + 21 + 76);
    EXPECT_EQ(red.maximum, 25 + 21 + 76);
    EXPECT_EQ(blue.scaleMaximum, 122) << "the largest potential of all groups";
    EXPECT_EQ(red.scaleMaximum, 122);
    ScoreMeter other(0, 3);
    other.Refresh();
    EXPECT_EQ(other.scaleMaximum, 100) << "other modes leave the figures at 0";
    EXPECT_EQ(other.current, 0);
}

TEST_F(ModeScreenTest, ScorePanelListsThePlayersOfEachGroup)
{
    TwoGroupsOneSteal();
    world.AddPlayer(4, 5, "Eve", true); // a group whose only player watches
    world.allGroupsActive = false;
    CorralTheFlimbMode mode;
    std::unique_ptr<FlimbsWindow5> panel = mode.CreateScorePanel();
    auto* scores = dynamic_cast<SavedMeterScoreWindow*>(panel.get());
    ASSERT_NE(scores, nullptr);
    EXPECT_EQ(scores->Title(), "Corral The Flimb");
    EXPECT_EQ(scores->GroupLabelText(0), "Ann(0), Cy(2)");
    EXPECT_EQ(scores->GroupLabelText(2), "Bo(1)");
    EXPECT_EQ(SavedMeterScoreWindow::PlayerListOf(5), "");
    EXPECT_NE(scores->Meter(0), nullptr);
    EXPECT_NE(scores->Meter(2), nullptr);
    EXPECT_EQ(scores->Meter(5), nullptr);
    EXPECT_EQ(scores->Card()->Group(), 0);
    EXPECT_EQ(scores->Card()->Values(), (std::array<std::string, 3>{"12", "10", "2"}));
    float width = 0.0f, height = 0.0f;
    scores->GetSize(&width, &height);
    EXPECT_NEAR(scores->GetSizeVirtual().x, Primitive::ToVirtualX(700.0f * GetUiScale()), 0.01f);
    // The labels follow the players list on the refresh timer.
    world.players[2].name = "Cyd";
    SetGuiFrameElapsed(SavedMeterScoreWindow::kRefreshPeriod);
    scores->Update();
    SetGuiFrameElapsed(0);
    EXPECT_EQ(scores->GroupLabelText(0), "Ann(0), Cyd(2)");
}

TEST_F(ModeScreenTest, CaptureAndTurnModesHaveTheirOwnPanels)
{
    EXPECT_NE(dynamic_cast<CaptureTheFlimbScore*>(GameMode::Create(1)->CreateScorePanel().get()), nullptr);
    EXPECT_NE(dynamic_cast<QuantumLoopScore*>(GameMode::Create(5)->CreateScorePanel().get()), nullptr);
    EXPECT_NE(dynamic_cast<SavedMeterScoreWindow*>(GameMode::Create(6)->CreateScorePanel().get()), nullptr);

    // The capture panel shows the group of the exit nearest to the target flimb.
    CaptureTheFlimbScore capture;
    world.AddExit(3, 0, 0).x = 100.0f;
    world.AddExit(6, 0, 0).x = 20.0f;
    FlimbInfo target;
    target.x = 30.0f;
    world.specialFlimbs = {target};
    EXPECT_EQ(capture.ShownGroup(), -1);
    SetGuiFrameElapsed(ScoreMeter::kAnimationPeriod);
    capture.Update();
    SetGuiFrameElapsed(0);
    EXPECT_EQ(capture.ShownGroup(), 6);
}

TEST_F(ModeScreenTest, OptionsPanelRowsDriveTheCurrentMode)
{
    CreateCurrentGameMode(0);
    CurrentMatchOptions().doubleSpeedMorph = 4;
    CurrentMatchOptions().shatterDoppel = true;
    std::unique_ptr<PrimContainer> panel = CurrentGameMode()->BuildOptionsPanel(nullptr);
    ASSERT_NE(panel, nullptr);
    for (const char* key : {"allow_paint", "allow_stun", "shatter_doppel", "double_fall", "showMinSave"})
        EXPECT_NE(dynamic_cast<CheckBox*>(panel->FindChild(key)), nullptr) << key;
    EXPECT_TRUE(panel->FindChild("shatter_doppel")->IsChecked());
    auto* combo = dynamic_cast<ComboBox*>(panel->FindChild("doublespeed_morph"));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->GetCount(), 11);
    EXPECT_EQ(combo->GetSelection(), 5);
    EXPECT_EQ(combo->GetText(), "Gulp");
    auto* stun = dynamic_cast<CheckBox*>(panel->FindChild("allow_stun"));
    stun->SetChecked(true, true, true);
    EXPECT_TRUE(CurrentMatchOptions().allowStun);
    EXPECT_EQ(effects.chats, (std::vector<std::string>{"Flimb stunning is now ENABLED"}));
    combo->SetSelection(0, true);
    EXPECT_EQ(CurrentMatchOptions().doubleSpeedMorph, -1);

    world.multiplayer = true;
    std::unique_ptr<PrimContainer> lobby = EmbedOptionsPanel();
    ASSERT_NE(lobby, nullptr);
    EXPECT_EQ(lobby->FindChild("showMinSave"), nullptr) << "the minimum stat is a single-player option";
    EXPECT_NE(lobby->FindChild("allow_paint"), nullptr);
    ClearCurrentGameMode();
    EXPECT_EQ(EmbedOptionsPanel(), nullptr);
}

// Draws every stat image once, magnified, for a look at the art.
TEST_F(ModeScreenTest, StatIconSheet)
{
    Screen(1280, 720);
    std::vector<std::string> names;
    for (const char* label : {"blue", "green", "red", "grey", "white", "yellow", "orange", "purple", "all"})
        for (const char* stem : {"stat_flimb_", "stat_start_", "stat_lost_"})
            names.push_back(std::string("Graphics\\HUD\\InGame\\") + stem + label + ".png");
    names.push_back("Graphics\\HUD\\InGame\\stat_qdot.png");
    names.push_back("Graphics\\HUD\\InGame\\stats_end.png");
    for (const char* stem : {"flimbs", "stolen", "lost", "nova", "morphs", "onside", "pickup", "drop", "melt", "multi",
                             "lop", "clob", "score", "first", "time", "lead", "mold", "qdot"})
        names.push_back(std::string(kStatIconFolder) + "\\" + stem + ".png");
    for (const char* stem : {"out", "stored", "lost", "score"})
        names.push_back(std::string(kScoreImageFolder) + stem + ".png");
    std::vector<std::unique_ptr<GameModeStatsWidget>> icons;
    for (size_t i = 0; i < names.size(); ++i) {
        auto icon = std::make_unique<GameModeStatsWidget>(0, names[i]);
        ASSERT_NE(icon->IconName().find(".png"), std::string::npos);
        PlacePixels(*icon, 20.0f + float(i % 12) * 100.0f, 20.0f + float(i / 12) * 80.0f, 64.0f, 64.0f);
        icons.push_back(std::move(icon));
    }
    DrawFrame([&] {
        for (auto& icon : icons)
            icon->Draw();
    });
    std::vector<uint32_t> pixels(1280u * 720u);
    std::set<uint32_t> colours;
    for (int y = 0; y < 720; ++y)
        for (int x = 0; x < 1280; ++x)
            colours.insert(pixels[size_t(y) * 1280 + size_t(x)] = 0xFF000000u | Pixel(x, y));
    EXPECT_GT(colours.size(), 300u);
    EXPECT_TRUE(WritePngFile(std::string(FLIMBS_GAME_DIR) + "/mode-stat-icons.png", pixels.data(), 1280, 720));
}

// The Corral score window of a two-group match with one stolen flimb, over the HUD's strip
// of stat widgets (every other one shaded).
TEST_F(ModeScreenTest, CorralScoreWindowOverTheStatStrip)
{
    Screen(1280, 720);
    TwoGroupsOneSteal();
    CorralTheFlimbMode mode;
    mode.CreateStatsWidget(nullptr);
    mode.StartMatch();
    mode.qdotCounts[0] = 2;

    PrimContainer strip;
    PlacePixels(strip, 0.0f, 0.0f, 1280.0f, 27.0f * GetUiScale());
    std::vector<GameModeStatsWidget*> widgets;
    mode.AddHudStatIcons(widgets);
    float x = Primitive::ToVirtualX(75.0f * GetUiScale());
    for (size_t i = 0; i < widgets.size(); ++i) {
        widgets[i]->SetShade(i % 2 == 0 ? 0.5f : 0.0f);
        widgets[i]->SetPosition(x, 0.0f);
        strip.AddChild(widgets[i]);
        x += widgets[i]->GetSizeVirtual().x;
    }
    mode.GroupBar()->Refresh();

    std::unique_ptr<FlimbsWindow5> panel = mode.CreateScorePanel();
    const FloatPoint size = panel->GetSizeVirtual();
    panel->SetPosition(500.0f - size.x / 2.0f, 500.0f - size.y / 2.0f);
    panel->UpdateAbsolutePosition();
    strip.UpdateAbsolutePosition();
    panel->Update();

    DrawFrame([&] {
        strip.Draw();
        panel->Draw();
    });
    std::vector<uint32_t> pixels(1280u * 720u);
    for (int y = 0; y < 720; ++y)
        for (int x2 = 0; x2 < 1280; ++x2)
            pixels[size_t(y) * 1280 + size_t(x2)] = 0xFF000000u | Pixel(x2, y);
    EXPECT_TRUE(WritePngFile(std::string(FLIMBS_GAME_DIR) + "/corral-score-window.png", pixels.data(), 1280, 720));

    // The red meter starts with a blue segment (the stolen flimb) among its red ones.
    ScoreMeter* red = static_cast<SavedMeterScoreWindow*>(panel.get())->Meter(2);
    ASSERT_NE(red, nullptr);
    const int y = int((red->rect.top + red->rect.bottom) / 2.0f);
    const float unit = (red->rect.right - red->rect.left) / float(red->scaleMaximum);
    const uint32_t first = Pixel(int(red->rect.left + unit * 0.5f), y);
    const uint32_t third = Pixel(int(red->rect.left + unit * 2.5f), y);
    EXPECT_GT(first >> 16 & 0xFF, first & 0xFF) << std::hex << first;  // red
    EXPECT_GT(third & 0xFF, third >> 16 & 0xFF) << std::hex << third;   // blue
    for (GameModeStatsWidget* widget : widgets)
        strip.RemoveChild(widget, false);
}

} // namespace
