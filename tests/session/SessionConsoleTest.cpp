// The session's console variables and commands.
#include "SessionFixture.h"

#include "app/ConsoleParam.h"
#include "session/GameClient.h"

namespace {

TEST(SessionConsole, VariablesAndCommandsAreRegisteredAsTheGameReadsThem)
{
    const struct {
        const char* name;
        ConsoleParamType type;
        const char* defaultText;
        const char* help;
    } rows[] = {
        {"lag", ConsoleParamType::Int, "75", "network clock pulse (milliseconds)"},
        {"publicServer", ConsoleParamType::Int, "1", "make the server available on the public server listing"},
        {"auto_pause", ConsoleParamType::Int, "1", "Auto pause when player leaves match"},
        {"debug_mode", ConsoleParamType::Int, "0", ""},
        {"connectPORT", ConsoleParamType::Int, "9877", "the direct connect port"},
        {"username", ConsoleParamType::Text, "Player", "multiplayer username"},
        {"password", ConsoleParamType::Text, "", "password for the username"},
        {"connect", ConsoleParamType::Command, "", "connect to a server"},
        {"disconnect", ConsoleParamType::Command, "", "disconnect from server"},
        {"say", ConsoleParamType::Command, "", ""},
        {"save", ConsoleParamType::Command, "", "saves the current game"},
        {"fastforward", ConsoleParamType::Int, "0", "fast forward the playback (milliseconds)"},
        {"loadlevel", ConsoleParamType::Command, "0", "Load a level"},
        {"create", ConsoleParamType::Command, "0", "debug - send a create-Flimb message"},
        {"update", ConsoleParamType::Command, "0", "debug - tell client to move flimbs"},
        {"pause", ConsoleParamType::Command, "0", "pause game"},
        {"kick", ConsoleParamType::Command, "0", "kick an online player"},
    };
    for (const auto& row : rows) {
        const ConsoleParam* param = ConsoleParam::Find(row.name);
        ASSERT_NE(param, nullptr) << row.name;
        EXPECT_EQ(param->Type(), row.type) << row.name;
        EXPECT_EQ(param->DefaultText(), row.defaultText) << row.name;
        EXPECT_EQ(param->HelpText(), row.help) << row.name;
    }
}

using SessionConsoleTest = SessionFixture;

TEST_F(SessionConsoleTest, LagStaysWithinItsBoundsAndARunningServerAnnouncesIt)
{
    BareSessionClient& client = Join();
    ConsoleParam* lag = ConsoleParam::Find("lag");
    lag->SetInt(4);
    EXPECT_EQ(lag->GetInt(), 10);
    EXPECT_TRUE(log.Contains("lag is now 10\n"));
    lag->SetInt(40);
    // The slowest pace is one pulse a second.
    lag->SetInt(5000);
    EXPECT_EQ(lag->GetInt(), kMaxLagMs);
    ASSERT_TRUE(Until([&] { return client.Count(kCmdSetHostVariable) == 3; }));
    EXPECT_EQ(GetU32(client.Of(kCmdSetHostVariable)[0].data(), 12), 10u);
    EXPECT_EQ(GetU32(client.Of(kCmdSetHostVariable)[1].data(), 12), 40u);
    EXPECT_EQ(GetU32(client.Of(kCmdSetHostVariable)[2].data(), 12), 1000u);
    SetLagSetting(75, false);
}

TEST_F(SessionConsoleTest, TheUserNameIsFilteredSentAndLockedInAMatch)
{
    GameClient local;
    MemoryStream stream;
    local.AttachStream(&stream);
    SetCurrentClient(&local);
    ConsoleParam* name = ConsoleParam::Find("username");
    name->SetString("Ace<script>");
    EXPECT_EQ(name->GetString(), "Acescript");
    ASSERT_FALSE(stream.sent.empty());
    EXPECT_EQ(stream.sent.back()[0], kCmdUpdateUsername);
    EXPECT_EQ(GetText(stream.sent.back().data(), 6, 25), "Acescript");
    ConsoleParam::Find("password")->SetString("abc");
    EXPECT_TRUE(log.Contains("The new password has been set\n"));
    EXPECT_EQ(GetText(stream.sent.back().data(), 31, 33), "abc");
    SetNameLock(true);
    EXPECT_FALSE(name->SetString("Other"));
    SetNameLock(false);
    name->SetString("Player");
    ConsoleParam::Find("password")->SetString("");
    SetCurrentClient(nullptr);
}

} // namespace
