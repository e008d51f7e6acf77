#pragma once
// Opening a level in the level editor from the command line, and the front end's ways into
// the editor. (Whether the editor is open: levelmodel/EditorPicking.h; what the simulation
// asks of the editor's screens: game/GameHooks.h.)
#include <string>

// Loads the level into the editor's map and opens the editor. False on failure.
bool EditLevel(const std::string& levelFile);

// The front end's ways into the editor and its tools. Until the editor exists each logs and
// gives its "not opened" answer, and the front end stays where it was.
class PrimContainer;
// Enters the level editor through the menu backdrop; false when it could not be opened.
bool EnterLevelEditor();
// The level-package creator window, built but not opened; null when there is none.
PrimContainer* CreatePackageCreatorWindow();
// While a level started from the editor runs: loads the level being edited back into the
// editor's map, returns to the editor and answers true. False otherwise.
bool ReturnToEditorFromTestPlay();
