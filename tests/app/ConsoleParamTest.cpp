#include "app/ConsoleParam.h"
#include "app/Log.h"
#include "app/StringUtil.h"

#include <algorithm>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::string ReadLog()
{
    std::ifstream in(LogFilePath());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int g_lagChanges = 0;
ConsoleParam g_testLag("test_lag", ConsoleParamType::Int, "75", "network clock pulse (milliseconds)",
                       [](ConsoleParam&) { ++g_lagChanges; });
ConsoleParam g_testName("test_servername", ConsoleParamType::Text, "", "Set's the server's name");
ConsoleParam g_testScale("test_scroll_scale", ConsoleParamType::Float, "1.5", "scroll scale");

} // namespace

TEST(ConsoleParam, DefaultsAndTypedAssignments)
{
    EXPECT_EQ(g_testLag.GetInt(), 75);
    EXPECT_FLOAT_EQ(g_testScale.GetFloat(), 1.5f);
    EXPECT_EQ(g_testName.GetString(), "");

    const int before = g_lagChanges;
    EXPECT_TRUE(g_testLag.SetInt(4));
    EXPECT_TRUE(g_testLag.SetFromString(" 75 "));
    EXPECT_EQ(g_testLag.GetInt(), 75);
    EXPECT_EQ(g_lagChanges, before + 2);

    EXPECT_TRUE(g_testScale.SetFromString("2.25"));
    EXPECT_EQ(g_testScale.ValueText(), "2.2500");
    EXPECT_TRUE(g_testName.SetFromString("my server"));
    EXPECT_EQ(g_testName.GetString(), "my server");
}

TEST(ConsoleParam, RefusesWrongTypesWithoutCallingTheHandler)
{
    const int before = g_lagChanges;
    EXPECT_FALSE(g_testName.SetInt(3));
    EXPECT_NE(ReadLog().find("ERROR: int value assigned to a non int param\n"), std::string::npos);

    EXPECT_FALSE(g_testLag.SetFromString("fast"));
    EXPECT_FALSE(g_testLag.SetFromString("1.5"));
    EXPECT_EQ(g_testLag.GetInt(), 75);
    EXPECT_EQ(g_lagChanges, before);
}

TEST(ConsoleParam, AvailabilityTestRefusesAssignments)
{
    bool open = false;
    ConsoleParam locked("test_locked", ConsoleParamType::Int, "1", "", {}, [&] { return open; });
    EXPECT_FALSE(locked.SetInt(5));
    EXPECT_EQ(locked.GetInt(), 1);
    open = true;
    EXPECT_TRUE(locked.SetInt(5));
}

TEST(ConsoleParam, CommandsReceiveTheirArgument)
{
    std::string received;
    ConsoleParam command("test_say", ConsoleParamType::Command, "", "says a text",
                         [&](ConsoleParam& self) { received = self.GetString(); });
    EXPECT_TRUE(command.Execute("hello there"));
    EXPECT_EQ(received, "hello there");
}

TEST(ConsoleParam, RegistryLookupAndWalk)
{
    EXPECT_EQ(ConsoleParam::Find("TEST_LAG"), &g_testLag);
    EXPECT_EQ(ConsoleParam::Find("no_such_param"), nullptr);
    EXPECT_EQ(ConsoleParam::HelpTextOf("test_servername"), "Set's the server's name");

    std::vector<std::string> walked;
    for (std::string name = ConsoleParam::FirstName(); !name.empty(); name = ConsoleParam::NextName(name))
        walked.push_back(name);
    ASSERT_FALSE(walked.empty());
    EXPECT_TRUE(std::is_sorted(walked.begin(), walked.end(), [](const std::string& a, const std::string& b) {
        return ToLowerAscii(a) < ToLowerAscii(b);
    }));
    EXPECT_NE(std::find(walked.begin(), walked.end(), "test_lag"), walked.end());
}

TEST(ConsoleParam, ParameterFileAssignsKnownVariables)
{
    const int assigned = LoadParamText("# settings\n"
                                       "test_lag 40   // faster\n"
                                       "test_servername  Quantum  Hall\r\n"
                                       "no_such_param 3\n"
                                       "test_scroll_scale oops\n");
    EXPECT_EQ(assigned, 2);
    EXPECT_EQ(g_testLag.GetInt(), 40);
    EXPECT_EQ(g_testName.GetString(), "Quantum  Hall");
    EXPECT_NE(ReadLog().find("Unknown console parameter [no_such_param]"), std::string::npos);
    EXPECT_EQ(LoadParamFile("/nonexistent/params.cfg"), -1);
    g_testLag.ResetToDefault();
}

TEST(Log, ChannelsHonourTheirEchoFlag)
{
    std::vector<std::string> echoed;
    SetLogEcho([&](const std::string& line, uint32_t) { echoed.push_back(line); });
    WriteLogChannel(4, "The game is over\n");
    SetLogChannelEcho(6, false);
    WriteLogChannel(6, "quiet %d\n", 6);
    SetLogChannelEcho(6, true);
    WriteLogChannel(99, "bad channel still logged\n");
    SetLogEcho({});

    const std::string log = ReadLog();
    EXPECT_NE(log.find("The game is over\n"), std::string::npos);
    EXPECT_EQ(log.find("quiet 6"), std::string::npos);
    EXPECT_NE(log.find("bad channel still logged"), std::string::npos);
    EXPECT_EQ(echoed.size(), 3u); // the console sees every line, echo flag or not
}
