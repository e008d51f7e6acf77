#pragma once
// A software device of a chosen size whose only files are the skinned controls' images,
// each one solid colour at its skin size, plus the test clock of the GUI fixture.
#include "DeviceFixture.h"

#include "GuiFixture.h"

#include "app/MemoryFileManager.h"
#include "gui/GuiDevice.h"
#include "gui/WindowList.h"
#include "media/InputClock.h"
#include "platform/gfx/Device.h"

struct SkinPicture {
    const char* name;
    int width;
    int height;
    uint32_t colour; // RGB
};

// The skin sizes of the real images; the colours tell the pieces apart.
inline constexpr SkinPicture kSkinPictures[] = {
    {"Graphics\\Menu\\CheckBox\\checkbox_on.png", 22, 22, 0x00C000},
    {"Graphics\\Menu\\CheckBox\\checkbox_off.png", 22, 22, 0xC00000},
    {"Graphics\\arrow_down.png", 60, 20, 0x0000C0},
    {"Graphics\\arrow_up.png", 60, 20, 0x00C0C0},
    {"Graphics\\Menu\\EditBox\\edit-left.png", 10, 22, 0x100000},
    {"Graphics\\Menu\\EditBox\\edit-mid.png", 16, 22, 0x200000},
    {"Graphics\\Menu\\EditBox\\edit-right.png", 10, 22, 0x300000},
    {"Graphics\\Menu\\ListBox\\list-top-left.png", 10, 10, 0x001000},
    {"Graphics\\Menu\\ListBox\\list-top-mid.png", 16, 10, 0x002000},
    {"Graphics\\Menu\\ListBox\\list-top-right.png", 10, 10, 0x003000},
    {"Graphics\\Menu\\ListBox\\list-bottom-right.png", 10, 10, 0x004000},
    {"Graphics\\Menu\\ListBox\\list-bottom-left.png", 10, 10, 0x005000},
    {"Graphics\\Menu\\ListBox\\list-left.png", 10, 16, 0x006000},
    {"Graphics\\Menu\\ListBox\\list-right.png", 10, 16, 0x007000},
    {"Graphics\\Menu\\ListBox\\list-highlight.png", 64, 20, 0xE07A2A},
    {"Graphics\\Menu\\ScrollBar\\scroll-up.png", 22, 22, 0x000010},
    {"Graphics\\Menu\\ScrollBar\\scroll-down.png", 22, 22, 0x000020},
    {"Graphics\\Menu\\ScrollBar\\scroll-mid.png", 22, 16, 0x000030},
    {"Graphics\\Menu\\ScrollBar\\scroll-grip-end.png", 22, 6, 0x000040},
    {"Graphics\\Menu\\ScrollBar\\scroll-grip-mid.png", 22, 16, 0x000050},
    {"Graphics\\Menu\\ScrollBar\\scroll-grip-grip.png", 22, 12, 0x000060},
    {"Graphics\\Menu\\ToolTip\\border_bottom.png", 16, 8, 0x101010},
    {"Graphics\\Menu\\ToolTip\\border_top.png", 16, 8, 0x202020},
    {"Graphics\\Menu\\ToolTip\\border_left.png", 8, 16, 0x303030},
    {"Graphics\\Menu\\ToolTip\\border_right.png", 8, 16, 0x404040},
    {"Graphics\\Menu\\ToolTip\\corner_top_left.png", 8, 8, 0x505050},
    {"Graphics\\Menu\\ToolTip\\corner_top_right.png", 8, 8, 0x606060},
    {"Graphics\\Menu\\ToolTip\\corner_bottom_left.png", 8, 8, 0x707070},
    {"Graphics\\Menu\\ToolTip\\corner_bottom_right.png", 8, 8, 0x808080},
    {"Graphics\\Menu\\Slider\\slider_groove.png", 128, 10, 0x404000},
    {"Graphics\\Menu\\Slider\\slider_bar.png", 16, 24, 0x808000},
};

inline uint32_t SkinColour(const std::string& name)
{
    for (const SkinPicture& picture : kSkinPictures)
        if (name == picture.name)
            return picture.colour;
    return 0xFFFFFFFF;
}

class SkinControlsFixture : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        // Only the pictures above: no archive image can stand in for them.
        manager_ = std::make_unique<FileManager>();
        auto memory = std::make_unique<MemoryFileManager>();
        memory_ = memory.get();
        manager_->AddMember(std::move(memory));
        fileManager = manager_.get();
        for (const SkinPicture& picture : kSkinPictures) {
            const uint32_t argb = 0xFF000000u | picture.colour;
            AddImage(picture.name, picture.width, picture.height, [argb](int, int) { return argb; });
        }
        ResetGuiInput();
        GuiTestNow() = 1000;
        SetInputClock([] { return GuiTestNow(); });
    }
    void TearDown() override
    {
        CloseAllWindows();
        ResetGuiInput();
        SetInputClock(nullptr);
        DeviceFixture::TearDown();
    }
};
