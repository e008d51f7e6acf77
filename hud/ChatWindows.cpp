#include "hud/ChatWindows.h"

#include "app/StringUtil.h"
#include "game/MessageLog.h"
#include "gui/Animators.h"
#include "gui/FlimbsScrollBar.h"
#include "gui/GraphicButtons.h"
#include "gui/LayoutEngine.h"
#include "gui/ScreenImage.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"
#include "hud/ChatText.h"
#include "hud/HudGame.h"
#include "media/Draw2D.h"
#include "media/ImageCache.h"
#include "world/Groups.h"
#include "world/WorldClock.h"

#include <algorithm>

namespace {

constexpr const char* kChatFolder = "Graphics\\HUD\\InGame\\Chat";
constexpr const char* kChat2Folder = "Graphics\\HUD\\InGame\\Chat2";
constexpr int kNoticeSpeaker = -2;
constexpr int kFont = 0;

uint32_t Now()
{
    return CurrentGameTime();
}

} // namespace

// ---- Icons and colours

ChatIcons::ChatIcons()
{
    for (size_t g = 0; g < groups_.size(); ++g)
        groups_[g] = ImageCache::GetImageFromParts(kChatFolder, std::string("chat_icon_") + kGroupNames[g] + ".png");
    speaker_ = ImageCache::GetImageFromParts(kChatFolder, "speaker.png");
    notice_ = ImageCache::GetImageFromParts(kChatFolder, "error.png");
}

ChatIcons::~ChatIcons()
{
    for (AnimSurface* icon : groups_)
        ImageCache::ReleaseImage(icon);
    ImageCache::ReleaseImage(speaker_);
    ImageCache::ReleaseImage(notice_);
}

const AnimSurface* ChatIcons::For(int speaker) const
{
    if (speaker == kNoticeSpeaker)
        return notice_;
    const ChatSpeaker who = CurrentHudGame().Speaker(speaker);
    if (!who.isPlayer)
        return speaker_;
    if (who.avatar)
        return who.avatar;
    return groups_[size_t(std::clamp(who.group, 0, 7))];
}

float ChatIcons::WidthAt(const AnimSurface* icon, float height)
{
    if (!icon || icon->imageHeight <= 0)
        return 0.0f;
    return float(icon->imageWidth) * height / float(icon->imageHeight);
}

void ChatIcons::Draw(const AnimSurface* icon, float x, float centreY, float height, uint8_t alpha)
{
    if (!icon)
        return;
    const float width = WidthAt(icon, height);
    DrawImageFrame(icon, icon->imageWidth, icon->imageHeight, 0,
                   FloatRect{x, centreY - height / 2.0f, x + width, centreY + height / 2.0f},
                   WithAlpha(0xFFFFFFFF, alpha));
}

uint32_t ChatLineColour(int speaker)
{
    const ChatSpeaker who = CurrentHudGame().Speaker(speaker);
    return who.isPlayer ? kGroupColours[size_t(std::clamp(who.group, 0, 7))] : 0xFFFFFFFF;
}

// ---- ChatWindow

ChatWindow::ChatWindow(MessageLog* log) : DecoratedPrimContainer(kChatFolder, true), log_(log)
{
    SetName("CHAT_WINDOW");
    const float m = 8.0f * GetUiScale();
    margins = FloatRect{m, m, m, m};
    auto sizer = std::make_unique<AnimateSize>(this);
    sizer_ = sizer.get();
    AddChild(sizer.release());
}

ChatWindow::~ChatWindow() = default;

float ChatWindow::MeasureLine(int speaker, const std::string& text) const
{
    const float s = GetUiScale();
    const float icon = ChatIcons::WidthAt(icons_.For(speaker), 18.0f * s);
    return ToVirtualX(icon + 10.0f * ScreenImageScale()) + ToVirtualX(WidgetTextWidth(kFont, ChatDisplayText(text), s));
}

void ChatWindow::Update()
{
    DecoratedPrimContainer::Update();
    if (!log_)
        return;
    const uint32_t now = Now();
    int shown = 0;
    float widest = 0.0f;
    auto& entries = log_->Entries();
    for (auto it = entries.rbegin(); it != entries.rend() && ChatLineVisible(it->time, now); ++it) {
        ++shown;
        if (it->age == 0.0f)
            it->age = MeasureLine(it->sender, it->text);
        widest = std::max(widest, it->age);
    }
    shown_ = shown;
    widest_ = widest;
    float width = 0.0f, height = 0.0f;
    GetSize(&width, &height);
    if (width != asked_.x || height != asked_.y) {
        asked_ = {width, height};
        sizer_->Start(width, height, kChatFadeTime);
    }
}

bool ChatWindow::GetSize(float* width, float* height)
{
    const float lineHeight = ToVirtualY(WidgetLineHeight(kFont, GetUiScale()));
    if (width)
        *width = (margins.left + margins.right + 1.0f) / float(GetScreenWidth()) * 1000.0f + widest_;
    if (height)
        *height = float(shown_) * lineHeight + (margins.top + margins.bottom) / float(GetScreenHeight()) * 1000.0f;
    return true;
}

uint8_t ChatWindow::WindowAlpha() const
{
    if (!log_ || log_->Entries().empty())
        return 0;
    return shown_ < 2 ? ChatLineAlpha(log_->Entries().back().time, Now()) : alpha;
}

void ChatWindow::Draw()
{
    if (!log_ || log_->Entries().empty() || !visible || !highlight)
        return;
    const uint32_t now = Now();
    const uint8_t own = alpha;
    alpha = WindowAlpha();
    DecoratedPrimContainer::Draw();
    alpha = own;
    const float s = GetUiScale();
    const float lineHeight = WidgetLineHeight(kFont, s);
    const float iconHeight = 18.0f * s;
    float bottom = rect.bottom - margins.bottom;
    const auto& entries = log_->Entries();
    for (auto it = entries.rbegin(); it != entries.rend() && ChatLineVisible(it->time, now); ++it) {
        const uint8_t lineAlpha = ChatLineAlpha(it->time, now);
        const float top = bottom - lineHeight;
        if (top < rect.top) // the box is still growing
            break;
        const AnimSurface* icon = icons_.For(it->sender);
        const float x = rect.left + margins.left;
        ChatIcons::Draw(icon, x, top + lineHeight / 2.0f, iconHeight, lineAlpha);
        const float textX = x + ChatIcons::WidthAt(icon, iconHeight) + 10.0f * ScreenImageScale();
        DrawWidgetText(kFont, textX, top, s, WithAlpha(ChatLineColour(it->sender), lineAlpha),
                       ChatDisplayText(it->text), 0);
        bottom = top;
    }
}

// ---- ChatHistoryView

ChatHistoryView::ChatHistoryView(MessageLog* log)
    : log_(log), rowHeight_(WidgetLineHeight(kFont, 0.75f * GetUiScale())),
      widest_(ToVirtualX(200.0f * ScreenImageScale()))
{
    SetName("CHAT_HISTORY");
    if (rowHeight_ <= 0.0f)
        rowHeight_ = 1.0f;
    float w = 0.0f, h = 0.0f;
    GetSize(&w, &h);
    SetSize(w, h);
}

float ChatHistoryView::ScrollOffset() const
{
    return bar_ ? float(std::max(0, bar_->GetScrollPosition())) * rowHeight_ : 0.0f;
}

std::unique_ptr<Primitive> ChatHistoryView::EnsureScrollBar()
{
    const size_t lines = log_ ? log_->Entries().size() : 0;
    if (float(kVisibleRows) * rowHeight_ + 1.0f < float(lines) * rowHeight_)
        return std::make_unique<FlimbsScrollBar>();
    return nullptr;
}

void ChatHistoryView::Update()
{
    PrimContainer::Update();
    float w = 0.0f, h = 0.0f;
    GetSize(&w, &h);
    SetSize(w, h);
    const size_t length = log_ ? log_->Entries().size() : 0;
    const bool changed = length != lastLength_;
    lastLength_ = length;
    if (length > size_t(kVisibleRows) && !bar_) {
        if (std::unique_ptr<Primitive> made = EnsureScrollBar()) {
            bar_ = static_cast<FlimbsScrollBar*>(made.get());
            AddChild(made.release());
            bar_->SetScrollRange(int(length), kVisibleRows);
            bar_->ScrollToEnd(false);
            lastDistance_ = 0;
            UpdateAbsolutePosition();
            return;
        }
    }
    if (!bar_)
        return;
    if (changed) {
        bar_->SetScrollRange(int(length), kVisibleRows);
        UpdateAbsolutePosition();
        // New lines are followed only while the bar was at the end at the last update.
        if (lastDistance_ == 0 && bar_->DistanceFromEnd() != 0)
            bar_->ScrollToEnd(false);
    }
    lastDistance_ = bar_->DistanceFromEnd();
}

bool ChatHistoryView::GetSize(float* width, float* height)
{
    const int lines = log_ ? int(std::min<size_t>(log_->Entries().size(), 1000)) : 0;
    if (width)
        *width = ToVirtualX(3.0f * GetUiScale()) + widest_;
    if (height)
        *height = ToVirtualY(rowHeight_ * float(ChatHistoryRows(lines)));
    return true;
}

void ChatHistoryView::UpdateAbsolutePosition()
{
    PrimContainer::UpdateAbsolutePosition();
    if (!bar_)
        return;
    const float barWidth = ToVirtualY(17.0f * GetUiScale());
    const FloatPoint size = GetSizeVirtual();
    const FloatRect m = GetMarginsVirtual();
    bar_->SetPosition(size.x - barWidth, m.top);
    bar_->SetSize(barWidth, std::max(0.0f, size.y - m.top - m.bottom));
}

void ChatHistoryView::Draw()
{
    if (!visible || !highlight)
        return;
    PrimContainer::Draw();
    if (!log_)
        return;
    const float s = GetUiScale();
    float widest = ToVirtualX(100.0f * s);
    const auto& entries = log_->Entries();
    const float scroll = ScrollOffset();
    const float viewHeight = rect.bottom - rect.top;
    const ChatRowRange rows = ChatVisibleRows(int(entries.size()), rowHeight_, scroll, viewHeight);
    const float iconHeight = 18.0f * 0.75f * s;
    for (int i = rows.first; i < rows.last; ++i) {
        const MessageLog::Entry& entry = entries[size_t(i)];
        const float top = rect.top + float(i) * rowHeight_ - scroll;
        const AnimSurface* icon = icons_.For(entry.sender);
        const float iconX = rect.left + 20.0f * s;
        ChatIcons::Draw(icon, iconX, top + rowHeight_ / 2.0f, iconHeight, alpha);
        const float textX = iconX + ChatIcons::WidthAt(icon, iconHeight) + 5.0f * s;
        const std::string text = ChatDisplayText(entry.text);
        DrawWidgetText(kFont, textX, top, 0.75f * s, WithAlpha(ChatLineColour(entry.sender), alpha), text, 0);
        // Rows at least half visible widen the view.
        if (top + rowHeight_ / 2.0f <= rect.bottom)
            widest = std::max(widest, ToVirtualX(textX - rect.left + WidgetTextWidth(kFont, text, 0.75f * s)));
    }
    widest_ = std::min(widest, 1000.0f);
}

// ---- ChatWindow2

ChatWindow2::ChatWindow2(MessageLog* log) : DecoratedPrimContainer(kChat2Folder, true)
{
    SetName("CHAT_POPUP");
    containerFlags |= kContainerWindow; // the bubble its close button closes
    const float s = GetUiScale();
    margins = FloatRect{4.0f * s, 4.0f * s, 4.0f * s, 5.0f * s};
    tail_ = ImageCache::GetImageFromParts(kChat2Folder, "tail.png");
    LayoutEngine layout(this);
    const FloatRect m = GetMarginsVirtual();
    layout.SetMargins(m.left, m.top, m.right, m.bottom);
    layout.SetDirection(FlowDirection::Columns);
    auto history = std::make_unique<ChatHistoryView>(log);
    history_ = history.get();
    history_->SetPosition(m.left, m.top);
    AddChild(history.release());
    GraphicButton* close = layout.AddImageButton("chat_close", kChat2Folder, "chat_close.png", 1);
    close_ = close;
    if (close) {
        close->onClick = [](Primitive*, Button* button) {
            for (Primitive* walk = button->parent; walk; walk = walk->parent)
                if (auto* bubble = dynamic_cast<ChatWindow2*>(walk)) {
                    bubble->visible = 0;
                    return;
                }
        };
        close->hAlign = kAlignRight;
    }
    layout.Finish();
    Update();
}

ChatWindow2::~ChatWindow2()
{
    ImageCache::ReleaseImage(tail_);
}

void ChatWindow2::Update()
{
    DecoratedPrimContainer::Update();
    const FloatRect m = GetMarginsVirtual();
    if (close_)
        close_->SetPosition(history_->GetSizeVirtual().x + m.left, m.top);
    float w = 0.0f, h = 0.0f;
    PrimContainer::GetSize(&w, &h);
    const float closeWidth = close_ ? close_->GetSizeVirtual().x : 0.0f;
    SetSize(history_->GetSizeVirtual().x + closeWidth + m.left + m.right, h);
}

void ChatWindow2::Draw()
{
    if (!visible || !highlight)
        return;
    DecoratedPrimContainer::Draw();
    if (tail_) {
        const float s = ScreenImageScale();
        const float x = rect.left + margins.left;
        DrawImageFrame(tail_, tail_->imageWidth, tail_->imageHeight, 0,
                       FloatRect{x, rect.bottom - 1.0f, x + float(tail_->imageWidth) * s,
                                 rect.bottom - 1.0f + float(tail_->imageHeight) * s},
                       WithAlpha(0xFFFFFFFF, alpha));
    }
}
