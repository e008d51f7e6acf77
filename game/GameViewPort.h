#pragma once
// The view of the world during play and playback, made by the in-game and playback HUDs
// under the window name "MOUSEPORT". Adds to the interactive view: the action belt on a
// click, wheel zoom (right button held) and wheel selection, following the selected flimb,
// the "highlight" cursor and the per-group flimb counts around the cursor. Zoom requests
// stay within [200, the zoom that shows the whole landscape].
#include "game/HudGameView.h"
#include "game/InteractiveVP.h"

#include <array>

struct Flimb;

// The HUD's view operations whose names the camera already uses with other meanings
// (Rotation, LookAt, SetViewRect), passed on under names of their own.
class HudViewSide : public HudGameView {
public:
    float Rotation() const final { return HudRotation(); }
    void LookAt(float zoom, float x, float y) final { HudLookAt(zoom, x, y); }
    void SetViewRect(float left, float top, float right, float bottom) final
    {
        HudSetViewRect(left, top, right, bottom);
    }

protected:
    virtual float HudRotation() const = 0;
    virtual void HudLookAt(float zoom, float x, float y) = 0;
    virtual void HudSetViewRect(float left, float top, float right, float bottom) = 0;
};

class GameViewPort : public InteractiveVP, public HudViewSide {
public:
    static constexpr const char* kWindowName = "MOUSEPORT";

    GameViewPort();
    ~GameViewPort() override;

    // The camera's own meanings; the HUD reaches its ones through HudGameView.
    using InteractiveVP::LookAt;
    using InteractiveVP::Rotation;
    using InteractiveVP::SetRotation;
    using ViewPort::SetViewRect;

    // The interactive view's press, then the belt for the selected flimb when it may open.
    Primitive* OnLeftButton(int x, int y, int phase) override;
    Primitive* OnRightButton(int x, int y, int phase) override;
    // Right button held: zoom. Otherwise the children (the landscape's selection); when
    // none takes it, the walking-direction filter of the next pick.
    Primitive* OnWheel(int delta) override;
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    // Adds "highlight" while an action key waits for a flimb.
    std::string GetCursorName() override;
    // The camera step, then the visible world rectangle and the follow rules.
    void Update() override;
    // The view, then the group counts around the cursor when shown.
    void Draw() override;
    void SetZoom(float zoom, int duration) override;

    // The live flimbs of each group whose sprite holds the world point; false (nothing to
    // show) while the point lies over a shown, active background trap.
    static bool GroupCountsAt(int32_t worldX, int32_t worldY, std::array<int32_t, 8>& counts);

    // Opens the HUD's stamp overlay ("StampUI") with the stamp's image.
    void AddStampUI(const std::string& stampImage);

    // ---- The HUD's game view (HudGameView).
    Primitive* Panel() override { return this; }
    // Turns the view over the time (radians).
    void SetRotation(float radians, uint32_t ms) override;
    // Zoom + delta (or the distance), limited like the wheel's zoom.
    void ZoomBy(float delta, uint32_t ms) override;
    void ZoomTo(float distance, uint32_t ms) override;
    // The camera moving or being dragged.
    bool IsScrolling() const override;
    FloatPoint WorldToScreen(float x, float y) const override;
    FloatRect VisibleRect() const override { return rect; }
    void SetShowCounts(bool show) override { showGroupCounts = show ? 1 : 0; }
    bool ShowCounts() const override { return showGroupCounts != 0; }
    // Opens the stamp tool with the image.
    void SetCurrentStamp(const std::string& stampImage) override { AddStampUI(stampImage); }
    // In a Multiverse match: drops the selection when the view follows it, then pans,
    // clamped, one universe (landscape width / universes) to the right, wrapping once; the
    // controller's other-view switch counts the universe shown.
    void ShowNextUniverse() override;
    bool FollowFlag() const override { return followFlag != 0; }
    void SetFollowFlag(bool follow) override { followFlag = follow ? 1 : 0; }

    uint8_t showGroupCounts = 0;
    // What the HUD last set from "follow_selected" (the follow rules read the variable).
    uint8_t followFlag = 0;
    uint8_t followGravity = 1;
    const Flimb* lastFollowed = nullptr;

protected:
    float HudRotation() const override { return GetRotation(); }
    void HudLookAt(float zoom, float x, float y) override { InteractiveVP::LookAt(x, y, zoom); }
    void HudSetViewRect(float left, float top, float right, float bottom) override
    {
        ViewPort::SetViewRect(left, top, right, bottom);
    }

private:
    void OpenBelt(Flimb& flimb);
    void FollowSelected();
    void DrawGroupCounts();
};

// The game view of the window list ("MOUSEPORT"), or null.
GameViewPort* FindGameViewPort();
