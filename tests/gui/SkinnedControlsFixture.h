#pragma once
// A 1024 x 768 software device (skin images drawn at their own size, UI scale 1), skin
// images held in memory with one plain colour per strip frame, a settable clock and input
// routing to the open windows.

#include "DeviceFixture.h"
#include "GuiFixture.h"

#include "app/FileManager.h"
#include "app/MemoryFileManager.h"
#include "gui/PrimContainer.h"
#include "platform/image/ImageCodec.h"

#include <memory>
#include <string>
#include <vector>

class SkinnedControlsFixture : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        // Only the images the tests add: no archive image can stand in for them.
        manager_ = std::make_unique<FileManager>();
        auto memory = std::make_unique<MemoryFileManager>();
        memory_ = memory.get();
        manager_->AddMember(std::move(memory));
        fileManager = manager_.get();
        StartScreen(1024, 768);
        ResetGuiInput();
        Events().clear();
        GuiTestNow() = 1000;
        SetInputClock([] { return GuiTestNow(); });
        SetGuiFrameElapsed(0);
    }
    void TearDown() override
    {
        CloseAllWindows();
        ResetGuiInput();
        SetInputClock(nullptr);
        DeviceFixture::TearDown();
    }

    // An image of `frames` frames side by side, each frameWidth x height, frame f in
    // colours[f]; held in memory under name.
    void AddStrip(const std::string& name, int frameWidth, int height, const std::vector<uint32_t>& colours)
    {
        const int frames = int(colours.size());
        const int width = frameWidth * frames;
        std::vector<uint32_t> argb(size_t(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                argb[size_t(y) * width + x] = 0xFF000000u | colours[size_t(x / frameWidth)];
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(platform::image::EncodePng(argb.data(), width, height, width * 4, true, bytes));
        memory_->AddFile(name, bytes.data(), bytes.size());
        manager_->IndexNames(nullptr, 0, nullptr);
    }

    // A whole-screen window holding the widget, opened at the front.
    PrimContainer* Host(Primitive* widget)
    {
        auto* window = MakeWindow("skinned_host", 0, 0, 1000, 1000);
        window->AddChild(widget);
        OpenWindow(window, true);
        return window;
    }
    void Click(int x, int y)
    {
        RouteLeftButton(kPhaseDown, GuiTestNow(), x, y);
        RouteLeftButton(kPhaseUp, GuiTestNow(), x, y);
    }
};
