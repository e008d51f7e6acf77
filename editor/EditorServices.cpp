#include "editor/EditorServices.h"

#include "app/Log.h"

bool EditLevel(const std::string& levelFile)
{
    // The level editor is not part of this build yet.
    WriteLog("Cannot edit %s: no level editor available\n", levelFile.c_str());
    return false;
}
