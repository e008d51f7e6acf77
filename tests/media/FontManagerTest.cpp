#include "media/FontManager.h"

#include "app/LanguageTexts.h"
#include "app/UserFolders.h"
#include "media/DXManager.h"
#include "media/Font.h"
#include "media/TextConversion.h"
#include "platform/gfx/Device.h"
#include "platform/window/MainWindow.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <thread>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;

struct Box {
    int left = kWidth, top = kHeight, right = -1, bottom = -1; // inclusive
    bool Empty() const { return right < 0; }
};

class FontManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolder(FLIMBS_GAME_DIR);
        ASSERT_TRUE(window_.Create("Flimbs", {0, 0, kWidth, kHeight}));
        DXManager::Init(&window_, kWidth, kHeight);
        FontManager::Start();
    }
    void TearDown() override
    {
        // Back to the default language, so no test leaves its choice to the next one.
        FontManager::SetLanguage("en", nullptr);
        FontManager::ReleaseFonts();
        DXManager::Shutdown();
        LanguageDatabase::Reset();
    }
    static void ClearScreen()
    {
        DXManager::GetDevice()->Clear(0, nullptr, gfx::D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    }
    static Box LitBox()
    {
        Box box;
        gfx::Surface* back = DXManager::GetBackBuffer();
        for (int y = 0; y < int(back->Height()); ++y)
            for (int x = 0; x < int(back->Width()); ++x)
                if ((back->ReadPixel(x, y) & 0xFF) > 0x40) {
                    box.left = std::min(box.left, x);
                    box.right = std::max(box.right, x);
                    box.top = std::min(box.top, y);
                    box.bottom = std::max(box.bottom, y);
                }
        return box;
    }
    platform::MainWindow window_;
};

} // namespace

TEST_F(FontManagerTest, FontIdsByName)
{
    EXPECT_EQ(FontManager::FindFontId("Console"), 7);
    EXPECT_EQ(FontManager::FindFontId("Default"), 0);
    EXPECT_EQ(FontManager::FindFontId("Flimbs Large Shaded"), 9);
    EXPECT_EQ(FontManager::FindFontId("console"), 4);
    EXPECT_EQ(FontManager::FindFontId("No Such Font"), 4);
}

TEST_F(FontManagerTest, DisabledRowsAndIdsOutsideTheSlotsGiveFontZero)
{
    Font* font0 = FontManager::GetFont(0);
    ASSERT_NE(font0, nullptr);
    EXPECT_TRUE(font0->HasAtlas());
    for (int id : {1, 2, 12, -1, 20, 1000})
        EXPECT_EQ(FontManager::GetFont(id), font0) << id;
    Font* console = FontManager::GetFont(7);
    EXPECT_NE(console, font0);
    EXPECT_EQ(console->AtlasName(), "Lucida Console8-regular");
    EXPECT_EQ(FontManager::GetFont(9)->AtlasName(), "Blessed36-bold");
}

TEST_F(FontManagerTest, ConcurrentRequestsCreateTheFontOnce)
{
    std::vector<Font*> got(8, nullptr);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < got.size(); ++i)
        threads.emplace_back([&, i] { got[i] = FontManager::GetFont(5); });
    for (auto& t : threads)
        t.join();
    ASSERT_NE(got[0], nullptr);
    EXPECT_EQ(std::count(got.begin(), got.end(), got[0]), 8);
    EXPECT_NE(got[0], FontManager::GetFont(0));
    EXPECT_TRUE(std::filesystem::exists(FontManager::AtlasCachePath(*got[0]) + ".png"));
}

TEST_F(FontManagerTest, DeviceLossReachesEveryCreatedFont)
{
    std::vector<Font*> fonts;
    for (int id : {0, 3, 7, 9}) {
        fonts.push_back(FontManager::GetFont(id));
        fonts.back()->DrawTextTransformed(10, 10, 0xFFFFFFFF, "x");
        ASSERT_TRUE(fonts.back()->HasTexture());
    }
    ASSERT_GE(DXManager::ResetDevice(), 0);
    for (Font* font : fonts) {
        EXPECT_EQ(font->DeviceLossCount(), 1);
        EXPECT_TRUE(font->HasTexture());
    }
    // Released fonts are no longer told.
    FontManager::ReleaseFonts();
    EXPECT_GE(DXManager::ResetDevice(), 0);
}

TEST_F(FontManagerTest, CachedAtlasIsReadBack)
{
    Font* first = FontManager::GetFont(3);
    const size_t glyphs = first->Atlas().glyphs.size();
    const float width = first->TextWidth("Cached text");
    FontManager::ReleaseFonts();
    FontManager::Start();
    Font* again = FontManager::GetFont(3);
    EXPECT_EQ(again->Atlas().glyphs.size(), glyphs);
    EXPECT_EQ(again->TextWidth("Cached text"), width);
}

TEST_F(FontManagerTest, DrawnTextHasTheMeasuredWidthAndFollowsTheFlags)
{
    Font* font = FontManager::GetFont(6);
    const float x = 160, y = 120;
    const float width = font->TextWidth("HIH");
    const float line = font->LineHeight();
    ASSERT_GT(width, 20);
    EXPECT_EQ(font->MeasureText("HIH\nH").height, 2 * line);
    EXPECT_EQ(font->MeasureText("HIH\nH", 2.0f, 2.0f).width, 2 * width);
    struct Case {
        uint32_t flags;
        float expectLeft, expectRight; // where the ink should start and end
        bool vCentred;
    } cases[] = {
        {0, x, x + width, false},
        {kTextRight, x - width, x, false},
        {kTextCentre, x - width / 2, x + width / 2, false},
        {kTextCentre | kTextVCentre, x - width / 2, x + width / 2, true},
    };
    DXManager::GetDevice()->BeginScene();
    for (const Case& c : cases) {
        ClearScreen();
        font->DrawTextTransformed(x, y, 0xFFFFFFFF, "HIH", c.flags);
        const Box box = LitBox();
        ASSERT_FALSE(box.Empty()) << c.flags;
        // The ink of "H" sits within a few pixels of its advance box.
        EXPECT_NEAR(box.left, c.expectLeft, 4) << c.flags;
        EXPECT_NEAR(box.right + 1, c.expectRight, 4) << c.flags;
        if (c.vCentred) {
            EXPECT_GE(box.top, y - line / 2 - 1);
            EXPECT_LE(box.bottom, y + line / 2 + 1);
        } else {
            EXPECT_GE(box.top, y);
            EXPECT_LE(box.bottom, y + line);
        }
    }
    // Turned a quarter: the line runs down from (x, y), its top towards +x.
    ClearScreen();
    font->DrawTextTransformed(x, 40, 0xFFFFFFFF, "HIH", 0, 1.0f, float(M_PI / 2));
    Box turned = LitBox();
    EXPECT_NEAR(turned.top, 40, 4);
    EXPECT_NEAR(turned.bottom + 1, 40 + width, 4);
    EXPECT_GE(turned.left, x - line - 1);
    EXPECT_LE(turned.right, x + 1);
    // The highlight flag lightens the colour.
    auto brightest = [&](uint32_t flags) {
        ClearScreen();
        font->DrawTextTransformed(x, y, 0xFF606060, "HIH", flags);
        uint32_t best = 0;
        for (int py = 0; py < kHeight; ++py)
            for (int px = 0; px < kWidth; ++px)
                best = std::max(best, DXManager::GetBackBuffer()->ReadPixel(px, py) & 0xFF);
        return best;
    };
    EXPECT_EQ(brightest(0), 0x60u);
    EXPECT_EQ(brightest(kTextHighlight), 0x60u + (0xFFu - 0x60u) / 2);
    // Wrapping breaks at spaces within the width.
    const float two = font->TextWidth("HIH HIH");
    const TextExtent wrapped = font->MeasureText("HIH HIH HIH", 1.0f, 1.0f, two);
    EXPECT_EQ(wrapped.width, two);
    EXPECT_EQ(wrapped.height, 2 * line);
    DXManager::GetDevice()->EndScene();
}

TEST_F(FontManagerTest, SampleSheetOfEveryFont)
{
    // Writes <build>/font_sample.png: a few lines in each of the ten fonts, then German.
    DXManager::Shutdown();
    ASSERT_TRUE(window_.Create("Flimbs", {0, 0, 900, 1000}));
    DXManager::Init(&window_, 900, 1000);
    FontManager::Start();
    gfx::Device* device = DXManager::GetDevice();
    device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET, 0xFF203040u, 1.0f, 0);
    device->BeginScene();
    float y = 8;
    for (int id = 0; id < FontManager::kTableRows; ++id) {
        Font* font = FontManager::GetFont(id);
        const std::string text = std::to_string(id) + " " + FontManager::Row(id).name +
                                 ": The quick brown fox jumps\nover the lazy dog 0123456789 !?";
        font->DrawTextLines(10, y, 1.0f, 1.0f, 0xFFFFFFFF, text);
        y += font->MeasureText(text).height + 6;
    }
    LanguageDatabase::LoadSpecification();
    LanguageDatabase::SetLanguage("de");
    FontManager::SetLanguage("de", std::make_shared<TextConversion>("UTF-8"));
    Font* font = FontManager::GetFont(6);
    font->DrawTextLines(450, y, 1.0f, 1.0f, 0xFFFFDD44, TranslateText("Are you sure you want to supernova?"),
                        kTextCentre | kTextHighlight);
    device->EndScene();
    const std::string path = std::string(FLIMBS_GAME_DIR) + "/font_sample.png";
    ASSERT_TRUE(DXManager::SurfaceToFile(DXManager::kFormatPng, nullptr, DXManager::GetBackBuffer(), path, 0));
    EXPECT_GT(y, 300);
}

TEST_F(FontManagerTest, LanguageChoosesTheFaceColumnAndConsoleFontIsRemade)
{
    EXPECT_EQ(FontManager::GetFont(4)->Face(), "Blessed");
    FontManager::SetLanguage("de", std::make_shared<TextConversion>());
    EXPECT_EQ(FontManager::Language(), "de");
    EXPECT_EQ(FontManager::GetFont(4)->Face(), "Arial");
    EXPECT_EQ(FontManager::GetFont(7)->Face(), "Lucida Console");
    // Still registered after the language change: the device loss reaches the new fonts.
    Font* game = FontManager::GetFont(6);
    ASSERT_GE(DXManager::ResetDevice(), 0);
    EXPECT_EQ(game->DeviceLossCount(), 1);

    FontManager::RecreateConsoleFont();
    Font* console = FontManager::GetFont(7);
    EXPECT_EQ(console->AtlasName(), "Lucida Console8-regular");
    EXPECT_EQ(console->DeviceLossCount(), 0);
    EXPECT_TRUE(console->HasAtlas());

    FontManager::SetLanguage("..\\..\\x", nullptr);
    EXPECT_EQ(FontManager::Language(), "en");
}

TEST_F(FontManagerTest, MissingFaceFallsBackOnlyWhenAllowed)
{
    Font missing("No Such Face Anywhere", 12, 0, 0, 0);
    EXPECT_FALSE(missing.BuildAtlas(U"abc", false));
    EXPECT_TRUE(missing.BuildAtlas(U"abc", true));
    EXPECT_GT(missing.TextWidth("abc"), 0);
    // Code points the atlas lacks are measured and drawn as '?'.
    EXPECT_EQ(missing.TextWidth("\xE4\xB8\xAD"), missing.TextWidth("?"));
}

TEST(TextConversionTest, Utf8ToCodePointsWithBrokenBytes)
{
    TextConversion utf8;
    ASSERT_TRUE(utf8.IsValid());
    EXPECT_EQ(utf8.ToCodePoints("z\xC3\xBCnden"), U"z\u00FCnden");
    EXPECT_EQ(utf8.ToCodePoints("A\xFF" "B"), U"A?B");
    EXPECT_EQ(utf8.ToCodePoints("cut \xC3"), U"cut ?");
    TextConversion latin1("ISO-8859-1");
    EXPECT_EQ(latin1.ToCodePoints("\xFC"), U"\u00FC");
    TextConversion unknown("NO-SUCH-CHARSET");
    EXPECT_FALSE(unknown.IsValid());
    EXPECT_EQ(unknown.ToCodePoints("a\xFC"), U"a?");
}

TEST_F(FontManagerTest, FontsGoWithTheDeviceAndAreMadeAgainOnTheNextOne)
{
    // A font made on one device must never draw through it once that device is shut down.
    FontManager::GetFont(6);
    DXManager::Shutdown();
    ASSERT_TRUE(window_.Create("Flimbs", {0, 0, kWidth, kHeight}));
    DXManager::Init(&window_, kWidth, kHeight);
    ClearScreen();
    DXManager::GetDevice()->BeginScene();
    FontManager::GetFont(6)->DrawTextTransformed(100, 100, 0xFFFFFFFF, "HIH", 0);
    DXManager::GetDevice()->EndScene();
    const Box ink = LitBox();
    EXPECT_GE(ink.left, 100);
    EXPECT_LT(ink.left, ink.right);
}
