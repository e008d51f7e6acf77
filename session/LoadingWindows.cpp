#include "session/LoadingWindows.h"

#include "app/LanguageTexts.h"
#include "gui/Label.h"
#include "gui/LoadingScreen.h"
#include "gui/PrimContainer.h"
#include "gui/Throbber.h"
#include "gui/UiScale.h"
#include "gui/WindowList.h"

#include <algorithm>

namespace {

constexpr float kLoadingMargin = 14.0f; // design pixels round the content
constexpr float kLoadingGap = 10.0f;    // between the throbber and the caption
constexpr int kLoadingFont = 0;

struct NetLoadAnimation {
    uint32_t lastFrameMs = 0;
    bool started = false;
    int frames = 0;
};

NetLoadAnimation& NetLoad()
{
    static NetLoadAnimation animation;
    return animation;
}

SessionLoadingWindow* OpenLoadingWindow(const char* name)
{
    return dynamic_cast<SessionLoadingWindow*>(FindOpenWindow(name));
}

void CloseNamedWindow(const char* name)
{
    if (Primitive* window = FindOpenWindow(name))
        window->Deactivate();
}

// Centred in the parent (the screen: 1000 x 1000).
void CentreIn(Primitive& window, const Primitive* parent)
{
    const float width = parent ? parent->rect.right - parent->rect.left : 1000.0f;
    const float height = parent ? parent->rect.bottom - parent->rect.top : 1000.0f;
    float w = 0.0f, h = 0.0f;
    window.GetSize(&w, &h);
    window.SetPosition(std::max(0.0f, (width - w) / 2.0f), std::max(0.0f, (height - h) / 2.0f));
}

} // namespace

SessionLoadingWindow::SessionLoadingWindow(const char* windowName, const std::string& caption)
{
    SetName(windowName);
    auto throbber = std::make_unique<Throbber>();
    throbber_ = throbber.get();
    AddChild(throbber.release());
    auto label = std::make_unique<Label>(kLoadingFont, 0xFFFFFFFF, kLabelLeft | kLabelVCentre);
    caption_ = label.get();
    AddChild(label.release());
    SetCaption(caption);
}

void SessionLoadingWindow::SetCaption(const std::string& caption)
{
    caption_->SetText(caption);
    caption_->FitToText();
    Fit();
}

std::string SessionLoadingWindow::Caption() const { return caption_->GetText(); }

void SessionLoadingWindow::Fit()
{
    const float marginX = DesignUnitsX(kLoadingMargin), marginY = DesignUnitsY(kLoadingMargin);
    float throbberW = 0.0f, throbberH = 0.0f, textW = 0.0f, textH = 0.0f;
    throbber_->GetSize(&throbberW, &throbberH);
    caption_->GetSize(&textW, &textH);
    const float contentH = std::max(throbberH, textH);
    throbber_->SetPosition(marginX, marginY + (contentH - throbberH) / 2.0f);
    caption_->SetPosition(marginX + throbberW + DesignUnitsX(kLoadingGap), marginY + (contentH - textH) / 2.0f);
    SetSize(marginX * 2.0f + throbberW + DesignUnitsX(kLoadingGap) + textW, marginY * 2.0f + contentH);
    UpdateAbsolutePosition();
}

void ShowLevelLoadingWindow(const std::string& caption, Primitive* parent)
{
    if (SessionLoadingWindow* shown = OpenLoadingWindow(kLevelLoadingWindowName)) {
        shown->SetCaption(caption);
        return;
    }
    auto window = std::make_unique<SessionLoadingWindow>(kLevelLoadingWindowName, caption);
    auto* container = dynamic_cast<PrimContainer*>(parent);
    CentreIn(*window, container);
    if (container) {
        container->AddChild(window.release());
        container->UpdateAbsolutePosition();
    } else {
        window->UpdateAbsolutePosition();
        OpenWindow(window.release(), true);
    }
}

void CloseLevelLoadingWindow() { CloseNamedWindow(kLevelLoadingWindowName); }

SessionLoadingWindow* LevelLoadingWindow() { return OpenLoadingWindow(kLevelLoadingWindowName); }

void AnimateNetLoadThrobber(uint32_t nowMs)
{
    NetLoadAnimation& animation = NetLoad();
    SessionLoadingWindow* window = OpenLoadingWindow(kNetLoadThrobberName);
    if (!window) {
        auto made = std::make_unique<SessionLoadingWindow>(kNetLoadThrobberName, TranslateText("Loading..."));
        CentreIn(*made, nullptr);
        made->UpdateAbsolutePosition();
        window = made.get();
        OpenWindow(made.release(), true);
        animation = NetLoadAnimation{};
    }
    if (animation.started && nowMs - animation.lastFrameMs < kNetLoadFrameMs)
        return;
    if (animation.started)
        window->GetThrobber().Advance(nowMs - animation.lastFrameMs);
    animation.started = true;
    animation.lastFrameMs = nowMs;
    ++animation.frames;
    PresentLoadingFrame(*window);
}

void CloseNetLoadThrobber()
{
    CloseNamedWindow(kNetLoadThrobberName);
    NetLoad() = NetLoadAnimation{};
}

int NetLoadThrobberFrames() { return NetLoad().frames; }
