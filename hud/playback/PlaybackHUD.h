#pragma once
// The playback HUD "PLAYBACK_HUD", shown instead of the in-game HUD while a recorded match
// is replayed: the game view "MOUSEPORT" over the whole screen, the playback controls
// slid up from the bottom edge, and a bar along the top with the viewed group's morph
// counts. Space plays or pauses, "<" and ">" turn the view by a quarter. Each level the
// replay loads is first shown whole.
#include "gui/PrimContainer.h"
#include "hud/FlimbsBelt.h"
#include "hud/HudWindow.h"
#include "platform/input/ScanCodes.h"

#include <cstdint>
#include <string>

class PlaybackVCR;

// One cell of the counts bar: the icon's frame, its alpha and whether the number shows.
struct CountsBarCell {
    int frame = 0;
    uint8_t alpha = 200;
    bool showNumber = true;
};
// A count of 200 (the group has none of the type) is drawn faint; neither it nor 199
// (unlimited) shows a number. The frame is the count, at most the icon's last.
CountsBarCell CountsBarCellFor(int count, int frames);

class PlaybackHUD : public PrimContainer, public HudWindow {
public:
    static constexpr const char* kName = "PLAYBACK_HUD";
    static constexpr int kTurnLeftKey = kKeyComma;   // "<"
    static constexpr int kTurnRightKey = kKeyPeriod; // ">"
    static constexpr uint32_t kTurnMs = 500;
    static constexpr int kCountFont = 3;

    PlaybackHUD();
    ~PlaybackHUD() override;

    // Presses of Space, "<" and ">"; other keys go to the children.
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    // The panel lies over the view: it is asked first where the pointer is.
    Primitive* OnLeftButton(int x, int y, int phase) override;
    Primitive* OnRightButton(int x, int y, int phase) override;
    Primitive* HitTest(int x, int y) override;
    // The children; the view shows a newly loaded level whole.
    void Update() override;
    // The children, then the counts bar unless the overlays are hidden.
    void Draw() override;

    // The view's angle after one quarter turn: -1 ("<"; below -1 radian it wraps to 3 pi / 2)
    // or +1 (">"; 2 pi or more wraps to 0).
    static float TurnedAngle(float angle, int direction);

    // HudWindow: the playback HUD is its own single layer.
    PrimContainer* UpperLayer() override { return this; }
    PrimContainer* LowerLayer() override { return this; }
    PrimContainer* TopContainer() override { return this; }
    HudGameView* GameView() override { return view_; }
    FlimbMasterDisplay* MasterDisplay() override { return nullptr; }
    void Refresh() override {}

    Primitive* GameViewPanel() const { return viewPanel_; }
    PlaybackVCR* VCR() const { return vcr_; }

private:
    void DrawCountsBar();

    HudGameView* view_ = nullptr;
    Primitive* viewPanel_ = nullptr;
    PlaybackVCR* vcr_ = nullptr;
    BeltIcons icons_{};
    std::string framedLevel_;
};

// The open playback HUD, or null.
PlaybackHUD* FindPlaybackHUD();
