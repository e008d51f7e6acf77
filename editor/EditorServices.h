#pragma once
// Opening a level in the level editor from the command line, and whether the editor is open.
#include <functional>
#include <string>
#include <vector>

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

class MapObject;
// The editor's file chooser, as the scenery traps' "Set Image" buttons open it: a title, the
// folder it starts in and a handler that gets the chosen file; for an animation also its
// frame size and rate. The editor screen installs the chooser; until it does, opening one
// writes a log line and nothing is chosen.
struct ChosenFile {
    std::string filename;
    bool animation = false;
    int frameWidth = 0;
    int frameHeight = 0;
    int frameRate = 0;
};
using FileChosenHandler = std::function<void(const ChosenFile& chosen)>;
using FileChooserOpener =
    std::function<void(const std::string& title, const std::string& startFolder, FileChosenHandler handler)>;
void SetEditorFileChooser(FileChooserOpener opener);
void OpenEditorFileChooser(const std::string& title, const std::string& startFolder, FileChosenHandler handler);
// "Convert to primitive [U]": the editor's conversion of the selected object into a map
// primitive. The editor screen installs it; until then it writes a log line.
void SetPrimitiveConverter(std::function<void()> converter);
void ConvertSelectionToPrimitive();
// The small picking window "Select Trap(s)" with one button "Done" (key "q7efa"): "Done"
// hands the editor's selection, in selection order, to the handler and closes the window.
using EditorSelectionHandler = std::function<void(const std::vector<MapObject*>& selection)>;
// Until the level editor builds it, it logs and opens nothing (false).
bool OpenTrapSelectionWindow(EditorSelectionHandler onDone);
