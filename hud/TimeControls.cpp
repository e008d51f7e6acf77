#include "hud/TimeControls.h"

#include "app/LanguageTexts.h"
#include "app/StringUtil.h"
#include "gui/Animators.h"
#include "gui/FlimbsWindow5.h"
#include "gui/GuiClock.h"
#include "gui/ScreenImage.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"
#include "gui/WindowList.h"
#include "hud/HudGame.h"
#include "hud/HudWindow.h"
#include "media/Draw2D.h"
#include "media/Font.h"
#include "media/ImageCache.h"
#include "modes/GameMode.h"
#include "modes/ModeServices.h"
#include "session/SessionServices.h"
#include "world/WorldClock.h"
#include "world/WorldState.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr const char* kFolder = "Graphics\\HUD\\InGame";
constexpr int kHostSpeed = 16;
constexpr int kHostPause = 18;
constexpr int kRunning = 1;
constexpr int kPaused = 2;
constexpr int kFrozen = 4;
constexpr int kFaintUpdates = 20;
constexpr const char* kScoresName = "SCORES_WINDOW";

AnimSurface* LoadStrip(const char* file, int frames)
{
    AnimSurface* image = ImageCache::GetImageFromParts(kFolder, file);
    if (image && image->imageWidth > 0)
        image->SetFrameSize(image->imageWidth / frames, image->imageHeight);
    return image;
}

} // namespace

// ---- Play / pause

PlayPauseButton::PlayPauseButton() : GraphicButton(kFolder, "pause.png", 3)
{
    pause_ = image;
    play_ = LoadStrip("play.png", 3);
    SetMargins(8.0f, 0.0f, 8.0f, 0.0f);
}

PlayPauseButton::~PlayPauseButton()
{
    ImageCache::ReleaseImage(image == play_ ? pause_ : play_);
}

Primitive* PlayPauseButton::OnLeftButton(int x, int y, int phase)
{
    if (phase == kPhaseDown && PointInRect(x, y))
        SendSetHostVariable(kHostPause, CurrentHudGame().RunState() == kPaused ? 0 : 1);
    return GraphicButton::OnLeftButton(x, y, phase);
}

void PlayPauseButton::Update()
{
    GraphicButton::Update();
    const int32_t updates = int32_t(CurrentUpdateCounter());
    if (CurrentHudGame().RunState() != kPaused) {
        image = pause_;
        alpha = updates - lastPaused_ < kFaintUpdates ? 111 : 255;
    } else {
        image = play_;
        alpha = 255;
        lastPaused_ = updates;
    }
}

void PlayPauseButton::Draw()
{
    GraphicButton::Draw();
    const int32_t d = int32_t(CurrentUpdateCounter()) - lastPaused_;
    if (CurrentHudGame().RunState() == kPaused || d >= kFaintUpdates || d < 0)
        return;
    const float s = GetUiScale();
    DrawWidgetText(0, (rect.left + rect.right) / 2.0f, (rect.top + rect.bottom) / 2.0f, s, 0xFFFFFFFF,
                   StringPrintf("%d", (kFaintUpdates - d) / 5 + 1), kTextCentre | kTextVCentre);
}

// ---- Speed

void SetGameSpeed(int value)
{
    SendSetHostVariable(kHostSpeed, value);
}

int NextToggleSpeed(int current)
{
    switch (current) {
    case 90: return 100;
    case 100: return 110;
    case 110: return 120;
    case 120: return 130;
    default: return 90;
    }
}

void ToggleGameSpeed(Primitive*)
{
    const HudGame& game = CurrentHudGame();
    if (game.IsMultiplayer())
        SetGameSpeed(NextToggleSpeed(game.GameSpeed()));
}

// ---- Quantum Time and Freeze Time

QuantumTimeCheckBox::QuantumTimeCheckBox() : GraphicCheckBox("Graphics\\HUD\\InGame\\quantum_time_button.png", 3) {}

void QuantumTimeCheckBox::Toggle()
{
    HudGame& game = CurrentHudGame();
    switch (game.QuantumTimeState()) {
    case 0:
        if (World().selected) {
            game.SetQuantumTimeState(1);
            checked = 1;
        } else {
            game.PostNotice(TranslateText("You must first select a flimb."));
        }
        break;
    case 1:
        game.SetQuantumTimeState(2);
        checked = 1;
        break;
    default:
        game.EndQuantumTime();
        checked = 0;
        break;
    }
}

void QuantumTimeCheckBox::Update()
{
    GraphicCheckBox::Update();
    checked = CurrentHudGame().QuantumTimeState() != 0 ? 1 : 0;
}

void QuantumTimeCheckBox::Draw()
{
    // Three frames of looks: the third is also the checked one.
    const int look = lookState_;
    if (checked)
        lookState_ = 2;
    GraphicCheckBox::Draw();
    lookState_ = look;
}

FreezeTimeCheckBox::FreezeTimeCheckBox() : GraphicCheckBox("Graphics\\HUD\\InGame\\freeze_time_button.png", 3)
{
    toolTip = TranslateText("Freeze Time");
}

void FreezeTimeCheckBox::Toggle()
{
    checked = checked ? 0 : 1;
    const HudGame& game = CurrentHudGame();
    if (game.PlaybackShown() || game.RunState() == kPaused)
        return;
    if (GameMode* mode = CurrentGameMode())
        mode->ToggleFreeze();
}

void FreezeTimeCheckBox::Update()
{
    GraphicCheckBox::Update();
    const HudGame& game = CurrentHudGame();
    checked = game.ServerState() == kFrozen && game.RunState() == kRunning ? 1 : 0;
    const GameMode* mode = CurrentGameMode();
    const int penalty = mode ? mode->FreezePenaltySeconds() : 0;
    toolTip = toolTip.substr(0, toolTip.find('\n')) + "\n" + TranslateText("Total Penalty: ") +
              StringPrintf("%d", penalty) + TranslateText(" seconds");
}

void FreezeTimeCheckBox::Draw()
{
    const int look = lookState_;
    if (checked)
        lookState_ = 2;
    GraphicCheckBox::Draw();
    lookState_ = look;
}

// ---- Scores

ScoreButton::ScoreButton() : GraphicButton(kFolder, "score.png", 3)
{
    SetName("ScoreButton");
}

Primitive* ScoreButton::OnLeftButton(int x, int y, int phase)
{
    Primitive* taken = GraphicButton::OnLeftButton(x, y, phase);
    if (phase == kPhaseDown && PointInRect(x, y))
        ShowScoresWindow(true);
    else if (phase == kPhaseUp)
        ShowScoresWindow(false);
    return taken;
}

void ShowScoresWindow(bool show)
{
    HudWindow* hud = FindHud();
    PrimContainer* top = hud ? hud->TopContainer() : nullptr;
    if (!top)
        return;
    auto* window = dynamic_cast<PrimContainer*>(top->FindChild(kScoresName));
    auto* slide = window ? dynamic_cast<AnimatePosition*>(window->FindChild("ANIMATE_POS")) : nullptr;
    if (!show) {
        if (window && slide) {
            slide->endAction = AnimEndAction::Close;
            slide->Start(500.0f, -window->GetSizeVirtual().y / 2.0f, 250);
        }
        return;
    }
    if (!window) {
        GameMode* mode = CurrentGameMode();
        std::unique_ptr<FlimbsWindow5> panel = mode ? mode->CreateScorePanel() : nullptr;
        if (!panel)
            return;
        window = panel.get();
        window->SetName(kScoresName);
        auto animator = std::make_unique<AnimatePosition>(window);
        slide = animator.get();
        window->AddChild(animator.release());
        window->hAlign = kAlignHCentre;
        window->vAlign = kAlignVCentre;
        window->SetMargins(32.0f, 32.0f, 32.0f, 32.0f);
        window->SetPosition(500.0f, -window->GetSizeVirtual().y / 2.0f);
        top->AddChild(window, false); // over the HUD (its front child is its top)
        panel.release();
    }
    if (slide) {
        slide->endAction = AnimEndAction::None;
        slide->Start(500.0f, HudGameViewCentreY(), 250);
    }
}

// ---- Countdown

CountDownDisplay::CountDownDisplay()
{
    SetName("CountDownDisplay");
    SetPicture("Graphics\\HUD\\InGame\\count_down_3.png");
    const float s = GetUiScale();
    SetSize(ToVirtualX(209.0f * s), ToVirtualY(279.0f * s));
    shrink_ = LinearFloatTransform(1000.0f, 0.0f);
    shrink_.Set(0.0f, 1000.0f);
    shrink_.Start();
}

CountDownDisplay::~CountDownDisplay()
{
    ImageCache::ReleaseImage(image_);
}

void CountDownDisplay::SetPicture(const std::string& path)
{
    ImageCache::ReleaseImage(image_);
    picture_ = path;
    image_ = ImageCache::GetImage(path);
}

void CountDownDisplay::Update()
{
    if (!shrink_.AtEnd()) {
        int speed = CurrentHudGame().GameSpeed();
        if (speed <= 0)
            speed = 75; // a speed of 0 would divide by zero
        shrink_.Advance(float(GuiFrameElapsed()) * 75.0f / float(speed));
        return;
    }
    if (finished_) {
        Deactivate();
        return;
    }
    if (CurrentUpdateCounter() >= uint32_t(kUpdatesPerStep * (step_ + 1))) {
        ++step_;
        if (step_ >= 3) {
            SetPicture("Graphics\\HUD\\InGame\\count_down_go.png");
            finished_ = true;
        } else {
            SetPicture(StringPrintf("Graphics\\HUD\\InGame\\count_down_%d.png", 3 - step_));
        }
        shrink_.Set(0.0f, 1000.0f);
        shrink_.Start();
    }
}

void CountDownDisplay::Draw()
{
    if (!visible || !image_ || !image_->bitmap || !image_->bitmap->texture)
        return;
    const float f = Shrink() * GetUiScale();
    const uint8_t a = uint8_t(std::lround(std::min(1.0f, 2.0f * f) * 255.0f));
    const gfx::RECT whole{0, 0, image_->imageWidth, image_->imageHeight};
    Draw2D::DrawTexturedQuad(image_->bitmap->texture, &whole, (rect.left + rect.right) / 2.0f,
                             (rect.top + rect.bottom) / 2.0f, f, f, float(image_->imageWidth) / 2.0f,
                             float(image_->imageHeight) / 2.0f, 0.0f, WithAlpha(0xFFFFFFFF, a));
}
