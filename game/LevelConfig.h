#pragma once
// A player's saved set-ups of a level: "<profile>\LevelConfig\<level>.cfg" (gzip XML, root
// "level_config") holds one "config_data" per title with the game mode's options, the Start
// and Exit traps and the listed groups' action budgets.
#include <string>
#include <vector>

// The configuration file of the controller's level in the current profile.
std::string LevelConfigPath();
// Saves the current set-up under the title (an entry of that title is replaced in place).
// False when the file could not be written.
bool SaveLevelConfig(const std::string& title);
// Restores the set-up saved under the title and sends it to the session. Nothing happens
// without the file or the title. A trap whose id is gone, names another kind now or whose
// element cannot be read is skipped with a log line (it keeps its state); the rest loads.
// False when nothing was restored.
bool LoadLevelConfig(const std::string& title);
// The saved titles in file order.
std::vector<std::string> ListLevelConfigTitles();
