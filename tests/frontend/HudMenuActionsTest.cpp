// The in-game menu (its entries by role and session, sliding in and out, its actions), the
// level-change window and the HUD's button actions (placing over the HUD, restart, the
// prompts, camera, zoom, view options, the minimap).
#include "../hud/HudFixture.h"

#include "../support/FakeMatch.h"
#include "../support/ScopedConsoleInt.h"

#include "frontend/options/OptionsMenu.h"
#include "gui/Animators.h"
#include "gui/CheckBox.h"
#include "gui/Label.h"
#include "gui/TextButtons.h"
#include "hud/HudActions.h"
#include "hud/InGameMenu.h"
#include "hud/LevelChangeWindow.h"
#include "media/KBManager.h"
#include "modes/ModeServices.h"

#include <numbers>

namespace {

using Labels = std::vector<std::string>;

Labels LabelsOf(const InGameMenuContext& context)
{
    Labels labels;
    for (const InGameMenuEntry& entry : InGameMenuEntries(context))
        labels.push_back(entry.label);
    return labels;
}

TEST(InGameMenuEntries, FilteredByRoleSessionEditorSolutionAndCheckpoints)
{
    struct Case {
        const char* what;
        InGameMenuContext context;
        Labels labels;
    };
    const Case cases[] = {
        {"single player", {}, {"Restart", "New Level", "Options", "Save", "Exit"}},
        {"single player with a solution and a checkpoint",
         {false, false, false, true, true, true},
         {"Show Solution", "Load Checkpoint", "Restart", "New Level", "Options", "Save", "Exit"}},
        {"a checkpoint where the mode gives no single-player aid",
         {false, false, false, false, true, false},
         {"Restart", "New Level", "Options", "Save", "Exit"}},
        {"no checkpoint", {false, false, false, false, false, true}, {"Restart", "New Level", "Options", "Save", "Exit"}},
        {"multiplayer client", {true, false, false, true, true, true}, {"Options", "Save", "Exit"}},
        {"multiplayer client in an editor test", {true, false, true, false, false, false},
         {"Options", "Test Mode", "Save", "Exit"}},
        {"multiplayer admin", {true, true, false, true, true, true},
         {"Restart", "New Level", "Options", "Players", "Save", "Exit"}},
        {"editor test", {false, false, true, false, false, true}, {"Restart", "Options", "Test Mode", "Save", "Exit"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LabelsOf(c.context), c.labels) << c.what;
}

class MenuActionsTest : public HudFixture {
protected:
    void SetUp() override
    {
        HudFixture::SetUp();
        SetMatchWorld(&world);
        SetMatchEffects(&effects);
        OpenScene();
        game.levelFile = "kpt_cliffs.flevel";
    }
    void TearDown() override
    {
        HudFixture::TearDown();
        ClearCurrentGameMode();
        SetMatchWorld(nullptr);
        SetMatchEffects(nullptr);
    }
    InGameMenu* Menu() const { return dynamic_cast<InGameMenu*>(scene->UpperLayer()->FindChild(InGameMenu::kName)); }
    static Button* Entry(InGameMenu* menu, const std::string& label)
    {
        return dynamic_cast<Button*>(menu->FindChild(label));
    }
    // A named prompt stand-in of the game modes.
    static std::unique_ptr<PrimContainer> Prompt(const char* name)
    {
        auto prompt = std::make_unique<PrimContainer>();
        prompt->SetName(name);
        prompt->SetSize(300.0f, 200.0f);
        return prompt;
    }

    FakeMatchWorld world;
    RecordingMatchEffects effects;
};

TEST_F(MenuActionsTest, TheMenuSlidesInOnceAndOutOnEscapeOrAClickOutside)
{
    OpenInGameMenu(nullptr);
    InGameMenu* menu = Menu();
    ASSERT_NE(menu, nullptr);
    EXPECT_LT(menu->GetPositionVirtual().y, 0.0f) << "it starts above the top edge";
    Frames(20, 16);
    EXPECT_NEAR(menu->GetPositionVirtual().y, 52.0f, 0.01f);
    EXPECT_NEAR(menu->GetScreenRect().right, InGameMenu::RightEdge(), 0.5f);
    OpenInGameMenu(nullptr);
    int menus = 0;
    for (Primitive* child : scene->UpperLayer()->Children())
        menus += dynamic_cast<InGameMenu*>(child) ? 1 : 0;
    EXPECT_EQ(menus, 1);

    menu->OnKey(1, 1, false, kbManager);
    Frames(20, 16);
    EXPECT_FALSE(menu->visible) << "slid out and hidden";
    EXPECT_LT(menu->GetPositionVirtual().y, 0.0f);

    OpenInGameMenu(nullptr);
    Frames(20, 16);
    EXPECT_TRUE(menu->visible);
    EXPECT_EQ(menu->OnLeftButton(10, 700, kPhaseDown), nullptr) << "a click outside is not taken";
    Frames(20, 16);
    EXPECT_FALSE(menu->visible);
}

TEST_F(MenuActionsTest, SaveRefusesInTheQuantumLoopAndExitLeaves)
{
    OpenInGameMenu(nullptr);
    InGameMenu* menu = Menu();
    ASSERT_NE(menu, nullptr);
    game.modeIndex = 5;
    Entry(menu, "Save")->Click();
    EXPECT_TRUE(game.Called(
        "message Warning|Cannot save during a Quantum Loop puzzle.  Solution will be auto-saved after end of puzzle."));
    EXPECT_FALSE(game.Called("save-recording"));
    game.modeIndex = 0;
    Entry(menu, "Save")->Click();
    EXPECT_TRUE(game.Called("save-recording"));
    EXPECT_TRUE(game.Called("notice Game has been saved"));
    Entry(menu, "Exit")->Click();
    EXPECT_EQ(session.requests.back(), "leave") << "an explicit leave, not an empty status";
    Entry(menu, "Restart")->Click();
    EXPECT_EQ(session.requests.back(), "gamedata kpt_cliffs.flevel");
    Entry(menu, "New Level")->Click();
    EXPECT_TRUE(game.Called("planet"));
}

TEST_F(MenuActionsTest, LoadCheckpointActsBySavedCount)
{
    CreateCurrentGameMode(0);
    game.checkpoints = {"kpt_cliffs1.flimbs"};
    OpenInGameMenu(nullptr);
    InGameMenu* menu = Menu();
    Button* load = Entry(menu, "Load Checkpoint");
    ASSERT_NE(load, nullptr) << "offered with a checkpoint in a single-player aid mode";
    load->Click();
    EXPECT_EQ(game.calls.back(), "checkpoint-file kpt_cliffs1.flimbs");
    game.checkpoints.clear();
    load->Click();
    EXPECT_EQ(game.calls.back(), "notice No checkpoints have been saved for this puzzle.");
    game.checkpoints = {"a", "b"};
    game.makeCheckpoint = [] { return Prompt("CheckpointPrompt"); };
    load->Click();
    EXPECT_EQ(game.calls.back(), "checkpoint-prompt 1 0");
    EXPECT_NE(scene->UpperLayer()->FindChild("CheckpointPrompt"), nullptr);
}

TEST_F(MenuActionsTest, ThePromptsOpenOnceAndCheckpointsPause)
{
    game.makeSuperNova = [] { return Prompt("anything"); };
    GoSuperNova(nullptr);
    GoSuperNova(nullptr);
    int prompts = 0;
    for (Primitive* child : scene->UpperLayer()->Children())
        prompts += child->name == "SuperNovaPrompt" ? 1 : 0;
    EXPECT_EQ(prompts, 1) << "a second press while the prompt is open does nothing";
    Primitive* prompt = scene->UpperLayer()->FindChild("SuperNovaPrompt");
    ASSERT_NE(prompt, nullptr);
    Frames(20, 16);
    EXPECT_NEAR(prompt->GetPositionVirtual().x, 500.0f, 0.01f);
    EXPECT_NEAR(prompt->GetPositionVirtual().y, HudGameViewCentreY(), 0.01f);

    game.sessionPaused = true;
    prompt->Deactivate();
    Frames(1);
    GoSuperNova(nullptr);
    EXPECT_EQ(scene->UpperLayer()->FindChild("SuperNovaPrompt"), nullptr) << "nothing while paused";

    SetCheckpoint(nullptr);
    EXPECT_TRUE(session.requests.empty()) << "no mode: no single-player aid";
    CreateCurrentGameMode(0);
    game.makeCheckpoint = [] { return Prompt("CheckpointPrompt"); };
    SetCheckpoint(nullptr);
    EXPECT_EQ(game.calls.back(), "checkpoint-prompt 1 1");
    EXPECT_EQ(session.requests, std::vector<std::string>{"hostvar 18 1"});
}

TEST_F(MenuActionsTest, PositionOverHudPicksTheLayerAndRestartSendsTheLevel)
{
    PrimContainer* lower = PositionOverHud(Prompt("below"), false);
    ASSERT_NE(lower, nullptr);
    EXPECT_EQ(lower->parent, scene->LowerLayer()) << "under the HUD's pop-ups";
    EXPECT_EQ(lower->hAlign, kAlignHCentre);
    EXPECT_NEAR(lower->GetPositionVirtual().y, HudGameViewCentreY(), 0.01f);
    PrimContainer* upper = PositionOverHud(Prompt("above"), true);
    EXPECT_EQ(upper->parent, scene->UpperLayer());

    CreateCurrentGameMode(0);
    RestartLevel();
    EXPECT_EQ(session.requests, std::vector<std::string>{"gamedata kpt_cliffs.flevel"});
}

TEST_F(MenuActionsTest, TheGamesOptionsAreTheFrontEndsReducedOptionsOverTheHud)
{
    bool returned = false;
    game.HudGame::ShowOptions([&] { returned = true; });
    auto* options = FindInUpper<OptionsMenu>();
    ASSERT_NE(options, nullptr);
    EXPECT_FALSE(options->FullMode());
    EXPECT_EQ(options->Control("pros"), nullptr);
    options->Close();
    EXPECT_TRUE(returned) << "the way back refreshes the HUD";
    EXPECT_EQ(options->active, 0);
}

TEST_F(MenuActionsTest, CameraZoomAndViewOptionsReachTheGameView)
{
    constexpr float kPi = std::numbers::pi_v<float>;
    OrientCameraUp(nullptr);
    EXPECT_FLOAT_EQ(scene->View()->rotation, kPi / 2.0f);
    OrientCameraDown(nullptr);
    EXPECT_FLOAT_EQ(scene->View()->rotation, 3.0f * kPi / 2.0f);
    OrientCameraLeft(nullptr);
    EXPECT_FLOAT_EQ(scene->View()->rotation, 0.0f);
    OrientCameraRight(nullptr);
    EXPECT_FLOAT_EQ(scene->View()->rotation, kPi);
    ZoomIn(nullptr);
    ZoomOut(nullptr);
    ZoomNominal(nullptr);
    const FloatRect view = scene->View()->VisibleRect();
    const int nominal = int((view.bottom - view.top) * 1005.0f / 720.0f);
    EXPECT_EQ(scene->View()->calls.back(), "zoom-to " + std::to_string(nominal) + " 500");
    EXPECT_EQ(scene->View()->calls[scene->View()->calls.size() - 3], "zoom-by -150 200");

    CheckBox box;
    box.checked = 1;
    ShowFlimbCountsToggled(&box);
    EXPECT_TRUE(scene->View()->showCounts);
    ScopedConsoleInt follow("follow_selected", 0);
    AutoAlignToggled(&box);
    EXPECT_EQ(ConsoleParam::Find("follow_selected")->GetInt(), 1);
    FocusGameView(nullptr);
    EXPECT_EQ(GetKeyboardFocus(), scene->View());

    ShowOtherView(nullptr);
    EXPECT_FALSE(game.Called("other-view 1 0")) << "only in a Multiverse match";
    game.modeIndex = 4;
    ShowOtherView(nullptr);
    EXPECT_TRUE(game.Called("other-view 1 0"));
}

TEST_F(MenuActionsTest, TheMinimapFadesInAndOut)
{
    game.makeMinimap = [] { return Prompt("minimap"); };
    CheckBox box;
    box.checked = 1;
    MiniMapToggled(&box);
    Primitive* minimap = scene->FindChild("MinimapWindow");
    ASSERT_NE(minimap, nullptr);
    Frames(10, 16);
    EXPECT_EQ(minimap->alpha, 255);
    box.checked = 0;
    MiniMapToggled(&box);
    Frames(10, 16);
    EXPECT_FALSE(minimap->visible);
    box.checked = 1;
    MiniMapToggled(&box);
    EXPECT_TRUE(minimap->visible);
    EXPECT_EQ(scene->FindChild("MinimapWindow"), minimap) << "made once";
}

// A chooser stand-in: a label whose text is the selected level.
class LabelChooser : public LevelChooserView {
public:
    LabelChooser() : label_(new Label(0, 0xFFFFFFFF, 0, "kpt_next.flevel")) { label_->SetSize(200.0f, 100.0f); }
    ~LabelChooser() override { delete label_; }
    Primitive* Panel() override { return label_; }
    std::string SelectedLevel() const override { return label_->GetText(); }
    Label* label_;
};

TEST_F(MenuActionsTest, TheLevelChangeWindowOffersTheCategoryAndStartsTheChosenLevel)
{
    game.multiplayer = true;
    game.admin = true;
    game.makeChooser = [] { return std::make_unique<LabelChooser>(); };
    ScopedConsoleInt quick("loadquick", 0);
    OpenInGameMenu(nullptr);
    Entry(Menu(), "New Level")->Click();
    EXPECT_TRUE(game.Called("chooser kpt"));
    auto* window = dynamic_cast<LevelChangeWindow*>(scene->UpperLayer()->FindChild("LevelChangeWindow"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->Title()->title, "Levels");
    window->LowQuality()->Toggle();
    EXPECT_EQ(ConsoleParam::Find("loadquick")->GetInt(), 1);
    window->StartButton()->Click();
    EXPECT_EQ(session.requests.back(), "gamedata kpt_next.flevel");
    window->BackButton()->Click();
    EXPECT_FALSE(window->active);
    EXPECT_EQ(LevelChangeWindow::CategoryOf("Level\\dm_one_two.flevel"), "dm");
    EXPECT_EQ(LevelChangeWindow::CategoryOf("plain.flevel"), "");
}

} // namespace
