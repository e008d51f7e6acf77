#include "hud/HudWindow.h"

#include "gui/WindowList.h"

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
