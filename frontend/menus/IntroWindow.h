#pragma once
// The first screen of a normal start: the maker's intro video (or, when it cannot be
// played, its still logo fading in and out), then the partner logos, then the menus. Any
// key or click skips straight to the menus.
#include "gui/SimpleWindow.h"

class ScreenVideo;
class ScreenImage;

class IntroWindow : public SimpleWindow {
public:
    static constexpr const char* kName = "IntroMenu";
    static constexpr const char* kVideo = "Graphics\\Logos\\quarvex_intro.ogv";
    static constexpr const char* kStillLogo = "Graphics\\Logos\\quarvex.jpg";
    // The fade-out starts this long before the clip's end (100 ns units).
    static constexpr int64_t kFadeLead = 12000000;

    IntroWindow();

    Primitive* OnLeftButton(int x, int y, int phase) override;
    Primitive* OnRightButton(int x, int y, int phase) override;
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    // Starts the video's fade-out 1.2 s before its end, then updates the children.
    void Update() override;

    ScreenVideo* Video() const { return video_; }
    ScreenImage* StillLogo() const { return still_; }
    bool FadeStarted() const { return done_ != 0; }

private:
    ScreenVideo* video_ = nullptr;
    ScreenImage* still_ = nullptr;
    uint8_t done_ = 0;
};

// The partner logos, the finished callback of the intro's fades: four logos with their
// line of text over the intro, fading in and out over 4 s, after which the intro closes.
void ShowPartnerLogos(Primitive* target, Primitive* animation);
// The four partner logo files under "Graphics\Logos\".
extern const char* const kPartnerLogos[4];
