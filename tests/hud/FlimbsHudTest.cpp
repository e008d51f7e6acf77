// The HUD window "FLIMBS_HUD": the controls each role gets, the belt, the layout at two
// screen shapes, the per-frame update (match phases, pause shade, typing notice, statistics
// strip, view options), its input overrides and operations, and the key actions.
#include "HudFixture.h"

#include "../support/FakeMatch.h"
#include "gui/FlimbsToolTip.h"
#include "platform/input/ScanCodes.h"
#include "world/WorldState.h"

#include "app/ConsoleParam.h"
#include "gui/CheckBox.h"
#include "gui/FlimbsCheckBox.h"
#include "gui/FlimbsDoor.h"
#include "gui/FlimbsMenuBar.h"
#include "gui/GraphicButtons.h"
#include "gui/ScreenImage.h"
#include "gui/SimpleWindow.h"
#include "gui/SliderBar.h"
#include "gui/UiScale.h"
#include "hud/ChatEditBox.h"
#include "hud/ChatWindows.h"
#include "hud/FlimbActionButton.h"
#include "hud/FlimbsBelt.h"
#include "hud/FlimbsHUD.h"
#include "hud/HudKeyActions.h"
#include "hud/InGameMenu.h"
#include "hud/TimeControls.h"
#include "media/KBManager.h"
#include "modes/GameMode.h"
#include "modes/GameModeStatsWidget.h"
#include "modes/ModeServices.h"
#include "world/BindableAction.h"

#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

std::unique_ptr<Primitive> MakeFakeView()
{
    return std::make_unique<FakeGameView>();
}

class FlimbsHudTest : public HudFixture {
protected:
    void SetUp() override
    {
        HudFixture::SetUp();
        SetHudGameViewMaker(MakeFakeView);
        SetMatchWorld(&matchWorld);
        SetMatchEffects(&effects);
        game.modeIndex = 7;
    }
    void TearDown() override
    {
        CloseHud();
        ClearCurrentGameMode();
        SetMatchWorld(nullptr);
        SetMatchEffects(nullptr);
        SetHudGameViewMaker(nullptr);
        FlimbsHUD::SavedChatText().clear();
        HudFixture::TearDown();
    }
    FlimbsHUD& OpenHud()
    {
        CloseHud();
        hud = std::make_unique<FlimbsHUD>();
        hud->deleteWhenClosed = 0;
        OpenWindow(hud.get(), true);
        return *hud;
    }
    void CloseHud()
    {
        if (hud)
            CloseWindow(hud.get());
        hud.reset();
    }
    void Step(int frames = 1, uint32_t ms = 16)
    {
        for (int i = 0; i < frames; ++i) {
            now_ += ms;
            SetGuiFrameElapsed(ms);
            hud->Update();
        }
        SetGuiFrameElapsed(0);
    }
    FakeGameView* View() const { return dynamic_cast<FakeGameView*>(hud->GameViewPanel()); }
    Primitive* Find(const std::string& name) const { return hud->FindChild(name); }
    template <class T>
    int Count() const
    {
        int n = 0;
        CountIn<T>(hud.get(), n);
        return n;
    }
    template <class T>
    static void CountIn(Primitive* node, int& n)
    {
        if (!node || !node->active)
            return;
        if (dynamic_cast<T*>(node))
            ++n;
        if (auto* container = dynamic_cast<Container<Primitive>*>(node))
            for (Primitive* child : container->Children())
                CountIn<T>(child, n);
    }
    bool HasButtonWithTip(const std::string& tipStart) const
    {
        bool found = false;
        Visit(hud.get(), [&](Primitive* p) {
            if (hud->TipOf(p).rfind(tipStart, 0) == 0 && p->parent && hud->TipOf(p->parent) != hud->TipOf(p))
                found = true;
        });
        return found;
    }
    template <class Fn>
    static void Visit(Primitive* node, Fn fn)
    {
        if (!node || !node->active)
            return;
        fn(node);
        if (auto* container = dynamic_cast<Container<Primitive>*>(node))
            for (Primitive* child : container->Children())
                Visit(child, fn);
    }

    FakeMatchWorld matchWorld;
    RecordingMatchEffects effects;
    std::unique_ptr<FlimbsHUD> hud;
};

TEST_F(FlimbsHudTest, EachRoleGetsItsControls)
{
    struct Case {
        const char* role;
        bool multiplayer, admin;
        int mode; // -1: no game mode
        bool chat, players, speed, restart, freeze, checkpoints, multiview;
        int playPause;
    };
    const Case cases[] = {
        {"single player", false, true, 0, false, false, true, true, true, true, false, 1},
        {"multiplayer", true, false, 0, true, false, false, false, false, false, false, 0},
        {"multiplayer admin", true, true, 0, true, true, true, true, false, false, false, 1},
        {"race mode admin", true, true, 4, true, false, true, true, false, false, true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.role);
        game.multiplayer = c.multiplayer;
        game.admin = c.admin;
        game.modeIndex = c.mode < 0 ? 7 : c.mode;
        ClearCurrentGameMode();
        if (c.mode >= 0)
            CreateCurrentGameMode(c.mode);
        FlimbsHUD& h = OpenHud();
        EXPECT_EQ(FindOpenWindow("FLIMBS_HUD"), &h);
        EXPECT_EQ(Count<ScoreButton>(), c.multiplayer ? 1 : 0);
        EXPECT_EQ(h.ChatIcon() != nullptr, c.chat);
        EXPECT_EQ(h.ChatHistoryBox() != nullptr, c.chat);
        EXPECT_EQ(Find("chatCheck") != nullptr, c.chat);
        EXPECT_EQ(Find("CHAT_BOX") != nullptr, c.chat);
        EXPECT_EQ(h.PlayersButton() != nullptr, c.players);
        EXPECT_EQ(h.SpeedSlider() != nullptr, c.speed);
        EXPECT_EQ(Find("SPEED_SLIDER") != nullptr, c.speed);
        EXPECT_EQ(HasButtonWithTip("Restart level"), c.restart);
        EXPECT_EQ(Count<FreezeTimeCheckBox>(), c.freeze ? 1 : 0);
        EXPECT_EQ(Count<QuantumTimeCheckBox>(), 1);
        EXPECT_EQ(Find("setcheckpoint") != nullptr, c.checkpoints);
        EXPECT_EQ(h.RestoreButton() != nullptr, c.checkpoints);
        EXPECT_EQ(HasButtonWithTip("Show other player view"), c.multiview);
        EXPECT_EQ(Count<PlayPauseButton>(), c.playPause);
        // The shared parts.
        EXPECT_NE(Find("MOUSEPORT"), nullptr);
        EXPECT_NE(Find("OTHER_CONTROLS"), nullptr);
        EXPECT_NE(Find("CHAT_POPUP"), nullptr);
        EXPECT_NE(Find("MinimapCheckBox"), nullptr);
        EXPECT_NE(h.MasterDisplay(), nullptr);
        EXPECT_FALSE(h.ChatPopup()->visible);
        EXPECT_FALSE(h.SmallChat()->highlight);
        if (c.speed) {
            EXPECT_FLOAT_EQ(h.SpeedSlider()->Minimum(), c.multiplayer ? 20.0f : 2.0f);
            EXPECT_FLOAT_EQ(h.SpeedSlider()->Maximum(), c.multiplayer ? 150.0f : 75.0f);
            const std::vector<float> marks =
                c.multiplayer ? std::vector<float>{40.0f, 90.0f, 150.0f} : std::vector<float>{2.0f, 40.0f, 75.0f};
            EXPECT_EQ(h.SpeedSlider()->Marks(), marks);
        }
    }
}

TEST_F(FlimbsHudTest, TheRestoreButtonWaitsForACheckpoint)
{
    FlimbsHUD& h = OpenHud();
    ASSERT_NE(h.RestoreButton(), nullptr);
    EXPECT_FALSE(h.RestoreButton()->highlight);
    EXPECT_FALSE(h.RestoreButton()->enabled);
    game.checkpoints = {"dm_test_1.xml"};
    h.RefreshRestoreCheckpoint();
    EXPECT_TRUE(h.RestoreButton()->highlight);
    EXPECT_TRUE(h.RestoreButton()->enabled);
    // A HUD built while a checkpoint exists shows it at once.
    EXPECT_TRUE(OpenHud().RestoreButton()->highlight);
}

TEST_F(FlimbsHudTest, TheBeltHoldsTwelveButtonsWithGulpUpFifth)
{
    game.localGroup = 2;
    FlimbsHUD& h = OpenHud();
    const int expected[12] = {5, 7, 1, 0, 4, 2, 10, 6, 8, 3, 4, 9};
    for (int i = 0; i < 12; ++i) {
        FlimbActionButton* button = h.BeltButton(i);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->Type(), expected[i]) << i;
        EXPECT_EQ(button->AlternateLook(), i == 4) << i;
        EXPECT_EQ(button->Group(), 2);
        EXPECT_FALSE(button->counting) << "usable once the match runs";
    }
    EXPECT_EQ(h.TipOf(h.BeltButton(4)).rfind("Gulp Up : ", 0), 0u) << h.TipOf(h.BeltButton(4));
    EXPECT_EQ(h.TipOf(h.BeltButton(3)).rfind("Clob : ", 0), 0u) << h.TipOf(h.BeltButton(3));
    // Belt buttons in two rows of six.
    EXPECT_FLOAT_EQ(h.BeltButton(0)->rect.top, h.BeltButton(5)->rect.top);
    EXPECT_GT(h.BeltButton(6)->rect.top, h.BeltButton(5)->rect.top);
    EXPECT_FLOAT_EQ(h.BeltButton(6)->rect.left, h.BeltButton(0)->rect.left);
}

TEST_F(FlimbsHudTest, WideScreensGetExtendersAndFourByThreeNone)
{
    FlimbsHUD& wide = OpenHud();
    EXPECT_FLOAT_EQ(GetUiScale(), 0.9375f);
    ASSERT_NE(wide.LeftExtender(), nullptr);
    ASSERT_NE(wide.RightExtender(), nullptr);
    const FloatRect left = wide.LeftExtender()->rect, right = wide.RightExtender()->rect;
    EXPECT_NEAR(left.left, wide.LeftPanel()->rect.right, 1.0f);
    EXPECT_NEAR(right.right, wide.RightPanel()->rect.left, 1.0f);
    EXPECT_NEAR(left.right, right.left, 1.0f);
    EXPECT_NEAR(left.bottom - left.top, 125.0f * 0.9375f, 1.0f);
    // The view: left 20 s, top 39 s, right width - 20 s, bottom 629 s.
    const FloatRect view = View()->viewRect;
    EXPECT_FLOAT_EQ(view.left, 20.0f * 0.9375f);
    EXPECT_FLOAT_EQ(view.top, 39.0f * 0.9375f);
    EXPECT_FLOAT_EQ(view.right, 1280.0f - 20.0f * 0.9375f);
    EXPECT_FLOAT_EQ(view.bottom, 629.0f * 0.9375f);
    // The panels stand on the frame's bottom piece (14 design pixels).
    EXPECT_NEAR(wide.LeftPanel()->rect.bottom, 720.0f - 14.0f * 0.9375f, 1.0f);
    CloseHud();

    StartScreen(1024, 768);
    FlimbsHUD& square = OpenHud();
    EXPECT_FLOAT_EQ(GetUiScale(), 1.0f);
    EXPECT_EQ(square.LeftExtender(), nullptr);
    EXPECT_EQ(square.RightExtender(), nullptr);
    EXPECT_NEAR(square.LeftPanel()->rect.right, square.RightPanel()->rect.left, 1.0f);
}

TEST_F(FlimbsHudTest, TheDoorOpensOncePerRunningPhase)
{
    game.runState = 0;
    game.multiplayer = true;
    FlimbsHUD& h = OpenHud();
    Step(40);
    EXPECT_FLOAT_EQ(h.Door()->Fraction(), 0.0f);
    game.runState = 1;
    Step();
    EXPECT_TRUE(h.StartHandled());
    for (int i = 0; i < 12; ++i)
        EXPECT_TRUE(h.BeltButton(i)->counting);
    EXPECT_NE(h.UpperLayer()->FindChild("CountDownDisplay"), nullptr) << "multiplayer, update 0";
    Step(60);
    EXPECT_FLOAT_EQ(h.Door()->Fraction(), 1.0f);
    h.Door()->SetOpening(0.0f, 0); // nothing reopens it while the phase lasts
    Step(60);
    EXPECT_FLOAT_EQ(h.Door()->Fraction(), 0.0f);

    game.runState = 0;
    h.Door()->SetOpening(100.0f, 0);
    Step(60);
    EXPECT_FALSE(h.StartHandled());
    EXPECT_FLOAT_EQ(h.Door()->Fraction(), 0.0f);
    EXPECT_FALSE(h.BeltButton(0)->counting);

    game.spectator = true;
    game.updateCounter = 5;
    game.runState = 1;
    Step();
    EXPECT_FALSE(h.BeltButton(0)->counting) << "a spectator's belt stays shut";
}

TEST_F(FlimbsHudTest, PausingShadesTheViewAndOnlyTheAdminsBarResumes)
{
    struct Case {
        bool multiplayer, admin;
        uint32_t shade;
    };
    for (const Case c : {Case{true, true, 0x5F000000}, Case{true, false, 0x5F000000}, Case{false, true, 0x22000000}}) {
        SCOPED_TRACE(testing::Message() << c.multiplayer << c.admin);
        session.requests.clear();
        game.multiplayer = c.multiplayer;
        game.admin = c.admin;
        game.runState = 2;
        FlimbsHUD& h = OpenHud();
        Step();
        SimpleWindow* shade = h.PauseShade();
        ASSERT_NE(shade, nullptr);
        EXPECT_EQ(shade->backgroundColour, c.shade);
        EXPECT_EQ(shade->rect, h.GameViewPanel()->rect);
        auto* bar = dynamic_cast<FlimbsMenuBar*>(shade->Children().back());
        ASSERT_NE(bar, nullptr);
        EXPECT_NEAR(bar->rect.bottom, shade->rect.bottom, 1.0f);
        EXPECT_EQ(bar->enabled != 0, c.admin);
        const int x = int((bar->rect.left + bar->rect.right) / 2), y = int((bar->rect.top + bar->rect.bottom) / 2);
        RouteLeftButton(kPhaseDown, now_, x, y);
        RouteLeftButton(kPhaseUp, now_ + 10, x, y);
        EXPECT_EQ(session.requests, c.admin ? std::vector<std::string>{"hostvar 18 0"} : std::vector<std::string>{});
        Step();
        EXPECT_EQ(h.PauseShade(), shade) << "one shade per pause";
        game.runState = 1;
        Step();
        EXPECT_EQ(h.PauseShade(), nullptr);
        EXPECT_EQ(Count<SimpleWindow>(), 0) << "the shade closed";
    }
}

TEST_F(FlimbsHudTest, TheChatIconNamesWhoIsTyping)
{
    game.multiplayer = true;
    game.localPlayerId = 0;
    game.players = {{0, "Me", true}, {1, "A", true}, {2, "C", false}, {3, "B", true}};
    FlimbsHUD& h = OpenHud();
    Step();
    EXPECT_EQ(h.TipOf(h.ChatIcon()), "A,B is typing a message.");
    EXPECT_TRUE(h.ChatIcon()->highlight);
    game.players = {{0, "Me", true}, {1, "A", false}};
    Step();
    EXPECT_FALSE(h.ChatIcon()->highlight);
}

TEST_F(FlimbsHudTest, TheStatisticsStripRegroupsTheModesWidgets)
{
    struct Case {
        int team, mode;
        bool regrouped;
    };
    for (const Case c : {Case{3, 0, true}, Case{99, 0, false}, Case{3, 5, false}}) {
        SCOPED_TRACE(testing::Message() << "team " << c.team << " mode " << c.mode);
        ClearCurrentGameMode();
        GameMode* mode = CreateCurrentGameMode(c.mode);
        ASSERT_NE(mode, nullptr);
        game.modeIndex = c.mode;
        game.localTeam = c.team;
        FlimbsHUD& h = OpenHud();
        Step(2);
        std::vector<GameModeStatsWidget*> widgets;
        mode->AddHudStatIcons(widgets);
        ASSERT_FALSE(widgets.empty());
        const auto& children = h.StatsStrip()->Children();
        ASSERT_EQ(children.size(), widgets.size() + 1) << "the tool tip first, then the widgets";
        EXPECT_EQ(children.front(), static_cast<Primitive*>(h.StatsStrip()->ToolTipChild()));
        float x = Primitive::ToVirtualX(75.0f * GetUiScale());
        for (size_t i = 0; i < widgets.size(); ++i) {
            EXPECT_EQ(widgets[i]->Group() == 3, c.regrouped || matchWorld.LocalGroup() == 3) << i;
            EXPECT_FLOAT_EQ(widgets[i]->Shade(), i % 2 == 0 ? 0.5f : 0.0f);
            EXPECT_NEAR(widgets[i]->GetPositionVirtual().x, x, 0.01f);
            x += widgets[i]->GetSizeVirtual().x;
        }
        CloseHud(); // the widgets stay the mode's
        EXPECT_EQ(widgets.front()->parent, nullptr);
    }
}

TEST_F(FlimbsHudTest, ViewOptionsAndCameraFollowTheGame)
{
    FlimbsHUD& h = OpenHud();
    FakeGameView* view = View();
    view->showCounts = true;
    World().overlaySwitches = {0, 1};
    struct Case {
        float rotation;
        int direction;
    };
    for (const Case c : {Case{3 * kPi / 2, 0}, Case{kPi / 2, 1}, Case{0.0f, 2}, Case{kPi, 3}}) {
        view->rotation = c.rotation;
        Step();
        for (int d = 0; d < 4; ++d)
            EXPECT_EQ(h.CameraBox(d)->IsChecked(), d == c.direction) << c.rotation << " box " << d;
    }
    EXPECT_TRUE(h.CountsBox()->IsChecked());
    EXPECT_TRUE(h.HideOwnBox()->IsChecked());
    EXPECT_FALSE(h.HideOthersBox()->IsChecked());
    World().overlaySwitches = {1, 1};

    // Auto-align follows "follow_selected", and the box sets it.
    ConsoleParam* follow = ConsoleParam::Find("follow_selected");
    ASSERT_NE(follow, nullptr);
    follow->SetInt(1);
    Step();
    EXPECT_TRUE(view->follow);
    EXPECT_TRUE(h.AutoAlignBox()->IsChecked());
    h.AutoAlignBox()->Toggle();
    EXPECT_EQ(follow->GetInt(), 0);
    Step();
    EXPECT_FALSE(view->follow);

    // The decoration button greys without a selected flimb.
    EXPECT_FALSE(h.DecorationButton()->enabled);
    EXPECT_EQ(h.DecorationButton()->alpha, 128);

    // The group's gravity turns the view.
    game.gravity[1] = 0;
    h.SetLocalGroup(1);
    EXPECT_FLOAT_EQ(view->rotation, 3 * kPi / 2);
    EXPECT_EQ(view->calls.back(), "rotate " + std::to_string(3 * kPi / 2) + " 500");
    EXPECT_EQ(h.BeltButton(0)->Group(), 1);
    EXPECT_TRUE(h.BeltButton(0)->counting);
    const size_t calls = view->calls.size();
    h.SetLocalGroup(2); // no gravity: the view stays
    EXPECT_EQ(view->calls.size(), calls);

    // The speed slider follows the game speed, clamped.
    game.admin = true;
    FlimbsHUD& admin = OpenHud();
    game.gameSpeed = 500;
    Step();
    EXPECT_FLOAT_EQ(admin.SpeedSlider()->Value(), 75.0f);
    game.gameSpeed = 30;
    Step();
    EXPECT_FLOAT_EQ(admin.SpeedSlider()->Value(), 30.0f);
}

TEST_F(FlimbsHudTest, EscapeOpensTheMenuAndStillReachesTheChildren)
{
    FlimbsHUD& h = OpenHud();
    View()->takesKeys = false;
    h.OnKey(1, kKeyEscape, false, kbManager);
    EXPECT_NE(h.UpperLayer()->FindChild(InGameMenu::kName), nullptr);
    EXPECT_EQ(View()->keys, std::vector<int>{kKeyEscape});
    h.OnKey(0, kKeyEscape, false, kbManager);
    EXPECT_EQ(View()->keys.size(), 2u) << "the release goes on too";
    EXPECT_TRUE(InGameMenuShown()) << "the press that opened it does not slide it out";
    // With the keyboard's own press value (0x80) a second Escape closes it, a third opens it.
    h.OnKey(0x80, kKeyEscape, false, kbManager);
    h.OnKey(0, kKeyEscape, false, kbManager);
    EXPECT_FALSE(InGameMenuShown());
    h.OnKey(0x80, kKeyEscape, false, kbManager);
    EXPECT_TRUE(InGameMenuShown());
}

TEST_F(FlimbsHudTest, AButtonUnderThePointerHidesTheWorldHighlight)
{
    FlimbsHUD& h = OpenHud();
    const FloatRect r = h.FindChild("stamp")->rect;
    EXPECT_NE(h.HitTest(int((r.left + r.right) / 2), int((r.top + r.bottom) / 2)), nullptr);
    EXPECT_EQ(View()->hoverHidden, 1);
    const FloatRect v = h.GameViewPanel()->rect;
    EXPECT_EQ(h.HitTest(int((v.left + v.right) / 2), int((v.top + v.bottom) / 2)), h.GameViewPanel());
    EXPECT_EQ(View()->hoverHidden, 1);
}

TEST_F(FlimbsHudTest, WhatOpensOverTheHudLiesOnTopAndTakesInputFirst)
{
    FlimbsHUD& h = OpenHud();
    EXPECT_EQ(h.Children().back(), h.GameViewPanel()) << "the view at the bottom";
    FlimbsBelt* belt = FindHudBelt(true);
    ASSERT_NE(belt, nullptr);
    EXPECT_EQ(h.Children().front(), static_cast<Primitive*>(belt)) << "the belt on top";
    // The minimap opens on top too.
    game.makeMinimap = [] { return std::make_unique<PrimContainer>(); };
    HudKeyActions::MiniMap(1);
    EXPECT_EQ(h.Children().front()->name, "MinimapWindow");
    // A window in the menu layer over the view takes the hit before the view.
    auto* over = new PrimContainer;
    over->SetPosition(400.0f, 400.0f);
    over->SetSize(200.0f, 200.0f);
    h.UpperLayer()->AddChild(over);
    const FloatRect r = over->rect;
    EXPECT_EQ(h.HitTest(int((r.left + r.right) / 2), int((r.top + r.bottom) / 2)), over);
}

TEST_F(FlimbsHudTest, TheChatHistoryBoxSwapsTheChatWindows)
{
    game.multiplayer = true;
    FlimbsHUD& h = OpenHud();
    HudKeyActions::ChatHistory(1);
    EXPECT_TRUE(h.ChatHistoryBox()->IsChecked());
    EXPECT_TRUE(h.ChatPopup()->visible);
    EXPECT_FALSE(h.SmallChat()->highlight);
    HudKeyActions::ChatHistory(0);
    EXPECT_TRUE(h.ChatPopup()->visible) << "nothing on release";
    HudKeyActions::ChatHistory(1);
    EXPECT_FALSE(h.ChatPopup()->visible);
    Step();
    EXPECT_FALSE(h.ChatHistoryBox()->IsChecked());
}

TEST_F(FlimbsHudTest, TheChatLineKeepsItsTextAcrossHuds)
{
    game.multiplayer = true;
    FlimbsHUD& first = OpenHud();
    auto* chat = dynamic_cast<ChatEditBox*>(first.FindChild("CHAT_BOX"));
    ASSERT_NE(chat, nullptr);
    EXPECT_NE(chat->GetText().find("to enter chat mode."), std::string::npos) << chat->GetText();
    HudKeyActions::ChatMode(1);
    EXPECT_EQ(GetKeyboardFocus(), chat);
    for (int code : {35, 23}) // "h", "i"
        chat->OnKey(1, code, false, kbManager);
    ASSERT_TRUE(chat->TypingSent());
    const std::string typed = chat->GetText();
    first.SaveChatText();
    EXPECT_EQ(FlimbsHUD::SavedChatText(), typed);

    FlimbsHUD& second = OpenHud();
    EXPECT_TRUE(second.ChatFocusPending());
    Step();
    EXPECT_FALSE(second.ChatFocusPending());
    EXPECT_EQ(GetKeyboardFocus(), second.FindChild("CHAT_BOX"));
    EXPECT_EQ(second.FindChild("CHAT_BOX")->GetText(), typed);
}

TEST_F(FlimbsHudTest, RebuildingTheMatchControlsFollowsTheAdmin)
{
    game.multiplayer = true;
    FlimbsHUD& h = OpenHud();
    Primitive* old = Find("OTHER_CONTROLS");
    const FloatRect oldRect = old->rect;
    EXPECT_EQ(h.PlayersButton(), nullptr);
    game.admin = true;
    CreateCurrentGameMode(0);
    h.RebuildOtherControls();
    EXPECT_FALSE(old->active);
    Primitive* fresh = Find("OTHER_CONTROLS");
    ASSERT_NE(fresh, old);
    EXPECT_NE(h.PlayersButton(), nullptr);
    EXPECT_NEAR(fresh->rect.right, oldRect.right, 1.0f) << "right-aligned in the old one's place";
    EXPECT_NEAR(fresh->rect.top, oldRect.top, 1.0f);
}

TEST_F(FlimbsHudTest, KeyActionsReachTheHudByName)
{
    RegisterHudKeyActions();
    for (const std::string& name : HudKeyActions::Names()) {
        bool found = false;
        for (const BindableAction& action : BindableActions())
            if (action.name == name) {
                found = true;
                EXPECT_TRUE(action.handler) << name;
            }
        EXPECT_TRUE(found) << name;
    }
    // Without a HUD nothing happens.
    for (const BindableAction& action : BindableActions())
        for (const std::string& name : HudKeyActions::Names())
            if (action.name == name) {
                action.handler(1);
                action.handler(0);
            }

    FlimbsHUD& h = OpenHud();
    // ShowFlimbCounts while held.
    HudKeyActions::ShowFlimbCounts(1);
    EXPECT_TRUE(View()->showCounts);
    HudKeyActions::ShowFlimbCounts(0);
    EXPECT_FALSE(View()->showCounts);

    // MiniMap while held.
    game.makeMinimap = [] {
        auto window = std::make_unique<PrimContainer>();
        window->SetSize(200.0f, 200.0f);
        return window;
    };
    HudKeyActions::MiniMap(1);
    Primitive* minimap = h.FindChild("MinimapWindow");
    ASSERT_NE(minimap, nullptr);
    EXPECT_TRUE(minimap->visible);
    EXPECT_TRUE(h.FindChild("MinimapCheckBox")->IsChecked());
    HudKeyActions::MiniMap(0);
    Step(20);
    EXPECT_FALSE(minimap->visible);
    EXPECT_FALSE(h.FindChild("MinimapCheckBox")->IsChecked());

    // FreezeTime: single player, not a playback, not paused.
    CreateCurrentGameMode(0);
    HudKeyActions::FreezeTime(0);
    HudKeyActions::FreezeTime(1);
    EXPECT_EQ(effects.freezeBroadcasts, 1);
    game.runState = 2;
    HudKeyActions::FreezeTime(1);
    game.runState = 1;
    game.multiplayer = true;
    HudKeyActions::FreezeTime(1);
    EXPECT_EQ(effects.freezeBroadcasts, 1);
    game.multiplayer = false;

    // LoadCheckpoint with none saved.
    HudKeyActions::LoadCheckpoint(1);
    EXPECT_TRUE(game.Called("notice No checkpoints have been saved for this puzzle."));

    // SuperNova: a spectator cannot.
    int prompts = 0;
    game.makeSuperNova = [&] {
        ++prompts;
        return std::make_unique<PrimContainer>();
    };
    game.spectator = true;
    HudKeyActions::SuperNova(1);
    EXPECT_EQ(prompts, 0);
    game.spectator = false;
    HudKeyActions::SuperNova(1);
    EXPECT_EQ(prompts, 1);

    for (const std::string& name : HudKeyActions::Names())
        SetBindableActionHandler(name, nullptr);
}

TEST_F(FlimbsHudTest, ALevelStartReplacesTheOpenHud)
{
    game.multiplayer = true;
    FlimbsHUD* first = OpenFlimbsHUD();
    EXPECT_EQ(FindFlimbsHUD(), first);
    auto* chat = dynamic_cast<ChatEditBox*>(first->FindChild("CHAT_BOX"));
    chat->TakeFocus();
    chat->OnKey(1, 35, false, kbManager);
    const std::string typed = chat->GetText();
    FlimbsHUD* second = OpenFlimbsHUD();
    EXPECT_FALSE(first->active);
    EXPECT_EQ(FindFlimbsHUD(), second);
    EXPECT_EQ(second->FindChild("CHAT_BOX")->GetText(), typed);
    UpdateGuiInput(0, 0); // the closed one goes
    CloseWindow(second);
    delete second;
}

TEST_F(FlimbsHudTest, ReleasingTheScoresKeyHidesTheScores)
{
    game.multiplayer = true;
    CreateCurrentGameMode(0);
    FlimbsHUD& h = OpenHud();
    HudKeyActions::ShowScores(1);
    Primitive* scores = h.FindChild("SCORES_WINDOW");
    ASSERT_NE(scores, nullptr);
    Step(40);
    HudKeyActions::ShowScores(0);
    Step(40);
    EXPECT_EQ(h.FindChild("SCORES_WINDOW"), nullptr);
}

} // namespace
