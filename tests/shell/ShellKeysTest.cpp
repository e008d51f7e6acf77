// The shell's Escape: the screens' "back" key that never opens the developer console; the
// console opens and closes on "GRAVE", and Escape closes it.
#include "../frontend/FrontEndFixture.h"

#include "frontend/FrontEndServices.h"
#include "frontend/menus/MainMenu.h"
#include "gui/GuiServices.h"
#include "gui/WindowList.h"
#include "frontend/menus/PromptForNewUser.h"
#include "hud/Console.h"
#include "hud/ConsoleView.h"
#include "media/ButtonPresses.h"
#include "media/KeyTables.h"
#include "platform/input/ScanCodes.h"
#include "shell/ShellKeys.h"

namespace {

constexpr int kGrave = 41;

class ShellKeysTest : public FrontEndFixture {
protected:
    void SetUp() override
    {
        FrontEndFixture::SetUp();
        ConnectGuiInput();
        BindShellKeys();
    }
    void TearDown() override
    {
        SetShellActionHooks({});
        Console::Shutdown();
        CloseAllWindows();
        FrontEndFixture::TearDown();
    }
    // A press and release as the main loop dispatches them: the screens first, then the
    // key's action.
    static void Tap(int code)
    {
        DispatchButtonEvent(0x80, code, false, kbManager);
        DispatchButtonEvent(0, code, false, kbManager);
        Step(16);
    }
    static bool ConsoleOpen() { return FindOpenWindow(ConsoleView::kWindowName) != nullptr; }
};

TEST_F(ShellKeysTest, EscapeNeverOpensTheConsoleAndClosesItOverAnyScreen)
{
    EXPECT_EQ(kbManager.Binding(kKeyEscape)->handler, FindAction("closeconsole"));
    EXPECT_EQ(kbManager.Binding(kGrave)->handler, FindAction("toggleconsole"));

    // The main menu has no way back: Escape does nothing there.
    MakeProfile("Ann", true);
    ShowFrontEnd();
    Step(16);
    ASSERT_NE(Find(MainMenu::kName), nullptr);
    Tap(kKeyEscape);
    EXPECT_FALSE(ConsoleOpen());
    EXPECT_NE(Find(MainMenu::kName), nullptr);

    // The console over the extras menu: Escape closes the console only, the next one goes
    // back to the main menu.
    Press("Extras");
    Step(16);
    ASSERT_NE(Find("Extra Menu"), nullptr);
    Tap(kGrave);
    EXPECT_TRUE(ConsoleOpen());
    Tap(kKeyEscape);
    EXPECT_FALSE(ConsoleOpen());
    EXPECT_NE(Find("Extra Menu"), nullptr);
    Tap(kKeyEscape);
    EXPECT_EQ(Find("Extra Menu"), nullptr);
    EXPECT_NE(Find(MainMenu::kName), nullptr);
    EXPECT_FALSE(ConsoleOpen());

    // "GRAVE" closes the console again once its typed line is left (a click elsewhere).
    Tap(kGrave);
    EXPECT_TRUE(ConsoleOpen());
    SetKeyboardFocus(nullptr);
    Tap(kGrave);
    EXPECT_FALSE(ConsoleOpen());
}

TEST_F(ShellKeysTest, OverTheNewUserPromptEscapeDoesNothingAndTheNameBoxKeepsItsKeys)
{
    ShowFrontEnd();
    Step(16);
    ASSERT_NE(Find(PromptForNewUser::kName), nullptr);
    Tap(kKeyEscape);
    EXPECT_FALSE(ConsoleOpen());
    EXPECT_NE(Find(PromptForNewUser::kName), nullptr);
    // The name box has the focus: the key under Escape is typed there (the name filter
    // drops it later), not taken for the console.
    Tap(kGrave);
    EXPECT_FALSE(ConsoleOpen());
}

} // namespace
