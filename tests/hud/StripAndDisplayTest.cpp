// Widgets on a test world: the history film strip (limit, pins, keys, selection, fading,
// removal sliding), the FlimbMaster display's iris states, the countdown, Quantum Time and
// the decoration and stamp selectors.
#include "HudFixture.h"

#include "../support/FakeBeltWorld.h"
#include "../support/TestWorld.h"

#include "game/GameHooks.h"
#include "gui/TextButtons.h"
#include "gui/UiScale.h"
#include "hud/FlimbMasterDisplay.h"
#include "hud/HistoryFilmStrip.h"
#include "hud/Selectors.h"
#include "hud/TimeControls.h"
#include "media/KBManager.h"
#include "world/FlimbQueries.h"
#include "world/FlimbTable.h"

#include <cmath>

namespace {

class WorldWidgetTest : public HudFixture {
protected:
    void SetUp() override
    {
        HudFixture::SetUp();
        OpenScene();
        world_.AddLocalPlayer();
    }
    Flimb* Add(int16_t id, uint8_t type = kClob)
    {
        return AddFlimb(int16_t(100 + id * 10), 200, id, 0, type, 0, kFlimbStartEnergy, 0, 1);
    }
    HistoryFilmStrip* Strip()
    {
        if (!strip_) {
            strip_ = new HistoryFilmStrip;
            strip_->SetPosition(100.0f, 800.0f);
            scene->AddWidget(strip_);
        }
        return strip_;
    }
    static std::vector<int32_t> Ids(const HistoryFilmStrip& strip)
    {
        std::vector<int32_t> ids;
        for (const HistoryFlimb* picture : strip.Pictures())
            ids.push_back(picture->FlimbId());
        return ids;
    }

    TestWorld world_;
    HistoryFilmStrip* strip_ = nullptr;
};

TEST_F(WorldWidgetTest, TheStripHoldsSevenLivePicturesAndTogglesPins)
{
    HistoryFilmStrip* strip = Strip();
    for (int16_t id = 1; id <= 8; ++id)
        HudAddToHistoryStrip(Add(id));
    EXPECT_EQ(Ids(*strip), (std::vector<int32_t>{1, 2, 3, 4, 5, 6, 7})) << "the eighth is not recorded";
    EXPECT_EQ(strip->Cursor(), 6);
    EXPECT_NEAR(strip->PictureOf(4)->GetPositionVirtual().x, 3.0f * strip->SlotWidth(), 0.01f);

    strip->AddFlimb(3, false);
    EXPECT_FALSE(strip->PictureOf(3)->Pinned()) << "a flimb already shown, pin false: nothing";
    strip->AddFlimb(3, true);
    EXPECT_TRUE(strip->PictureOf(3)->Pinned());
    strip->AddFlimb(3, true);
    EXPECT_FALSE(strip->PictureOf(3)->Pinned());

    // A dead flimb's picture frees its place.
    UncountFlimb(*FindFlimbById(5));
    Frames(2);
    EXPECT_EQ(Ids(*strip), (std::vector<int32_t>{1, 2, 3, 4, 6, 7}));
    strip->AddFlimb(8, false);
    EXPECT_EQ(Ids(*strip).back(), 8);
}

TEST_F(WorldWidgetTest, NextAndPreviousWrapAndSelect)
{
    HistoryFilmStrip* strip = Strip();
    strip->Next(true);
    strip->Previous(true);
    EXPECT_EQ(World().selected, nullptr) << "an empty strip selects nothing";
    EXPECT_TRUE(session.requests.empty());

    Flimb* only = Add(1);
    strip->AddFlimb(1, false);
    for (auto step : {&HistoryFilmStrip::Next, &HistoryFilmStrip::Previous}) {
        World().selected = nullptr;
        (strip->*step)(true);
        EXPECT_EQ(World().selected, only);
    }
    Flimb* second = Add(2);
    strip->AddFlimb(2, false);
    session.requests.clear();
    strip->Next(false);
    EXPECT_TRUE(session.requests.empty()) << "a key release does nothing";
    strip->Next(true); // the cursor was on 1 (the last added): wraps to 0
    EXPECT_EQ(World().selected, only);
    strip->Previous(true);
    EXPECT_EQ(World().selected, second);
    EXPECT_EQ(session.requests, (std::vector<std::string>{"highlight 1", "highlight 2"}));
    strip->PinSelected(true);
    EXPECT_TRUE(strip->PictureOf(2)->Pinned());
}

TEST_F(WorldWidgetTest, AClickSelectsAndCentresARightClickPinsWithAFlash)
{
    HistoryFilmStrip* strip = Strip();
    Add(1);
    Add(2);
    strip->AddFlimb(1, false);
    strip->AddFlimb(2, false);
    HistoryFlimb* picture = strip->PictureOf(2);
    const int x = int(picture->rect.left) + 5, y = int(picture->rect.top) + 5;
    World().selected = FindFlimbById(1);
    EXPECT_EQ(picture->OnLeftButton(x, y, kPhaseDown), picture);
    EXPECT_EQ(World().selected, FindFlimbById(2));
    EXPECT_EQ(session.requests, (std::vector<std::string>{"highlight 1", "highlight 2"}));
    const FloatRect view = scene->View()->VisibleRect();
    EXPECT_EQ(scene->View()->calls.back(),
              "look " + std::to_string(int((view.bottom - view.top) * 1005.0f / 720.0f)) + " 120 200");
    EXPECT_EQ(GetKeyboardFocus(), scene->View());

    picture->OnRightButton(x, y, kPhaseDown);
    EXPECT_TRUE(picture->Pinned());
    EXPECT_EQ(picture->FlashCounter(), HistoryFlimb::kFlashLength / 2);
    EXPECT_EQ(picture->FlashColour(), 0xFF000000u);
    for (int i = 0; i < 13; ++i)
        picture->Draw();
    EXPECT_EQ(picture->FlashCounter(), -1);
    EXPECT_EQ(picture->FlashColour(), HistoryFlimb::kGreyColour);
}

TEST_F(WorldWidgetTest, OrdinaryFlimbsFadeOutUnlessPinned)
{
    HistoryFilmStrip* strip = Strip();
    Add(1, kWalk);
    Add(2, kWalk);
    strip->AddFlimb(1, false);
    strip->AddFlimb(2, true);
    HistoryFlimb* fading = strip->PictureOf(1);
    HistoryFlimb* pinned = strip->PictureOf(2);
    for (int i = 0; i < 3; ++i) {
        now_ += 17;
        fading->Draw();
        pinned->Draw();
    }
    EXPECT_EQ(fading->PictureAlpha(), 252);
    EXPECT_EQ(pinned->PictureAlpha(), 255);
    now_ += 10; // not more than 16 ms: no step
    fading->Draw();
    EXPECT_EQ(fading->PictureAlpha(), 252);
    FindFlimbById(1)->type = kDrill; // back to work: fully shown again
    now_ += 17;
    fading->Draw();
    EXPECT_EQ(fading->PictureAlpha(), 255);
}

TEST_F(WorldWidgetTest, RemovingTheSecondOfThreeSlidesTheThirdOverOneAndAHalfSeconds)
{
    HistoryFilmStrip* strip = Strip();
    for (int16_t id = 1; id <= 3; ++id) {
        Add(id);
        strip->AddFlimb(id, false);
    }
    const float slot = strip->SlotWidth();
    UncountFlimb(*FindFlimbById(2));
    Frames(2, 16);
    HistoryFlimb* third = strip->PictureOf(3);
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(Ids(*strip), (std::vector<int32_t>{1, 3}));
    Frames(45, 16); // 750 ms in all
    const float halfway = third->GetPositionVirtual().x;
    EXPECT_GT(halfway, slot + 0.5f);
    EXPECT_LT(halfway, 2.0f * slot - 0.5f);
    Frames(50, 16);
    EXPECT_NEAR(third->GetPositionVirtual().x, slot, 0.01f);
    EXPECT_NEAR(strip->PictureOf(1)->GetPositionVirtual().x, 0.0f, 0.01f);
}

TEST_F(WorldWidgetTest, TheIrisDoorClosesOpensAndTurnsRound)
{
    FlimbMasterDisplay* display = scene->MasterDisplay();
    display->SetShieldImage();
    ASSERT_EQ(display->EmblemPath(), FlimbMasterDisplay::kUnknownShield);
    const auto step = [&](int frames) { Frames(frames, FlimbMasterDisplay::kFrameStep); };
    display->wanted = FlimbMasterDisplay::kCovered;
    step(1);
    EXPECT_EQ(display->Current(), FlimbMasterDisplay::kClosing);
    EXPECT_EQ(display->DoorFrame(), 7) << "the closing starts at the door's last frame";
    step(3);
    EXPECT_EQ(display->DoorFrame(), 4);
    display->wanted = FlimbMasterDisplay::kShown; // turned round from the present frame
    step(1);
    EXPECT_EQ(display->Current(), FlimbMasterDisplay::kOpening);
    EXPECT_EQ(display->DoorFrame(), 3);
    step(1);
    EXPECT_EQ(display->DoorFrame(), 4);
    step(4);
    EXPECT_EQ(display->Current(), FlimbMasterDisplay::kShown);
    EXPECT_FALSE(display->DoorLoaded());

    display->wanted = FlimbMasterDisplay::kCovered;
    step(9);
    EXPECT_EQ(display->Current(), FlimbMasterDisplay::kCovered);
    EXPECT_FALSE(display->DoorLoaded());
    display->wanted = FlimbMasterDisplay::kShown;
    step(1);
    EXPECT_EQ(display->Current(), FlimbMasterDisplay::kOpening);
    EXPECT_EQ(display->DoorFrame(), 0);
}

TEST_F(WorldWidgetTest, EmblemsAreCutByWidthAndAMissingOneSkipsTheAnimation)
{
    struct Case {
        int width;
        int frames;
    };
    for (const Case& c : {Case{40, 0}, Case{96, 1}, Case{200, 2}}) {
        const std::string name = "Graphics\\Boss\\emblem" + std::to_string(c.width) + ".png";
        AddImage(name, c.width, 96, [](int, int) { return 0xFF804020u; });
        game.bossShield = name;
        scene->MasterDisplay()->SetShieldImage();
        EXPECT_EQ(scene->MasterDisplay()->EmblemFrameCount(), c.frames) << c.width;
    }
    game.bossShield = "Graphics\\Boss\\missing.png";
    FlimbMasterDisplay* display = scene->MasterDisplay();
    display->SetShieldImage();
    display->wanted = FlimbMasterDisplay::kCovered;
    Frames(1, 20);
    EXPECT_EQ(display->Current(), FlimbMasterDisplay::kCovered) << "no emblem: straight to the cover";
    EXPECT_FALSE(display->DoorLoaded());
}

TEST_F(WorldWidgetTest, TheCountdownStepsAtUpdatesTwelveTwentyFourAndThirtySix)
{
    auto* countdown = new CountDownDisplay;
    scene->AddWidget(countdown);
    EXPECT_EQ(countdown->Picture(), "Graphics\\HUD\\InGame\\count_down_3.png");
    Frames(10, 50);
    EXPECT_NEAR(countdown->Shrink(), 0.5f, 0.01f) << "1000 units at the speed of 75";
    Frames(20, 50);
    EXPECT_EQ(countdown->Step(), 0) << "update 0: it waits for update 12";
    struct Case {
        uint32_t update;
        int step;
        const char* picture;
    };
    for (const Case& c : {Case{11, 0, "count_down_3"}, Case{12, 1, "count_down_2"}, Case{24, 2, "count_down_1"},
                          Case{36, 3, "count_down_go"}}) {
        World().clock.updateCounter = c.update;
        Frames(1, 50);
        EXPECT_EQ(countdown->Step(), c.step) << c.update;
        EXPECT_EQ(countdown->Picture(), std::string("Graphics\\HUD\\InGame\\") + c.picture + ".png");
        if (c.step < 3)
            Frames(25, 50);
    }
    EXPECT_TRUE(countdown->Finished());
    Frames(25, 50);
    EXPECT_EQ(scene->FindChild("CountDownDisplay"), nullptr) << "gone once the go picture has run";

    game.gameSpeed = 0; // no division by zero: it runs at 75
    CountDownDisplay still;
    still.Update();
    SetGuiFrameElapsed(500);
    still.Update();
    SetGuiFrameElapsed(0);
    EXPECT_NEAR(still.Shrink(), 0.5f, 0.01f);
}

TEST_F(WorldWidgetTest, QuantumTimeNeedsASelectedFlimbAndCyclesThroughItsStates)
{
    QuantumTimeCheckBox box;
    box.Toggle();
    EXPECT_EQ(game.quantumState, 0);
    EXPECT_TRUE(game.Called("notice You must first select a flimb."));
    World().selected = Add(1);
    box.Toggle();
    EXPECT_EQ(game.quantumState, 1);
    EXPECT_TRUE(box.IsChecked());
    box.Toggle();
    EXPECT_EQ(game.quantumState, 2);
    EXPECT_TRUE(box.IsChecked());
    box.Toggle();
    EXPECT_EQ(game.quantumState, 0);
    EXPECT_TRUE(game.Called("quantum-end"));
    EXPECT_FALSE(box.IsChecked());
    game.quantumState = 2;
    box.Update();
    EXPECT_TRUE(box.IsChecked());
}

TEST_F(WorldWidgetTest, TheDecorationSelectorOpensOnceAndSendsForItsFlimb)
{
    auto* decoration = new GraphicButton("Graphics\\HUD\\InGame", "morph_button_base.png", 3);
    decoration->SetName("decoration");
    decoration->SetPosition(800.0f, 900.0f);
    scene->AddWidget(decoration);
    OpenDecorationSelector(nullptr);
    EXPECT_EQ(scene->FindChild("Decorations"), nullptr) << "no selected flimb: nothing";

    World().selected = Add(17);
    game.unlocked["Decoration"] = {{"hat", "Hat"}, {"cap", "Cap"}, {"bow", "Bow"}, {"fez", "Fez"}, {"wig", "Wig"}};
    OpenDecorationSelector(nullptr);
    OpenDecorationSelector(nullptr);
    int windows = 0;
    for (Primitive* child : scene->UpperLayer()->Children())
        windows += child->name == "Decorations" ? 1 : 0;
    EXPECT_EQ(windows, 1) << "pressing twice opens one window";
    auto* window = dynamic_cast<DecorationsSelectorWindow*>(scene->FindChild("Decorations"));
    ASSERT_NE(window, nullptr);
    int buttons = 0;
    for (Primitive* child : window->Children())
        buttons += dynamic_cast<GraphicButton*>(child) ? 1 : 0;
    EXPECT_EQ(buttons, 8) << "five items and three fillers in rows of four";
    Frames(25, 16);
    EXPECT_NEAR(window->GetScreenRect().bottom, HudGameViewBottom(), 0.5f) << "slid up to the view's bottom";
    const FloatRect r = decoration->GetScreenRect();
    EXPECT_NEAR((window->GetScreenRect().left + window->GetScreenRect().right) / 2.0f, (r.left + r.right) / 2.0f, 0.5f);

    DecorationButton* first = nullptr;
    for (Primitive* child : window->Children())
        if (auto* button = dynamic_cast<DecorationButton*>(child); button && !first)
            first = button;
    ASSERT_NE(first, nullptr);
    first->Click();
    EXPECT_EQ(session.requests.back(), "decoration 0 17 Hat");
    Frames(25, 16);
    EXPECT_EQ(scene->FindChild("Decorations"), nullptr) << "slid down and closed";

    // The flimb dies while the window is open: it closes and a late choice sends nothing.
    OpenDecorationSelector(nullptr);
    window = dynamic_cast<DecorationsSelectorWindow*>(scene->FindChild("Decorations"));
    ASSERT_NE(window, nullptr);
    UncountFlimb(*FindFlimbById(17));
    session.requests.clear();
    Frames(1);
    EXPECT_FALSE(window->enabled);
    Frames(25, 16);
    EXPECT_EQ(scene->FindChild("Decorations"), nullptr);
    EXPECT_TRUE(session.requests.empty());
}

TEST_F(WorldWidgetTest, AnEmptyStampSelectorShowsOnlyCancelAndAStampGoesToTheView)
{
    OpenStampSelector(nullptr);
    auto* window = dynamic_cast<StampSelectorWindow*>(scene->FindChild("Stamps"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->ItemCount(), 0);
    int buttons = 0;
    for (Primitive* child : window->Children())
        buttons += dynamic_cast<Button*>(child) ? 1 : 0;
    EXPECT_EQ(buttons, 1) << "only Cancel";
    window->CancelButton()->Click();
    Frames(25, 16);
    EXPECT_EQ(scene->FindChild("Stamps"), nullptr);

    game.unlocked["Stamp"] = {{"star", "Graphics\\HUD\\InGame\\pin.png"}};
    OpenStampSelector(nullptr);
    window = dynamic_cast<StampSelectorWindow*>(scene->FindChild("Stamps"));
    ASSERT_NE(window, nullptr);
    Frames(25, 16);
    for (Primitive* child : window->Children())
        if (auto* stamp = dynamic_cast<StampButton*>(child))
            stamp->Click();
    EXPECT_EQ(scene->View()->currentStamp, "Graphics\\HUD\\InGame\\pin.png");
    Frames(25, 16);

    OpenStampSelector(nullptr);
    window = dynamic_cast<StampSelectorWindow*>(scene->FindChild("Stamps"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->OnLeftButton(2, 2, kPhaseDown), nullptr) << "a click outside closes and passes on";
    EXPECT_FALSE(window->enabled);
    Frames(25, 16);
    OpenStampSelector(nullptr);
    window = dynamic_cast<StampSelectorWindow*>(scene->FindChild("Stamps"));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->OnKey(1, 1, false, kbManager), 1);
    EXPECT_FALSE(window->enabled);
}

} // namespace
