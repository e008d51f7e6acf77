// The key binding window: its pages and boxes, the watcher that takes a key, duplicate
// keys on one page, and "Okay" / "Reset to Defaults" against the binding store.
#include "FrontEndFixture.h"

#include "frontend/options/KeyBindingWindow.h"
#include "frontend/options/OptionsMenu.h"
#include "gui/FlimbsTabControl.h"
#include "media/MSManager.h"
#include "media/PADManager.h"
#include "platform/input/ScanCodes.h"
#include "world/BindableAction.h"

#include <set>

namespace {


class KeyBindingTest : public FrontEndFixture {
protected:
    void SetUp() override
    {
        FrontEndFixture::SetUp();
        MakeProfile("Ann", true); // the store holds the default bindings
        ShowMainMenu(false);
        Step(16);
        Press("Options");
        Press("Customize input");
        window = dynamic_cast<KeyBindingWindow*>(Find(KeyBindingWindow::kName));
        ASSERT_NE(window, nullptr);
    }
    KeyBinderBox* Box(const std::string& action, int index) { return window->Box(action, index); }
    // A click into the box opens the watcher; the key (or button) goes to it.
    KeyPressWatcher* Watch(KeyBinderBox* box)
    {
        window->Tabs()->SelectPage(box->parent->name == "Common" ? 0 : 1, false);
        window->Tabs()->UpdateAbsolutePosition();
        const int x = int((box->rect.left + box->rect.right) / 2), y = int((box->rect.top + box->rect.bottom) / 2);
        RouteLeftButton(kPhaseDown, now_, x, y);
        RouteLeftButton(kPhaseUp, now_, x, y);
        return dynamic_cast<KeyPressWatcher*>(GetModalWindow());
    }
    void Bind(KeyBinderBox* box, int code, IInputDevice& device = kbManager)
    {
        ASSERT_NE(Watch(box), nullptr);
        PressKey(code, device);
        Step(16);
        EXPECT_EQ(dynamic_cast<KeyPressWatcher*>(GetModalWindow()), nullptr) << "the watcher closes itself";
    }
    // The window's own buttons (the hidden options have an "Okay" too).
    void PressButton(const std::string& name)
    {
        auto* button = dynamic_cast<Button*>(window->FindChild(name));
        ASSERT_NE(button, nullptr) << name;
        button->onClick(button->parent, button);
    }
    std::string Stored(const std::string& action, int index)
    {
        const BindingEntry* entry = GetBindingStore().FindByName(action);
        return entry ? entry->keyNames[index] : "?";
    }
    KeyBindingWindow* window = nullptr;
};

TEST(SplitCamelCaseTest, ABlankBeforeEveryCapitalButTheFirst)
{
    struct Case {
        std::string name, split;
    };
    for (const Case& c : {Case{"ShowFMView", "Show F M View"}, Case{"GulpUp", "Gulp Up"}, Case{"Clob", "Clob"},
                          Case{"", ""}, Case{"lowerThenUpper", "lower Then Upper"}})
        EXPECT_EQ(SplitCamelCase(c.name), c.split);
    EXPECT_EQ(SplitCamelCase(std::string(300, 'A')).size(), 255u) << "cut at 255 characters";
}

TEST(BindableActionTable, FortyFourRowsOnTwoTabsAndTwoWithoutAHandler)
{
    const auto& table = BindableActions();
    ASSERT_EQ(table.size(), 44u);
    EXPECT_EQ(table.front().name, "Clob");
    EXPECT_EQ(table.back().name, "FreezeTime");
    std::set<std::string> names;
    for (const BindableAction& action : table) {
        EXPECT_TRUE(names.insert(action.name).second) << action.name;
        EXPECT_TRUE(action.category == "Common" || action.category == "Advanced") << action.name;
        EXPECT_FALSE(action.description.empty()) << action.name;
        const bool handlerless = action.name == "TrapAction" || action.name == "TrapExit";
        EXPECT_EQ(bool(action.handler), !handlerless) << action.name;
        EXPECT_EQ(BindableActionHasHandler(action.name), !handlerless) << action.name;
    }
    EXPECT_FALSE(RunBindableAction("TrapAction", 1));
    EXPECT_FALSE(RunBindableAction("NoSuchAction", 1));
    int pressed = -1;
    SetBindableActionHandler("Quick", [&](int value) { pressed = value; });
    EXPECT_TRUE(RunBindableAction("Quick", 1));
    EXPECT_EQ(pressed, 1);
    SetBindableActionHandler("Quick", nullptr); // the table's own handler again
    EXPECT_TRUE(FindBindableAction("Quick")->handler);
    SetBindableActionHandler("TrapExit", [&](int) {});
    EXPECT_FALSE(FindBindableAction("TrapExit")->handler) << "keeps none";
}

TEST_F(KeyBindingTest, TwoPagesOfBoxesFilledFromTheStore)
{
    ASSERT_NE(Find(OptionsMenu::kName), nullptr);
    EXPECT_EQ(Find(OptionsMenu::kName)->visible, 0) << "the options are hidden while it is open";
    FlimbsTabControl* tabs = window->Tabs();
    ASSERT_EQ(tabs->PageCount(), 2);
    EXPECT_EQ(tabs->Page(0)->name, "Common");
    EXPECT_EQ(tabs->Page(1)->name, "Advanced");
    for (const BindableAction& action : BindableActions())
        for (int i = 0; i < 2; ++i) {
            KeyBinderBox* box = Box(action.name, i);
            ASSERT_NE(box, nullptr) << action.name;
            EXPECT_EQ(box->parent->name, action.category) << action.name;
            EXPECT_EQ(box->GetText(), Stored(action.name, i)) << action.name;
        }
    EXPECT_EQ(Box("Clob", 0)->GetText(), "1");
    EXPECT_EQ(Box("ChatMode", 1)->GetText(), "T");
    // Typing into a box does nothing; only the watcher changes it.
    Box("Clob", 0)->TakeFocus();
    PressKey(30);
    EXPECT_EQ(Box("Clob", 0)->GetText(), "1");
}

TEST_F(KeyBindingTest, EscapeUnbindsAPadsRightBindsAndOtherKeysTakeTheirNames)
{
    Bind(Box("Clob", 0), kKeyEscape);
    EXPECT_EQ(Box("Clob", 0)->GetText(), "");
    Bind(Box("Mold", 0), kKeyEscape, padManager);
    EXPECT_EQ(Box("Mold", 0)->GetText(), "PADRIGHT") << "code 1 of a pad is a key like any other";
    Bind(Box("Nova", 1), 0x58);
    EXPECT_EQ(Box("Nova", 1)->GetText(), "F12");
    Bind(Box("Drill", 1), 0xFA);
    EXPECT_EQ(Box("Drill", 1)->GetText(), "") << "a key without a name shows an empty box";
    // Mouse buttons and the wheel.
    ASSERT_NE(Watch(Box("Puff", 1)), nullptr);
    RouteRightButton(kPhaseDown, now_, 10, 10);
    RouteRightButton(kPhaseUp, now_, 10, 10);
    EXPECT_EQ(Box("Puff", 1)->GetText(), "RIGHT MOUSE");
    Step(16);
    ASSERT_NE(Watch(Box("Spin", 1)), nullptr);
    RouteWheel(1);
    EXPECT_EQ(Box("Spin", 1)->GetText(), "WHEEL");
    EXPECT_EQ(Stored("Clob", 0), "1") << "the store waits for Okay";
}

TEST_F(KeyBindingTest, ADuplicateIsClearedOnItsOwnPageOnly)
{
    Bind(Box("Clob", 0), kKeySpace);
    ASSERT_EQ(Box("Clob", 0)->GetText(), "SPACE");
    Bind(Box("Jump", 0), kKeySpace); // the other tab
    Bind(Box("Nova", 1), kKeySpace);
    EXPECT_EQ(Box("Nova", 1)->GetText(), "SPACE");
    EXPECT_EQ(Box("Clob", 0)->GetText(), "") << "same page: emptied";
    EXPECT_EQ(Box("Jump", 0)->GetText(), "SPACE") << "other page: left";
    // The owner's other box too.
    Bind(Box("Nova", 0), kKeySpace);
    EXPECT_EQ(Box("Nova", 0)->GetText(), "SPACE");
    EXPECT_EQ(Box("Nova", 1)->GetText(), "");
}

TEST_F(KeyBindingTest, TrapActionNeitherClearsNorIsCleared)
{
    Bind(Box("Stamp", 0), kKeySpace); // an Advanced action with a handler
    Bind(Box("TrapAction", 1), kKeySpace);
    EXPECT_EQ(Box("TrapAction", 1)->GetText(), "SPACE");
    EXPECT_EQ(Box("Stamp", 0)->GetText(), "SPACE") << "binding TrapAction empties nothing";
    Bind(Box("TrapExit", 0), kKeySpace);
    Bind(Box("Decoration", 1), kKeySpace);
    EXPECT_EQ(Box("Stamp", 0)->GetText(), "") << "actions with handlers still clear each other";
    EXPECT_EQ(Box("TrapAction", 1)->GetText(), "SPACE") << "never emptied by another binding";
    EXPECT_EQ(Box("TrapExit", 0)->GetText(), "SPACE");
}

TEST_F(KeyBindingTest, OkayStoresTheBoxesAndResetThenOkayKeepsTheDefaults)
{
    Bind(Box("Clob", 0), 0x58);
    PressButton("Okay");
    Step(16);
    EXPECT_EQ(Stored("Clob", 0), "F12");
    EXPECT_EQ(Find(KeyBindingWindow::kName), nullptr);
    ASSERT_NE(Find(OptionsMenu::kName), nullptr);
    EXPECT_EQ(Find(OptionsMenu::kName)->visible, 1) << "the options show again";

    Press("Customize input");
    window = dynamic_cast<KeyBindingWindow*>(Find(KeyBindingWindow::kName));
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(Box("Clob", 0)->GetText(), "F12");
    Bind(Box("Mold", 0), 0x58);
    PressButton("Reset to Defaults");
    EXPECT_EQ(Box("Clob", 0)->GetText(), "1");
    EXPECT_EQ(Box("Mold", 0)->GetText(), "2");
    EXPECT_EQ(Stored("Clob", 0), "1") << "the store takes the defaults at once";
    EXPECT_NE(Find(KeyBindingWindow::kName), nullptr) << "the window stays";
    PressButton("Okay");
    EXPECT_EQ(Stored("Clob", 0), "1");
    EXPECT_EQ(Stored("Mold", 0), "2");
    EXPECT_EQ(Stored("ChatMode", 1), "T");
}

TEST_F(KeyBindingTest, EscapeOnTheWindowClosesItWithoutStoring)
{
    Bind(Box("Clob", 0), 0x58);
    PressKey(kKeyEscape);
    Step(16);
    EXPECT_EQ(Find(KeyBindingWindow::kName), nullptr);
    ASSERT_NE(Find(OptionsMenu::kName), nullptr);
    EXPECT_EQ(Find(OptionsMenu::kName)->visible, 1);
    EXPECT_EQ(Stored("Clob", 0), "1");
}

} // namespace
