#include "InputFixture.h"

#include <set>

TEST(KeyTables, EveryNameRoundTripsThroughItsCode)
{
    int rows = 0;
    std::set<std::string> names;
    for (const KeyNameRow* row = keyNameTable; row->device; ++row, ++rows) {
        names.insert(row->name);
        EXPECT_EQ(KeyNameFromCode(row->device, row->code), row->name);
        EXPECT_EQ(KeyName(row->code, row->device), row->name);
        if (row->device == &kbManager)
            EXPECT_EQ(KeyCodeFromName(row->name), row->code) << row->name;
        else
            EXPECT_EQ(KeyCodeFromName(row->name), 0) << row->name;
    }
    EXPECT_EQ(rows, kKeyNameRowCount);
    EXPECT_EQ(names.size(), static_cast<std::size_t>(kKeyNameRowCount));
    EXPECT_STREQ(keyNameTable[kKeyNameRowCount].name, "");

    EXPECT_EQ(KeyCodeFromName("A"), 30);
    EXPECT_EQ(KeyCodeFromName("PAUSE"), 197);
    EXPECT_EQ(KeyName(14, &msManager), "MIDDLE MOUSE");
    EXPECT_EQ(KeyName(5, &padManager), "PADDOWN");
    EXPECT_EQ(KeyName(8, &kbManager), "7");
    EXPECT_EQ(KeyName(8, &msManager), "WHEEL");
    // Names and codes no row holds.
    EXPECT_EQ(KeyNameFromCode(&kbManager, 84), "");
    EXPECT_EQ(KeyNameFromCode(&padManager, 59), "");
    EXPECT_EQ(KeyCodeFromName("a"), 0);
    EXPECT_EQ(KeyCodeFromName(""), 0);
    EXPECT_EQ(KeyCodeFromName("NOSUCHKEY"), 0);
}

TEST_F(InputFixture, BindingRefusesUnknownNamesAndCodesOutOfRange)
{
    EXPECT_EQ(kbManager.BindButton(256, HandlerA), kBindBadCode);
    EXPECT_EQ(kbManager.BindButton(-1, HandlerA), kBindBadCode);
    EXPECT_EQ(msManager.BindButton(16, HandlerA), kBindBadCode);
    EXPECT_EQ(padManager.BindButton(80, HandlerA), kBindBadCode);
    EXPECT_EQ(BindKeyToAction("NOSUCHKEY", "quit"), kBindUnknownKey);
    EXPECT_EQ(BindKeyToAction("a", "quit"), kBindUnknownKey); // names are case-sensitive
    EXPECT_EQ(BindKeyToAction("A", "nosuchaction"), kBindUnknownAction);
    for (int code = 0; code < 256; ++code)
        ASSERT_EQ(kbManager.Binding(code)->handler, nullptr);

    EXPECT_EQ(kbManager.BindButton(255, HandlerA), 0);
    EXPECT_EQ(BindKeyToAction("F1", "screenshot"), 0);
    const ButtonBinding* f1 = kbManager.Binding(59);
    EXPECT_EQ(f1->handler, FindAction("screenshot"));
    EXPECT_FALSE(f1->repeat);
    EXPECT_EQ(BindKeyToAction("WHEEL", "OnWheel"), 0);
    EXPECT_EQ(msManager.Binding(8)->handler, FindAction("OnWheel"));
    EXPECT_EQ(BindKeyToAction("PADUP", "nop"), 0);
    EXPECT_EQ(padManager.Binding(4)->handler, FindAction("nop"));
    EXPECT_NE(FindAction("toggleconsole"), nullptr);
}

TEST(KeyTables, ConsoleActionsRunTheirHooksOnAPressOnly)
{
    int toggles = 0, closes = 0;
    const ActionHandler toggle = FindAction("toggleconsole");
    const ActionHandler close = FindAction("closeconsole");
    ASSERT_NE(toggle, nullptr);
    ASSERT_NE(close, nullptr);
    toggle(0x80, 0); // no hooks yet: nothing
    close(0x80, 0);
    ShellActionHooks hooks;
    hooks.toggleConsole = [&] { ++toggles; };
    hooks.closeConsole = [&] { ++closes; };
    SetShellActionHooks(std::move(hooks));
    toggle(0x80, 10);
    toggle(0, 20);
    close(0x80, 30);
    close(0, 40);
    EXPECT_EQ(toggles, 1);
    EXPECT_EQ(closes, 1);
    SetShellActionHooks({});
}

TEST(KeyTables, CharactersByKeyWithAndWithoutShift)
{
    struct Case {
        int code;
        char plain;
        char shifted;
    };
    const Case cases[] = {
        {2, '1', '!'}, {11, '0', ')'}, {12, '-', '_'}, {13, '=', '+'}, {16, 'q', 'Q'},
        {30, 'a', 'A'}, {50, 'm', 'M'}, {26, '[', '{'}, {40, '\'', '"'}, {41, '`', '~'},
        {43, '\\', '|'}, {53, '/', '?'}, {15, 9, 9}, {28, 10, 10}, {156, 10, 10},
        {14, 8, 8}, {57, ' ', ' '}, {71, '7', '7'}, {78, '+', '+'}, {83, '.', '.'},
        {141, '=', '='}, {181, '/', '/'}, {201, 1, 1}, {209, 2, 2}, {199, 3, 3},
        {200, 24, 24}, {208, 25, 25}, {1, 0, 0}, {59, 0, 0}, {255, 0, 0}, {256, 0, 0}, {-1, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeyToChar(c.code, false), c.plain) << c.code;
        EXPECT_EQ(KeyToChar(c.code, true), c.shifted) << c.code;
    }
}
