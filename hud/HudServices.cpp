#include "hud/HudServices.h"

void UpdateGlobalPopup() {}

void ShutdownHud() {}

void HudAddToHistoryStrip(Flimb* /*flimb*/) {}

void HudNoteSelection(Flimb* /*flimb*/) {}

void HudHideBelt() {}

void HudSetBeltLock(bool /*locked*/) {}

bool HudPressScoreButton(bool /*down*/)
{
    return false;
}
