#include "platform/desktop/OpenUrl.h"

#include "platform/log_sink.h"

#include <mutex>
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
    // A short-lived shell starts xdg-open in the background and exits at once, so the
    // browser helper is never left as a child of ours. The address is an argument, never
    // part of the command text.
    const char* argv[] = {"/bin/sh", "-c", "xdg-open \"$1\" >/dev/null 2>&1 &", "sh", url.c_str(), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, "/bin/sh", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) {
        PlatformLog("Couldn't start xdg-open for %s\n", url.c_str());
        return false;
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace platform
