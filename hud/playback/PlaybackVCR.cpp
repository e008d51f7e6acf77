#include "hud/playback/PlaybackVCR.h"

#include "app/KeyBindings.h"
#include "app/LanguageTexts.h"
#include "game/GameTimeFormat.h"
#include "gui/Animators.h"
#include "gui/FlimbsCheckBox.h"
#include "gui/FlimbsSliderBar.h"
#include "gui/FlimbsToolTip.h"
#include "gui/GraphicButtons.h"
#include "gui/Label.h"
#include "gui/ScreenImage.h"
#include "gui/UiScale.h"
#include "gui/WindowList.h"
#include "hud/ChatWindows.h"
#include "hud/HudGame.h"
#include "hud/playback/PlaybackActions.h"
#include "session/ClientCommandState.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr uint32_t kButtonFrameMs = 1000;
constexpr int kWholeImage = std::numeric_limits<int>::max(); // a frame size clamped to the image
constexpr int kClockStyle = 7;
constexpr uint32_t kClockColour = 0xFF8CF0A8;
constexpr uint32_t kMinimapFadeMs = 75;
constexpr float kSliderWidth = 400.0f;
constexpr const char* kMinimapImage = "Graphics\\HUD\\InGame\\minimap_mode.png";

struct ButtonRow {
    const char* file;
    float x, y; // design pixels; the buttons sit 12 lower than the table says
    void (*action)();
    const char* tip;
};

void StartServer()
{
    PlaybackActions::StartServerHere();
}

const std::array<ButtonRow, PlaybackVCR::kSlotCount>& ButtonTable()
{
    static const std::array<ButtonRow, PlaybackVCR::kSlotCount> table = {{
        {"vcr_back_UP.png", 125, 25, PlaybackActions::Restart, "Restart from beginning."},
        {"vcr_rew_UP.png", 164, 13, PlaybackActions::SlowDown, "Slow down."},
        {"vcr_pause_UP.png", 212, 5, PlaybackActions::PlayPause, "Pause (Spacebar)"},
        {"vcr_FF_UP.png", 264, 13, PlaybackActions::SpeedUp, "Speed up."},
        {"vcr_skip_UP.png", 303, 25, PlaybackActions::JumpAhead, "Jump ahead."},
        {nullptr, 0, 0, nullptr, nullptr},
        {"vcr_start_UP.png", 24, 17, StartServer, "Start a multiplayer server at this point in playback."},
        {"vcr_exit_UP.png", 370, 17, PlaybackActions::LeavePlayback, "Exit. Press < and > to rotate view."},
        {"vcr_play_UP.png", 212, 5, PlaybackActions::PlayPause, "Play/Pause (Spacebar)"},
    }};
    return table;
}

// An image's own pixel size times the UI scale.
void ScaleToUi(Primitive* control)
{
    float width = 0.0f, height = 0.0f;
    if (control->GetSize(&width, &height))
        control->SetSize(width * GetUiScale(), height * GetUiScale());
}

} // namespace

PlaybackVCR::PlaybackVCR() : messages_(std::make_unique<MessageLog>(kMessageCount))
{
    SetName(kName);
    containerFlags |= kContainerTransparent;
    base_ = new ScreenImage(std::string(kFolder) + "vcr_base.png");
    base_->SetScale(1.0f, 1.0f);
    base_->enabled = 0;
    AddChild(base_);
    clockImage_ = new ScreenImage(std::string(kFolder) + "vcr_clock.png");
    clockImage_->SetScale(1.0f, 1.0f);
    clockImage_->SetPosition(DesignToVirtualX(166.0f), DesignToVirtualY(62.0f));
    clockImage_->enabled = 0;
    AddChild(clockImage_);

    toolTip_ = new FlimbsToolTip(250.0f);
    toolTip_->excludeFromBounds = 1;
    BuildButtons();

    slider_ = new FlimbsSliderBar;
    slider_->SetName("PLAYBACK_SLIDER");
    slider_->SetPosition(DesignToVirtualX(25.0f), DesignToVirtualY(5.0f));
    float sliderWidth = DesignToVirtualX(kSliderWidth), sliderHeight = 0.0f;
    slider_->SetSize(sliderWidth, kKeepCoordinate);
    slider_->GetSize(&sliderWidth, &sliderHeight); // as high as its images
    slider_->SetSize(sliderWidth, sliderHeight);
    slider_->Configure(0.0f, float(CommandState().playbackLength), 0.0f);
    slider_->onChange = [this](Primitive*, Primitive*) { OnSliderMoved(); };
    AddChild(slider_);

    clock_ = new Label(kClockStyle, kClockColour, kLabelCentre | kLabelVCentre, TranslateText("00:00:00"));
    clock_->SetName("PLAYBACK_CLOCK");
    clock_->FitToText();
    clock_->hAlign = kAlignHCentre;
    clock_->vAlign = kAlignVCentre;
    const FloatRect clockRect = clockImage_->GetRelativeRectVirtual();
    clock_->SetPosition((clockRect.left + clockRect.right) / 2.0f, (clockRect.top + clockRect.bottom) / 2.0f);
    clock_->enabled = 0;
    AddChild(clock_);

    collapseBox_ = new CollapseCheckBox;
    collapseBox_->SetName("CollapseCheckBox");
    ScaleToUi(collapseBox_);
    collapseBox_->SetPosition(DesignToVirtualX(5.0f), DesignToVirtualY(8.0f));
    collapseBox_->SetChecked(!collapsed_, false, false);
    collapseBox_->onChange = [this](Primitive*, Primitive*) { SetCollapsed(!collapsed_); };
    AddChild(collapseBox_);

    // The minimap switch sits at the right end of the slider, in the strip that stays
    // shown while the panel is collapsed.
    minimapBox_ = new GraphicCheckBox(kMinimapImage, 2);
    minimapBox_->SetName("MinimapCheckBox");
    minimapBox_->notifyOnToggle = 1;
    ScaleToUi(minimapBox_);
    minimapBox_->SetPosition(DesignToVirtualX(25.0f + kSliderWidth + 4.0f), DesignToVirtualY(8.0f));
    minimapBox_->onChange = [this](Primitive*, Primitive* box) { ShowMinimap(box && box->IsChecked()); };
    AddChild(minimapBox_);
    toolTip_->SetTip(minimapBox_, ExpandKeyTokens(TranslateText("Show mini map") + ": <MiniMap>"));

    // The message window stands on the panel's top edge, outside its rectangle.
    chat_ = new ChatWindow(messages_.get());
    chat_->vAlign = kAlignBottom;
    chat_->clipToParent = 0;
    chat_->excludeFromBounds = 1;
    chat_->highlight = 0;
    chat_->SetPosition(DesignToVirtualX(8.0f), 0.0f);
    AddChild(chat_);

    slide_ = new AnimatePosition(this);
    slide_->excludeFromBounds = 1;
    AddChild(slide_);
    AddChild(toolTip_);

    float width = 0.0f, height = 0.0f;
    GetSize(&width, &height);
    SetSize(width, height);
    lastState_ = CommandState().sessionKind;
}

PlaybackVCR::~PlaybackVCR()
{
    // The chat window reads the message log: it goes before the log does.
    RemoveChild(chat_, true);
}

void PlaybackVCR::BuildButtons()
{
    const auto& table = ButtonTable();
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const ButtonRow& row = table[size_t(slot)];
        if (!row.file || (slot == kStartServerSlot && !kOffersStartServer))
            continue;
        // One frame: the whole image.
        auto* button = new AnimButton(std::string(kFolder) + row.file, kWholeImage, kWholeImage, kButtonFrameMs);
        button->scaleX = button->scaleY = GetUiScale();
        button->SetSize(kKeepCoordinate, kKeepCoordinate);
        button->SetName(row.file);
        button->SetPosition(DesignToVirtualX(row.x), DesignToVirtualY(row.y + 12.0f));
        void (*action)() = row.action;
        button->onClick = [action](Primitive*, ::Button*) { action(); };
        AddChild(button);
        toolTip_->SetTip(button, TranslateText(row.tip));
        buttons_[size_t(slot)] = button;
    }
    if (buttons_[kPlaySlot])
        buttons_[kPlaySlot]->visible = 0;
}

std::string PlaybackVCR::TipOf(const Primitive* control) const
{
    return toolTip_ && control ? toolTip_->TipFor(control) : std::string();
}

void PlaybackVCR::SetCollapsed(bool collapsed)
{
    const FloatPoint size = GetSizeVirtual();
    const float x = std::round(500.0f - size.x * 0.5f);
    const float y = collapsed ? kCollapsedY : std::round(1000.0f - size.y);
    slide_->Start(x, y, kSlideMs);
    collapsed_ = collapsed;
    collapseBox_->SetChecked(!collapsed, false, false);
}

void PlaybackVCR::ShowMinimap(bool show)
{
    auto* hud = dynamic_cast<PrimContainer*>(parent);
    if (!hud)
        return;
    auto* minimap = dynamic_cast<PrimContainer*>(hud->FindChild("MinimapWindow"));
    if (!show) {
        auto* fade = minimap ? dynamic_cast<AnimateAlpha*>(minimap->FindChild("ANIMATE_ALPHA")) : nullptr;
        if (!fade)
            return;
        // Closed, its container lets it go on its next update (the fade is its child).
        fade->onFinished = [](Primitive* target, Primitive*) {
            if (target)
                target->Deactivate();
        };
        fade->Start(AnimateAlpha::kFadeOut, kMinimapFadeMs);
        return;
    }
    if (minimap)
        return;
    std::unique_ptr<PrimContainer> made = CurrentHudGame().MakeMinimap();
    if (!made)
        return;
    made->SetName("MinimapWindow");
    made->hAlign = kAlignHCentre;
    made->vAlign = kAlignVCentre;
    Primitive* view = hud->FindChild("MOUSEPORT");
    const float viewCentre = view ? (view->GetScreenRect().top + view->GetScreenRect().bottom) / 2.0f : 500.0f;
    made->SetPosition(500.0f, viewCentre + DesignToVirtualY(14.0f));
    auto* fade = new AnimateAlpha(made.get());
    fade->excludeFromBounds = 1;
    made->AddChild(fade);
    PrimContainer* shown = made.release();
    hud->AddChildNear(shown, this, false); // under the panel
    fade->Start(AnimateAlpha::kFadeIn, kMinimapFadeMs);
}

void PlaybackVCR::OnSliderMoved()
{
    const uint32_t wanted = uint32_t(std::max(0, slider_->GetIntValue()));
    if (!PlaybackActions::SeekForward(wanted))
        slider_->SetIntValue(int(std::min<uint32_t>(ClientUpdateCounter(), INT32_MAX)));
}

void PlaybackVCR::FollowPlayback()
{
    const ClientCommandState& state = CommandState();
    if (slider_->Maximum() != float(state.playbackLength))
        slider_->SetRange(0.0f, float(state.playbackLength));
    const uint32_t counter = ClientUpdateCounter();
    if (!slider_->IsDragging()) {
        const float value = std::min(float(counter), slider_->Maximum());
        if (slider_->Value() != value) {
            slider_->SetValue(value, false);
            slider_->Invalidate();
        }
    }
    const std::string time = FormatGameTime(counter, true);
    if (clock_->GetText() != time) {
        clock_->SetText(time);
        clock_->FitToText();
    }
    const int now = state.sessionKind;
    if (now == kPlaybackFinished && lastState_ != kPlaybackFinished)
        messages_->Add(TranslateText("End of playback"), -1);
    lastState_ = now;
    chat_->highlight = chat_->ShownLines() > 0 ? 1 : 0; // drawn only while it has lines
    const bool paused = now == kPlaybackPaused;
    if (buttons_[kPlaySlot])
        buttons_[kPlaySlot]->visible = paused ? 1 : 0;
    if (buttons_[kPauseSlot])
        buttons_[kPauseSlot]->visible = paused ? 0 : 1;
}

void PlaybackVCR::Update()
{
    PrimContainer::Update();
    FollowPlayback();
}

PlaybackVCR* FindPlaybackVCR()
{
    return dynamic_cast<PlaybackVCR*>(FindOpenWindow(PlaybackVCR::kName));
}
