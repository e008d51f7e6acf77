#pragma once
// A 64 x 48 device on a hidden window and a global file manager that reads the build's
// resource archive plus images held in memory.
#include "app/FileManager.h"
#include "app/Log.h"
#include "app/MemoryFileManager.h"
#include "app/ResourceFileManager.h"
#include "media/DXManager.h"
#include "media/ImageCache.h"
#include "platform/image/ImageCodec.h"
#include "platform/window/MainWindow.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

class SurfaceFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        gfx::ResetAdapterProfile();
        ASSERT_TRUE(window_.Create("Flimbs", {0, 0, 64, 48}));
        manager_ = std::make_unique<FileManager>();
        manager_->AddMember(std::make_unique<ResourceFileManager>(std::string(FLIMBS_GAME_DIR) + "/Data/resource.dat"));
        auto memory = std::make_unique<MemoryFileManager>();
        memory_ = memory.get();
        manager_->AddMember(std::move(memory));
        manager_->IndexNames(nullptr, 0, nullptr);
        fileManager = manager_.get();
    }
    void TearDown() override
    {
        ImageCache::Clear();
        DXManager::Shutdown();
        fileManager = nullptr;
        gfx::ResetAdapterProfile();
    }
    void StartDevice() { DXManager::Init(&window_, 64, 48); }

    // A PNG of width x height whose pixels come from pixel(x, y), held in memory under name.
    void AddImage(const std::string& name, int width, int height, const std::function<uint32_t(int, int)>& pixel)
    {
        std::vector<uint32_t> argb(size_t(width) * height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                argb[size_t(y) * width + x] = pixel(x, y);
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(platform::image::EncodePng(argb.data(), width, height, width * 4, true, bytes));
        memory_->AddFile(name, bytes.data(), bytes.size());
        manager_->IndexNames(nullptr, 0, nullptr);
    }
    static std::string ReadLog()
    {
        std::ifstream in(LogFilePath());
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    platform::MainWindow window_;
    std::unique_ptr<FileManager> manager_;
    MemoryFileManager* memory_ = nullptr;
};
