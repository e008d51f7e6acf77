#include "app/FileManager.h"
#include "app/GameException.h"
#include "app/GzipFile.h"
#include "app/Log.h"
#include "app/MemoryFileManager.h"
#include "app/Random.h"
#include "app/StandardFileManager.h"
#include "app/UserFolders.h"
#include "app/XmlUtil.h"

#include "tests/support/Deflate.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const char* kGolden =
    "<flimbs-level hash=\"43FF92B54B3781434CD7B099D3782D3\"><debug>d</debug><a k=\"v\">t</a></flimbs-level>";

std::string Gzip(const std::string& text, int windowBits = 31)
{
    return DeflateBytes(text, windowBits);
}

std::string ReadLog()
{
    std::ifstream in(LogFilePath());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

XmlDocument Parse(const std::string& text)
{
    return XmlParseBuffer(text.data(), text.size(), "test");
}

// A file manager over a program folder below the test's user folder, plus memory files.
class XmlFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        program_ = fs::path(GetUserRoot()) / "game";
        fs::create_directories(program_);
        SetProgramFolder(program_.string());
        manager_ = std::make_unique<FileManager>();
        manager_->AddMember(StandardFileManager::ForProgramFolder());
        auto memory = std::make_unique<MemoryFileManager>();
        memory_ = memory.get();
        manager_->AddMember(std::move(memory));
        fileManager = manager_.get();
    }
    void TearDown() override { fileManager = nullptr; }

    void AddMemory(const std::string& name, const std::string& bytes)
    {
        memory_->AddFile(name, bytes.data(), bytes.size());
    }

    fs::path program_;
    std::unique_ptr<FileManager> manager_;
    MemoryFileManager* memory_ = nullptr;
};

} // namespace

TEST(XmlHash, GoldenVectorAndWhatItIgnores)
{
    XmlDocument doc = Parse(kGolden);
    ASSERT_TRUE(doc);
    xmlNode* root = XmlRoot(doc.get());
    EXPECT_EQ(XmlComputeHash(root), "43FF92B54B3781434CD7B099D3782D3"); // 31 digits: one byte below 16
    EXPECT_TRUE(XmlVerifyHash(root));

    // The debug element's own name, text and attributes and every hash attribute are left out;
    // children of debug are not.
    for (const char* same : {"<flimbs-level><debug x=\"1\">other</debug><a k=\"v\" hash=\"zz\">t</a></flimbs-level>",
                             "<flimbs-level>\n  <debug/>\n  <a k=\"v\">t</a>\n</flimbs-level>"}) {
        XmlDocument other = Parse(same);
        ASSERT_TRUE(other) << same;
        EXPECT_EQ(XmlComputeHash(XmlRoot(other.get())), "43FF92B54B3781434CD7B099D3782D3") << same;
    }
    for (const char* changed : {"<flimbs-level><debug><b/></debug><a k=\"v\">t</a></flimbs-level>",
                                "<flimbs-level><a k=\"v\">T</a></flimbs-level>",
                                "<flimbs-level><a k=\"w\">t</a></flimbs-level>"}) {
        XmlDocument other = Parse(changed);
        EXPECT_NE(XmlComputeHash(XmlRoot(other.get())), "43FF92B54B3781434CD7B099D3782D3") << changed;
    }

    // Verification is exact: a zero-padded or lower-case form of the same digest fails.
    for (const char* stored : {"43FF92B54B3781434CD7B099D37820D3", "43ff92b54b3781434cd7b099d3782d3", ""}) {
        XmlSetAttrText(root, "hash", stored);
        EXPECT_FALSE(XmlVerifyHash(root)) << stored;
    }
    XmlSetHash(root);
    EXPECT_TRUE(XmlVerifyHash(root));
    XmlDocument bare = Parse("<flimbs-level><a/></flimbs-level>");
    EXPECT_FALSE(XmlVerifyHash(XmlRoot(bare.get())));
    EXPECT_FALSE(IsHashCheckInProgress());
}

TEST(XmlHash, EachComputationDrawsSixteenSimulationValues)
{
    XmlDocument doc = Parse(kGolden);
    SimSrand(1234);
    XmlComputeHash(XmlRoot(doc.get()));
    const uint32_t afterHash = SimRandom().State();
    SimSrand(1234);
    for (int i = 0; i < 16; ++i)
        SimRand();
    EXPECT_EQ(afterHash, SimRandom().State());

    SimSrand(99);
    EXPECT_TRUE(XmlVerifyHash(XmlRoot(doc.get())));
    const uint32_t afterVerify = SimRandom().State();
    SimSrand(99);
    for (int i = 0; i < 16; ++i)
        SimRand();
    EXPECT_EQ(afterVerify, SimRandom().State());
}

TEST_F(XmlFilesTest, PlainGzipAndZlibFilesLoadToTheSameHash)
{
    AddMemory("Level\\plain.flevel", kGolden);
    AddMemory("Level\\packed.flevel", Gzip(kGolden));
    AddMemory("Level\\two-members.flevel", Gzip("<flimbs-level hash=\"43FF92B54B3781434CD7B099D3782D3\"><debug>d</debug>") +
                                               Gzip("<a k=\"v\">t</a></flimbs-level>"));
    AddMemory("Level\\deflated.flevel", Gzip(kGolden, 15));
    for (const char* name : {"Level\\plain.flevel", "Level\\packed.flevel", "Level\\two-members.flevel",
                             "Level\\deflated.flevel"}) {
        XmlDocument doc = XmlLoadFile(name);
        ASSERT_TRUE(doc) << name;
        EXPECT_TRUE(XmlVerifyHash(XmlRoot(doc.get()))) << name;
    }

    const std::string gz = Gzip(kGolden);
    AddMemory("Level\\cut.flevel", gz.substr(0, gz.size() / 2));
    AddMemory("Level\\corrupt.flevel", gz.substr(0, 12) + std::string(40, '\x55'));
    AddMemory("Level\\broken.xml", "<flimbs-level><a></flimbs-level>");
    AddMemory("Level\\empty.xml", "");
    for (const char* name : {"Level\\cut.flevel", "Level\\corrupt.flevel", "Level\\broken.xml", "Level\\empty.xml",
                             "Level\\missing.xml"})
        EXPECT_FALSE(XmlLoadFile(name)) << name;
}

TEST_F(XmlFilesTest, SavedDocumentsReloadAndRehashKeepsCompression)
{
    XmlDocument doc = XmlNewDocument("flimbs-level");
    xmlNode* root = XmlRoot(doc.get());
    XmlAddChildText(root, "title", "Fish & <Chips>");
    XmlAddChildFloat(root, "scale", 1.5f);
    ASSERT_GT(XmlSaveFile(doc.get(), "Level\\Saved.flevel"), 0);
    EXPECT_LT(XmlSaveFile(doc.get(), "..\\..\\escape.xml"), 0);

    StandardFileManager user(std::vector<StandardFileManager::Root>{{"", GetUserRoot()}});
    const int handle = user.Open("level\\saved.FLEVEL");
    ASSERT_NE(handle, 0);
    user.Close(handle);
    manager_->IndexNames(nullptr, 0, nullptr);
    AddMemory("Level\\copy.flevel", [&] {
        std::ifstream in(GetUserPath("Level\\Saved.flevel"));
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }());
    XmlDocument back = XmlLoadFile("Level\\copy.flevel");
    ASSERT_TRUE(back);
    EXPECT_EQ(XmlNodeText(XmlGetChild(XmlChildren(XmlRoot(back.get())), "title")), "Fish & <Chips>");
    EXPECT_EQ(XmlNodeText(XmlGetChild(XmlChildren(XmlRoot(back.get())), "scale")), "1.5000");

    // The re-hash program sets the hash in place and keeps gzip files compressed.
    const fs::path level = program_ / "one.flevel";
    const std::string gz = Gzip("<flimbs-level><debug>d</debug><a k=\"v\">t</a></flimbs-level>");
    std::ofstream(level, std::ios::binary) << gz;
    const std::string command = std::string(FLIMBS_GAME_DIR) + "/Bin/rehash '" + level.string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    std::ifstream in(level, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GE(written.size(), 2u);
    EXPECT_EQ(static_cast<uint8_t>(written[0]), 0x1F);
    XmlDocument rehashed = XmlParseBuffer(written.data(), written.size(), "one");
    ASSERT_TRUE(rehashed);
    EXPECT_STREQ(XmlGetAttrValue(XmlRoot(rehashed.get()), "hash"), "43FF92B54B3781434CD7B099D3782D3");

    EXPECT_FALSE(XmlRehashFile("Level\\missing.flevel"));
    EXPECT_NE(ReadLog().find("XmlHash(): File not found"), std::string::npos);
}

TEST(XmlRead, LookupsAndTypedReads)
{
    XmlDocument doc = Parse(
        "<root><trap kind=\"Fire\" available_group=\"YeS\"><Speed>12abc</Speed><speed>7</speed><flag>1</flag>"
        "<word>true</word><scale>2.5</scale><big>4294967297</big><empty/><!-- note --></trap>"
        "<trap kind=\"ice\"><speed>3</speed></trap><defaults><speed required=\"1\">5</speed><alt>9</alt></defaults>"
        "</root>");
    xmlNode* root = XmlRoot(doc.get());
    xmlNode* trap = XmlGetChild(XmlChildren(root), "trap");
    xmlNode* second = XmlGetChild(XmlChildren(root), "trap", 2);
    xmlNode* defaults = XmlGetChild(XmlChildren(root), "defaults");

    EXPECT_EQ(XmlNodeText(XmlGetChild(XmlChildren(trap), "Speed")), "12abc"); // exact-name lookup
    EXPECT_EQ(XmlGetTagUInt(trap, "Speed"), 12u);
    EXPECT_EQ(XmlGetTagUInt(trap, "big"), 1u); // wraps modulo 2^32
    EXPECT_EQ(XmlGetTagText(trap, "empty"), "");
    EXPECT_EQ(XmlGetTagText(second, "missing", defaults, "alt"), "9");
    EXPECT_EQ(XmlGetTagText(second, "speed", defaults), "3");
    EXPECT_EQ(XmlGetTagText(nullptr, "speed", defaults), "5");
    EXPECT_NE(ReadLog().find("WARNING: Tag [speed] is required but not found. Using defaults\n"), std::string::npos);
    try {
        XmlGetTagText(second, "nowhere", defaults);
        FAIL() << "no exception";
    } catch (const GameException& e) {
        EXPECT_STREQ(e.what(), "The requested tag [nowhere] was not found in level and in defaults\n");
    }

    EXPECT_TRUE(XmlGetTagBool(trap, "flag"));
    EXPECT_FALSE(XmlGetTagBool(trap, "word")); // "true" is not a true word
    EXPECT_TRUE(XmlGetAttrBool(trap, "available_group"));
    EXPECT_TRUE(XmlGetAttrWithDefault(second, trap, "available_group"));
    EXPECT_THROW(XmlGetAttrWithDefault(second, defaults, "available_group"), GameException);
    EXPECT_EQ(XmlGetChildInt(trap, "speed", -1), 7);
    EXPECT_EQ(XmlGetChildInt(trap, "none", -1), -1);
    EXPECT_FLOAT_EQ(XmlGetChildFloat(trap, "scale", 0), 2.5f);
    EXPECT_FALSE(XmlGetChildBool(trap, "none"));

    EXPECT_EQ(XmlFindNode(root, "SPEED"), XmlGetChild(XmlChildren(trap), "Speed"));
    EXPECT_EQ(XmlFindNodeWithAttr(root, "speed", "3"), XmlGetChild(XmlChildren(second), "speed"));
    EXPECT_EQ(XmlFindNodeWithAttrValue(root, "TRAP", "kind", "ICE"), second);
    EXPECT_EQ(XmlFindNodeWithAttrValue(root, "speed", "kind", ""), XmlGetChild(XmlChildren(trap), "Speed"));
    EXPECT_EQ(XmlFindNodeHavingAttr(root, "required"), XmlGetChild(XmlChildren(defaults), "speed"));
    ASSERT_NE(XmlFindComment(root), nullptr);

    int speeds = 0;
    for (xmlNode* n = XmlFindNode(root, "speed"); n; n = XmlFindNodeFrom(n, "speed", n))
        ++speeds;
    EXPECT_EQ(speeds, 4);
}

TEST(XmlWrite, SetOrAddAndNumberFormats)
{
    XmlDocument doc = XmlNewDocument("profile");
    xmlNode* root = XmlRoot(doc.get());
    XmlAddChildInt(root, "volume", 10);
    XmlAddChildInt(root, "volume", -3);
    XmlSetChildFloat(root, "positive_scroll_scale", 1.25f);
    XmlAddChildFloat(root, "f", 2.0f);
    XmlAddChildFloat(root, "f", -0.00006f);
    XmlSetAttrInt(root, "id", 42);
    EXPECT_EQ(XmlNodeText(XmlGetChild(XmlChildren(root), "volume")), "-3");
    EXPECT_EQ(XmlGetChild(XmlChildren(root), "volume", 2), nullptr);
    EXPECT_EQ(XmlNodeText(XmlGetChild(XmlChildren(root), "positive_scroll_scale")), "1.2500");
    EXPECT_EQ(XmlNodeText(XmlGetChild(XmlChildren(root), "f", 2)), "-0.0001");
    EXPECT_STREQ(XmlGetAttrValue(root, "id"), "42");
}

TEST_F(XmlFilesTest, GzipStreamReadsPlainAndMultiMemberFiles)
{
    std::string big;
    for (int i = 0; i < 3000; ++i)
        big += std::to_string(i) + ",";
    AddMemory("Cache\\plain.bin", big);
    AddMemory("Cache\\packed.bin", Gzip(big.substr(0, 5000)) + Gzip(big.substr(5000)));
    for (const char* name : {"Cache\\plain.bin", "Cache\\packed.bin"}) {
        GzipFile file;
        ASSERT_TRUE(file.Open("rb", name)) << name;
        std::string read;
        char buffer[777];
        size_t got = 0;
        while ((got = file.Read(buffer, sizeof buffer)) > 0)
            read.append(buffer, got);
        EXPECT_EQ(read, big) << name;
        EXPECT_EQ(file.compressed, std::string(name) == "Cache\\packed.bin");
    }
    GzipFile missing;
    EXPECT_FALSE(missing.Open("r", "Cache\\none.bin"));

    GzipFile writer;
    writer.compressed = true;
    ASSERT_TRUE(writer.Open("wb", "Cache\\Log\\out.gz"));
    EXPECT_EQ(writer.Write(big.data(), big.size()), big.size());
    EXPECT_EQ(writer.Read(nullptr, 1), 0u);
    writer.Close();
    ASSERT_TRUE(GzipFileCopy("Cache\\Log\\out.gz", "Cache\\Log\\out.txt", false));
    std::ifstream in(GetUserPath("Cache\\Log\\out.txt"), std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()), big);
}

// A file the player names by its host path (a playback on the command line) opens without the
// file manager refusing it in the log first.
TEST_F(XmlFilesTest, AHostPathOpensWithoutARefusal)
{
    const std::string host = GetUserPath("Cache\\Log\\named.bin");
    std::filesystem::create_directories(std::filesystem::path(host).parent_path());
    std::ofstream(host, std::ios::binary) << Gzip("named");
    std::string logged;
    SetLogEcho([&](const std::string& line, uint32_t) { logged += line; });
    GzipFile file;
    const bool opened = file.Open("rb", host);
    SetLogEcho(nullptr);
    ASSERT_TRUE(opened);
    char buffer[16] = {};
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 5u);
    EXPECT_EQ(logged.find("refused"), std::string::npos) << logged;
}
