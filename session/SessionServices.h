#pragma once
// Hosting a level from the command line.
#include <string>

// Hosts the level in a new local session. False when it could not be started.
bool LaunchLevelAsHost(const std::string& levelFile);

// The level the current match plays (its name without ".flevel"); empty without a session.
std::string SessionLevelName();
// Saves the current match recording under a game path (the game client's playback save).
// Without a session nothing is saved: a log line, and false.
bool SavePlayback(const std::string& path, int flag);
