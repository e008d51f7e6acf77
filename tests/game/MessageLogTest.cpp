// The message log of the chat and message box.
#include "game/MessageLog.h"
#include "tests/support/TestWorld.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Texts(const MessageLog& log)
{
    std::vector<std::string> texts;
    for (const auto& entry : log.Entries())
        texts.push_back(entry.text);
    return texts;
}

TEST(MessageLog, AddStampsAndDropsTheOldestOverTheMaximum)
{
    TestWorld test;
    World().clock.gameTime = 4200;
    MessageLog log(2);
    std::vector<size_t> seen;
    log.SetChangeCallback([&](int a, int b) {
        EXPECT_EQ(a, 0);
        EXPECT_EQ(b, 0);
        seen.push_back(log.Entries().size());
    });
    log.Add("one", 3);
    log.Add("two", -1);
    log.Add("three", 4);
    EXPECT_EQ(Texts(log), (std::vector<std::string>{"two", "three"}));
    EXPECT_EQ(seen, (std::vector<size_t>{1, 2, 2}));
    EXPECT_EQ(log.Entries().front().time, 4200u);
    EXPECT_EQ(log.Entries().front().sender, -1);
    EXPECT_EQ(log.Entries().front().age, 0.0f);
}

TEST(MessageLog, MaxCountZeroKeepsNothingButStillCallsBack)
{
    MessageLog log(0);
    int calls = 0;
    log.SetChangeCallback([&](int, int) {
        ++calls;
        EXPECT_TRUE(log.Entries().empty());
    });
    log.Add("gone", 1);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(log.Entries().empty());
}

TEST(MessageLog, ClearingSystemLinesKeepsTheChatInOrder)
{
    MessageLog log(10);
    int calls = 0;
    log.Add("a", 1);
    log.Add("system 1", -1);
    log.Add("b", 2);
    log.Add("system 2", -1);
    log.Add("c", 1);
    log.SetChangeCallback([&](int, int) { ++calls; });
    log.Clear(true);
    EXPECT_EQ(Texts(log), (std::vector<std::string>{"a", "b", "c"}));
    log.Clear(false);
    EXPECT_TRUE(log.Entries().empty());
    EXPECT_EQ(calls, 0) << "clearing calls no callback";
}

} // namespace
