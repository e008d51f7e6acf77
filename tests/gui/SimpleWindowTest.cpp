#include "TypingFixture.h"

#include "gui/SimpleWindow.h"
#include "platform/input/ScanCodes.h"

namespace {

using SimpleWindowTest = TypingFixture;

TEST_F(SimpleWindowTest, ModalWindowTakesAllInputUntilItCloses)
{
    auto* back = MakeWindow("back", 0, 0, 1000, 1000);
    auto* behind = new Probe("behind");
    back->AddChild(behind->At(0, 0, 1000, 1000));
    OpenWindow(back, true);

    auto* dialog = new SimpleWindow("Question", SimpleWindow::kDefaultBackground,
                                    SimpleWindow::kDefaultTitleColour, true);
    dialog->SetPosition(300, 300);
    dialog->SetSize(400, 200);
    auto* inside = new Probe("inside");
    dialog->AddChild(inside->At(10, 50, 100, 40));
    dialog->closeOnEscape = 1;
    OpenWindow(dialog, true);
    dialog->SetModal(true);
    EXPECT_EQ(GetModalWindow(), dialog);
    EXPECT_TRUE(dialog->containerFlags & kContainerWindow);
    EXPECT_GT(dialog->TitleHeight(), 0.0f);
    EXPECT_EQ(dialog->GetText(), "Question");

    Click(50, 50); // outside the dialog: the window behind gets nothing
    Click(320, 360);
    EXPECT_EQ(Events(), (std::vector<std::string>{"inside:left2", "inside:focusGained", "inside:left0"}));
    SetKeyboardFocus(nullptr);
    Events().clear();
    Tap(kKeyA); // the child takes the key first
    EXPECT_EQ(Events(), (std::vector<std::string>{"inside:key30=128", "inside:key30=0"}));

    int closes = 0;
    dialog->closeHandler = [&](PrimContainer*) {
        ++closes;
        return false; // let it close
    };
    inside->Deactivate(); // no child left to take the key
    Tap(1);               // Escape
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(dialog->active);
    EXPECT_EQ(GetModalWindow(), nullptr);
    Events().clear();
    Click(50, 50);
    EXPECT_EQ(Events().front(), "behind:left2");
}

TEST_F(SimpleWindowTest, PlainWindowLetsUnusedKeysPass)
{
    SimpleWindow window;
    EXPECT_EQ(window.TitleHeight(), 0.0f);
    EXPECT_FALSE(window.IsModal());
    EXPECT_EQ(window.backgroundColour, 0x88334433u);
    EXPECT_EQ(window.titleColour, 0x88778877u);
    EXPECT_EQ(window.OnKey(0x80, 1, false, keyboard), 0); // Escape without closeOnEscape
    window.SetModal(true);
    EXPECT_EQ(window.OnKey(0x80, 30, false, keyboard), 1);
    window.SetModal(false);
    EXPECT_EQ(window.containerFlags & kContainerModal, 0u);
}

} // namespace
