#pragma once
// Opening a level in the level editor from the command line, and whether the editor is open.
#include <string>

// Loads the level into the editor's map and opens the editor. False on failure.
bool EditLevel(const std::string& levelFile);

// True while the level editor is open: while an editor model is installed
// (editor/EditorPicking.h).
bool LevelEditorOpen();
