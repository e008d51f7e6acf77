#include "MessageBoxFixture.h"

#include "app/Log.h"
#include "gui/MessageBox.h"
#include "platform/input/ScanCodes.h"

#include <fstream>
#include <sstream>

namespace {

class MessageBoxTest : public SkinnedMessageBoxFixture {
protected:
    ButtonCallback Count(int& counter)
    {
        return [&counter](Primitive* owner, Button* button) {
            ++counter;
            EXPECT_EQ(owner, button->FindOwningWindow()); // the box
        };
    }
};

TEST_F(MessageBoxTest, OpensModalInFrontAndEnterPressesTheFirstButton)
{
    auto* behind = new Probe("behind");
    behind->At(0, 0, 1000, 1000);
    OpenWindow(behind, true);
    int yes = 0, no = 0;
    FlimbsMessageBox* box =
        ShowMessageBox("Confirm", "Really delete entire set?", {{"Yes", Count(yes)}, {"No", Count(no)}});
    EXPECT_EQ(OpenWindows().front(), box);
    EXPECT_EQ(GetModalWindow(), box);
    EXPECT_TRUE(IsModalActive());
    EXPECT_EQ(box->Title()->title, "Confirm");
    EXPECT_EQ(box->ButtonCount(), 2);
    EXPECT_FALSE(box->CloseButton()->visible);
    const FloatRect screen = box->GetScreenRect();
    EXPECT_NEAR((screen.left + screen.right) / 2, 500.0f, 1.0f);

    RouteLeftButton(kPhaseDown, GuiTestNow(), 5, 5); // beside the box: swallowed
    RouteLeftButton(kPhaseUp, GuiTestNow(), 5, 5);
    EXPECT_TRUE(Events().empty());
    EXPECT_EQ(Key(0x80, 30), 1); // other keys stay with the box
    EXPECT_TRUE(Events().empty());

    EXPECT_EQ(Key(0x80, kKeyEnter), 1);
    EXPECT_EQ(yes, 1);
    EXPECT_EQ(no, 0);
    EXPECT_EQ(box->pressedButton, 0);
    EXPECT_EQ(GetModalWindow(), nullptr);
    EXPECT_TRUE(Gone(box));
    Key(0x80, kKeyEnter); // the box is gone: nothing runs twice
    EXPECT_EQ(yes, 1);
}

TEST_F(MessageBoxTest, EscapePressesTheLastOfSeveralButtonsOrOnlyCloses)
{
    int yes = 0, no = 0, ok = 0;
    FlimbsMessageBox* question = ShowMessageBox("Confirm", "Sure?", {{"Yes", Count(yes)}, {"No", Count(no)}});
    EXPECT_EQ(Key(0x80, 1), 1);
    EXPECT_EQ(no, 1);
    EXPECT_EQ(yes, 0);
    EXPECT_TRUE(Gone(question));

    FlimbsMessageBox* notice = ShowMessageBox("Error", "Couldn't save the level", {{"OK", Count(ok)}});
    EXPECT_EQ(Key(0x80, 1), 1);
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(notice->pressedButton, -1);
    EXPECT_TRUE(Gone(notice));
}

TEST_F(MessageBoxTest, ButtonsAndTheCloseButtonByMouse)
{
    int yes = 0, no = 0;
    FlimbsMessageBox* box = ShowClosableMessageBox("Lonely Match", "Would you like some help?",
                                             {{"Yes", Count(yes)}, {"No", Count(no)}});
    ASSERT_TRUE(box->CloseButton()->visible);
    ClickButton(box->CloseButton());
    EXPECT_EQ(yes + no, 0);
    EXPECT_TRUE(Gone(box));

    box = ShowClosableMessageBox("Lonely Match", "Would you like some help?", {{"Yes", Count(yes)}, {"No", Count(no)}});
    ClickButton(box->GetButton(1));
    EXPECT_EQ(no, 1);
    EXPECT_TRUE(Gone(box));
    EXPECT_EQ(SoundCount(kSoundButtonClick), 2);
}

TEST_F(MessageBoxTest, DefaultOkButtonLoggingStackingAndDrawing)
{
    FlimbsMessageBox* first = ShowMessageBox("Warning", "There is no set selected.", {}, true);
    ASSERT_EQ(first->ButtonCount(), 1);
    EXPECT_EQ(first->GetButton(0)->GetText(), "OK");
    std::ifstream log(LogFilePath());
    std::stringstream lines;
    lines << log.rdbuf();
    EXPECT_NE(lines.str().find("Warning: There is no set selected.\n"), std::string::npos);

    // A long text wraps inside the box; drawing needs no device.
    FlimbsMessageBox* second = ShowMessageBox("Error", std::string(600, 'w') + " " + std::string(50, 'v'));
    EXPECT_LE(second->GetScreenRect().right, 1000.0f);
    DrawOpenWindows();
    EXPECT_EQ(GetModalWindow(), second);
    second->Press(0);
    EXPECT_EQ(GetModalWindow(), first); // the first box is modal again
    EXPECT_EQ(second->GetButton(5), nullptr);
    first->Press(7); // outside the buttons: only closes
    EXPECT_EQ(GetModalWindow(), nullptr);
    EXPECT_TRUE(Gone(first));
    EXPECT_TRUE(Gone(second));
}

} // namespace

namespace {

// The generic box keeps the same rules without the skin.
TEST_F(MessageBoxTest, GenericBoxKeepsTheKeyAndCloseRules)
{
    int yes = 0, no = 0;
    auto* question = new MessageBox("Confirm", "Sure?", {{"Yes", Count(yes)}, {"No", Count(no)}}, true);
    question->Show();
    EXPECT_EQ(GetModalWindow(), question);
    EXPECT_EQ(Key(0x80, kKeyEnter), 1);
    EXPECT_EQ(yes, 1);
    EXPECT_TRUE(Gone(question));

    auto* notice = new MessageBox("Error", "Couldn't save the level", {}, true);
    notice->Show();
    EXPECT_EQ(notice->GetButton(0)->GetText(), "OK");
    ClickButton(notice->CloseButton());
    EXPECT_EQ(notice->pressedButton, -1);
    EXPECT_EQ(GetModalWindow(), nullptr);
    EXPECT_TRUE(Gone(notice));
    EXPECT_EQ(yes + no, 1);
}

} // namespace
