#include "media/InputDispatch.h"

#include "media/KBManager.h"
#include "media/MSManager.h"

#include <algorithm>

void DispatchInputEvents(std::vector<InputEvent>& list, KBManager& keyboard, MSManager& mouse)
{
    std::stable_sort(list.begin(), list.end(), [](const InputEvent& a, const InputEvent& b) {
        return a.time != b.time ? a.time < b.time : a.sequence < b.sequence;
    });
    for (const InputEvent& event : list) {
        if (event.kind == kInputKeyboard)
            keyboard.TranslateKeyboardEvent(event);
        else if (event.kind == kInputMouse)
            mouse.DispatchEvent(event);
    }
}
