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

namespace {

// The clock is advanced more than once a pass (the main loop and the input poll), so its
// last step is not the frame's: the GUI takes the time since its own previous update.
uint32_t GuiElapsedSincePreviousUpdate()
{
    static bool first = true;
    static uint32_t previous = 0;
    const uint32_t now = gameClock.now;
    const uint32_t elapsed = first || now < previous ? gameClock.frameTime : now - previous;
    first = false;
    previous = now;
    return elapsed;
}

} // namespace

void UpdateGuiFrameInput()
{
    SetGuiFrameElapsed(GuiElapsedSincePreviousUpdate());
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
