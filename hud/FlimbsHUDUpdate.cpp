// The HUD window after it is built: its per-frame update, its two input overrides, its
// drawing order and the operations the game client and the HUD's controls call on it.
#include "hud/FlimbsHUD.h"

#include "app/ConsoleParam.h"
#include "app/LanguageTexts.h"
#include "app/PlayerProfile.h"
#include "gui/CheckBox.h"
#include "gui/FlimbsCheckBox.h"
#include "gui/FlimbsDoor.h"
#include "gui/FlimbsMenuBar.h"
#include "gui/FlimbsToolTip.h"
#include "gui/GraphicButtons.h"
#include "gui/ScreenImage.h"
#include "gui/SimpleWindow.h"
#include "gui/SliderBar.h"
#include "gui/StretchGraphicButton.h"
#include "gui/UiScale.h"
#include "gui/WindowList.h"
#include "hud/ChatEditBox.h"
#include "hud/ChatWindows.h"
#include "hud/FlimbActionButton.h"
#include "hud/HudGame.h"
#include "hud/InGameMenu.h"
#include "hud/TimeControls.h"
#include "media/ImageCache.h"
#include "media/KBManager.h"
#include "modes/GameMode.h"
#include "modes/GameModeStatsWidget.h"
#include "modes/ModeServices.h"
#include "platform/input/ScanCodes.h"
#include "session/SessionServices.h"
#include "world/WorldState.h"

#include <algorithm>
#include <numbers>

namespace {

constexpr int kRunNone = 0;
constexpr int kRunRunning = 1;
constexpr int kRunPaused = 2;
constexpr int kNoTeam = 99;
constexpr int kTurnByTurnMode = 5;
constexpr int kNoGravity = 4;
constexpr float kPi = std::numbers::pi_v<float>;

// The view's rotation as a gravity direction: down 0, up 1, left 2, right 3 (the angles the
// camera buttons turn to: 3 pi / 2, pi / 2, 0, pi).
int DirectionOfRotation(float radians)
{
    const float turn = 2.0f * kPi;
    float r = radians - turn * float(int(radians / turn));
    if (r < 0.0f)
        r += turn;
    const int quarter = int(r / (kPi / 2.0f) + 0.5f) % 4; // nearest multiple of pi / 2
    static constexpr int kDirections[4] = {2, 1, 3, 0};
    return kDirections[quarter];
}

float AngleOfDirection(int direction)
{
    static constexpr float kAngles[4] = {3.0f * kPi / 2.0f, kPi / 2.0f, 0.0f, kPi};
    return kAngles[direction & 3];
}

void SetDrawnAndEnabled(Primitive* control, bool on)
{
    if (!control)
        return;
    control->highlight = on ? 1 : 0;
    control->enabled = on ? 1 : 0;
}

} // namespace

// ---- Input and drawing --------------------------------------------------------------------

Primitive* FlimbsHUD::HitTest(int x, int y)
{
    Primitive* hit = PrimContainer::HitTest(x, y);
    if (hit && hit->GetPrimitiveKind() == 1 && hit->GetWidgetType() == 6 && view_)
        view_->HideHoverMarker();
    return hit;
}

int FlimbsHUD::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    // The keyboard reports a press as 0x80 (tests as 1); 2 is a repeat. The children see the
    // key first, so that the menu a press opens is not slid out again by that same press:
    // Escape opens a closed menu, and an open one closes itself.
    const bool escape = value != 0 && value != 2 && code == kKeyEscape;
    const bool wasShown = escape && InGameMenuShown();
    const int taken = PrimContainer::OnKey(value, code, shift, device);
    if (escape && !wasShown)
        OpenInGameMenu(nullptr);
    return taken;
}

void FlimbsHUD::Draw()
{
    const std::vector<Primitive*> children = CopyChildList();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        Primitive* child = *it;
        if (child->visible && child->highlight && child->active)
            child->Draw();
    }
}

// ---- The per-frame update -----------------------------------------------------------------

void FlimbsHUD::Update()
{
    // 1. The chat line takes the focus with its caret at the end.
    if (chatFocusPending_) {
        if (Primitive* chat = FindChild("CHAT_BOX")) {
            chat->TakeFocus();
            chat->OnKey(1, kKeyEnd, false, kbManager);
            chatFocusPending_ = 0;
        }
    }
    UpdateMatchPhase();
    UpdateViewOptions();
    UpdateSpeedSlider();
    UpdateChat();
    // 7. Decorations need a selected flimb.
    if (decorationButton_) {
        const bool selected = World().selected != nullptr;
        decorationButton_->enabled = selected ? 1 : 0;
        decorationButton_->alpha = selected ? 255 : 128;
    }
    UpdateStatsStrip();
    UpdateTypingAndCheckpoints();
    PrimContainer::Update();
}

void FlimbsHUD::UpdateMatchPhase()
{
    HudGame& game = CurrentHudGame();
    const int state = game.RunState();
    if (state == kRunRunning && !startHandled_) {
        const bool usable = !game.LocalIsSpectator();
        for (FlimbActionButton* button : belt_)
            if (button)
                button->counting = usable;
        if (door_)
            door_->SetOpening(100.0f, 50);
        startHandled_ = 1;
        if (game.UpdateCounter() == 0 && game.IsMultiplayer()) {
            auto* countdown = new CountDownDisplay;
            countdown->hAlign = kAlignHCentre;
            countdown->vAlign = kAlignVCentre;
            countdown->SetPosition(500.0f, HudGameViewCentreY());
            menuLayer_->AddChild(countdown);
        }
    } else if (state == kRunNone && startHandled_) {
        for (FlimbActionButton* button : belt_)
            if (button)
                button->counting = false;
        if (door_)
            door_->SetOpening(0.0f, 50);
        startHandled_ = 0;
    } else if (state == kRunPaused && !pauseShade_) {
        auto* shade = new SimpleWindow(std::string(), game.IsMultiplayer() ? kShadeMultiplayer : kShadeAlone);
        shade->containerFlags |= kContainerTransparent;
        shade->outlineColour = 0;
        const FloatRect view = viewPanel_->GetRelativeRectVirtual();
        shade->SetPosition(view.left, view.top);
        shade->SetSize(view.right - view.left, view.bottom - view.top);
        auto* bar = new FlimbsMenuBar;
        bar->SetMenuText(TranslateText("Paused"));
        float w = 0.0f, h = 0.0f;
        bar->GetSize(&w, &h);
        bar->SetSize(w, h);
        bar->hAlign = kAlignHCentre;
        bar->vAlign = kAlignBottom;
        bar->SetPosition((view.right - view.left) / 2.0f, view.bottom - view.top);
        bar->playSounds = 0;
        if (game.IsAdmin())
            bar->onChange = [](Primitive*, Primitive*) { OnPausedClicked(); };
        else
            bar->enabled = 0;
        shade->AddChild(bar);
        AddChildNear(shade, viewPanel_, false); // over the view, under the panels
        pauseShade_ = shade;
    }
    if (state != kRunPaused && pauseShade_) {
        pauseShade_->Deactivate();
        pauseShade_ = nullptr;
    }
}

void FlimbsHUD::UpdateViewOptions()
{
    const WorldState& world = World();
    if (countsBox_)
        countsBox_->SetChecked(view_ && view_->ShowCounts(), false, false);
    if (hideOthersBox_)
        hideOthersBox_->SetChecked(world.overlaySwitches[1] == 0, false, false);
    if (hideOwnBox_)
        hideOwnBox_->SetChecked(world.overlaySwitches[0] == 0, false, false);
    const ConsoleParam* follow = ConsoleParam::Find("follow_selected");
    if (view_)
        view_->SetFollowFlag(follow && follow->GetInt() != 0);

    // 4. The camera boxes show the view's gravity direction.
    for (int direction = 0; direction < 4; ++direction)
        if (GraphicCheckBox* box = CameraBox(direction))
            box->SetChecked(false, false, false);
    if (view_)
        if (GraphicCheckBox* box = CameraBox(DirectionOfRotation(view_->Rotation())))
            box->SetChecked(true, false, false);
    if (autoAlignBox_)
        autoAlignBox_->SetChecked(view_ && view_->FollowFlag(), false, false);
}

void FlimbsHUD::UpdateSpeedSlider()
{
    if (!speedSlider_)
        return;
    const float speed =
        std::clamp(float(CurrentHudGame().GameSpeed()), speedSlider_->Minimum(), speedSlider_->Maximum());
    if (speed != speedSlider_->Value()) {
        speedSlider_->SetValue(speed, false);
        speedSlider_->GetText(); // the refresh
        speedSlider_->Invalidate();
    }
}

void FlimbsHUD::UpdateChat()
{
    if (chatWindow_) {
        const bool popupShown = chatPopup_ && chatPopup_->visible;
        const bool drawn = chatWindow_->ShownLines() > 0 && !popupShown;
        chatWindow_->highlight = drawn ? 1 : 0;
        if (drawn)
            chatWindow_->UpdateAbsolutePosition();
    }
    if (chatHistoryBox_ && chatPopup_)
        chatHistoryBox_->SetChecked(chatPopup_->visible != 0, false, false);
}

void FlimbsHUD::UpdateStatsStrip()
{
    GameMode* mode = CurrentGameMode();
    if (!mode || !statsStrip_)
        return;
    HudGame& game = CurrentHudGame();
    statsStrip_->ReleaseWidgets();
    std::vector<GameModeStatsWidget*> widgets;
    mode->AddHudStatIcons(widgets);
    const int team = game.LocalTeam();
    const bool regroup = game.ModeIndex() != kTurnByTurnMode;
    float x = ToVirtualX(75.0f * GetUiScale());
    for (size_t i = 0; i < widgets.size(); ++i) {
        GameModeStatsWidget* widget = widgets[i];
        if (!widget)
            continue;
        if (regroup && team != kNoTeam && widget->Group() != team) {
            widget->SetGroup(team);
            if (!widget->LabelText().empty())
                widget->RefreshLabel();
        }
        widget->SetPosition(x, 0.0f);
        x += widget->GetSizeVirtual().x;
        widget->SetShade(i % 2 == 0 ? 0.5f : 0.0f);
        statsStrip_->AddChild(widget);
    }
}

void FlimbsHUD::UpdateTypingAndCheckpoints()
{
    HudGame& game = CurrentHudGame();
    if (game.IsMultiplayer()) {
        std::string text;
        const int local = game.LocalPlayerId();
        for (const HudPlayer& player : game.Players())
            if (player.id >= 0 && player.id < 16 && player.id != local && player.typing)
                text += "," + player.name;
        if (!text.empty())
            text = text.substr(1) + TranslateText(" is typing a message.");
        if (chatIcon_) {
            if (toolTip_)
                toolTip_->SetTip(chatIcon_, text);
            chatIcon_->highlight = text.empty() ? 0 : 1;
        }
        return;
    }
    if (game.LevelKind() != 4)
        return;
    GameMode* mode = CurrentGameMode();
    const bool allowed = mode && mode->IsSinglePlayerAid();
    SetDrawnAndEnabled(restoreButton_, allowed);
    SetDrawnAndEnabled(FindChild("setcheckpoint"), allowed);
}

// ---- Operations ---------------------------------------------------------------------------

void FlimbsHUD::RebuildOtherControls()
{
    Primitive* old = FindChild("OTHER_CONTROLS");
    auto* parentContainer = old ? dynamic_cast<Container<Primitive>*>(old->parent) : nullptr;
    if (!old || !parentContainer)
        return;
    playersButton_ = nullptr;
    PrimContainer* fresh = BuildOtherControls();
    RefreshRestoreCheckpoint();
    fresh->hAlign = old->hAlign;
    fresh->vAlign = old->vAlign;
    const FloatRect r = old->GetRelativeRect();
    float x = r.left, y = r.top;
    if (old->hAlign == kAlignRight)
        x = r.right;
    else if (old->hAlign == kAlignHCentre)
        x = (r.left + r.right) / 2.0f;
    if (old->vAlign == kAlignBottom)
        y = r.bottom;
    else if (old->vAlign == kAlignVCentre)
        y = (r.top + r.bottom) / 2.0f;
    fresh->Move(ToVirtualX(x), ToVirtualY(y));
    parentContainer->AddChildNear(fresh, old, true);
    old->Deactivate();
}

void FlimbsHUD::RefreshAvatar()
{
    if (!avatar_)
        return;
    avatar_->SetImage(CurrentProfile().AvatarPath());
    avatar_->SetSize(ToVirtualX(39.0f * GetUiScale()), ToVirtualY(39.0f * GetUiScale()));
}

void FlimbsHUD::RefreshRestoreCheckpoint()
{
    if (!restoreButton_ || restoreButton_->highlight)
        return;
    HudGame& game = CurrentHudGame();
    if (!game.Checkpoints(game.LevelName(true)).empty())
        SetDrawnAndEnabled(restoreButton_, true);
}

void FlimbsHUD::OnChatHistoryToggled(Primitive* box)
{
    Primitive* owner = box ? box->FindOwningWindow() : nullptr;
    auto* hud = dynamic_cast<FlimbsHUD*>(owner);
    if (!hud)
        return;
    if (box->IsChecked()) {
        if (hud->chatWindow_)
            hud->chatWindow_->highlight = 0;
        if (hud->chatPopup_) {
            hud->chatPopup_->visible = 1;
            hud->chatPopup_->UpdateAbsolutePosition();
        }
    } else if (hud->chatPopup_) {
        hud->chatPopup_->visible = 0;
    }
}

void FlimbsHUD::SaveChatText()
{
    if (auto* chat = dynamic_cast<ChatEditBox*>(FindChild("CHAT_BOX")))
        if (chat->TypingSent())
            SavedChatText() = chat->GetText();
}

void FlimbsHUD::SetLocalGroup(int group)
{
    for (FlimbActionButton* button : belt_) {
        if (!button)
            continue;
        button->counting = true;
        button->SetGroup(group);
    }
    const int direction = CurrentHudGame().GroupGravity(group);
    if (direction != kNoGravity && direction >= 0 && direction < 4)
        if (view_)
            view_->SetRotation(AngleOfDirection(direction), 500);
}

void FlimbsHUD::OnPausedClicked()
{
    SendSetHostVariable(kHostPause, 0);
}
