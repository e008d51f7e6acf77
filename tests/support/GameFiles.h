#pragma once
// The game's file manager for a test: the build's game folder (the generated art, the
// masks ...) unless left out, and files held in memory (added by the test; a name the game
// folder has stays the game's). The previous file manager comes back when it goes.
#include "app/FileManager.h"
#include "app/MemoryFileManager.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ScopedGameFiles {
public:
    explicit ScopedGameFiles(bool withGameFolder = true);
    ~ScopedGameFiles();
    ScopedGameFiles(const ScopedGameFiles&) = delete;
    ScopedGameFiles& operator=(const ScopedGameFiles&) = delete;

    // A PNG of width x height ARGB pixels (rows top to bottom) under the game path.
    void AddPng(const std::string& name, int width, int height, const std::vector<uint32_t>& argb);
    void AddFile(const std::string& name, const std::string& bytes);

private:
    std::unique_ptr<FileManager> manager_;
    MemoryFileManager* memory_ = nullptr;
    FileManager* previous_ = nullptr;
};
