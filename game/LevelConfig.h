#pragma once
// A player's saved set-ups of a level: "<profile>\LevelConfig\<level>.cfg" (gzip XML, root
// "level_config") holds one "config_data" per title with the game mode's options, the Start
// and Exit traps and the listed groups' action budgets.
#include <string>
#include <vector>

// The title under which a match's set-up is kept when it starts; the host restores it when
// the level is loaded again.
constexpr const char* kLastPlayedConfig = "Last Played";

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

// The controller's groups' action budgets as a "game-manager-state" document (UPDATE_MORPH_
// COUNT): one "group" with its "id" and one child per action (its type name, the uses left).
std::string ManagerStateDocument();
// Takes the budgets of such a document over. A document that is no "game-manager-state", a
// group outside 0 .. 7 and a count outside 0 .. 255 (or no number) are refused with a log
// line; what is left of the document still applies. False when nothing was taken.
bool ReadManagerStateDocument(const std::string& xml);
