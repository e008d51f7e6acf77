#pragma once
// Runs this test program again as a second process (one of its peer tests, which skip
// themselves without the variables) with extra environment variables, and waits for it
// with a generous limit.
#include <map>
#include <string>
#include <sys/types.h>

class ChildProcess {
public:
    // Starts /proc/self/exe with the gtest filter and the variables added to this process's
    // environment.
    ChildProcess(const std::string& gtestFilter, const std::map<std::string, std::string>& env);
    // Kills and reaps a child still running.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    // True once it ended (its exit code then in ExitCode); never blocks.
    bool Poll();
    // Waits up to `limitMs`; false when it is still running.
    bool Wait(int limitMs);
    int ExitCode() const { return exitCode_; }

private:
    pid_t pid_ = -1;
    bool ended_ = false;
    int exitCode_ = -1;
};
