// Saves go through a temporary file renamed over the target: a save that fails half-way leaves
// the previous file byte for byte, loadable, and no temporary behind.
#include "app/AtomicFile.h"
#include "app/GlobalConfig.h"
#include "app/GzipFile.h"
#include "app/KeyBindings.h"
#include "app/PlayerProfile.h"
#include "app/UserFolders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <zlib.h>

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Files in the folder other than `keep`: temporaries left behind.
std::vector<std::string> Strays(const fs::path& folder, const std::string& keep)
{
    std::vector<std::string> strays;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename() != keep)
            strays.push_back(entry.path().filename().string());
    return strays;
}

class AtomicSaveTest : public ::testing::Test {
protected:
    void SetUp() override { SetProgramFolder(FLIMBS_GAME_DIR); }
    void TearDown() override { InjectAtomicSaveFailures(0); }
};

} // namespace

TEST_F(AtomicSaveTest, ProfileSaveFailingHalfWayKeepsThePreviousProfile)
{
    PlayerProfile& profile = CurrentProfile();
    profile.Load("Keeper");
    profile.SetSetting("music_volume", "42");
    GetBindingStore().FindByName("GulpUp")->keyNames[0] = "U";
    ASSERT_TRUE(profile.Save("Keeper"));
    const fs::path file = GetUserPath("Profiles\\Keeper.xml");
    const std::string before = ReadBytes(file);
    ASSERT_FALSE(before.empty());

    profile.SetSetting("music_volume", "99");
    GetBindingStore().FindByName("GulpUp")->keyNames[0] = "J";
    InjectAtomicSaveFailures(1);
    EXPECT_FALSE(profile.Save("Keeper"));

    EXPECT_TRUE(ReadBytes(file) == before) << "the previous profile changed";
    EXPECT_TRUE(Strays(file.parent_path(), "Keeper.xml").empty());
    PlayerProfile reloaded;
    EXPECT_TRUE(reloaded.Load("Keeper"));
    EXPECT_EQ(reloaded.Setting("music_volume"), "42");

    // The next save goes through again.
    EXPECT_TRUE(profile.Save("Keeper"));
    EXPECT_TRUE(Strays(file.parent_path(), "Keeper.xml").empty());
}

TEST_F(AtomicSaveTest, GlobalConfigurationFailingHalfWayKeepsTheOldFiles)
{
    CurrentProfile().Load("Placed");
    GlobalConfigSource source;
    source.outer = {10, 20, 650, 500};
    source.clientWidth = 640;
    source.clientHeight = 480;
    ASSERT_TRUE(writeGlobalConfig(source));
    const fs::path config = GetUserPath("Cache\\Settings\\global_config.xml");
    const fs::path profile = GetUserPath("Profiles\\Placed.xml");
    const std::string configBefore = ReadBytes(config), profileBefore = ReadBytes(profile);
    ASSERT_FALSE(configBefore.empty());
    ASSERT_FALSE(profileBefore.empty());

    // The profile's save and the configuration's both fail half-way.
    InjectAtomicSaveFailures(2);
    CurrentProfile().SetSetting("music_volume", "3");
    source.outer = {30, 40, 670, 520};
    EXPECT_FALSE(writeGlobalConfig(source));
    EXPECT_TRUE(ReadBytes(config) == configBefore) << "the configuration changed";
    EXPECT_TRUE(ReadBytes(profile) == profileBefore) << "the profile changed";
    EXPECT_EQ(ReadGlobalConfigWindow().client.left, 10);
}

TEST_F(AtomicSaveTest, GzipWriterReplacesItsTargetOnlyWhenWhole)
{
    const std::string name = "Cache\\Data\\config.cfg";
    GzipFile writer;
    writer.compressed = true;
    ASSERT_TRUE(writer.Open("wb", name));
    writer.Write("first", 5);
    ASSERT_TRUE(writer.Close());
    const fs::path file = GetUserPath(name);
    const std::string before = ReadBytes(file);

    // Until Close the old file is what readers see; a failed commit keeps it.
    ASSERT_TRUE(writer.Open("wb", name));
    writer.Write("second version", 14);
    EXPECT_EQ(ReadBytes(file), before);
    InjectAtomicSaveFailures(1);
    EXPECT_FALSE(writer.Close());
    EXPECT_EQ(ReadBytes(file), before);
    EXPECT_TRUE(Strays(file.parent_path(), "config.cfg").empty());

    gzFile reader = gzopen(file.c_str(), "rb");
    ASSERT_TRUE(reader);
    char text[16] = {};
    EXPECT_EQ(gzread(reader, text, sizeof text), 5);
    gzclose(reader);
    EXPECT_STREQ(text, "first");
}

TEST_F(AtomicSaveTest, WriterFailureAndSuccessAndTheFileMode)
{
    const fs::path folder = fs::path(GetUserRoot()) / "atomic";
    const std::string target = (folder / "file.bin").string();
    ASSERT_TRUE(SaveBytesAtomically(target, "abc", 3));
    EXPECT_EQ(ReadBytes(target), "abc");
    ::chmod(target.c_str(), 0600);

    // A writer that reports failure changes nothing.
    EXPECT_FALSE(SaveFileAtomically(target, [](const std::string& temporary) {
        std::ofstream(temporary) << "partial";
        return false;
    }));
    EXPECT_EQ(ReadBytes(target), "abc");

    ASSERT_TRUE(SaveBytesAtomically(target, "defg", 4));
    EXPECT_EQ(ReadBytes(target), "defg");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_TRUE(Strays(folder, "file.bin").empty());

    // A target whose folder cannot be made fails cleanly.
    std::ofstream(folder / "plain") << "x";
    EXPECT_FALSE(SaveBytesAtomically((folder / "plain" / "inner.bin").string(), "z", 1));
}
