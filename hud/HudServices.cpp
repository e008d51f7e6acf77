#include "hud/HudServices.h"

#include "app/Log.h"
#include "gui/PrimContainer.h"
#include "hud/Console.h"

void StartConsole()
{
    Console::Enable();
}

void ToggleConsole()
{
    ToggleConsoleView();
}

void UpdateGlobalPopup() {}

void ShutdownHud()
{
    Console::Shutdown();
}

void HudAddToHistoryStrip(Flimb* /*flimb*/) {}

void HudNoteSelection(Flimb* /*flimb*/) {}

void HudOpenBelt(const Flimb* /*flimb*/) {}

void HudHideBelt() {}

bool HudBeltOpen()
{
    return false;
}

AnimSurface* HudBeltSlotIcon(int /*slot*/)
{
    return nullptr;
}

Primitive* HudMakeStampUI(const std::string& name)
{
    auto* panel = new PrimContainer();
    panel->SetName(name.c_str());
    panel->visible = 0;
    return panel;
}

void HudLandscapePressed() {}

void HudSetBeltLock(bool /*locked*/) {}

bool HudPressScoreButton(bool /*down*/)
{
    return false;
}

void PostChatLine(const std::string& text, uint32_t)
{
    WriteLog("%s\n", text.c_str());
}
