#include "app/Crc32.h"
#include "app/FileManager.h"
#include "app/Log.h"
#include "app/MemoryFileManager.h"
#include "app/ResourceFileManager.h"
#include "app/StandardFileManager.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

void WriteFile(const fs::path& path, const std::string& bytes)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadAllFrom(IFileManager& manager, int handle)
{
    std::string bytes(manager.GetSize(handle), '\0');
    bytes.resize(manager.Read(handle, bytes.data(), bytes.size()));
    return bytes;
}

std::string ReadLog()
{
    std::ifstream in(LogFilePath());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string ReadHostFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A game folder under the test's user folder: plain files, two archives, memory files.
class GameFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        home_ = GetUserRoot();
        program_ = fs::path(home_) / "game";
        SetProgramFolder(program_.string());
        WriteFile(program_ / "Data" / "Shared.txt", "plain");
        WriteFile(program_ / "Graphics" / "Menu" / "Title.PNG", "title");
        Pack("pack0", {{"Data/Shared.txt", "archive0"}, {"Data/second.txt", "second0"}});
        fs::rename(fs::path(home_) / "pack0.dat", program_ / "Data" / "resource.dat");
        Pack("pack1", {{"Data/second.txt", "second1"}, {"Data/third.txt", "third1"}});
        fs::rename(fs::path(home_) / "pack1.dat", program_ / "Data" / "resource01.dat");
        WriteFile(fs::path(home_) / "outside.txt", "secret");

        manager_ = std::make_unique<FileManager>();
        manager_->AddMember(StandardFileManager::ForProgramFolder());
        manager_->AddMember(std::make_unique<ResourceFileManager>((program_ / "Data" / "resource.dat").string()));
        manager_->AddMember(std::make_unique<ResourceFileManager>((program_ / "Data" / "resource01.dat").string()));
        auto memory = std::make_unique<MemoryFileManager>();
        memory_ = memory.get();
        manager_->AddMember(std::move(memory));
        manager_->IndexNames(nullptr, 0, nullptr);
        fileManager = manager_.get();
    }
    void TearDown() override { fileManager = nullptr; }

    void Pack(const std::string& folder, const std::vector<std::pair<std::string, std::string>>& files)
    {
        for (const auto& [name, bytes] : files)
            WriteFile(fs::path(home_) / folder / name, bytes);
        std::string error;
        ASSERT_TRUE(WriteResourceArchive((fs::path(home_) / folder).string(),
                                         (fs::path(home_) / (folder + ".dat")).string(), error))
            << error;
    }

    std::string OpenAndRead(const std::string& name)
    {
        FileHandle handle = FileHandle::FromString(name);
        if (!handle.IsOpen())
            return "<missing>";
        const uint8_t* data = handle.ReadAll();
        return std::string(reinterpret_cast<const char*>(data), handle.Size());
    }

    std::string home_;
    fs::path program_;
    std::unique_ptr<FileManager> manager_;
    MemoryFileManager* memory_ = nullptr;
};

} // namespace

TEST_F(GameFolderTest, HandlesStartAt1000AndAreReused)
{
    const int first = manager_->Open("Data\\Shared.txt");
    const int second = manager_->Open("Data\\second.txt");
    EXPECT_EQ(first, 1000);
    EXPECT_EQ(second, 1001);
    EXPECT_TRUE(manager_->Close(first));
    EXPECT_EQ(manager_->Open("Data\\third.txt"), 1000);

    // Closed, stale and out-of-range handles fail cleanly.
    EXPECT_FALSE(manager_->Close(first + 5));
    EXPECT_TRUE(manager_->Close(1000));
    EXPECT_FALSE(manager_->Close(1000));
    char byte = 0;
    for (int bad : {0, 999, 1000, 1002, 123456, -1}) {
        EXPECT_EQ(manager_->Read(bad, &byte, 1), 0u) << bad;
        EXPECT_EQ(manager_->GetSize(bad), 0u) << bad;
        EXPECT_EQ(manager_->Map(bad, 0, 1), 0) << bad;
        EXPECT_EQ(manager_->GetMapData(bad), nullptr) << bad;
    }
    EXPECT_TRUE(manager_->Close(second));
}

TEST_F(GameFolderTest, EarlierMembersWinAndUnindexedNamesGoToMemory)
{
    EXPECT_EQ(OpenAndRead("Data\\Shared.txt"), "plain");   // program folder over resource.dat
    EXPECT_EQ(OpenAndRead("Data\\second.txt"), "second0"); // resource.dat over resource01.dat
    EXPECT_EQ(OpenAndRead("Data\\third.txt"), "third1");
    EXPECT_TRUE(manager_->Exists("Data\\third.txt", -1));
    EXPECT_FALSE(manager_->Exists("Data\\third.txt", 2));

    EXPECT_EQ(manager_->FindMemberForName("Generated\\thumb.png"), memory_);
    EXPECT_EQ(OpenAndRead("Generated\\thumb.png"), "<missing>");
    memory_->AddFile("Generated\\thumb.png", "png!", 4);
    EXPECT_EQ(OpenAndRead("generated\\THUMB.png"), "png!");
    EXPECT_TRUE(memory_->StampTime("Generated\\thumb.png"));

    // A plain file written after indexing is found once its folder is indexed again.
    WriteFile(program_ / "Data" / "late.txt", "late");
    EXPECT_EQ(OpenAndRead("Data\\late.txt"), "<missing>");
    manager_->IndexNames(nullptr, 0, "Data\\late.txt");
    EXPECT_EQ(OpenAndRead("Data\\late.txt"), "late");
    EXPECT_EQ(OpenAndRead("Data\\third.txt"), "third1");
}

TEST_F(GameFolderTest, NamesMatchIgnoringCaseAndTheLeadingParentStep)
{
    EXPECT_EQ(OpenAndRead("graphics\\menu\\title.png"), "title");
    EXPECT_EQ(OpenAndRead("..\\GRAPHICS\\MENU\\TITLE.PNG"), "title");
    EXPECT_EQ(OpenAndRead("Graphics/Menu/Title.png"), "title");
    EXPECT_EQ(OpenAndRead("..\\DATA\\THIRD.TXT"), "third1");
}

TEST_F(GameFolderTest, NamesThatLeaveTheRootAreRefused)
{
    StandardFileManager plain(std::vector<StandardFileManager::Root>{{"", program_.string()}});
    for (const char* name : {"..\\..\\outside.txt", "..\\Data\\..\\..\\outside.txt", "Data\\..\\..\\outside.txt",
                             "/etc/passwd", "\\etc\\passwd", "C:\\Windows\\win.ini", "c:outside.txt"}) {
        EXPECT_EQ(manager_->Open(name), 0) << name;
        EXPECT_FALSE(manager_->Exists(name, -1)) << name;
        EXPECT_EQ(plain.Open(name), 0) << name;
    }
    EXPECT_EQ(plain.Open("..\\outside.txt"), 0);
    EXPECT_NE(ReadLog().find("refused file name outside the game folders [..\\..\\outside.txt]"), std::string::npos);
}

TEST_F(GameFolderTest, ListsPlainFilesAndExtractsArchivedOnes)
{
    WriteFile(program_ / "Level" / "f_one.flevel", "1");
    WriteFile(program_ / "Level" / "s_two.flevel", "2");
    WriteFile(program_ / "Level" / "Sub" / "f_three.flevel", "3");
    WriteFile(program_ / "Level" / ".hidden" / "f_four.flevel", "4");
    std::vector<std::string> names;
    manager_->ListFiles("Level\\f_*.flevel", names, 2);
    EXPECT_EQ(names, std::vector<std::string>{"f_one.flevel"});
    names.clear();
    manager_->ListFilesRecursive("Level", "f_*.flevel", names, 2);
    EXPECT_EQ(names, (std::vector<std::string>{"Level\\f_one.flevel", "Level\\Sub\\f_three.flevel"}));

    ASSERT_TRUE(ExtractFile("Data\\third.txt"));
    EXPECT_EQ(ReadHostFile(program_ / "Data" / "third.txt"), "third1");
    EXPECT_FALSE(ExtractFile("Data\\nothing.txt"));
}

TEST(UserRootFolder, ListsTheFilesOfTheRootFolderItself)
{
    const std::filesystem::path folder = GetUserPath("Level");
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "m_listed.flevel") << "x";
    StandardFileManager user;
    user.AddRootFolder("Level");
    std::vector<std::string> names;
    user.ListFiles("Level\\m_listed*.flevel", names, 2);
    EXPECT_EQ(names, std::vector<std::string>{"m_listed.flevel"});
    std::filesystem::remove(folder / "m_listed.flevel");
}

TEST_F(GameFolderTest, ConcurrentOpenersSeeTheirOwnBytes)
{
    for (int i = 0; i < 8; ++i)
        memory_->AddFile("Mem\\file" + std::to_string(i), std::to_string(i * 1111).c_str(), std::to_string(i * 1111).size());
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&, t] {
            for (int round = 0; round < 300; ++round) {
                const std::string expected = std::to_string(t * 1111);
                const int handle = manager_->Open("Mem\\file" + std::to_string(t));
                if (ReadAllFrom(*manager_, handle) != expected)
                    ++wrong;
                manager_->Close(handle);
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong.load(), 0);
}

TEST(ResourceArchive, PackerOutputReadsBackExactly)
{
    const fs::path root = fs::path(GetUserRoot()) / "packsrc";
    std::string binary;
    for (int i = 0; i < 70000; ++i)
        binary.push_back(static_cast<char>((i * 7919) >> 3));
    const std::vector<std::pair<std::string, std::string>> files = {
        {"Data\\Odd.bin", std::string("\x01\x02\x03", 3)},
        {"Graphics\\Traps\\trap-spec.xml", "<trap-spec/>"},
        {"Sounds\\big.bin", binary},
        {"empty.txt", ""},
    };
    for (const auto& [name, bytes] : files) {
        std::string host = name;
        std::replace(host.begin(), host.end(), '\\', '/');
        WriteFile(root / host, bytes);
    }
    const fs::path archive = fs::path(GetUserRoot()) / "out.dat";
    const std::string command = std::string(FLIMBS_GAME_DIR) + "/Bin/packer '" + root.string() + "' '" + archive.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);

    ResourceFileManager reader(archive.string());
    ASSERT_TRUE(reader.IsValid());
    EXPECT_EQ(reader.EntryCount(), files.size());
    NameIndex index;
    reader.IndexNames(&index, 0, nullptr);
    EXPECT_EQ(index.Size(), files.size() - 1); // the empty entry carries no data
    for (const auto& [name, bytes] : files) {
        const int handle = reader.Open(ToLowerAscii(name));
        ASSERT_NE(handle, 0) << name;
        EXPECT_EQ(ReadAllFrom(reader, handle), bytes) << name;
        EXPECT_EQ(reader.GetCrc(handle), Crc32(bytes.data(), bytes.size())) << name;
        reader.Close(handle);
    }
    EXPECT_TRUE(reader.Exists("GRAPHICS\\TRAPS\\TRAP-SPEC.XML", -1));

    const int handle = reader.Open("data\\odd.bin");
    EXPECT_TRUE(reader.Seek(handle, -5, 0));
    EXPECT_EQ(reader.Tell(handle), 0u);
    EXPECT_TRUE(reader.Seek(handle, 100, 1));
    EXPECT_EQ(reader.Tell(handle), 3u);
    char byte = 0;
    EXPECT_EQ(reader.Read(handle, &byte, 1), 0u);
    EXPECT_TRUE(reader.Seek(handle, -1, 2));
    EXPECT_EQ(reader.Read(handle, &byte, 5), 1u);
    EXPECT_EQ(byte, 3);
    const int map = reader.Map(handle, 1, 1000); // clamped to the entry
    EXPECT_EQ(reader.GetMapSize(map), 2u);
    EXPECT_EQ(reader.GetMapData(map)[0], 2);
    EXPECT_EQ(reader.GetMapSize(reader.Map(handle, 50, 4)), 0u);
    EXPECT_TRUE(reader.Close(handle));
    EXPECT_EQ(reader.GetMapData(map), nullptr); // closing drops its maps
}

TEST(ResourceArchive, TruncatedAndInconsistentArchivesAreRefused)
{
    const fs::path root = fs::path(GetUserRoot()) / "small";
    WriteFile(root / "a.txt", "alpha");
    WriteFile(root / "Sub" / "b.txt", "bravo!");
    const fs::path archive = fs::path(GetUserRoot()) / "small.dat";
    std::string error;
    ASSERT_TRUE(WriteResourceArchive(root.string(), archive.string(), error)) << error;
    const std::string image = ReadHostFile(archive);

    for (size_t length = 0; length < image.size(); ++length) {
        ResourceFileManager cut(image.data(), length);
        EXPECT_FALSE(cut.IsValid()) << length;
        EXPECT_EQ(cut.Open("a.txt"), 0) << length;
    }
    ASSERT_TRUE(ResourceFileManager(image.data(), image.size()).IsValid());

    auto patched = [&](size_t at, std::initializer_list<uint8_t> bytes) {
        std::string copy = image;
        for (uint8_t b : bytes)
            copy[at++] = static_cast<char>(b);
        return copy;
    };
    const std::vector<std::string> broken = {
        patched(0, {0xFF, 0xFF, 0xFF, 0x7F}), // entry count far beyond the file
        patched(4 + 18, {0xFF, 0xFF}),        // first name runs past the end
        patched(4, {0xF0, 0xFF, 0xFF, 0xFF}), // first offset beyond the data
        patched(8, {0xFF, 0xFF, 0xFF, 0xFF}), // first size: offset + size overflows 32 bits
    };
    for (size_t i = 0; i < broken.size(); ++i) {
        ResourceFileManager reader(broken[i].data(), broken[i].size());
        EXPECT_FALSE(reader.IsValid()) << i;
        EXPECT_EQ(reader.EntryCount(), 0u) << i;
    }
    EXPECT_NE(ReadLog().find("resource archive [(memory)] refused"), std::string::npos);

    ResourceFileManager missing((fs::path(GetUserRoot()) / "nothing.dat").string());
    EXPECT_FALSE(missing.IsValid());
}

// Files reached through symbolic links are named by where they sit in the game folder, not
// by where the links point: a linked file found by the walk, and one below a linked folder
// indexed by name.
TEST_F(GameFolderTest, FilesBehindLinksKeepTheirGameNames)
{
    const fs::path elsewhere = fs::path(home_) / "elsewhere" / "levels";
    WriteFile(elsewhere / "linked.flevel", "linked");
    fs::create_directories(program_ / "Level");
    fs::create_symlink(elsewhere / "linked.flevel", program_ / "Level" / "linked.flevel");
    manager_->IndexNames(nullptr, 0, nullptr);
    EXPECT_EQ(OpenAndRead("Level\\linked.flevel"), "linked");

    fs::create_directory_symlink(elsewhere, program_ / "Linked");
    WriteFile(elsewhere / "late.flevel", "late");
    manager_->IndexNames(nullptr, 0, "Linked\\late.flevel");
    EXPECT_EQ(OpenAndRead("Linked\\late.flevel"), "late");
}
