#include "ChildProcess.h"

#include <chrono>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

ChildProcess::ChildProcess(const std::string& gtestFilter, const std::map<std::string, std::string>& env)
{
    std::vector<std::string> variables;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        // The child runs exactly the filtered test: no home of the parent's, no sharding.
        if (!env.count(name) && name != "FLIMBS_HOME" && name != "GTEST_TOTAL_SHARDS" &&
            name != "GTEST_SHARD_INDEX")
            variables.push_back(entry);
    }
    for (const auto& [name, value] : env)
        variables.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& v : variables)
        envp.push_back(v.data());
    envp.push_back(nullptr);
    std::string self = "/proc/self/exe";
    std::string filter = "--gtest_filter=" + gtestFilter;
    char* argv[] = {self.data(), filter.data(), nullptr};
    if (posix_spawn(&pid_, "/proc/self/exe", nullptr, nullptr, argv, envp.data()) != 0)
        pid_ = -1;
}

ChildProcess::~ChildProcess()
{
    if (pid_ > 0 && !Poll()) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
}

bool ChildProcess::Poll()
{
    if (pid_ <= 0 || ended_)
        return ended_ || pid_ <= 0;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_)
        return false;
    ended_ = true;
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    return true;
}

bool ChildProcess::Wait(int limitMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!Poll()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}
