#pragma once
// Where the game's folders live on this machine.
//
// User folder: $FLIMBS_HOME when set, else $XDG_DATA_HOME/flimbs, else
// ~/.local/share/flimbs. The documents and application-data folders of the game both map
// under it. Program folder: the parent of the folder that holds the executable (the game
// folder, whose Bin/ holds the programs), unless set explicitly.
//
// Game paths use backslashes ("Cache\Settings\global_config.xml"); the functions here
// turn them into host paths with '/'.

#include <string>
#include <string_view>

// Absolute host path of the user folder (no trailing slash). Read from the environment
// on every call, so tests can point it elsewhere.
std::string GetUserRoot();

// The program folder (no trailing slash).
std::string GetProgramFolder();
void SetProgramFolder(const std::string& folder);
// Program folder derived from the running executable: parent of its folder.
std::string ProgramFolderFromExecutable();

// Host path for a game path. Paths whose first component is a user folder kind
// (Profiles, User, Cache, Level, Ads) lie under the user folder; all others (Data,
// Graphics, Sounds, ...) under the program folder. An absolute host path is returned as is.
std::string GetUserPath(std::string_view relative);

// True when the first component of the game path names a user folder kind.
bool IsUserFolderPath(std::string_view relative);

// Turns a game path into a relative host path ('\' to '/', repeated separators folded).
std::string ToHostSeparators(std::string_view gamePath);

// True when a game path from outside stays inside its root: not empty, not absolute,
// no drive letter, no ".." component.
bool IsConfinedRelativePath(std::string_view gamePath);

// The user folders the game creates at start-up, in creation order.
const char* const* UserFolderNames(int& count);
// Creates the missing user folders; existing ones are left alone. Returns false when one
// could not be created.
bool CreateUserFolders();
