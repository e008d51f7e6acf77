#include "frontend/FrontEndServices.h"

#include "gui/PrimContainer.h"
#include "gui/WindowList.h"

namespace {
constexpr const char* kScreenName = "FrontEnd";
}

// Until the menus exist the front end is an empty full-screen window: the frame still draws
// the rate line and the cursor over it, and the window list routes input to it.
void ShowFrontEnd()
{
    if (FindOpenWindow(kScreenName))
        return;
    auto* screen = new PrimContainer();
    screen->name = kScreenName;
    screen->SetPosition(0.0f, 0.0f);
    screen->SetSize(1000.0f, 1000.0f);
    OpenWindow(screen, false);
}
