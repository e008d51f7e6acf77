#pragma once
// The widget fixture on a real 1024 x 768 software device (UI scale 1) with the build's
// resource archive as the global file manager, for widgets that load and draw images.

#include "TypingFixture.h"

#include "app/FileManager.h"
#include "app/ResourceFileManager.h"
#include "media/DXManager.h"
#include "media/ImageCache.h"
#include "platform/gfx/Device.h"
#include "platform/window/MainWindow.h"

#include <memory>

class ImageWidgetFixture : public TypingFixture {
protected:
    void SetUp() override
    {
        TypingFixture::SetUp();
        ASSERT_TRUE(window_.Create("Flimbs", {0, 0, 1024, 768}));
        manager_ = std::make_unique<FileManager>();
        manager_->AddMember(std::make_unique<ResourceFileManager>(std::string(FLIMBS_GAME_DIR) + "/Data/resource.dat"));
        manager_->IndexNames(nullptr, 0, nullptr);
        fileManager = manager_.get();
        DXManager::Init(&window_, 1024, 768);
    }
    void TearDown() override
    {
        TypingFixture::TearDown();
        ImageCache::Clear();
        DXManager::Shutdown();
        fileManager = nullptr;
        SetScreenSize(1000, 1000);
    }
    static void ClearScreen()
    {
        DXManager::GetDevice()->Clear(0, nullptr, gfx::D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    }
    static uint32_t Pixel(int x, int y) { return DXManager::GetBackBuffer()->ReadPixel(x, y); }

    platform::MainWindow window_;
    std::unique_ptr<FileManager> manager_;
};
