// What the options ask of the session: whether a match client is connected (the name is
// locked then) and sending the avatar to the match.
#include "../support/LogCapture.h"
#include "../support/SessionPeers.h"

#include "app/ConsoleParam.h"
#include "session/GameClient.h"
#include "session/SessionServices.h"

#include <gtest/gtest.h>

namespace {

TEST(OptionsSeams, TheAvatarGoesOnlyToAConnectedClient)
{
    LogCapture log;
    ConsoleParam* avatar = ConsoleParam::Find("avatar");
    ASSERT_NE(avatar, nullptr);
    const std::string before = avatar->GetString();
    avatar->SetString("avatar-07.jpg");

    EXPECT_FALSE(MatchClientRunning()) << "no session";
    SendAvatarToMatch();
    GameClient client;
    SetCurrentClient(&client);
    EXPECT_FALSE(MatchClientRunning()) << "not connected yet";
    SendAvatarToMatch();
    EXPECT_FALSE(log.Contains("avatar-07")) << "nothing is sent without a connection";

    MemoryStream stream;
    client.AttachStream(&stream);
    EXPECT_TRUE(MatchClientRunning());
    SendAvatarToMatch();
    // No such picture here: the session reports the file it was asked to send.
    EXPECT_TRUE(log.Contains("Failed to send file User\\Avatars\\avatar-07.jpg\n"));

    SetCurrentClient(nullptr);
    avatar->SetString(before);
}

} // namespace
