#pragma once
// Opening a level in the level editor from the command line, and whether the editor is open.
#include <functional>
#include <string>
#include <vector>

// Loads the level into the editor's map and opens the editor. False on failure.
bool EditLevel(const std::string& levelFile);

// True while the level editor is open: while an editor model is installed
// (editor/EditorPicking.h).
bool LevelEditorOpen();

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

// The editor's windows that trap panels open. Until the level editor builds them each logs
// and opens nothing (false); the handler is then never called.
class MapObject;
// The file chooser, titled, starting at a game path (a file or a folder such as
// "Sounds\"); it hands the chosen file's game path ("filename") to the handler and closes.
using EditorFileHandler = std::function<void(const std::string& fileName)>;
bool OpenEditorFileChooser(const std::string& title, const std::string& startPath, EditorFileHandler onChosen);
// The small picking window "Select Trap(s)" with one button "Done" (key "q7efa"): "Done"
// hands the editor's selection, in selection order, to the handler and closes the window.
using EditorSelectionHandler = std::function<void(const std::vector<MapObject*>& selection)>;
bool OpenTrapSelectionWindow(EditorSelectionHandler onDone);
