#include "frontend/options/WindowFit.h"

#include "app/WindowPlacement.h"
#include "media/DXManager.h"
#include "platform/window/Desktop.h"
#include "platform/window/MainWindow.h"

void FitGameWindowToDesktop()
{
    platform::MainWindow* window = DXManager::GetWindow();
    if (!window || !window->IsCreated() || window->IsFullscreen())
        return;
    const platform::WindowRect at = window->GetPlacement();
    const platform::DisplaySize desktop = platform::DesktopSize();
    const WindowRect fitted = FitOnDesktop({at.left, at.top, at.right, at.bottom}, true, desktop.width, desktop.height);
    window->SetPlacement({fitted.left, fitted.top, fitted.right, fitted.bottom});
}
