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
    // The picture is shown in a window or letterboxed on the whole screen, so every common
    // size that fits the desktop can be taken too, also where the system lists one mode.
    static const DisplaySize kCommonSizes[] = {{1024, 768},  {1280, 720},  {1280, 800},  {1280, 960},
                                               {1366, 768},  {1440, 900},  {1600, 900},  {1600, 1200},
                                               {1680, 1050}, {1920, 1080}, {1920, 1200}, {2560, 1440}};
    const DisplaySize desktop = DesktopSize();
    for (const DisplaySize& size : kCommonSizes) {
        if (size.width > desktop.width || size.height > desktop.height)
            continue;
        const bool listed = std::any_of(modes.begin(), modes.end(), [&](const DisplayModeInfo& mode) {
            return mode.width == size.width && mode.height == size.height;
        });
        if (!listed)
            modes.push_back({size.width, size.height, 32, 0});
    }
    return modes;
}

} // namespace platform
