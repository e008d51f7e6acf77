#pragma once
// The view of the world during play and playback, made by the in-game and playback HUDs
// under the window name "MOUSEPORT". Adds to the interactive view: the action belt on a
// click, wheel zoom (right button held) and wheel selection, following the selected flimb,
// the "highlight" cursor and the per-group flimb counts around the cursor. Zoom requests
// stay within [200, the zoom that shows the whole landscape].
#include "game/InteractiveVP.h"

#include <array>

struct Flimb;

class GameViewPort : public InteractiveVP {
public:
    static constexpr const char* kWindowName = "MOUSEPORT";

    GameViewPort();
    ~GameViewPort() override;

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

    // The stamp tool overlay of that name over the whole view.
    void AddStampUI(const std::string& stampName);

    uint8_t showGroupCounts = 0;
    uint8_t followGravity = 1;
    const Flimb* lastFollowed = nullptr;

private:
    void OpenBelt(Flimb& flimb);
    void FollowSelected();
    void DrawGroupCounts();
};

// The game view of the window list ("MOUSEPORT"), or null.
GameViewPort* FindGameViewPort();
