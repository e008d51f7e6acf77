#include "session/SessionHooks.h"

namespace {

SessionHudHooks& Hud()
{
    static SessionHudHooks hooks;
    return hooks;
}

SessionScreenHooks& Screens()
{
    static SessionScreenHooks hooks;
    return hooks;
}

} // namespace

void SetSessionHudHooks(SessionHudHooks hooks)
{
    Hud() = std::move(hooks);
}

void SetSessionScreenHooks(SessionScreenHooks hooks)
{
    Screens() = std::move(hooks);
}

void OpenLevelHud()
{
    if (Hud().openLevelHud)
        Hud().openLevelHud();
}

void CloseLevelHud()
{
    if (Hud().closeLevelHud)
        Hud().closeLevelHud();
}

Primitive* MakePlaybackControls()
{
    return Hud().makePlaybackControls ? Hud().makePlaybackControls() : nullptr;
}

bool OfferLevelIntro()
{
    return Hud().showLevelIntro && Hud().showLevelIntro();
}

void ShowFrontEndMenus()
{
    if (Screens().showFrontEnd)
        Screens().showFrontEnd();
}
