#pragma once
// The desktop clipboard as text (UTF-8). With a real display it is the system clipboard;
// headless runs (no video, offscreen or dummy driver) keep the text in a buffer of the
// process instead, so copy and paste still work between the game's own widgets.

#include <string>

namespace platform {

void SetClipboardText(const std::string& text);
// Empty when the clipboard holds no text.
std::string GetClipboardText();

} // namespace platform
