#include "TypingFixture.h"

#include "gui/EditBox.h"
#include "platform/input/ScanCodes.h"
#include "platform/window/Clipboard.h"

namespace {

class EditBoxTest : public TypingFixture {
protected:
    EditBox* MakeBox(float x, float y, float w, float h)
    {
        auto* box = new EditBox;
        box->name = "box";
        box->SetPosition(x, y);
        box->SetSize(w, h);
        box->onChange = [this](Primitive* owner, Primitive* control) {
            ++calls;
            lastOwner = owner;
            lastControl = control;
        };
        return box;
    }
    int calls = 0;
    Primitive* lastOwner = nullptr;
    Primitive* lastControl = nullptr;
};

TEST_F(EditBoxTest, TypedTextMovesTheCaretAndCommitsOnceWhenTheFocusMoves)
{
    EditBox* box = MakeBox(10, 10, 400, 30);
    auto* other = new Probe("other");
    other->At(10, 100, 50, 50);
    PrimContainer* window = Host(box);
    window->AddChild(other);

    Tap(kKeyH);                 // no focus yet: not taken
    EXPECT_EQ(box->GetText(), "");
    Click(20, 20);
    ASSERT_EQ(GetKeyboardFocus(), box);
    Tap(kKeyH, true);
    Tap(kKeyI);
    EXPECT_EQ(box->GetText(), "Hi");
    EXPECT_EQ(box->Caret(), 2u);
    Tap(kKeyLeft);
    Tap(kKeyA);
    EXPECT_EQ(box->GetText(), "Hai");
    EXPECT_EQ(box->Caret(), 2u);
    Tap(kKeyHome);
    Tap(kKeyDelete);
    Tap(kKeyEnd);
    Tap(kKeyBackspace);
    EXPECT_EQ(box->GetText(), "a");
    EXPECT_TRUE(box->IsEditing());
    EXPECT_EQ(calls, 0);

    Click(20, 120); // the focus moves to the other widget: one commit
    EXPECT_EQ(GetKeyboardFocus(), other);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(lastOwner, window);
    EXPECT_EQ(lastControl, box);
    EXPECT_FALSE(box->IsEditing());
    EXPECT_TRUE(box->GetPressed());

    // An unedited box commits on focus loss as well; Enter commits a one-line box.
    Click(20, 20);
    Tap(kKeyEnter);
    EXPECT_EQ(calls, 2);
    SetKeyboardFocus(other);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(box->GetText(), "a");
}

TEST_F(EditBoxTest, ShiftKeysSelectAndTypingReplacesTheSelection)
{
    EditBox* box = MakeBox(10, 10, 400, 30);
    Host(box);
    box->SetText("hello world");
    box->TakeFocus();
    Tap(kKeyHome);
    for (int i = 0; i < 5; ++i)
        Tap(kKeyRight, true);
    EXPECT_EQ(box->SelectedText(), "hello");
    Tap(kKeyB, true);
    EXPECT_EQ(box->GetText(), "B world");
    Tap(kKeyEnd, true); // Home..End selection from the caret
    EXPECT_EQ(box->SelectedText(), " world");
    Tap(kKeyLeft); // collapses to the selection's start
    EXPECT_FALSE(box->HasSelection());
    EXPECT_EQ(box->Caret(), 1u);
}

TEST_F(EditBoxTest, MouseDragSelectsFromThePressPoint)
{
    EditBox* box = MakeBox(10, 10, 600, 30);
    Host(box);
    box->SetText("drag over me");
    RouteLeftButton(kPhaseDown, GuiTestNow(), 11, 20); // left edge: caret 0
    EXPECT_EQ(box->Caret(), 0u);
    GuiTestNow() += 100;
    UpdateGuiInput(605, 20); // held at the far right: the repeat carries the pointer
    RouteLeftButton(kPhaseUp, GuiTestNow(), 605, 20);
    EXPECT_EQ(box->SelectedText(), "drag over me");
}

TEST_F(EditBoxTest, CapacityPasswordAndClipboard)
{
    EditBox* box = MakeBox(10, 10, 400, 30);
    Host(box);
    box->SetCapacity(5); // four bytes of text
    box->SetText("abcdefgh");
    EXPECT_EQ(box->GetText(), "abcd");
    box->TakeFocus();
    Tap(kKeyX);
    EXPECT_EQ(box->GetText(), "abcd");
    box->SetCapacity(4); // cuts the text
    EXPECT_EQ(box->GetText(), "abc");
    box->SetCapacity(10);
    box->SetText("h\xC3\xA9llo"); // a two-byte character is never split
    box->SetCapacity(3);
    EXPECT_EQ(box->GetText(), "h");

    box->SetCapacity(64);
    box->SetText("secret");
    keyboard.held = {kKeyLeftCtrl};
    Tap(kKeyA);
    EXPECT_EQ(box->SelectedText(), "secret");
    Tap(kKeyC);
    EXPECT_EQ(platform::GetClipboardText(), "secret");
    Tap(kKeyX);
    EXPECT_EQ(box->GetText(), "");
    Tap(kKeyV);
    Tap(kKeyV);
    EXPECT_EQ(box->GetText(), "secretsecret");

    box->password = 1; // a password is never copied out
    platform::SetClipboardText("kept");
    Tap(kKeyA);
    Tap(kKeyC);
    EXPECT_EQ(platform::GetClipboardText(), "kept");
}

TEST_F(EditBoxTest, MultiLineBoxesTakeEnterAndMoveBetweenLines)
{
    EditBox* box = MakeBox(10, 10, 400, 200);
    box->multiline = 1;
    Host(box);
    box->SetText("abc\nde");
    box->TakeFocus();
    Tap(kKeyUp); // from the end of "de" (column 2) to column 2 of "abc"
    EXPECT_EQ(box->Caret(), 2u);
    Tap(kKeyEnd);
    Tap(kKeyEnter);
    Tap(kKeyX);
    EXPECT_EQ(box->GetText(), "abc\nx\nde");
    EXPECT_EQ(calls, 0);
    Tap(kKeyDown);
    Tap(kKeyDown); // past the last line: the end
    EXPECT_EQ(box->Caret(), box->GetText().size());

    box->multiline = 0; // one line: breaks become spaces
    box->SetText("a\nb");
    EXPECT_EQ(box->GetText(), "a b");
}

TEST_F(EditBoxTest, NumbersAndHostileText)
{
    EditBox* box = MakeBox(10, 10, 400, 30);
    Host(box);
    const struct {
        const char* text;
        int integer;
        float number;
    } cases[] = {{"42", 42, 42.0f}, {"-7", -7, -7.0f}, {"3.5", 3, 3.5f}, {"abc", 0, 0.0f}, {"1e999", 1, 0.0f}, {"", 0, 0.0f}};
    for (const auto& c : cases) {
        box->SetText(c.text);
        EXPECT_EQ(box->GetIntValue(), c.integer) << c.text;
        EXPECT_FLOAT_EQ(box->GetFloatValue(), c.number) << c.text;
    }
    box->TakeFocus();
    box->SetText("");
    box->InsertText(std::string("a\x01\tb\r\n", 6)); // control characters are dropped
    EXPECT_EQ(box->GetText(), "ab ");
    box->SetCaret(9999, false);
    EXPECT_EQ(box->Caret(), 3u);
    box->InitText("start", true);
    EXPECT_EQ(box->Caret(), 0u);
    EXPECT_FALSE(box->IsEditing());
}

} // namespace
