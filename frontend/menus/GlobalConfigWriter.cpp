#include "frontend/menus/GlobalConfigWriter.h"

#include "app/GlobalConfig.h"
#include "media/DXManager.h"
#include "platform/window/MainWindow.h"

bool WriteGlobalConfigNow()
{
    GlobalConfigSource source;
    if (const platform::MainWindow* window = DXManager::GetWindow(); window && window->IsCreated()) {
        const platform::WindowRect outer = window->GetPlacement();
        source.outer = WindowRect{outer.left, outer.top, outer.right, outer.bottom};
        window->GetClientSize(source.clientWidth, source.clientHeight);
    }
    source.screenWidth = DXManager::screenWidth;
    source.screenHeight = DXManager::screenHeight;
    return writeGlobalConfig(source);
}
