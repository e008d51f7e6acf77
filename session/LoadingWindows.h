#pragma once
// The windows the session shows while a level is on its way: the loading window (a framed
// window with a turning throbber and a caption) while a level is named, fetched or hosted,
// and the "NETLOAD_THROB" window while a level's recorded commands are caught up. One of
// each at most; the window list owns them (deleted when closed).
#include "gui/FlimbsWindow.h"

#include <cstdint>
#include <string>

class Label;
class Throbber;

constexpr const char* kLevelLoadingWindowName = "LOADING_WINDOW";
constexpr const char* kNetLoadThrobberName = "NETLOAD_THROB";
// The catch-up throbber is animated (and its frame shown) at most this often.
constexpr uint32_t kNetLoadFrameMs = 50;

class SessionLoadingWindow : public FlimbsWindow {
public:
    SessionLoadingWindow(const char* windowName, const std::string& caption);

    // Sets the caption and fits the window round the throbber and the caption.
    void SetCaption(const std::string& caption);
    std::string Caption() const;
    Throbber& GetThrobber() { return *throbber_; }

private:
    void Fit();

    Throbber* throbber_ = nullptr; // children, owned by the container
    Label* caption_ = nullptr;
};

// Shows the loading window with the caption inside the parent (the session window), or over
// the screen when there is none; a shown one takes the new caption (and stays where it is).
void ShowLevelLoadingWindow(const std::string& caption, Primitive* parent = nullptr);
void CloseLevelLoadingWindow();
// The open loading window, or null.
SessionLoadingWindow* LevelLoadingWindow();

// While a catch-up runs (once per update): opens the "NETLOAD_THROB" window over the screen,
// and every kNetLoadFrameMs (clock in milliseconds) turns its throbber on by the time passed
// and shows a frame of it, since the main loop is busy until the catch-up ends.
void AnimateNetLoadThrobber(uint32_t nowMs);
void CloseNetLoadThrobber();
// The frames shown by AnimateNetLoadThrobber since the window opened.
int NetLoadThrobberFrames();
