#pragma once
// A stand-in (header only, so that the HUD benchmark builds it too) for the HUD window "FLIMBS_HUD" until the real one exists: a full-screen
// container with the named parts the HUD's widgets use (the upper and lower layers, a fake
// game view "MOUSEPORT" with the HUD's view rectangle, the FlimbMaster display), opened as
// a window while it lives. Its children are offered input from the upper layer down to the
// game view and drawn in the opposite order, so that the layers lie on top.
#include "gui/PrimContainer.h"
#include "gui/UiScale.h"
#include "gui/WindowList.h"
#include "hud/FlimbMasterDisplay.h"
#include "hud/HudWindow.h"
#include "media/Draw2D.h"

#include <string>
#include <vector>

// The game view: records what the HUD asks of it; world and screen pixels are the same,
// offset by the view's top-left.
class FakeGameView : public Primitive, public HudGameView {
public:
    FakeGameView() { SetName("MOUSEPORT"); }

    Primitive* Panel() override { return this; }
    void SetRotation(float radians, uint32_t ms) override
    {
        rotation = radians;
        calls.push_back("rotate " + std::to_string(radians) + " " + std::to_string(ms));
    }
    float Rotation() const override { return rotation; }
    void LookAt(float zoom, float x, float y) override
    {
        calls.push_back("look " + std::to_string(int(zoom)) + " " + std::to_string(int(x)) + " " +
                        std::to_string(int(y)));
    }
    void ZoomBy(float delta, uint32_t ms) override
    {
        calls.push_back("zoom-by " + std::to_string(int(delta)) + " " + std::to_string(ms));
    }
    void ZoomTo(float distance, uint32_t ms) override
    {
        calls.push_back("zoom-to " + std::to_string(int(distance)) + " " + std::to_string(ms));
    }
    bool IsScrolling() const override { return scrolling; }
    FloatPoint WorldToScreen(float x, float y) const override { return FloatPoint{rect.left + x, rect.top + y}; }
    FloatRect VisibleRect() const override { return rect; }
    void SetShowCounts(bool show) override { showCounts = show; }
    bool ShowCounts() const override { return showCounts; }
    bool FollowFlag() const override { return follow; }
    void SetFollowFlag(bool on) override { follow = on; }
    void HideHoverMarker() override { ++hoverHidden; }
    void SetViewRect(float l, float t, float r, float b) override
    {
        viewRect = FloatRect{l, t, r, b};
    }
    void SetCurrentStamp(const std::string& stamp) override { currentStamp = stamp; }
    int OnKey(int value, int code, bool, IInputDevice&) override
    {
        keys.push_back(code);
        (void)value;
        return takesKeys ? 1 : 0;
    }
    Primitive* OnLeftButton(int x, int y, int phase) override
    {
        clicks.push_back(phase);
        return PointInRect(x, y) ? this : nullptr;
    }
    // A sky over a band of ground, so that pictures of the HUD read as a game.
    void Draw() override
    {
        const float ground = rect.top + (rect.bottom - rect.top) * 0.72f;
        const gfx::D3DCOLOR sky = 0xFF2A4A6Au, earth = 0xFF5A3E28u;
        Draw2D::DrawFilledRect(rect.left, rect.top, rect.right, ground, sky);
        Draw2D::DrawFilledRect(rect.left, ground, rect.right, rect.bottom, earth);
        Draw2D::DrawFilledRect(rect.left, ground, rect.right, ground + 4.0f, 0xFF6FA34Au);
    }

    float rotation = 0.0f;
    bool scrolling = false;
    bool showCounts = false;
    bool follow = false;
    int hoverHidden = 0;
    FloatRect viewRect;
    bool takesKeys = false;
    std::string currentStamp;
    std::vector<std::string> calls;
    std::vector<int> keys;
    std::vector<int> clicks;
};

class TestHudScene : public PrimContainer, public HudWindow {
public:
    // Builds the scene for the present screen and opens it.
    TestHudScene()
    {
        SetName("FLIMBS_HUD");
        deleteWhenClosed = 0;
        containerFlags |= kContainerWindow | kContainerTransparent;
        SetPosition(0.0f, 0.0f);
        SetSize(1000.0f, 1000.0f);
        const float s = GetUiScale();
        const float w = float(GetScreenWidth());
        upper_ = new PrimContainer;
        lower_ = new PrimContainer;
        for (PrimContainer* layer : {upper_, lower_}) {
            layer->containerFlags |= kContainerTransparent;
            layer->SetPosition(0.0f, 0.0f);
            layer->SetSize(1000.0f, 1000.0f);
            layer->excludeFromBounds = 1;
            AddChild(layer);
        }
        upper_->SetName("HUD_MENU_LAYER");
        lower_->SetName("HUD_OVERLAY_LAYER");
        display_ = new FlimbMasterDisplay;
        display_->hAlign = kAlignHCentre;
        display_->vAlign = kAlignBottom;
        display_->SetPosition(500.0f, 1000.0f);
        AddChild(display_);
        // The HUD's view rectangle: left 20 s, top 39 s, right width - 20 s, bottom 629 s.
        view_ = new FakeGameView;
        AddChild(view_);
        view_->SetPosition(ToVirtualX(20.0f * s), ToVirtualY(39.0f * s));
        view_->SetSize(ToVirtualX(w - 40.0f * s), ToVirtualY(590.0f * s));
        OpenWindow(this, true);
    }
    ~TestHudScene() override { CloseWindow(this); }

    PrimContainer* UpperLayer() override { return upper_; }
    PrimContainer* LowerLayer() override { return lower_; }
    PrimContainer* TopContainer() override { return this; }
    HudGameView* GameView() override { return view_; }
    FlimbMasterDisplay* MasterDisplay() override { return display_; }
    void Refresh() override { ++refreshes; }

    // Back to front: the game view first, the upper layer last.
    void Draw() override
    {
        const std::vector<Primitive*> children = CopyChildList();
        for (auto it = children.rbegin(); it != children.rend(); ++it) {
            Primitive* child = *it;
            if (child->visible && child->highlight && child->active)
                child->Draw();
        }
    }

    // Adds a widget between the layers and the game view (drawn over the view, under the
    // layers).
    void AddWidget(Primitive* widget) { AddChildNear(widget, view_, false); }

    FakeGameView* View() const { return view_; }
    int refreshes = 0;

private:
    PrimContainer* upper_;
    PrimContainer* lower_;
    FakeGameView* view_;
    FlimbMasterDisplay* display_;
};
