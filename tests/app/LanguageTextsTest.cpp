#include "app/LanguageTexts.h"

#include "app/UserFolders.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class LanguageTextsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolder(FLIMBS_GAME_DIR);
        LanguageDatabase::Reset();
        ASSERT_TRUE(LanguageDatabase::LoadSpecification());
    }
    void TearDown() override
    {
        LanguageDatabase::SetLanguageLoadedHandler(nullptr);
        LanguageDatabase::Reset();
    }
    static void WriteUserFile(const std::string& name, const std::string& text)
    {
        const fs::path path = GetUserPath(name);
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
};

} // namespace

TEST_F(LanguageTextsTest, KeyIsTheFirstEightHexDigitsOfTheMd5)
{
    EXPECT_EQ(TextKey("Yes"), "93cba074");
    EXPECT_EQ(TextKey(""), "d41d8cd9");
}

TEST_F(LanguageTextsTest, SecondLanguageFoundByKeyElseEnglishOrFallback)
{
    int loads = 0;
    LanguageDatabase::SetLanguageLoadedHandler([&] { ++loads; });
    ASSERT_TRUE(LanguageDatabase::SetLanguage("de"));
    EXPECT_EQ(loads, 1);
    EXPECT_EQ(LanguageDatabase::GetCurrentLanguageIndex(), 1);
    EXPECT_EQ(TranslateText("Yes"), "Ja");
    EXPECT_EQ(TranslateText("Are you sure you want to supernova?"), "Willst du wirklich die Supernova zünden?");
    EXPECT_EQ(TranslateText("Yes", "fallback"), "Ja");
    // No entry in the language: English, or the fallback when one is given.
    EXPECT_EQ(TranslateText("MEGA SPLAT ALERT!!"), "MEGA SPLAT ALERT!!");
    EXPECT_EQ(TranslateText("MEGA SPLAT ALERT!!", "Alarm"), "Alarm");
}

TEST_F(LanguageTextsTest, EnglishUsesOnlyOverrideEntries)
{
    WriteUserFile("Cache\\lt\\spec.xml",
                  "<languages><language code=\"en\" table=\"Cache\\lt\\en.xml\"/>"
                  "<language code=\"../x\" table=\"Cache\\lt\\en.xml\"/></languages>");
    WriteUserFile("Cache\\lt\\en.xml", "<texts><text key=\"" + TextKey("Yes") + "\">Yep</text><text key=\"" +
                                           TextKey("Access denied") + "\" override=\"yes\">Access Denied</text></texts>");
    ASSERT_TRUE(LanguageDatabase::LoadSpecification("Cache\\lt\\spec.xml"));
    EXPECT_EQ(LanguageDatabase::GetLanguageCount(), 1); // the unsafe code is refused
    ASSERT_TRUE(LanguageDatabase::SetLanguage("en"));
    EXPECT_EQ(TranslateText("Yes"), "Yes");
    EXPECT_EQ(TranslateText("Yes", "Okay"), "Okay");
    EXPECT_EQ(TranslateText("Access denied"), "Access Denied");
    EXPECT_EQ(TranslateText("Access denied", "fallback"), "Access Denied");
}

TEST_F(LanguageTextsTest, LanguageListCaptionsComeFromTheLoadedTable)
{
    ASSERT_TRUE(LanguageDatabase::SetLanguage("de"));
    auto list = LanguageDatabase::LanguageList();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].caption, "Englisch");
    EXPECT_EQ(list[1].caption, "Deutsch");
    EXPECT_EQ(list[1].data, 1);
    // A table without the captions shows the keys.
    WriteUserFile("Cache\\lt\\spec.xml", "<languages><language code=\"Fr\" table=\"Cache\\lt\\none.xml\"/></languages>");
    ASSERT_TRUE(LanguageDatabase::LoadSpecification("Cache\\lt\\spec.xml"));
    EXPECT_FALSE(LanguageDatabase::SetLanguage("Fr")); // missing table: empty, logged
    EXPECT_EQ(LanguageDatabase::LanguageList()[0].caption, "la_fr");
    EXPECT_EQ(TranslateText("Yes"), "Yes");
}

TEST_F(LanguageTextsTest, BrokenOrMissingFilesAreRefused)
{
    WriteUserFile("Cache\\lt\\broken.xml", "<languages><language code=");
    EXPECT_FALSE(LanguageDatabase::LoadSpecification("Cache\\lt\\broken.xml"));
    EXPECT_FALSE(LanguageDatabase::LoadSpecification("Data\\missing.xml"));
    EXPECT_FALSE(LanguageDatabase::SetLanguage("xx"));
    EXPECT_EQ(TranslateText("Yes"), "Yes");
}
