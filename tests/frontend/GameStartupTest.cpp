// The game's start-up as the program and the headless tools run it: in a game folder that
// holds a name both as a plain file and in its archive, every caller reads the same bytes
// (the plain file's: the game folder's files are mounted before its archives), and each
// reads the second archive too.
#include "app/FileManager.h"
#include "app/ResourceFileManager.h"
#include "app/UserFolders.h"
#include "frontend/GameStartup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

void PackArchive(const fs::path& stage, const fs::path& archive, const std::string& name, const std::string& bytes)
{
    WriteFile(stage / name, bytes);
    std::string error;
    ASSERT_TRUE(WriteResourceArchive(stage.string(), archive.string(), error)) << error;
}

// The build's files under `from` in `to` (hard links where the file system allows, else
// copies), but for the one skipped.
void LinkFiles(const fs::path& from, const fs::path& to, const fs::path& skipped)
{
    fs::create_directories(to);
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(from)) {
        const fs::path target = to / entry.path().lexically_relative(from);
        std::error_code error;
        if (entry.is_directory())
            fs::create_directories(target);
        else if (entry.path() != skipped && (fs::create_hard_link(entry.path(), target, error), error))
            fs::copy_file(entry.path(), target);
    }
}

// A game folder made of the build's files, but with an archive of its own that
// holds Data\probe.txt (a plain copy with other bytes lies beside it), and a second archive
// with Data\second.txt.
class ProbeGameFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedProgramFolder_ = GetProgramFolder();
        const fs::path build = FLIMBS_GAME_DIR;
        folder_ = fs::path(GetUserRoot()) / "probe-game";
        fs::remove_all(folder_);
        for (const char* linked : {"Data", "Graphics", "Level", "Profiles", "Sounds"})
            LinkFiles(build / linked, folder_ / linked, build / "Data" / "resource.dat");
        PackArchive(folder_ / "stage0", folder_ / "Data" / "resource.dat", "Data/probe.txt", "archived");
        PackArchive(folder_ / "stage1", folder_ / "Data" / "resource01.dat", "Data/second.txt", "second archive");
        WriteFile(folder_ / "Data" / "probe.txt", "plain");
    }
    void TearDown() override { SetProgramFolder(savedProgramFolder_); }

    // What the started game reads under each name.
    std::vector<std::string> ReadAfterStart(GameStartOptions options)
    {
        options.programFolder = folder_.string();
        GameStartup startup;
        startup.Start(options);
        std::vector<std::string> read;
        for (const char* name : {"Data\\probe.txt", "Data\\second.txt"}) {
            FileHandle file = FileHandle::FromString(name);
            const uint8_t* bytes = file.ReadAll();
            read.push_back(bytes ? std::string(reinterpret_cast<const char*>(bytes), file.Size()) : "<missing>");
        }
        return read;
    }

    fs::path folder_;
    std::string savedProgramFolder_;
};

} // namespace

TEST_F(ProbeGameFolder, APlainAndArchivedNameReadsTheSameInTheGameAndInTheTools)
{
    GameStartOptions game; // the program: the configured display mode, its keyboard, mouse and pad
    game.input = true;
    GameStartOptions drawingTool; // playbackrun, replaycheck, viewrun, the benchmarks
    drawingTool.screenWidth = 800;
    drawingTool.screenHeight = 600;
    GameStartOptions quietTool; // levelrun without updates, the fuzzers
    quietTool.display = false;

    const std::vector<std::string> expected = {"plain", "second archive"};
    EXPECT_EQ(ReadAfterStart(game), expected);
    EXPECT_EQ(ReadAfterStart(drawingTool), expected);
    EXPECT_EQ(ReadAfterStart(quietTool), expected);
}

TEST_F(ProbeGameFolder, WithoutTheArchiveTheStartFailsAndIsUndone)
{
    fs::remove(folder_ / "Data" / "resource.dat");
    GameStartOptions quietTool;
    quietTool.display = false;
    try {
        ReadAfterStart(quietTool);
        ADD_FAILURE() << "the start-up went on without its archive";
    } catch (const std::exception& error) {
        EXPECT_NE(std::string(error.what()).find("Cannot open the resource archive Data\\resource.dat"),
                  std::string::npos)
            << error.what();
    }
    EXPECT_EQ(fileManager, nullptr);
}
