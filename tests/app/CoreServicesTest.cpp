#include "app/Crc32.h"
#include "app/GameException.h"
#include "app/Md5.h"
#include "app/Random.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <exception>
#include <filesystem>
#include <thread>

TEST(SimRandom, SeedOneGivesTheRuntimeSequence)
{
    RandomGenerator generator;
    generator.Seed(1);
    for (int expected : {41, 18467, 6334, 26500, 19169})
        EXPECT_EQ(generator.Next(), expected);
}

TEST(SimRandom, SimulationAndDrawingGeneratorsAreIndependent)
{
    SimSrand(1);
    DrawRandom().Seed(1);
    for (int i = 0; i < 10; ++i)
        DrawRand();
    EXPECT_EQ(SimRand(), 41);
}

TEST(Md5, MatchesTheRfc1321Vectors)
{
    const struct {
        const char* input;
        const char* hex;
    } vectors[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& vector : vectors) {
        EXPECT_EQ(Md5Hex(vector.input), vector.hex) << vector.input;
        EXPECT_EQ(Md5String(vector.input, "%s%02x"), vector.hex) << vector.input;
    }
}

TEST(Md5, IncrementalUpdatesAndTheUnpaddedUpperCaseForm)
{
    Md5Context context;
    context.Update("message ");
    context.Update("digest");
    EXPECT_EQ(Md5Format(context.Final(), "%02x"), "f96b697d7cb7938d525a2f31aaf161d0");
    context.Update("ignored after final");
    EXPECT_EQ(Md5Format(context.Final(), "%02x"), "f96b697d7cb7938d525a2f31aaf161d0");
    // Bytes below 0x10 lose their leading zero in the "%0X" form: 0x0c -> "C", 0x01 -> "1".
    EXPECT_EQ(Md5String("a", "%s%0X"), "CC175B9C0F1B6A831C399E269772661");
}

TEST(Crc32, MatchesTheStandardCheckValue)
{
    EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
    const uint32_t firstHalf = Crc32("12345", 5);
    EXPECT_EQ(Crc32("6789", 4, firstHalf), 0xCBF43926u);
}

TEST(GameException, CarriesItsOwnTextAcrossThreads)
{
    std::exception_ptr caught;
    std::thread worker([&] {
        try {
            char buffer[64] = "Cannot load the trap-spec.xml file!";
            GameException error = GameException::Format("%s (%d)", buffer, 7);
            buffer[0] = 'X'; // the exception must not refer to the caller's buffer
            throw error;
        } catch (...) {
            caught = std::current_exception();
        }
    });
    worker.join();
    try {
        std::rethrow_exception(caught);
    } catch (const GameException& error) {
        EXPECT_STREQ(error.what(), "Cannot load the trap-spec.xml file! (7)");
    }
}

TEST(StringUtil, Helpers)
{
    EXPECT_EQ(ReplaceAll("a-b-c", "-", "--"), "a--b--c");
    EXPECT_EQ(SplitString("*.flevel|*.xml||", "|"), (std::vector<std::string>{"*.flevel", "*.xml"}));
    EXPECT_EQ(FindNoCase("C:\\Games\\LEVEL\\x", "level"), 9u);
    EXPECT_EQ(GetFileTitle("Level\\UGC\\my.level.flevel", true), "my.level");
    EXPECT_EQ(GetFileTitle("Level\\UGC\\my.flevel", false), "my.flevel");
    EXPECT_EQ(ParseLeadingUInt("4294967297abc"), 1u);
    EXPECT_EQ(ParseLeadingUInt("-5"), 0u);
    EXPECT_TRUE(IsTrueText("YeS"));
    EXPECT_TRUE(IsTrueText("1"));
    EXPECT_FALSE(IsTrueText("true"));
    EXPECT_TRUE(WildcardMatchNoCase("f_*.FLEVEL", "f_intro.flevel"));
    EXPECT_FALSE(WildcardMatchNoCase("f_*.flevel", "s_intro.flevel"));
    int32_t value = 0;
    EXPECT_TRUE(ParseInt(" -42 ", value));
    EXPECT_EQ(value, -42);
    EXPECT_FALSE(ParseInt("12abc", value));
    EXPECT_FALSE(ParseInt("99999999999", value));
}

TEST(UserFolders, HonourFlimbsHome)
{
    const std::string home = std::getenv("FLIMBS_HOME");
    EXPECT_EQ(GetUserRoot(), home);
    EXPECT_EQ(GetUserPath("Cache\\Settings\\global_config.xml"), home + "/Cache/Settings/global_config.xml");
    EXPECT_EQ(GetUserPath("level\\UGC\\a.flevel"), home + "/level/UGC/a.flevel");

    SetProgramFolder("/opt/flimbs");
    EXPECT_EQ(GetUserPath("Sounds\\Music\\intro.ogg"), "/opt/flimbs/Sounds/Music/intro.ogg");
    SetProgramFolder(ProgramFolderFromExecutable());

    ASSERT_TRUE(CreateUserFolders());
    int count = 0;
    const char* const* names = UserFolderNames(count);
    ASSERT_EQ(count, 19);
    for (int i = 0; i < count; ++i)
        EXPECT_TRUE(std::filesystem::is_directory(GetUserPath(names[i]))) << names[i];
    EXPECT_TRUE(CreateUserFolders()); // existing folders are fine
}

TEST(UserFolders, FallsBackToXdgDataHome)
{
    const std::string saved = std::getenv("FLIMBS_HOME");
    unsetenv("FLIMBS_HOME");
    setenv("XDG_DATA_HOME", "/tmp/xdg-data", 1);
    EXPECT_EQ(GetUserRoot(), "/tmp/xdg-data/flimbs");
    unsetenv("XDG_DATA_HOME");
    setenv("HOME", "/home/player", 1);
    EXPECT_EQ(GetUserRoot(), "/home/player/.local/share/flimbs");
    setenv("FLIMBS_HOME", saved.c_str(), 1);
}

TEST(UserFolders, ConfinedPaths)
{
    const struct {
        const char* path;
        bool confined;
    } cases[] = {
        {"Level\\UGC\\a.flevel", true}, {"..\\..\\x", false},      {"Level\\..\\..\\x", false},
        {"/etc/passwd", false},         {"\\etc\\passwd", false},  {"C:\\Windows", false},
        {"", false},                    {"a..b\\c", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsConfinedRelativePath(c.path), c.confined) << c.path;
}
