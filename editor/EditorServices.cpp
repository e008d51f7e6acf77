#include "editor/EditorServices.h"

#include "app/Log.h"

namespace {
FileChooserOpener g_fileChooser;
std::function<void()> g_primitiveConverter;
} // namespace

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

void SetEditorFileChooser(FileChooserOpener opener)
{
    g_fileChooser = std::move(opener);
}

void OpenEditorFileChooser(const std::string& title, const std::string& startFolder, FileChosenHandler handler)
{
    if (!g_fileChooser) {
        WriteLog("Cannot open the file chooser \"%s\": no level editor available\n", title.c_str());
        return;
    }
    g_fileChooser(title, startFolder, std::move(handler));
}

void SetPrimitiveConverter(std::function<void()> converter)
{
    g_primitiveConverter = std::move(converter);
}

void ConvertSelectionToPrimitive()
{
    if (!g_primitiveConverter) {
        WriteLog("Cannot convert to a primitive: no level editor available\n");
        return;
    }
    g_primitiveConverter();
}

bool OpenTrapSelectionWindow(EditorSelectionHandler /*onDone*/)
{
    WriteLog("Cannot open the trap selection window: no level editor available\n");
    return false;
}
