#pragma once
// Opening a level in the level editor from the command line.
#include <string>

// Loads the level into the editor's map and opens the editor. False on failure.
bool EditLevel(const std::string& levelFile);
