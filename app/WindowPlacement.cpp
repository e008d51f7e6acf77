#include "app/WindowPlacement.h"

#include <algorithm>

WindowRect FitOnDesktop(const WindowRect& wanted, bool centre, int desktopWidth, int desktopHeight)
{
    const int width = std::clamp(wanted.right - wanted.left, 1, std::max(1, desktopWidth));
    const int height = std::clamp(wanted.bottom - wanted.top, 1, std::max(1, desktopHeight));
    int left = wanted.left;
    int top = wanted.top;
    const bool outside = left < 0 || top < 0 || left + width > desktopWidth || top + height > desktopHeight;
    if (centre || outside) {
        left = std::max(0, (desktopWidth - width) / 2);
        top = std::max(0, (desktopHeight - height) / 2);
    }
    return {left, top, left + width, top + height};
}
