#include "TestHudScene.h"

#include "gui/UiScale.h"
#include "gui/WindowList.h"

#include <vector>

TestHudScene::TestHudScene()
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

TestHudScene::~TestHudScene()
{
    CloseWindow(this);
}

void TestHudScene::AddWidget(Primitive* widget)
{
    AddChildNear(widget, view_, false);
}

void TestHudScene::Draw()
{
    const std::vector<Primitive*> children = CopyChildList();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        Primitive* child = *it;
        if (child->visible && child->highlight && child->active)
            child->Draw();
    }
}
