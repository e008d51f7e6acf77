#include "platform/log_sink.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

namespace platform {

namespace {
std::atomic<LogSinkFn> g_sink{nullptr};
}

void SetLogSink(LogSinkFn sink)
{
    g_sink.store(sink);
}

void PlatformLog(const char* format, ...)
{
    char line[2048];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (LogSinkFn sink = g_sink.load())
        sink(line);
    else
        std::fputs(line, stderr);
}

} // namespace platform
