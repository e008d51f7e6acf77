#include "GameFiles.h"

#include "app/StandardFileManager.h"
#include "platform/image/ImageCodec.h"

#include <gtest/gtest.h>

ScopedGameFiles::ScopedGameFiles(bool withGameFolder)
    : manager_(std::make_unique<FileManager>()), previous_(fileManager)
{
    auto memory = std::make_unique<MemoryFileManager>();
    memory_ = memory.get();
    if (withGameFolder)
        manager_->AddMember(std::make_unique<StandardFileManager>(
            std::vector<StandardFileManager::Root>{{"", std::string(FLIMBS_GAME_DIR)}}));
    manager_->AddMember(std::move(memory));
    manager_->IndexNames(nullptr, 0, nullptr);
    fileManager = manager_.get();
}

ScopedGameFiles::~ScopedGameFiles()
{
    fileManager = previous_;
}

void ScopedGameFiles::AddPng(const std::string& name, int width, int height, const std::vector<uint32_t>& argb)
{
    std::vector<uint8_t> bytes;
    ASSERT_EQ(argb.size(), size_t(width) * size_t(height));
    ASSERT_TRUE(platform::image::EncodePng(argb.data(), width, height, width * 4, true, bytes));
    AddFile(name, std::string(bytes.begin(), bytes.end()));
}

void ScopedGameFiles::AddFile(const std::string& name, const std::string& bytes)
{
    memory_->AddFile(name, bytes.data(), bytes.size());
    manager_->IndexNames(nullptr, 0, nullptr);
}
