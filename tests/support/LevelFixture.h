#pragma once
// Levels for tests: a fresh world, the game's landscape, the shipped level defaults and a
// file manager that reads the user folder's Level\ and Cache\, the build's resource archive
// and files held in memory.
// Level texts are put together from their sections and hashed as the editor would.
#include "app/FileManager.h"
#include "app/MemoryFileManager.h"
#include "tests/support/TestWorld.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

// A level document's text from its sections' contents (the text inside each section).
struct LevelParts {
    std::string globals = "<title>Title</title><width>2048</width><height>1024</height><singleplayer>1</singleplayer>";
    std::string groups = "<group id=\"0\" group_gravity=\"0\" default_group=\"1\"/>";
    std::string traps;
    std::string flimbs;
    std::string primitives;
    std::string Text() const;
};

// Gzip bytes of a text (a whole gzip stream).
std::vector<uint8_t> GzipBytes(const std::string& text);

// Installs the game's level files as the file manager (the user folder's Level\ and Cache\,
// the build's resource archive, then files held in memory, handed out through `memory`), the
// shipped level defaults and the game's landscape. ReleaseLevelFiles undoes it all (the game
// mode included) before the manager is freed.
std::unique_ptr<FileManager> InstallLevelFiles(MemoryFileManager** memory = nullptr);
void ReleaseLevelFiles();
// What levels need beside their files, over the file manager a test has already: the
// shipped level defaults and the game's landscape; and the release of both (the game mode
// included).
void InstallLevelServices();
void ReleaseLevelServices();
// The bytes of a level the build ships (its Level folder), by name without extension.
std::vector<uint8_t> ReadShippedLevel(const std::string& name);
// Adds a shipped level to the memory files as "Level\\<name>.flevel".
void AddShippedLevel(MemoryFileManager& memory, const std::string& name);

class LevelFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Adds a level file held in memory: the text's hash set first (without touching the
    // simulation generator) unless told otherwise; gzip or plain.
    void AddLevel(const std::string& path, const std::string& text, bool hash = true, bool gzip = false);
    void AddFile(const std::string& path, const std::vector<uint8_t>& bytes);
    // The text of a level hashed as a writer hashes it.
    static std::string Hashed(const std::string& text);

    std::unique_ptr<TestWorld> world;
    std::unique_ptr<FileManager> manager;
    MemoryFileManager* memory = nullptr;
};
