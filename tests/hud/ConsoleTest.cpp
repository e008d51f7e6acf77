// The console's store, its commands, the typed line and the log's echo into it.
#include "app/ConsoleParam.h"
#include "app/Log.h"
#include "gui/WindowList.h"
#include "hud/Console.h"
#include "platform/window/MainWindow.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

ConsoleParam g_testVariable("test_console_var", ConsoleParamType::Int, "3", "a variable of the console tests",
                            LogVariableChanged);

std::string ReadLog()
{
    std::ifstream in(LogFilePath());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class ConsoleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Console::Shutdown();
        Console::Enable();
    }
    void TearDown() override
    {
        Console::Shutdown();
        g_testVariable.ResetToDefault();
        SetLogChannelColour(4, 0xFFFFFFFFu);
    }
    static std::vector<std::string> Texts()
    {
        std::vector<std::string> texts;
        for (const ConsoleLine& line : Console::Lines())
            texts.push_back(line.text);
        return texts;
    }
};

TEST_F(ConsoleTest, StoresBoundedLinesOnlyWhileEnabled)
{
    Console::Shutdown();
    Console::AddLine("before", 0xFF112233u);
    EXPECT_EQ(Console::LineCount(), 0u);
    Console::Enable();

    struct Case {
        std::string text;
        std::string stored;
    };
    const std::string longLine(200, 'x');
    const Case cases[] = {
        {longLine, std::string(160, 'x')},
        {std::string(160, 'y'), std::string(160, 'y')},
        {"two\nlines\n", "two lines "},
        {"", ""},
    };
    for (const Case& c : cases) {
        Console::AddLine(c.text, 0xFF112233u);
        const std::vector<ConsoleLine> lines = Console::Lines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back().text, c.stored);
        EXPECT_EQ(lines.back().colour, 0xFF112233u);
    }

    for (int i = 0; i < 501; ++i)
        Console::AddLine("line " + std::to_string(i), 0xFFFFFFFFu);
    EXPECT_EQ(Console::LineCount(), 500u);
    EXPECT_EQ(Texts().front(), "line 1"); // the 501st line pushed the oldest out
    EXPECT_EQ(Texts().back(), "line 500");

    Console::Shutdown();
    EXPECT_EQ(Console::LineCount(), 0u);
    Console::AddLine("after", 0xFFFFFFFFu);
    WriteLog("after, logged\n");
    EXPECT_EQ(Console::LineCount(), 0u);
    EXPECT_FALSE(Console::IsEnabled());
}

TEST_F(ConsoleTest, LinesFromManyThreadsAreAllCountedAndNoneTorn)
{
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([t] {
            for (int i = 0; i < 300; ++i)
                Console::AddLine("thread " + std::to_string(t) + " line " + std::to_string(i), 0xFF000000u | t);
        });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(Console::LineCount(), 500u);
    for (const ConsoleLine& line : Console::Lines())
        EXPECT_EQ(line.text.rfind("thread " + std::to_string(line.colour & 0xFF) + " line ", 0), 0u) << line.text;
}

TEST_F(ConsoleTest, LogLinesAndChangedVariablesAreEchoed)
{
    SetLogChannelColour(4, 0xFF44AAFFu);
    WriteLog("hello %d\n", 7);
    g_testVariable.SetInt(12);
    const std::vector<ConsoleLine> lines = Console::Lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].text, "hello 7 ");
    EXPECT_EQ(lines[0].colour, 0xFFFFFFFFu);
    EXPECT_EQ(lines[1].text, "test_console_var is now 12 ");
    EXPECT_EQ(lines[1].colour, 0xFF44AAFFu);
    EXPECT_NE(ReadLog().find("test_console_var is now 12\n"), std::string::npos);
}

TEST_F(ConsoleTest, HelpListsEveryParameterOnceBetweenTwoRedFrames)
{
    ASSERT_TRUE(ExecuteConsoleLine("help"));
    const std::vector<ConsoleLine> lines = Console::Lines();
    const std::vector<ConsoleParam*> all = ConsoleParam::All();
    ASSERT_EQ(lines.size(), all.size() + 2);
    EXPECT_EQ(lines.front().text, "-=[ CONSOLE COMMANDS ]=-");
    EXPECT_EQ(lines.back().text, lines.front().text);
    EXPECT_EQ(lines.front().colour, 0xFFFF0000u);
    EXPECT_EQ(lines.back().colour, 0xFFFF0000u);
    std::set<std::string> rows;
    for (size_t i = 1; i + 1 < lines.size(); ++i) {
        EXPECT_EQ(lines[i].colour, 0xFF0AFF0Au);
        rows.insert(lines[i].text);
    }
    EXPECT_EQ(rows.size(), all.size());
    for (const char* row : {"help       - displays available commands and parameters", "quit       - quits the game",
                            "close      - command description",
                            "test_console_var - a variable of the console tests"})
        EXPECT_EQ(rows.count(row), 1u) << row;
}

TEST_F(ConsoleTest, TypedLinesRunCommandsAndSetVariables)
{
    const size_t logStart = ReadLog().size();
    EXPECT_TRUE(ExecuteConsoleLine("  test_console_var   42 "));
    EXPECT_EQ(g_testVariable.GetInt(), 42);
    EXPECT_FALSE(ExecuteConsoleLine("test_console_var"));
    EXPECT_FALSE(ExecuteConsoleLine("test_console_var lots"));
    EXPECT_EQ(g_testVariable.GetInt(), 42);
    EXPECT_FALSE(ExecuteConsoleLine("no_such_thing 1"));
    EXPECT_FALSE(ExecuteConsoleLine("   "));
    const std::string log = ReadLog().substr(logStart);
    EXPECT_NE(log.find("test_console_var is 42\n"), std::string::npos);
    EXPECT_NE(log.find("ERROR: [lots] is not an integer value for test_console_var\n"), std::string::npos);
    EXPECT_NE(log.find("Unknown console parameter [no_such_thing]\n"), std::string::npos);
}

TEST_F(ConsoleTest, CloseWithoutAViewDoesNothingAndQuitEndsTheMainLoop)
{
    ResetGuiInput();
    EXPECT_TRUE(ExecuteConsoleLine("close"));
    EXPECT_TRUE(OpenWindows().empty());

    platform::MainWindow window;
    ASSERT_TRUE(window.Create("Flimbs", {0, 0, 64, 48}));
    platform::ClearQuitRequest();
    window.PumpEvents();
    EXPECT_TRUE(ExecuteConsoleLine("quit"));
    EXPECT_EQ(window.PumpEvents(), platform::PumpResult::Quit);
    platform::ClearQuitRequest();
    window.PumpEvents();
    platform::ClearQuitRequest();
}

} // namespace
