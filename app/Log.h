#pragma once
// The game's log: printf-style lines appended to Cache\Log\flimbs.log under the user folder.
//
// `WriteLog` writes the main stream. `WriteLogChannel` writes one of the numbered streams
// (0 .. kLogChannelCount-1); a channel's line reaches the log file while its echo flag is
// set, and is always passed to the console echo (once the console installs one).

#include <cstdint>
#include <functional>
#include <string>

constexpr int kLogChannelCount = 8;

void WriteLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
void WriteLogChannel(int channel, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Channel echo flags and colours (ARGB for the console).
void SetLogChannelEcho(int channel, bool echo);
bool GetLogChannelEcho(int channel);
void SetLogChannelColour(int channel, uint32_t argb);

// The console installs this to see every line; colour is the channel's (white for WriteLog).
using LogEchoFn = std::function<void(const std::string& line, uint32_t argb)>;
void SetLogEcho(LogEchoFn echo);

// Also copy every line to stderr (FLIMBS_LOG_STDERR=1 sets it at start).
void SetLogToStderr(bool on);

// Host path of the log file; opening happens on the first line.
std::string LogFilePath();
// Closes the file so that the next line opens it again (after the user folder changed).
void ReopenLog();

// The verbose-log flag: while non-zero, the terrain logs every bash with its block checksums.
extern int verboseLog;
