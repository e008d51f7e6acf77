#include "app/WindowPlacement.h"

#include "app/StringUtil.h"

#include <algorithm>
#include <cstdint>

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

DisplayMode FitResolution(DisplayMode wanted, DisplayMode desktop, std::string* refused)
{
    if (refused)
        refused->clear();
    const bool limited = desktop.width > 0 && desktop.height > 0;
    const DisplayMode fallback = limited ? desktop : DisplayMode{1024, 768};
    if (wanted.width <= 0 || wanted.height <= 0)
        return fallback;
    const char* why = nullptr;
    if (wanted.width < 640 || wanted.height < 480)
        why = "smaller than 640x480";
    else if (limited && (wanted.width > desktop.width || wanted.height > desktop.height))
        why = "larger than the desktop";
    else if (wanted.width < wanted.height || int64_t(wanted.width) * 5 > int64_t(wanted.height) * 12)
        why = "of an aspect that is not shown";
    if (!why)
        return wanted;
    if (refused)
        *refused = StringPrintf("%dx%d is %s", wanted.width, wanted.height, why);
    return fallback;
}
