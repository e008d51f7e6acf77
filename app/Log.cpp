#include "app/Log.h"

#include "app/UserFolders.h"
#include "platform/log_sink.h"

#include <array>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>

namespace {

struct LogState {
    std::mutex mutex;
    std::FILE* file = nullptr;
    bool openFailed = false;
    bool toStderr = false;
    std::array<bool, kLogChannelCount> echo{};
    std::array<uint32_t, kLogChannelCount> colour{};
    LogEchoFn consoleEcho;

    LogState()
    {
        echo.fill(true);
        colour.fill(0xFFFFFFFFu);
        const char* env = std::getenv("FLIMBS_LOG_STDERR");
        toStderr = env && *env && std::strcmp(env, "0") != 0;
    }
    ~LogState()
    {
        if (file)
            std::fclose(file);
    }
};

LogState& State()
{
    static LogState state;
    return state;
}

void OpenLocked(LogState& state)
{
    if (state.file || state.openFailed)
        return;
    const std::filesystem::path path = LogFilePath();
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    state.file = std::fopen(path.c_str(), "a");
    if (!state.file) {
        state.openFailed = true;
        std::fprintf(stderr, "Could not open the log file %s\n", path.c_str());
    }
}

void Emit(const char* line, int channel, bool toFile)
{
    LogState& state = State();
    LogEchoFn echo;
    uint32_t colour = 0xFFFFFFFFu;
    {
        std::lock_guard lock(state.mutex);
        if (toFile) {
            OpenLocked(state);
            if (state.file) {
                std::fputs(line, state.file);
                std::fflush(state.file);
            }
            if (state.toStderr)
                std::fputs(line, stderr);
        }
        echo = state.consoleEcho;
        if (channel >= 0)
            colour = state.colour[channel];
    }
    if (echo)
        echo(line, colour);
}

void PlatformSink(const char* line)
{
    Emit(line, -1, true);
}

// Platform layers report through the game's log from the first line on.
[[maybe_unused]] const bool g_sinkInstalled = (platform::SetLogSink(&PlatformSink), true);

bool ValidChannel(int channel)
{
    return channel >= 0 && channel < kLogChannelCount;
}

} // namespace

void WriteLog(const char* format, ...)
{
    char line[4096];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    Emit(line, -1, true);
}

void WriteLogChannel(int channel, const char* format, ...)
{
    char line[4096];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (!ValidChannel(channel)) {
        Emit(line, -1, true);
        return;
    }
    Emit(line, channel, GetLogChannelEcho(channel));
}

void SetLogChannelEcho(int channel, bool echo)
{
    if (!ValidChannel(channel))
        return;
    std::lock_guard lock(State().mutex);
    State().echo[channel] = echo;
}

bool GetLogChannelEcho(int channel)
{
    if (!ValidChannel(channel))
        return false;
    std::lock_guard lock(State().mutex);
    return State().echo[channel];
}

void SetLogChannelColour(int channel, uint32_t argb)
{
    if (!ValidChannel(channel))
        return;
    std::lock_guard lock(State().mutex);
    State().colour[channel] = argb;
}

void SetLogEcho(LogEchoFn echo)
{
    std::lock_guard lock(State().mutex);
    State().consoleEcho = std::move(echo);
}

void SetLogToStderr(bool on)
{
    std::lock_guard lock(State().mutex);
    State().toStderr = on;
}

std::string LogFilePath()
{
    return GetUserPath("Cache\\Log\\flimbs.log");
}

void ReopenLog()
{
    LogState& state = State();
    std::lock_guard lock(state.mutex);
    if (state.file)
        std::fclose(state.file);
    state.file = nullptr;
    state.openFailed = false;
}

int verboseLog = 0;
