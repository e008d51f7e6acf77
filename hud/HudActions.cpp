#include "hud/HudActions.h"

#include "app/ConsoleParam.h"
#include "gui/Animators.h"
#include "gui/CheckBox.h"
#include "gui/PrimContainer.h"
#include "gui/WindowList.h"
#include "hud/HudGame.h"
#include "app/LanguageTexts.h"
#include "hud/HudWindow.h"
#include "hud/LevelChangeWindow.h"
#include "modes/GameMode.h"
#include "modes/ModeServices.h"
#include "session/SessionServices.h"
#include "world/WorldState.h"

#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr int kMultiverseMode = 4;
constexpr int kHostPause = 18;

bool Checked(Primitive* control)
{
    return control && control->IsChecked();
}

void Rotate(float radians)
{
    if (HudGameView* view = FindHudGameView())
        view->SetRotation(radians, 500);
}

// Slides a prompt in from the right edge to the middle over the game view.
void SlideInOverHud(std::unique_ptr<PrimContainer> prompt, const char* name)
{
    HudWindow* hud = FindHud();
    PrimContainer* layer = hud ? hud->UpperLayer() : nullptr;
    if (!layer || !prompt)
        return;
    PrimContainer* shown = prompt.get();
    shown->SetName(name);
    shown->hAlign = kAlignHCentre;
    shown->vAlign = kAlignVCentre;
    const float width = shown->GetSizeVirtual().x;
    shown->SetPosition(1000.0f + width / 2.0f, 500.0f);
    auto slide = std::make_unique<AnimatePosition>(shown);
    slide->Start(500.0f, HudGameViewCentreY(), 250);
    shown->AddChild(slide.release());
    layer->AddChild(prompt.release());
}

} // namespace

PrimContainer* PositionOverHud(std::unique_ptr<PrimContainer> window, bool upper)
{
    HudWindow* hud = FindHud();
    PrimContainer* layer = hud ? (upper ? hud->UpperLayer() : hud->LowerLayer()) : nullptr;
    if (!layer || !window)
        return nullptr;
    PrimContainer* shown = window.get();
    shown->hAlign = kAlignHCentre;
    shown->vAlign = kAlignVCentre;
    shown->SetMargins(32.0f, 32.0f, 32.0f, 32.0f);
    shown->SetPosition(500.0f, HudGameViewCentreY());
    layer->AddChild(window.release());
    shown->SetVisible(1);
    return shown;
}

void RestartLevel()
{
    if (GameMode* mode = CurrentGameMode())
        mode->SaveProgress();
    SendGameData(CurrentHudGame().LevelName(true));
}

void ShowLevelChangeWindow()
{
    PositionOverHud(std::make_unique<LevelChangeWindow>(), true);
}

void OrientCameraDown(Primitive*) { Rotate(3.0f * kPi / 2.0f); }
void OrientCameraUp(Primitive*) { Rotate(kPi / 2.0f); }
void OrientCameraLeft(Primitive*) { Rotate(0.0f); }
void OrientCameraRight(Primitive*) { Rotate(kPi); }

void AutoAlignToggled(Primitive* control)
{
    if (ConsoleParam* follow = ConsoleParam::Find("follow_selected"))
        follow->SetInt(Checked(control) ? 1 : 0);
}

void ZoomIn(Primitive*)
{
    if (HudGameView* view = FindHudGameView())
        view->ZoomBy(-150.0f, 200);
}

void ZoomOut(Primitive*)
{
    if (HudGameView* view = FindHudGameView())
        view->ZoomBy(150.0f, 200);
}

void ZoomNominal(Primitive*)
{
    if (HudGameView* view = FindHudGameView()) {
        const FloatRect r = view->VisibleRect();
        view->ZoomTo((r.bottom - r.top) * 1005.0f / float(GetScreenHeight()), 500);
    }
}

void ShowFlimbCountsToggled(Primitive* control)
{
    if (HudGameView* view = FindHudGameView())
        view->SetShowCounts(Checked(control));
}

void HideOwnTeamToggled(Primitive* control)
{
    World().overlaySwitches[0] = Checked(control) ? 0 : 1;
}

void HideOtherTeamsToggled(Primitive* control)
{
    World().overlaySwitches[1] = Checked(control) ? 0 : 1;
}

void MiniMapToggled(Primitive* control)
{
    HudWindow* hud = FindHud();
    PrimContainer* top = hud ? hud->TopContainer() : nullptr;
    if (!top)
        return;
    auto* window = dynamic_cast<PrimContainer*>(top->FindChild("MinimapWindow"));
    auto* fade = window ? dynamic_cast<AnimateAlpha*>(window->FindChild("ANIMATE_ALPHA")) : nullptr;
    if (!Checked(control)) {
        if (window && fade) {
            fade->Start(AnimateAlpha::kFadeOut, 75);
            fade->onFinished = [](Primitive* target, Primitive*) {
                if (target)
                    target->visible = 0;
            };
        }
        return;
    }
    if (!window) {
        std::unique_ptr<PrimContainer> made = CurrentHudGame().MakeMinimap();
        if (!made)
            return;
        window = made.get();
        window->SetName("MinimapWindow");
        auto animator = std::make_unique<AnimateAlpha>(window);
        animator->excludeFromBounds = 1;
        fade = animator.get();
        window->AddChild(animator.release());
        top->AddChild(made.release(), false); // over the HUD (its front child is its top)
    }
    window->visible = 1;
    if (fade) {
        fade->onFinished = nullptr;
        fade->Start(AnimateAlpha::kFadeIn, 75);
    }
}

void GoSuperNova(Primitive*)
{
    HudGame& game = CurrentHudGame();
    if (game.SessionPaused() || FindOpenWindow("SuperNovaPrompt"))
        return;
    SlideInOverHud(game.MakeSuperNovaPrompt(), "SuperNovaPrompt");
}

void SetCheckpoint(Primitive*)
{
    HudGame& game = CurrentHudGame();
    GameMode* mode = CurrentGameMode();
    if (!mode || !mode->IsSinglePlayerAid() || game.PlaybackShown())
        return;
    std::unique_ptr<PrimContainer> prompt = game.MakeCheckpointPrompt(true, true);
    if (!prompt)
        return;
    PositionOverHud(std::move(prompt), true);
    SendSetHostVariable(kHostPause, 1);
}

void ShowOtherView(Primitive*)
{
    HudGame& game = CurrentHudGame();
    if (game.ModeIndex() == kMultiverseMode)
        game.ShowOtherUniverseView(true, 0);
}

void FocusGameView(Primitive*)
{
    if (HudGameView* view = FindHudGameView())
        if (Primitive* panel = view->Panel())
            SetKeyboardFocus(panel);
}

void RestoreCheckpoint(Primitive*)
{
    HudGame& game = CurrentHudGame();
    GameMode* mode = CurrentGameMode();
    if (!mode || !mode->IsSinglePlayerAid() || game.PlaybackShown())
        return;
    const std::vector<std::string> checkpoints = game.Checkpoints(game.LevelName(true));
    if (checkpoints.empty()) {
        game.PostNotice(TranslateText("No checkpoints have been saved for this puzzle."));
        return;
    }
    if (checkpoints.size() == 1) {
        game.LoadCheckpointFile(checkpoints.front());
        return;
    }
    HudWindow* hud = FindHud();
    PrimContainer* layer = hud ? hud->UpperLayer() : nullptr;
    std::unique_ptr<PrimContainer> prompt = game.MakeCheckpointPrompt(true, false);
    if (!layer || !prompt)
        return;
    PrimContainer* shown = prompt.get();
    shown->hAlign = kAlignHCentre;
    shown->vAlign = kAlignVCentre;
    shown->SetMargins(32.0f, 32.0f, 32.0f, 32.0f);
    shown->SetPosition(1000.0f + shown->GetSizeVirtual().x / 2.0f, 500.0f);
    auto slide = std::make_unique<AnimatePosition>(shown);
    slide->Start(500.0f, HudGameViewCentreY(), 250);
    shown->AddChild(slide.release());
    layer->AddChild(prompt.release());
    shown->SetVisible(1);
}

