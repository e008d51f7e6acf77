#pragma once
// Message boxes on a 1024 x 768 software device with the skin loaded: routing on the test
// clock, pixel read-back, the widget sounds recorded and a keyboard that binds nothing.
#include "SkinnedWindowFixture.h"

#include "gui/FlimbsMessageBox.h"
#include "gui/GraphicButtons.h"
#include "gui/GuiSounds.h"
#include "gui/PrimContainer.h"
#include "gui/StretchGraphicButton.h"

#include <algorithm>
#include <vector>

class SkinnedMessageBoxFixture : public SkinnedWindowFixture {
protected:
    void SetUp() override
    {
        SkinnedWindowFixture::SetUp();
        Events().clear();
        SetCloseHandlersEnabled(true);
        sounds.clear();
        SetGuiSoundObserver([this](int id, float) { sounds.push_back(id); });
    }
    void TearDown() override
    {
        SetGuiSoundObserver({});
        SkinnedWindowFixture::TearDown();
    }

    int SoundCount(int id) const { return static_cast<int>(std::count(sounds.begin(), sounds.end(), id)); }
    int Key(int value, int code) { return RouteKeyToGui(value, code, false, keyboard) != nullptr ? 1 : 0; }

    // Clicks the middle of a button (pixels).
    void ClickButton(Primitive* button)
    {
        const int x = static_cast<int>((button->rect.left + button->rect.right) / 2);
        const int y = static_cast<int>((button->rect.top + button->rect.bottom) / 2);
        RouteLeftButton(kPhaseDown, GuiTestNow(), x, y);
        RouteLeftButton(kPhaseUp, GuiTestNow(), x, y);
    }

    // Drops closed windows; true when the box is gone.
    static bool Gone(Primitive* box)
    {
        UpdateGuiInput(0, 0);
        for (Primitive* window : OpenWindows())
            if (window == box)
                return false;
        return true;
    }

    std::vector<int> sounds;
};
