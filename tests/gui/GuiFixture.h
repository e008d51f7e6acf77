#pragma once
// A 1000 x 1000 pixel screen (virtual units equal pixels), a settable clock, an empty
// window list, and primitives that record what reaches them.

#include "gui/GuiClock.h"
#include "gui/GuiDevice.h"
#include "gui/PrimContainer.h"
#include "gui/WindowList.h"
#include "media/InputClock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

inline uint32_t& GuiTestNow()
{
    static uint32_t now = 0;
    return now;
}

inline std::vector<std::string>& Events()
{
    static std::vector<std::string> events;
    return events;
}

class GuiFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetScreenSize(1000, 1000);
        ResetGuiInput();
        Events().clear();
        GuiTestNow() = 1000;
        SetInputClock([] { return GuiTestNow(); });
        SetGuiFrameElapsed(0);
        SetCloseHandlersEnabled(true);
    }

    void TearDown() override
    {
        CloseAllWindows();
        ResetGuiInput();
        SetInputClock(nullptr);
    }
};

// A leaf that takes clicks inside its rectangle and logs every event as "<name>:<what>".
class Probe : public Primitive {
public:
    explicit Probe(const std::string& probeName, bool takes = true) : takes_(takes) { name = probeName; }
    ~Probe() override { ++destroyed; }

    Primitive* OnLeftButton(int x, int y, int phase) override
    {
        Log("left" + std::to_string(phase));
        return takes_ && (phase != kPhaseDown || PointInRect(x, y)) ? this : nullptr;
    }
    Primitive* OnRightButton(int x, int y, int phase) override
    {
        Log("right" + std::to_string(phase));
        return takes_ && PointInRect(x, y) ? this : nullptr;
    }
    Primitive* OnWheel(int delta) override
    {
        Log("wheel" + std::to_string(delta));
        return takes_ ? this : nullptr;
    }
    bool OnPointerLeft(Primitive* nowUnder) override
    {
        Log("pointerLeft:" + (nowUnder ? nowUnder->name : std::string("none")));
        return Primitive::OnPointerLeft(nowUnder);
    }
    void OnFocusLost(Primitive*) override { Log("focusLost"); }
    void OnFocusGained() override { Log("focusGained"); }
    int OnKey(int value, int code, bool, IInputDevice&) override
    {
        Log("key" + std::to_string(code) + "=" + std::to_string(value));
        return takes_ ? 1 : 0;
    }
    std::string GetCursorName() override { return name + "-cursor"; }
    void Draw() override
    {
        GuiViewport viewport;
        GetDeviceViewport(&viewport);
        drawViewports.push_back(viewport);
    }
    void UpdateAbsolutePosition() override
    {
        ++layouts;
        Primitive::UpdateAbsolutePosition();
    }
    std::string GetText() override { return text; }
    float GetFloatValue() override { return value; }

    void Log(const std::string& what) { Events().push_back(name + ":" + what); }

    // Places the probe at (x, y) with size (w, h), pixels = virtual units here.
    Probe* At(float x, float y, float w, float h)
    {
        SetPosition(x, y);
        SetSize(w, h);
        return this;
    }

    std::vector<GuiViewport> drawViewports;
    int layouts = 0;
    std::string text;
    float value = 0.0f;
    static inline int destroyed = 0;

private:
    bool takes_;
};

// A container window placed in pixels.
inline PrimContainer* MakeWindow(const std::string& windowName, float x, float y, float w, float h)
{
    auto* window = new PrimContainer;
    window->name = windowName;
    window->SetPosition(x, y);
    window->SetSize(w, h);
    return window;
}
