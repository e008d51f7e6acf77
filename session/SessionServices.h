#pragma once
// Hosting a level from the command line.
#include <string>

// Hosts the level in a new local session. False when it could not be started.
bool LaunchLevelAsHost(const std::string& levelFile);
