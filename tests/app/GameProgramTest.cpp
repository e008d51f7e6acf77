// Starts the game program headless and ends it the way a desktop session would.
#include "app/Log.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WaitForText(const std::string& path, const std::string& text, std::chrono::seconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (ReadFile(path).find(text) != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

} // namespace

TEST(GameProgram, StartsHeadlessAndQuitsOnSigterm)
{
    const std::string program = std::string(FLIMBS_GAME_DIR) + "/Bin/FlimbsGame";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    const std::string log = LogFilePath();
    const bool ready = WaitForText(log, "Game ready", std::chrono::seconds(30));
    kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(ready) << ReadFile(log);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_NE(ReadFile(log).find("[night falls, and once again peace fills the land....]\n"), std::string::npos);
}
