#include "hud/HudHooks.h"

namespace {

HudScreenHooks& Screens()
{
    static HudScreenHooks hooks;
    return hooks;
}

} // namespace

void SetHudScreenHooks(HudScreenHooks hooks)
{
    Screens() = std::move(hooks);
}

const HudScreenHooks& CurrentHudScreenHooks()
{
    return Screens();
}

void ShowFrontEndFromHud()
{
    if (Screens().showFrontEnd)
        Screens().showFrontEnd();
}
