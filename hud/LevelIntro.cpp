#include "hud/LevelIntro.h"

#include "app/StringUtil.h"
#include "gui/Label.h"
#include "gui/ScreenImage.h"
#include "gui/VoiceBubble.h"
#include "gui/WindowList.h"
#include "hud/BubbleWidgets.h"
#include "hud/FlimbMasterDisplay.h"
#include "hud/HudGame.h"
#include "hud/HudWindow.h"
#include "hud/PopupSupport.h"
#include "modes/GameMode.h"
#include "modes/ModeServices.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kMultiverseMode = 4;
constexpr int kIntroEffect = 19;
constexpr float kTextWidth = 380.0f; // design pixels
constexpr uint32_t kIntroFadeOutMs = 400;

} // namespace

namespace {

// The level's match starts once: "START" is disabled; the FlimbMaster display covers its emblem.
bool StartIntroLevel(Button& start)
{
    if (!start.enabled || !CurrentHudGame().StartSinglePlayerLevel())
        return false;
    start.enabled = 0;
    if (HudWindow* hud = FindHud())
        if (FlimbMasterDisplay* display = hud->MasterDisplay())
            display->wanted = FlimbMasterDisplay::kCovered;
    return true;
}

} // namespace

void StartLevelFromIntro(Primitive*, Button* button)
{
    // The pop-up fades out and closes.
    if (button && StartIntroLevel(*button))
        FadeOutHudPopup(button, kIntroFadeOutMs);
}

bool PressLevelIntroStart()
{
    HudWindow* hud = FindHud();
    PrimContainer* layer = hud ? hud->UpperLayer() : nullptr;
    auto* start = layer ? dynamic_cast<Button*>(layer->FindChild("START")) : nullptr;
    if (!start || !start->active || !start->enabled)
        return false;
    start->Click();
    return true;
}

bool ShowLevelIntro()
{
    HudWindow* hud = FindHud();
    if (!hud)
        return false;
    HudGame& game = CurrentHudGame();
    if (game.ModeIndex() == kMultiverseMode)
        game.PlayMusic("boss_intro", true, 0.5f);

    auto bubble = std::make_unique<VoiceBubble>();
    const LevelPresentation level = game.Level();
    std::vector<Primitive*> rows;
    const auto add = [&](std::unique_ptr<Primitive> row) {
        rows.push_back(row.get());
        bubble->AddChild(row.release());
    };

    auto title = std::make_unique<SimpleLabel>(6, 0xFF444444, kLabelCentre);
    title->SetScale(0.75f);
    title->SetText(CutUtf8(level.title, kPopupTextLimit));
    title->FitToText();
    add(std::move(title));
    if (HudImageExists(level.picture))
        add(std::make_unique<ScreenImage>(level.picture));
    add(MakeTextBlock(level.description, 6, 0xFF000000, 0.7f, kTextWidth));
    // The level's texts are shown as they stand; "Objective:" keeps its own line.
    add(MakeTextBlock("Objective:\n" + level.objective, 6, 0xFF444444, 0.5f, kTextWidth));
    auto line = std::make_unique<SeparatorLine>();
    line->SetSize(DesignUnitsX(kTextWidth), 3.0f);
    add(std::move(line));

    auto start = MakeBubbleButton("Start", kFlimbHeadIcon, 50.0f, 35.0f, StartLevelFromIntro);
    start->SetName("START");
    start->keyboardActivation = 1; // focused: Return or Space starts the level
    Button* startButton = start.get();
    // A mode's own control that closes the pop-up (the Multiverse match's difficulty, which
    // also takes over "START") starts the level as Start does.
    bubble->onClosed = [startButton](VoiceBubble*) { StartIntroLevel(*startButton); };
    bubble->AddChild(start.release());

    // The mode adds its own controls (and may give "START" another action).
    const std::vector<Primitive*> before = bubble->CopyChildList();
    if (GameMode* mode = CurrentGameMode())
        mode->BuildPreGamePanel(bubble.get());
    for (Primitive* child : bubble->CopyChildList())
        if (std::find(before.begin(), before.end(), child) == before.end())
            rows.push_back(child);
    rows.push_back(startButton);
    StackCentred(bubble.get(), rows, 4.0f, 15.0f, 6.0f);
    // The button sits 10 units below the content.
    startButton->SetPosition(kKeepCoordinate, startButton->GetPositionVirtual().y + 10.0f - DesignUnitsY(4.0f));
    bubble->SetSize(kKeepCoordinate, bubble->GetSizeVirtual().y + 10.0f - DesignUnitsY(4.0f));

    if (!ShowBubbleOverHud(std::move(bubble), kPopupFadeMs))
        return false;
    if (FlimbMasterDisplay* display = hud->MasterDisplay()) {
        display->SetShieldImage();
        display->pending = false;
    }
    game.PlayEffect(kIntroEffect, 1.0f);
    SetKeyboardFocus(startButton);
    return true;
}
