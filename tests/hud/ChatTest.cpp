// The chat: line life and fading, the small window's lines and size, the history's rows and
// its scroll bar, the bubble's close button, the edit box's sending and typing records, and
// the cleaning and cutting of line text.
#include "HudFixture.h"

#include "../support/TestWorld.h"

#include "gui/Button.h"
#include "gui/FlimbsScrollBar.h"
#include "hud/ChatEditBox.h"
#include "hud/ChatText.h"
#include "hud/ChatWindows.h"
#include "media/KBManager.h"
#include "session/SessionServices.h"

namespace {

TEST(ChatText, ALineIsOpaqueThenFadesOverItsLastFourHundredMilliseconds)
{
    const uint32_t t = 50000;
    struct Case {
        uint32_t now;
        uint8_t alpha;
        bool visible;
    };
    for (const Case& c : {Case{t, 255, true}, Case{t + 9100, 255, true}, Case{t + 9300, 128, true},
                          Case{t + 9500, 0, true}, Case{t + 9501, 0, false}, Case{t - 10, 255, true}}) {
        EXPECT_EQ(ChatLineAlpha(t, c.now), c.alpha) << c.now - t;
        EXPECT_EQ(ChatLineVisible(t, c.now), c.visible) << c.now - t;
    }
    EXPECT_EQ(ChatShownLines({1000, 25000, 30000}, 30000), 2) << "counted back to the first old line";
    EXPECT_EQ(ChatShownLines({25000, 1000, 30000}, 30000), 1);
}

TEST(ChatText, HistoryRowsAndTheRowsAScrollPositionDraws)
{
    for (auto [lines, rows] : {std::pair{0, 3}, {3, 3}, {7, 7}, {10, 10}, {25, 10}})
        EXPECT_EQ(ChatHistoryRows(lines), rows) << lines;
    ChatRowRange r = ChatVisibleRows(25, 10.0f, 0.0f, 100.0f);
    EXPECT_EQ(r.first, 0);
    EXPECT_EQ(r.last, 10);
    r = ChatVisibleRows(25, 10.0f, 150.0f, 100.0f);
    EXPECT_EQ(r.first, 15);
    EXPECT_EQ(r.last, 25);
    r = ChatVisibleRows(25, 10.0f, 155.0f, 100.0f);
    EXPECT_EQ(r.first, 16) << "a row partly above the view is skipped";
    EXPECT_EQ(ChatVisibleRows(5, 0.0f, 0.0f, 100.0f).last, 0);
}

TEST(ChatText, LinesAreCleanedAndCutOnCharacterBoundaries)
{
    EXPECT_EQ(ChatDisplayText("hi\tthere\x01!"), "hi there !");
    EXPECT_EQ(ChatDisplayText("a\xC3("), "a?(") << "a broken sequence";
    EXPECT_EQ(ChatDisplayText("\xE2\x82\xAC 5"), "\xE2\x82\xAC 5");
    EXPECT_EQ(ChatDisplayText("\xC0\xAF\xED\xA0\x80"), "?????") << "overlong and surrogate forms";
    std::string longLine;
    for (int i = 0; i < 400; ++i)
        longLine += "\xC3\xA9"; // 800 bytes
    const std::string shown = ChatDisplayText(longLine);
    EXPECT_EQ(shown.size(), kChatShownBytes);
    // CHAT holds 129 bytes: a two-byte character across the limit goes whole.
    const std::string cut = CutChatText("x" + longLine);
    EXPECT_EQ(cut.size(), 129u);
    EXPECT_EQ(CutChatText(longLine).size(), 128u);
    EXPECT_EQ(ChatDisplayText(CutChatText(longLine)), CutChatText(longLine)) << "no half character left";
    const auto measure = [](const std::string& text) { return float(text.size()); };
    EXPECT_EQ(FitChatLine("\xC3\xA9\xC3\xA9\xC3\xA9", 5.0f, measure), "\xC3\xA9\xC3\xA9");
    EXPECT_EQ(FitChatLine("abc", 10.0f, measure), "abc");
    EXPECT_EQ(FitChatLine("abc", 0.0f, measure), "");
}

class ChatTest : public HudFixture {
protected:
    void SetUp() override
    {
        HudFixture::SetUp();
        OpenScene();
        world_.AddLocalPlayer();
        World().clock.gameTime = 100000;
    }
    void At(uint32_t time) { World().clock.gameTime = time; }

    TestWorld world_;
    MessageLog log{100};
};

TEST_F(ChatTest, TheWindowShowsYoungLinesAndShrinksWhenTheyAreGone)
{
    auto* window = new ChatWindow(&log);
    scene->AddWidget(window);
    Frames(30, 16);
    const float empty = window->GetSizeVirtual().y;
    EXPECT_GT(empty, 0.0f) << "the margins";
    log.Add("hello there", -1);
    Frames(30, 16);
    EXPECT_EQ(window->ShownLines(), 1);
    const float oneLine = window->GetSizeVirtual().y;
    EXPECT_GT(oneLine, empty);
    EXPECT_GT(window->WidestLine(), 0.0f);
    EXPECT_EQ(window->WindowAlpha(), 255);
    At(100000 + 9300);
    EXPECT_EQ(window->WindowAlpha(), 128) << "one line: the window fades with it";
    At(100000 + 9501);
    Frames(1, 16);
    EXPECT_EQ(window->ShownLines(), 0);
    Frames(12, 16); // 208 ms: half-way
    EXPECT_LT(window->GetSizeVirtual().y, oneLine);
    EXPECT_GT(window->GetSizeVirtual().y, empty);
    Frames(20, 16);
    EXPECT_NEAR(window->GetSizeVirtual().y, empty, 0.01f) << "shrunk to no lines over 400 ms";
}

TEST_F(ChatTest, TheHistoryGrowsToTenRowsAndItsScrollBarFollowsOnlyAtTheEnd)
{
    auto* view = new ChatHistoryView(&log);
    scene->AddWidget(view);
    const float row = Primitive::ToVirtualY(view->RowHeight());
    for (int i = 0; i < 3; ++i)
        log.Add("line " + std::to_string(i), -1);
    Frames(1);
    EXPECT_NEAR(view->GetSizeVirtual().y, 3.0f * row, 0.01f);
    EXPECT_EQ(view->ScrollBar(), nullptr);
    for (int i = 3; i < 25; ++i)
        log.Add("line " + std::to_string(i), -1);
    Frames(1);
    EXPECT_NEAR(view->GetSizeVirtual().y, 10.0f * row, 0.01f);
    FlimbsScrollBar* bar = view->ScrollBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->DistanceFromEnd(), 0);
    log.Add("line 25", -1);
    Frames(1);
    EXPECT_EQ(bar->DistanceFromEnd(), 0) << "at the end: it follows";
    EXPECT_EQ(bar->GetScrollPosition(), 16);
    bar->SetScrollPosition(3, false); // the player scrolled up
    Frames(1);
    log.Add("line 26", -1);
    Frames(1);
    EXPECT_EQ(bar->GetScrollPosition(), 3) << "scrolled up: it stays";
    EXPECT_NEAR(view->ScrollOffset(), 3.0f * view->RowHeight(), 0.01f);
}

TEST_F(ChatTest, TheBubbleHoldsTheHistoryAndItsButtonHidesIt)
{
    auto* bubble = new ChatWindow2(&log);
    scene->AddWidget(bubble);
    Frames(1);
    EXPECT_EQ(bubble->name, "CHAT_POPUP");
    ASSERT_NE(bubble->History(), nullptr);
    ASSERT_NE(bubble->CloseButton(), nullptr);
    EXPECT_GE(bubble->GetSizeVirtual().x, bubble->History()->GetSizeVirtual().x);
    static_cast<Button*>(bubble->CloseButton())->Click();
    EXPECT_FALSE(bubble->visible);
}

TEST_F(ChatTest, TheEditBoxSendsLinesAndOneTypingRecordPerSpell)
{
    auto* box = new ChatEditBox;
    box->SetPosition(100.0f, 900.0f);
    box->SetSize(300.0f, 30.0f);
    scene->AddWidget(box);
    SetKeyboardFocus(box);
    const auto press = [&](int code) {
        box->OnKey(1, code, false, kbManager);
        box->OnKey(0, code, false, kbManager);
    };
    press(28); // Enter on an empty line
    EXPECT_TRUE(session.requests.empty());
    EXPECT_EQ(GetKeyboardFocus(), box) << "an empty Enter keeps the focus";

    for (int code : {35, 18, 38}) // h, e, l
        press(code);
    EXPECT_EQ(session.requests, std::vector<std::string>{"typing 1"});
    EXPECT_EQ(box->GetText(), "hel");
    for (int i = 0; i < 3; ++i)
        press(14); // Backspace to empty
    press(14);
    EXPECT_EQ(session.requests, (std::vector<std::string>{"typing 1", "typing 0"})) << "not-typing once";
    press(35);
    EXPECT_EQ(session.requests.back(), "typing 1") << "typing again";

    game.heldKeys = {42}; // left Shift
    press(23);
    press(28);
    EXPECT_EQ(session.requests.back(), "chat -1 1 hi") << "Shift+Enter: to the group only";
    EXPECT_EQ(box->GetText(), "");
    EXPECT_EQ(GetKeyboardFocus(), scene->View()) << "the focus goes back to the game view";
    game.heldKeys.clear();
    SetKeyboardFocus(box);
    press(23);
    press(28);
    EXPECT_EQ(session.requests.back(), "chat -1 0 i");
}

TEST_F(ChatTest, AClickTakesTheFocusAndClearsAnUneditedHint)
{
    auto* box = new ChatEditBox;
    box->SetPosition(100.0f, 900.0f);
    box->SetSize(300.0f, 30.0f);
    scene->AddWidget(box);
    box->SetText("Press T to enter chat mode.");
    const int x = int(box->rect.left) + 5, y = int(box->rect.top) + 5;
    EXPECT_EQ(box->OnLeftButton(x, y, kPhaseDown), box);
    EXPECT_EQ(GetKeyboardFocus(), box);
    EXPECT_EQ(box->GetText(), "");
}

} // namespace
