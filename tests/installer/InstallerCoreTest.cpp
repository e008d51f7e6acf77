// Listing and installing level packages made here with minizip from the sample levels.
#include "app/FileManager.h"
#include "app/LevelPackage.h"
#include "app/StandardFileManager.h"
#include "app/UserFolders.h"
#include "game/FlimbMasterLevelList.h"
#include "installer/PackageInstall.h"
#include "tests/installer/PackageFiles.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string SampleLevel(const std::string& name)
{
    return ReadWholeTestFile(std::string(FLIMBS_GAME_DIR) + "/Level/" + name);
}

// Every regular file below a folder, as paths relative to it.
std::vector<std::string> FilesBelow(const fs::path& folder)
{
    std::vector<std::string> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (it->is_regular_file())
            files.push_back(fs::relative(it->path(), folder).string());
    std::sort(files.begin(), files.end());
    return files;
}

class InstallerCore : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = GetUserRoot();
        work = root / "package work";
        fs::create_directories(work);
    }
    void TearDown() override
    {
        std::error_code ignored;
        for (const char* folder : {"Level", "Cache", "package work", "outside"})
            fs::remove_all(root / folder, ignored);
    }

    std::string Package(const std::string& name, const PackageEntries& entries)
    {
        const std::string path = (work / name).string();
        EXPECT_TRUE(WritePackageFile(path, entries));
        return path;
    }

    fs::path root;
    fs::path work;
};

TEST_F(InstallerCore, MultiplayerLevelsGoToLevelAndTheGeneratedOneToUgcWhereTheBossListFindsIt)
{
    const std::string twin = SampleLevel("m_dm_twin_valleys.flevel");
    const std::string hills = SampleLevel("m_dm_three_hills.flevel");
    const std::string boss = SampleLevel("f_dm_the_gardener.flevel");
    ASSERT_FALSE(twin.empty());
    ASSERT_FALSE(boss.empty());
    const std::string path = Package("two valleys.fpak", {{"m_dm_twin_valleys.flevel", twin},
                                                          {"m_dm_twin_valleys_big.jpg", "\xff\xd8 not really"},
                                                          {"m_dm_three_hills.flevel", hills},
                                                          {"f_dm_pack-AB12C.flevel", boss},
                                                          {"package.xml", PackageInfo("Hills &amp; Valleys")}});

    const PackageListing listing = ListPackage(path);
    EXPECT_TRUE(listing.opened);
    EXPECT_TRUE(listing.installable);
    EXPECT_EQ(listing.title, "Hills & Valleys");
    // Sorted; the generated level has no line.
    EXPECT_EQ(listing.levelTitles, (std::vector<std::string>{"Three Hills", "Twin Valleys"}));

    const InstallReport report = InstallPackage(path);
    EXPECT_TRUE(report.Complete()) << report.Message();
    EXPECT_EQ(report.Title(), "Success");
    EXPECT_EQ(report.Message(), "Package has been installed!");
    EXPECT_EQ(FilesBelow(root / "Level"),
              (std::vector<std::string>{"UGC/f_dm_pack-AB12C.flevel", "m_dm_three_hills.flevel",
                                        "m_dm_twin_valleys.flevel"}));
    EXPECT_EQ(ReadWholeTestFile((root / "Level/m_dm_twin_valleys.flevel").string()), twin);
    EXPECT_EQ(ReadWholeTestFile((root / "Level/UGC/f_dm_pack-AB12C.flevel").string()), boss);

    // The game's boss list takes the installed package in with the user levels.
    FileManager files;
    files.AddMember(std::make_unique<StandardFileManager>(std::vector<StandardFileManager::Root>{
        {"Level", (root / "Level").string()}, {"", std::string(FLIMBS_GAME_DIR)}}));
    files.IndexNames(nullptr, 0, nullptr);
    FileManager* previous = fileManager;
    fileManager = &files;
    FlimbMasterLevelList list;
    list.Load(true);
    fileManager = previous;
    ASSERT_EQ(list.Entries().size(), 1u);
    EXPECT_TRUE(list.Entries()[0]->fromUserLevels);
    EXPECT_EQ(list.Entries()[0]->levelFileName, "f_dm_pack-AB12C.flevel");
}

TEST_F(InstallerCore, WhatCannotBeListedListsNothing)
{
    // An empty archive opens but keeps Install off; a file that is no archive lists nothing.
    const std::string empty = Package("empty.fpak", {});
    const PackageListing none = ListPackage(empty);
    EXPECT_TRUE(none.opened);
    EXPECT_FALSE(none.installable);
    EXPECT_TRUE(none.levelTitles.empty());

    const std::string text = (work / "not a zip.fpak").string();
    { std::ofstream(text) << LevelWithTitle("Looks like a level"); }
    for (const std::string& path : {text, (work / "missing.fpak").string()}) {
        const PackageListing listing = ListPackage(path);
        EXPECT_FALSE(listing.opened) << path;
        EXPECT_FALSE(listing.installable) << path;
        EXPECT_TRUE(listing.title.empty() && listing.levelTitles.empty()) << path;
        const InstallReport report = InstallPackage(path);
        EXPECT_FALSE(report.Complete());
        EXPECT_EQ(report.Title(), "Error");
        EXPECT_NE(report.Message().find("could not be read"), std::string::npos) << report.Message();
    }
    EXPECT_FALSE(fs::exists(root / "Level"));

    // A truncated archive is not read either.
    const std::string whole = ReadWholeTestFile(Package("whole.fpak", {{"m_a.flevel", LevelWithTitle("A")}}));
    const std::string cut = (work / "cut.fpak").string();
    { std::ofstream(cut, std::ios::binary) << whole.substr(0, whole.size() / 2); }
    EXPECT_FALSE(ListPackage(cut).opened);
}

TEST_F(InstallerCore, LevelsWithoutATitleInstallWithoutAListLine)
{
    const std::string path = Package("odd.fpak", {{"m_plain.flevel", "this is not xml"},
                                                  {"m_untitled.flevel", "<flimbs-level><globals/></flimbs-level>"},
                                                  {"m_good.flevel", LevelWithTitle("Good")},
                                                  {"package.xml", "<package_info><description>d</description></package_info>"}});
    const PackageListing listing = ListPackage(path);
    EXPECT_TRUE(listing.installable);
    EXPECT_EQ(listing.title, "");
    EXPECT_EQ(listing.levelTitles, std::vector<std::string>{"Good"});
    const InstallReport report = InstallPackage(path);
    EXPECT_TRUE(report.Complete()) << report.Message();
    EXPECT_EQ(FilesBelow(root / "Level"),
              (std::vector<std::string>{"m_good.flevel", "m_plain.flevel", "m_untitled.flevel"}));
}

TEST_F(InstallerCore, NamesThatLeaveTheLevelFolderWriteNothingAndAreReported)
{
    const std::vector<std::string> hostile = {"../x.flevel",        "/x.flevel", "a/b.flevel", "..\\x.flevel",
                                              "C:x.flevel",         ".hidden.flevel", "bell\a.flevel",
                                              "m_dm_x.flevel.sh",   "UGC\\f_dm_y.flevel"};
    PackageEntries entries;
    for (const std::string& name : hostile)
        entries.push_back({name, LevelWithTitle("Bad " + name)});
    entries.push_back({"m_dm_fine.flevel", LevelWithTitle("Fine")});
    entries.push_back({"m_dm_fine.flevel", LevelWithTitle("Fine again")}); // a repeated name
    const std::string path = Package("hostile.fpak", entries);

    LogCapture log;
    const InstallReport report = InstallPackage(path);
    EXPECT_FALSE(report.Complete());
    EXPECT_EQ(report.Title(), "Warning");
    EXPECT_EQ(report.installed, std::vector<std::string>{"Level\\m_dm_fine.flevel"});
    ASSERT_EQ(report.skipped.size(), hostile.size() + 1);
    EXPECT_EQ(report.skipped[0].name, "../x.flevel");
    EXPECT_EQ(report.skipped[6].name, "bell?.flevel");
    EXPECT_EQ(report.skipped.back().detail, "a repeated name");
    EXPECT_NE(report.Message().find("1 of 1 levels installed. Not installed (10):"), std::string::npos)
        << report.Message();
    EXPECT_NE(report.Message().find("../x.flevel"), std::string::npos);
    EXPECT_TRUE(log.Contains("entry [C:x.flevel] refused"));
    // The only file written anywhere under the user folder is the one sound level.
    EXPECT_EQ(FilesBelow(root / "Level"), std::vector<std::string>{"m_dm_fine.flevel"});
    EXPECT_EQ(ReadWholeTestFile((root / "Level/m_dm_fine.flevel").string()), LevelWithTitle("Fine"));
    for (const std::string& file : FilesBelow(root))
        EXPECT_TRUE(file.rfind("package work/", 0) == 0 || file.rfind("Level/", 0) == 0 ||
                    file.find(".flevel") == std::string::npos)
            << file;
}

TEST_F(InstallerCore, SizeCapsStopABombByDeclaredAndByInflatedSize)
{
    const std::string big(2u << 20, 'z');
    struct Case {
        const char* label;
        uint64_t declared;
        const char* reason;
    } cases[] = {{"declared over the cap", kPackageMaxLevelBytes + 1, "too large"},
                 // Inflating stops at the declared size; the rest fails the checksum.
                 {"inflates beyond what it declared", 100, "checksum mismatch"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const std::string path = (work / "bomb.fpak").string();
        ASSERT_TRUE(WritePackageFileWithRawEntry(path, {{"m_small.flevel", LevelWithTitle("Small")}},
                                                 {"m_bomb.flevel", big, c.declared}));
        const PackageContents contents = ReadPackage(path);
        ASSERT_TRUE(contents.opened);
        ASSERT_EQ(contents.levels.size(), 1u);
        EXPECT_EQ(contents.levels[0].entryName, "m_small.flevel");
        ASSERT_EQ(contents.refused.size(), 1u);
        EXPECT_EQ(contents.refused[0].entryName, "m_bomb.flevel");
        EXPECT_EQ(contents.refused[0].reason, c.reason);
    }
}

TEST_F(InstallerCore, ADifferentLevelInThePlaceIsBackedUpFirstAndTheSameIsLeftAlone)
{
    fs::create_directories(root / "Level");
    const std::string mine = LevelWithTitle("My own edit");
    { std::ofstream(root / "Level/m_dm_shared.flevel", std::ios::binary) << mine; }
    fs::create_directories(root / "Cache/LevelBackups");
    { std::ofstream(root / "Cache/LevelBackups/0000_m_dm_shared.flevel") << "an older backup"; }

    const std::string theirs = LevelWithTitle("Their version");
    const std::string path = Package("shared.fpak", {{"m_dm_shared.flevel", theirs}});
    InstallReport report = InstallPackage(path);
    EXPECT_TRUE(report.Complete()) << report.Message();
    EXPECT_EQ(report.backups, std::vector<std::string>{"Cache\\LevelBackups\\0001_m_dm_shared.flevel"});
    EXPECT_EQ(ReadWholeTestFile((root / "Cache/LevelBackups/0001_m_dm_shared.flevel").string()), mine);
    EXPECT_EQ(ReadWholeTestFile((root / "Cache/LevelBackups/0000_m_dm_shared.flevel").string()), "an older backup");
    EXPECT_EQ(ReadWholeTestFile((root / "Level/m_dm_shared.flevel").string()), theirs);

    // Installing the same package again finds the same level there: no second backup.
    report = InstallPackage(path);
    EXPECT_TRUE(report.Complete());
    EXPECT_TRUE(report.backups.empty());
    EXPECT_EQ(FilesBelow(root / "Cache/LevelBackups").size(), 2u);
}

TEST_F(InstallerCore, ALevelThatCannotBeWrittenIsReportedNotSuccess)
{
    // A folder stands where the level would go.
    fs::create_directories(root / "Level/m_dm_blocked.flevel");
    const std::string path =
        Package("blocked.fpak", {{"m_dm_blocked.flevel", LevelWithTitle("B")}, {"m_dm_ok.flevel", LevelWithTitle("O")}});
    const InstallReport report = InstallPackage(path);
    EXPECT_FALSE(report.Complete());
    EXPECT_EQ(report.installed, std::vector<std::string>{"Level\\m_dm_ok.flevel"});
    ASSERT_EQ(report.failed.size(), 1u);
    EXPECT_EQ(report.failed[0].name, "m_dm_blocked.flevel");
    EXPECT_NE(report.Message().find("1 of 2 levels installed."), std::string::npos) << report.Message();
    EXPECT_TRUE(fs::is_directory(root / "Level/m_dm_blocked.flevel"));
}

} // namespace
