#include "hud/HudServices.h"

#include "app/Log.h"
#include "game/GameController.h"
#include "gui/PrimContainer.h"
#include "hud/Console.h"
#include "hud/FlimbsHUD.h"
#include "media/DXManager.h"
#include "hud/FlimbsBelt.h"
#include "hud/HistoryFilmStrip.h"
#include "hud/HudKeyActions.h"
#include "hud/TimeControls.h"
#include "hud/playback/PlaybackHUD.h"
#include "session/SessionHooks.h"
#include "gui/WindowList.h"
#include "world/Flimb.h"

void StartConsole()
{
    Console::Enable();
    RegisterHudKeyActions();
}

void ToggleConsole()
{
    ToggleConsoleView();
}

void CloseConsole()
{
    Console::Close();
}

void UpdateGlobalPopup() {}

void ShutdownHud()
{
    Console::Shutdown();
}

void InstallHudHooks()
{
    SessionHudHooks hooks;
    hooks.openLevelHud = OpenHudForLevel;
    hooks.closeLevelHud = CloseHudForLevel;
    hooks.addToHistoryStrip = HudAddToHistoryStrip;
    hooks.makePlaybackControls = []() -> Primitive* { return new PlaybackHUD; };
    SetSessionHudHooks(std::move(hooks));
}

void OpenHudForLevel()
{
    if (!DXManager::GetDevice())
        return;
    OpenFlimbsHUD();
}

void CloseHudForLevel()
{
    if (FlimbsHUD* hud = FindFlimbsHUD())
        hud->Close();
}

void HudAddToHistoryStrip(Flimb* flimb)
{
    if (HistoryFilmStrip* strip = flimb ? FindHistoryStrip() : nullptr)
        strip->AddFlimb(flimb->id, false);
}

void HudNoteSelection(Flimb* /*flimb*/) {}

void HudOpenBelt(const Flimb* flimb)
{
    if (FlimbsBelt* belt = flimb ? FindHudBelt(true) : nullptr)
        belt->Open(flimb->id);
}

void HudHideBelt()
{
    if (FlimbsBelt* belt = FindHudBelt(false))
        belt->Hide();
}

bool HudBeltOpen()
{
    const FlimbsBelt* belt = FindHudBelt(false);
    return belt && belt->IsOpen();
}

const AnimSurface* HudBeltIconForAction(int action)
{
    const FlimbsBelt* belt = FindHudBelt(false);
    return belt ? belt->IconForCode(action) : nullptr;
}

void HudLandscapePressed() {}

void HudSetBeltLock(bool /*locked*/) {}

bool HudPressScoreButton(bool down)
{
    if (!FindOpenWindow("ScoreButton"))
        return false;
    ShowScoresWindow(down);
    return true;
}

void PostChatLine(const std::string& text, uint32_t)
{
    // The chat shows the line as a system line (the log keeps no colour); the log gets it too.
    Controller().messages.Add(text, -1);
    WriteLog("%s\n", text.c_str());
}
