#pragma once
// The iris that covers a screen change: a full-screen container that plays the iris clip
// closing over the old screen, holds it shut until the next screen is ready, then plays it
// opening over the new one, with an optional title bar that rises from the bottom edge.
//
// Clip timing (the clip is made by the video generator's "iris" look): the clip holds the
// opening first and the closing after it. The closing play starts 2/3 s into the clip
// (start field 6666666) and runs to its end, which is fully covered, and then holds that
// last frame for as long as the screen takes. The opening play starts at 0 and stops at
// 2/3 s, where the iris is wide open, so it reveals the new screen and never closes again.
// A clip that cannot be loaded counts as finished at once: the screen still changes.
#include "gui/PrimContainer.h"

#include <cstdint>
#include <functional>
#include <string>

class AnimatePosition;
class FlimbsMenuBar;
class ScreenVideo;

class FlimbsTransition : public PrimContainer {
public:
    enum class State { Opening = 0, Closing = 1, Closed = 2, Done = 3 };
    // Called with (null, the transition).
    using Callback = std::function<void(Primitive* argument, FlimbsTransition* transition)>;

    static constexpr const char* kIrisClip = "Graphics\\Logos\\flimbs_iris_transition.ogv";
    // Where the closing play starts and the opening play stops (100 ns units).
    static constexpr int64_t kClosingStart = 6666666;
    static constexpr uint32_t kIrisKeyMask = 0xF8F8F8u;
    static constexpr uint32_t kTitleMoveMs = 750;

    FlimbsTransition();

    // Stores the text; the first call makes the title bar below the screen and slides it
    // up into view. Every call sets the bar's text.
    void SetTitle(const std::string& text);
    // Updates the children, then moves the state on (see the class comment).
    void Update() override;

    State GetState() const { return state_; }
    ScreenVideo* Video() const { return video_; }
    FlimbsMenuBar* TitleBar() const { return titleBar_; }
    AnimatePosition* TitleAnimation() const { return titleAnimation_; }
    const std::string& TitleText() const { return titleText_; }

    bool screenReady = false;
    Callback onClosed;
    Callback onFinished;

private:
    FlimbsMenuBar* titleBar_ = nullptr;
    ScreenVideo* video_ = nullptr;
    std::string titleText_;
    AnimatePosition* titleAnimation_ = nullptr;
    State state_ = State::Closing;
};
