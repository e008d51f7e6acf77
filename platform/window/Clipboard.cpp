#include "platform/window/Clipboard.h"

#include "platform/window/MainWindow.h"

#include <SDL.h>

#include <mutex>

namespace platform {
namespace {

struct LocalClipboard {
    std::mutex lock;
    std::string text;
};

LocalClipboard& Local()
{
    static LocalClipboard clipboard;
    return clipboard;
}

} // namespace

void SetClipboardText(const std::string& text)
{
    if (!IsHeadless() && SDL_SetClipboardText(text.c_str()) == 0)
        return;
    std::lock_guard<std::mutex> guard(Local().lock);
    Local().text = text;
}

std::string GetClipboardText()
{
    if (!IsHeadless()) {
        if (char* text = SDL_GetClipboardText()) {
            std::string result(text);
            SDL_free(text);
            return result;
        }
    }
    std::lock_guard<std::mutex> guard(Local().lock);
    return Local().text;
}

} // namespace platform
