#pragma once
// The chat's views of the message log: ChatWindow, the small box of the newest lines (each
// lives 9500 ms of game time and fades over its last 400 ms; the box grows and shrinks with
// an animation); ChatHistoryView, the whole log in 3 to 10 rows with a scroll bar that
// follows new lines only while it is at the end; ChatWindow2, the chat bubble "CHAT_POPUP"
// holding a history view and a close button. Lines are shown as plain text, cleaned and cut.
#include "gui/DecoratedPrimContainer.h"
#include "gui/PrimContainer.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class AnimSurface;
class AnimateSize;
class FlimbsScrollBar;
class MessageLog;

// The pictures every chat view uses: a group icon per group, the speaker and the notice.
class ChatIcons {
public:
    ChatIcons();
    ~ChatIcons();
    ChatIcons(const ChatIcons&) = delete;
    ChatIcons& operator=(const ChatIcons&) = delete;

    // The picture of a line's speaker: a player's avatar (else the group's icon), the
    // notice icon for -2, the speaker icon for anyone else.
    const AnimSurface* For(int speaker) const;
    // Its drawn width for a height (pixels).
    static float WidthAt(const AnimSurface* icon, float height);
    static void Draw(const AnimSurface* icon, float x, float centreY, float height, uint8_t alpha);

private:
    std::array<AnimSurface*, 8> groups_{};
    AnimSurface* speaker_ = nullptr;
    AnimSurface* notice_ = nullptr;
};

// The text colour of a line: its player's group colour, white for anyone else.
uint32_t ChatLineColour(int speaker);

class ChatWindow : public DecoratedPrimContainer {
public:
    explicit ChatWindow(MessageLog* log);
    ~ChatWindow() override;

    void Update() override;
    void Draw() override;
    // Margins plus the widest shown line; margins plus the shown lines' height.
    bool GetSize(float* width, float* height) override;

    int ShownLines() const { return shown_; }
    float WidestLine() const { return widest_; }
    uint8_t WindowAlpha() const;

private:
    float MeasureLine(int speaker, const std::string& text) const;

    MessageLog* log_;
    ChatIcons icons_;
    int shown_ = 0;
    float widest_ = 0.0f; // virtual units
    FloatPoint asked_{-1.0f, -1.0f};
    AnimateSize* sizer_ = nullptr;
};

class ChatHistoryView : public PrimContainer {
public:
    static constexpr int kVisibleRows = 10;

    explicit ChatHistoryView(MessageLog* log);

    void Update() override;
    void Draw() override;
    // 3 pixels plus the widest row; rows for 3 .. 10 lines.
    bool GetSize(float* width, float* height) override;
    // The scroll bar at the right edge, as tall as the view.
    void UpdateAbsolutePosition() override;
    // A scroll bar when the log holds more rows than the view shows, else none.
    std::unique_ptr<Primitive> EnsureScrollBar();

    FlimbsScrollBar* ScrollBar() const { return bar_; }
    float RowHeight() const { return rowHeight_; }
    // The scroll offset in pixels.
    float ScrollOffset() const;

private:
    MessageLog* log_;
    ChatIcons icons_;
    float rowHeight_;
    float widest_; // virtual units
    size_t lastLength_ = 0;
    int lastDistance_ = 0;
    FlimbsScrollBar* bar_ = nullptr;
};

class ChatWindow2 : public DecoratedPrimContainer {
public:
    explicit ChatWindow2(MessageLog* log);
    ~ChatWindow2() override;

    // The bubble, its children, then the tail under its left edge.
    void Draw() override;
    // The children's update, then the bubble fits its content.
    void Update() override;

    ChatHistoryView* History() const { return history_; }
    Primitive* CloseButton() const { return close_; }

private:
    ChatHistoryView* history_ = nullptr;
    Primitive* close_ = nullptr;
    AnimSurface* tail_ = nullptr;
};
