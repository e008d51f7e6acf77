#pragma once
// The platform layers sit below the game's log; the log installs itself here so that
// platform code can report without depending on it.

namespace platform {

using LogSinkFn = void (*)(const char* line);

// Installs the function that receives platform log lines (one "\n"-terminated line each).
void SetLogSink(LogSinkFn sink);

// Writes one printf-style line through the installed sink, or to stderr without one.
void PlatformLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace platform
