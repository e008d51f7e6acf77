// The console view: opened and closed by the shell action, follows new lines while the
// reader is at the end, scrolls, runs the typed line, and goes with the console's shutdown.
#include "../gui/DeviceFixture.h"
#include "../gui/TypingFixture.h"

#include "app/ConsoleParam.h"
#include "gui/EditBox.h"
#include "gui/GuiClock.h"
#include "gui/ScrollBar.h"
#include "gui/WindowList.h"
#include "hud/Console.h"
#include "hud/ConsoleView.h"
#include "media/ButtonPresses.h"
#include "media/FontManager.h"
#include "media/KBManager.h"
#include "media/InputClock.h"
#include "media/PngFile.h"
#include "platform/input/ScanCodes.h"

namespace {

class ConsoleViewTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        StartScreen(1024, 768);
        ResetGuiInput();
        SetInputClock([] { return uint32_t(1000); });
        Console::Shutdown();
        Console::Enable();
    }
    void TearDown() override
    {
        Console::Shutdown();
        CloseAllWindows();
        ResetGuiInput();
        SetInputClock(nullptr);
        FontManager::ReleaseFonts(); // they hold the device that goes now
        DeviceFixture::TearDown();
    }
    static void Frame()
    {
        UpdateGuiInput(0, 0);
        UpdateOpenWindows();
    }
    static ConsoleView* OpenView()
    {
        ToggleConsoleView();
        return dynamic_cast<ConsoleView*>(FindOpenWindow(ConsoleView::kWindowName));
    }
    FakeKeyboard keyboard;
};

TEST_F(ConsoleViewTest, ShellActionOpensAndClosesTheView)
{
    ConsoleView* view = OpenView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(Console::View(), view);
    EXPECT_EQ(GetKeyboardFocus(), static_cast<Primitive*>(view->Input()));
    ToggleConsoleView();
    EXPECT_EQ(FindOpenWindow(ConsoleView::kWindowName), nullptr);
    Frame(); // the closed view is dropped and deleted
    EXPECT_EQ(Console::View(), nullptr);

    view = OpenView();
    ASSERT_TRUE(ExecuteConsoleLine("close"));
    EXPECT_EQ(FindOpenWindow(ConsoleView::kWindowName), nullptr);
    Frame();

    view = OpenView();
    ASSERT_NE(view, nullptr);
    Console::Shutdown(); // closes and deletes the view
    EXPECT_EQ(Console::View(), nullptr);
    EXPECT_TRUE(OpenWindows().empty());
}

TEST_F(ConsoleViewTest, FollowsNewLinesAtTheEndAndScrollsWithinTheText)
{
    for (int i = 0; i < 100; ++i)
        Console::AddLine("line " + std::to_string(i) + " of the console, as the log writes it", 0xFFFFFFFFu);
    Console::Help();
    ConsoleView* view = OpenView();
    ASSERT_NE(view, nullptr);
    const int step = view->LineStep();
    ASSERT_GT(step, 0);
    const int end = view->TextHeight() - view->VisibleHeight();
    ASSERT_GT(end, 0);
    EXPECT_EQ(view->Offset(), end);

    Console::AddLine("new", 0xFFFFFFFFu);
    Frame();
    EXPECT_EQ(view->Offset(), end + step); // the reader was at the end: it follows

    view->Scroll(true, 5);
    EXPECT_EQ(view->Offset(), end - 4 * step);
    Console::AddLine("newer", 0xFFFFFFFFu);
    Frame();
    EXPECT_EQ(view->Offset(), end - 4 * step); // scrolled back: it stays

    view->Scroll(true, 1000);
    EXPECT_EQ(view->Offset(), 0);
    view->Scroll(false, 1000);
    EXPECT_EQ(view->Offset(), view->TextHeight() - view->VisibleHeight());
    RouteKeyToGui(0x80, 201, false, keyboard); // Page Up
    EXPECT_EQ(view->Offset(), view->TextHeight() - view->VisibleHeight() - 5 * step);

    DrawFrame([] { DrawOpenWindows(); });
    int lit = 0;
    for (int x = 0; x < 600; ++x)
        for (int y = 0; y < 200; ++y)
            lit += ((Pixel(x, y) >> 8) & 0xFF) > 0x80 ? 1 : 0;
    EXPECT_GT(lit, 200); // white and green text on the dark panel
    std::vector<uint32_t> pixels(1024 * 768);
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x)
            pixels[size_t(y) * 1024 + x] = 0xFF000000u | Pixel(x, y);
    EXPECT_TRUE(WritePngFile(std::string(FLIMBS_GAME_DIR) + "/console-view.png", pixels.data(), 1024, 768));
}

TEST_F(ConsoleViewTest, EnterRunsTheTypedLine)
{
    ConsoleParam variable("test_console_view_var", ConsoleParamType::Int, "0", "", LogVariableChanged);
    ConsoleView* view = OpenView();
    ASSERT_NE(view, nullptr);
    view->Input()->SetText("test_console_view_var 9");
    RouteKeyToGui(0x80, 28, false, keyboard);
    RouteKeyToGui(0, 28, false, keyboard);
    EXPECT_EQ(variable.GetInt(), 9);
    EXPECT_EQ(view->Input()->GetText(), "");
    std::vector<std::string> texts;
    for (const ConsoleLine& line : Console::Lines())
        texts.push_back(line.text);
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[texts.size() - 2], "> test_console_view_var 9");
    EXPECT_EQ(texts.back(), "test_console_view_var is now 9 ");

    SetKeyboardFocus(nullptr); // losing the focus runs nothing
    view->Input()->SetText("test_console_view_var 5");
    view->FocusInput();
    SetKeyboardFocus(nullptr);
    EXPECT_EQ(variable.GetInt(), 9);
}

// Typed as the keyboard manager hands keys to the GUI: the letters go to the input line (not
// to the key bindings), show there, Backspace takes one back, and Enter's output shows in
// the view. Leaves build/console-typed.png.
TEST_F(ConsoleViewTest, TypedLineIsDrawnEditedAndItsOutputShown)
{
    static int bound;
    bound = 0;
    kbManager.BindButton(kKeyH, [](int, uint32_t) { ++bound; }, 0, 0);
    InstallGuiInputRouting();
    ConsoleView* view = OpenView();
    ASSERT_NE(view, nullptr);
    Frame();
    EditBox* input = view->Input();
    EXPECT_GT(input->rect.bottom - input->rect.top, 4.0f) << "the input line has a height";
    EXPECT_LE(input->rect.bottom, view->rect.bottom + 0.5f);
    const auto type = [](int code) {
        DispatchButtonEvent(0x80, code, false, kbManager);
        DispatchButtonEvent(0, code, false, kbManager);
    };
    for (int code : {kKeyH, kKeyE, kKeyX, kKeyBackspace})
        type(code);
    Frame();
    EXPECT_EQ(input->GetText(), "he");
    EXPECT_EQ(bound, 0) << "typed letters do not reach the game's keys";
    DrawFrame([] { DrawOpenWindows(); });
    int lit = 0;
    for (int x = int(input->rect.left); x < int(input->rect.left) + 60; ++x)
        for (int y = int(input->rect.top); y < int(input->rect.bottom); ++y)
            lit += ((Pixel(x, y) >> 8) & 0xFF) > 0x80 ? 1 : 0;
    EXPECT_GT(lit, 10) << "the typed text is drawn on the input line";
    input->SetText("help");
    type(kKeyEnter);
    Frame();
    bool listed = false;
    for (const ConsoleLine& line : Console::Lines())
        listed = listed || line.text.find("-=[ CONSOLE COMMANDS ]=-") != std::string::npos;
    EXPECT_TRUE(listed) << "the command's output reaches the console";
    DrawFrame([] { DrawOpenWindows(); });
    std::vector<uint32_t> pixels(1024 * 768);
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x)
            pixels[size_t(y) * 1024 + x] = 0xFF000000u | Pixel(x, y);
    EXPECT_TRUE(WritePngFile(std::string(FLIMBS_GAME_DIR) + "/console-typed.png", pixels.data(), 1024, 768));
    kbManager.BindButton(kKeyH, nullptr, 0, 0);
    RemoveGuiInputRouting();
}

} // namespace
