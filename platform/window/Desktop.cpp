#include "platform/window/Desktop.h"

#include "platform/window/MainWindow.h"

#include <SDL.h>

#include <algorithm>

namespace platform {

DisplaySize DesktopSize()
{
    SDL_DisplayMode mode{};
    if (!InitVideo() || SDL_GetDesktopDisplayMode(0, &mode) != 0 || mode.w <= 0 || mode.h <= 0)
        return {1024, 768};
    return {mode.w, mode.h};
}

std::vector<DisplaySize> DisplayModes()
{
    std::vector<DisplaySize> modes;
    if (!InitVideo())
        return modes;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(0, i, &mode) != 0)
            continue;
        const DisplaySize size{mode.w, mode.h};
        if (std::find(modes.begin(), modes.end(), size) == modes.end())
            modes.push_back(size);
    }
    return modes;
}

std::vector<DisplayModeInfo> EnumerateDisplayModes()
{
    std::vector<DisplayModeInfo> modes;
    if (!InitVideo())
        return modes;
    const int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode{};
        if (SDL_GetDisplayMode(0, i, &mode) != 0)
            break;
        modes.push_back({mode.w, mode.h, int(SDL_BYTESPERPIXEL(mode.format)) * 8, mode.refresh_rate});
    }
    return modes;
}

} // namespace platform
