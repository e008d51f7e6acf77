// The main menu on its backdrop and the full options window, drawn headless at 1280 x 720
// and written to <build>/frontend-main-menu.png and <build>/frontend-options.png.
#include "FrontEndFixture.h"

#include "app/LanguageTexts.h"
#include "app/Random.h"
#include "frontend/menus/MainMenu.h"
#include "frontend/options/OptionsMenu.h"

namespace {

using FrontEndPictures = FrontEndFixture;

// Lit pixels (any channel above 0x60) in a rectangle of the back buffer.
int LitPixels(int left, int top, int right, int bottom)
{
    int lit = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x) {
            const uint32_t p = DXManager::GetBackBuffer()->ReadPixel(uint32_t(x), uint32_t(y));
            lit += ((p >> 16) & 0xFF) > 0x60 || ((p >> 8) & 0xFF) > 0x60 || (p & 0xFF) > 0x60 ? 1 : 0;
        }
    return lit;
}

TEST_F(FrontEndPictures, MainMenuOnTheBackdrop)
{
    MakeProfile("Ann", true);
    SetVariable("username", "Ann");
    DrawRandom().Seed(7);
    ShowMainMenu(false);
    Steps(200, 25); // the fly-in ends, bubbles rise
    DrawFrameLikeTheGame();
    WritePicture("frontend-main-menu.png", 1280, 720);
    Primitive* menu = Find(MainMenu::kName);
    ASSERT_NE(menu, nullptr);
    const FloatRect box = menu->rect;
    EXPECT_GT(LitPixels(int(box.left), int(box.top), int(box.right), int(box.bottom)),
              int((box.right - box.left) * (box.bottom - box.top) / 4))
        << "the menu is drawn where it lies";
    EXPECT_GT(LitPixels(0, 0, 1280, 720), 1280 * 720 / 6) << "the backdrop fills the screen";
}

TEST_F(FrontEndPictures, FullOptionsWindow)
{
    MakeProfile("Ann", true);
    SetVariable("username", "Ann");
    LanguageDatabase::LoadSpecification();
    LanguageDatabase::SetLanguage("en");
    ShowMainMenu(false);
    Step(16);
    Press("Options");
    Steps(80, 25);
    Primitive* options = Find(OptionsMenu::kName);
    ASSERT_NE(options, nullptr);
    DrawFrameLikeTheGame();
    WritePicture("frontend-options.png", 1280, 720);
    LanguageDatabase::Reset();
    const FloatRect box = options->rect;
    EXPECT_GT(box.right - box.left, 400.0f);
    EXPECT_LE(box.right, 1280.0f);
    EXPECT_LE(box.bottom, 720.0f) << "the options fit on a 720-pixel screen";
}

} // namespace

namespace {

TEST_F(FrontEndPictures, KeyBindingWindow)
{
    MakeProfile("Ann", true);
    ShowMainMenu(false);
    Step(16);
    Press("Options");
    Press("Customize input");
    Steps(10, 25);
    Primitive* window = Find("KeyBindingWindow");
    ASSERT_NE(window, nullptr);
    DrawFrameLikeTheGame();
    WritePicture("frontend-key-binding.png", 1280, 720);
    EXPECT_LE(window->rect.bottom, 720.0f);
    EXPECT_LE(window->rect.right, 1280.0f);
}

} // namespace
