#include "platform/desktop/OpenUrl.h"

#include "platform/log_sink.h"

#include <fcntl.h>
#include <mutex>
#include <thread>
#include <unistd.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace platform {

namespace {

std::mutex handlerMutex;
OpenUrlHandler& Handler()
{
    static OpenUrlHandler handler;
    return handler;
}

} // namespace

void SetOpenUrlHandler(OpenUrlHandler handler)
{
    std::lock_guard lock(handlerMutex);
    Handler() = std::move(handler);
}

bool OpenUrl(const std::string& url)
{
    {
        std::lock_guard lock(handlerMutex);
        if (Handler())
            return Handler()(url);
    }
    // xdg-open is started directly (no shell: the address is one argument and is never read
    // as a command), its output discarded; a thread of its own reaps it, so a helper that
    // waits for the browser never holds the game up.
    const char* argv[] = {"xdg-open", url.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t child = 0;
    const int failed = posix_spawnp(&child, "xdg-open", &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        PlatformLog("Couldn't start xdg-open for %s\n", url.c_str());
        return false;
    }
    std::thread([child] {
        int status = 0;
        waitpid(child, &status, 0);
    }).detach();
    return true;
}

} // namespace platform
