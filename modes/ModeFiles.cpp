#include "modes/ModeFiles.h"

#include "app/FileManager.h"
#include "app/Log.h"
#include "app/UserFolders.h"

#include <filesystem>

bool GameFileExists(const std::string& gamePath)
{
    if (gamePath.empty() || !IsConfinedRelativePath(gamePath))
        return false;
    if (fileManager && fileManager->Exists(gamePath, -1))
        return true;
    std::error_code error;
    return std::filesystem::is_regular_file(GetUserPath(gamePath), error);
}

bool DeleteUserFile(const std::string& gamePath)
{
    if (gamePath.empty() || !IsConfinedRelativePath(gamePath))
        return false;
    std::error_code error;
    const bool removed = std::filesystem::remove(GetUserPath(gamePath), error);
    if (error)
        WriteLog("WARNING: could not delete [%s]: %s\n", gamePath.c_str(), error.message().c_str());
    return removed;
}
