#include "editor/EditorServices.h"

#include "app/Log.h"

bool EditLevel(const std::string& levelFile)
{
    // The level editor is not part of this build yet.
    WriteLog("Cannot edit %s: no level editor available\n", levelFile.c_str());
    return false;
}

bool EnterLevelEditor()
{
    WriteLog("Cannot enter the level editor: no level editor available\n");
    return false;
}

PrimContainer* CreatePackageCreatorWindow()
{
    WriteLog("Cannot open the package creator: no level editor available\n");
    return nullptr;
}

bool ReturnToEditorFromTestPlay()
{
    return false; // no level is ever started from the editor yet
}
