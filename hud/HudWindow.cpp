#include "hud/HudWindow.h"

#include "gui/WindowList.h"
#include "hud/StampUI.h"

HudWindow* FindHud()
{
    return dynamic_cast<HudWindow*>(FindOpenWindow("FLIMBS_HUD"));
}

HudGameView* FindHudGameView()
{
    HudWindow* hud = FindHud();
    return hud ? hud->GameView() : nullptr;
}

float HudGameViewCentreY()
{
    HudGameView* view = FindHudGameView();
    Primitive* panel = view ? view->Panel() : nullptr;
    if (!panel)
        return 500.0f;
    const FloatRect r = panel->GetScreenRect();
    return (r.top + r.bottom) / 2.0f;
}

float HudGameViewBottom()
{
    HudGameView* view = FindHudGameView();
    Primitive* panel = view ? view->Panel() : nullptr;
    return panel ? panel->GetScreenRect().bottom : 1000.0f;
}

namespace {

// The game view until the viewports make the real one: it keeps what the HUD sets, turns
// screen and world pixels into each other one to one and opens the stamp overlay.
class StandInGameView : public Primitive, public HudGameView {
public:
    StandInGameView() { SetName("MOUSEPORT"); }

    Primitive* Panel() override { return this; }
    void SetRotation(float radians, uint32_t) override { rotation_ = radians; }
    float Rotation() const override { return rotation_; }
    void LookAt(float, float, float) override {}
    void ZoomBy(float, uint32_t) override {}
    void ZoomTo(float, uint32_t) override {}
    bool IsScrolling() const override { return false; }
    FloatPoint WorldToScreen(float x, float y) const override { return FloatPoint{x, y}; }
    FloatRect VisibleRect() const override { return rect; }
    void SetShowCounts(bool show) override { showCounts_ = show; }
    void SetCurrentStamp(const std::string& stampImage) override { AddStampUI(stampImage); }
    bool ShowCounts() const override { return showCounts_; }
    bool FollowFlag() const override { return follow_; }
    void SetFollowFlag(bool follow) override { follow_ = follow; }

private:
    float rotation_ = 0.0f;
    bool showCounts_ = false;
    bool follow_ = false;
};

HudGameViewMaker g_viewMaker = nullptr;

} // namespace

void SetHudGameViewMaker(HudGameViewMaker maker)
{
    g_viewMaker = maker;
}

std::unique_ptr<Primitive> MakeHudGameView()
{
    if (g_viewMaker)
        if (std::unique_ptr<Primitive> view = g_viewMaker())
            return view;
    return std::make_unique<StandInGameView>();
}
