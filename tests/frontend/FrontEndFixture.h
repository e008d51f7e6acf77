#pragma once
// The front end on the software device: the game folder's files (art, clips, the default
// profile) in the file manager, a 1280 x 720 screen, a stepped GUI clock, a fresh default
// profile, and helpers that step frames, press keys and click widgets.
#include "../gui/VideoFixture.h"

#include "app/ConsoleParam.h"
#include "app/KeyBindings.h"
#include "app/PlayerProfile.h"
#include "app/UserFolders.h"
#include "frontend/menus/FlimbsMenuTemplate.h"
#include "gui/Button.h"
#include "media/KBManager.h"
#include "media/PngFile.h"
#include "platform/window/MainWindow.h"

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

class FrontEndFixture : public VideoFixture {
protected:
    void SetUp() override
    {
        VideoFixture::SetUp();
        SetProgramFolder(FLIMBS_GAME_DIR);
        StartScreen(1280, 720);
        platform::ClearQuitRequest();
        std::error_code ignored;
        std::filesystem::remove_all(GetUserPath("Profiles"), ignored);
        std::filesystem::remove_all(GetUserPath("Cache\\Settings"), ignored);
        std::filesystem::create_directories(GetUserPath("Profiles"), ignored);
        std::filesystem::create_directories(GetUserPath("Cache\\Settings"), ignored);
        GetBindingStore().Clear();
        SetVariable("profile", PlayerProfile::kDefaultName);
    }
    void TearDown() override
    {
        platform::ClearQuitRequest();
        VideoFixture::TearDown();
    }

    static void SetVariable(const char* name, const std::string& value)
    {
        if (ConsoleParam* variable = ConsoleParam::Find(name))
            variable->SetFromString(value);
    }
    static std::string Variable(const char* name)
    {
        const ConsoleParam* variable = ConsoleParam::Find(name);
        return variable ? variable->ValueText() : std::string();
    }
    // A saved profile of that name made from the defaults (and made current when asked).
    static void MakeProfile(const std::string& name, bool current)
    {
        CurrentProfile().Load(PlayerProfile::kDefaultName);
        CurrentProfile().Save(name);
        if (current)
            SetVariable("profile", name);
    }
    static void WriteText(const std::string& path, const std::string& text)
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    static std::string ReadText(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Frames of `ms` each.
    static void Steps(int count, uint32_t ms)
    {
        for (int i = 0; i < count; ++i)
            Step(ms);
    }
    static void PressKey(int code, IInputDevice& device = kbManager)
    {
        RouteKeyToGui(0x80, code, false, device);
        RouteKeyToGui(0, code, false, device);
    }
    // A press and release in the middle of the widget.
    static void ClickOn(Primitive* widget)
    {
        ASSERT_NE(widget, nullptr);
        const int x = int((widget->rect.left + widget->rect.right) / 2);
        const int y = int((widget->rect.top + widget->rect.bottom) / 2);
        RouteLeftButton(kPhaseDown, now_, x, y);
        RouteLeftButton(kPhaseUp, now_, x, y);
    }
    static Primitive* Find(const std::string& name) { return FindOpenWindow(name); }
    // Runs a button's click handler as a click would.
    static void Press(const std::string& name)
    {
        auto* button = dynamic_cast<Button*>(FindOpenWindow(name));
        ASSERT_NE(button, nullptr) << name;
        ASSERT_TRUE(button->onClick) << name;
        button->onClick(button->parent, button);
    }
    // A frame of the open windows as the game draws it (linear filtering).
    static void DrawFrameLikeTheGame()
    {
        DrawFrame([] {
            gfx::Device* device = DXManager::GetDevice();
            device->SetSamplerState(0, gfx::D3DSAMP_MINFILTER, gfx::D3DTEXF_LINEAR);
            device->SetSamplerState(0, gfx::D3DSAMP_MAGFILTER, gfx::D3DTEXF_LINEAR);
            DrawOpenWindows();
        });
    }
    // The back buffer as a PNG under the build folder.
    static void WritePicture(const std::string& file, int width, int height)
    {
        std::vector<uint32_t> pixels(size_t(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels[size_t(y) * width + x] = 0xFF000000u | Pixel(x, y);
        EXPECT_TRUE(WritePngFile(std::string(FLIMBS_GAME_DIR) + "/" + file, pixels.data(), width, height));
    }
};
