#include "gui/GuiServices.h"

#include "app/GameClock.h"
#include "gui/GuiClock.h"
#include "gui/WindowList.h"
#include "media/ButtonPresses.h"
#include "media/Cursors.h"
#include "media/MSManager.h"

void ConnectGuiInput()
{
    InstallGuiInputRouting();
}

void ReleaseAllPointerCaptures()
{
    ReleaseAllCaptures();
}

void UpdateGuiFrameInput()
{
    SetGuiFrameElapsed(gameClock.frameTime);
    RepeatHeldButtons();
    UpdateGuiInput(msManager.X(), msManager.Y());
    Cursors::SetCursor(GetPointerCursorName());
    UpdateOpenWindows();
}

void DrawGuiWindows()
{
    DrawOpenWindows();
}

void ReleaseGuiWindows()
{
    CloseAllWindows();
}
