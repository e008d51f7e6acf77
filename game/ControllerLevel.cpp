// The level's stored recordings: its solution and the player's checkpoints.
#include "game/GameController.h"

#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "app/StringUtil.h"
#include "game/GameHooks.h"
#include "gui/MessageBox.h"
#include "modes/ModeFiles.h"

std::string GetSolutionPath()
{
    const std::string levelFile = GetFileTitle(Controller().levelFile, false);
    if (levelFile.empty())
        return {};
    std::string path = "Level\\Solutions\\" + levelFile;
    const size_t at = FindNoCase(path, ".flevel");
    if (at != std::string::npos)
        path.replace(at, 7, ".flimbs");
    else
        path += ".flimbs";
    // The level has a solution when its recording is there.
    return GameFileExists(path) ? path : std::string();
}

void GameController::LoadCheckpoint(bool byNumber, int32_t number)
{
    const PlayerProfile& profile = CurrentProfile();
    const std::string folder = profile.GetPath() + "\\Checkpoints\\";
    const std::string wanted = StringPrintf("-%d", number);
    for (const std::string& leaf : profile.ListCheckpoints(GetLevelName(true))) {
        const std::string path = folder + leaf;
        bool taken = false;
        if (!byNumber)
            taken = path.find("\\auto-") != std::string::npos;
        else
            taken = path.size() >= 9 && path.compare(path.size() - 9, wanted.size(), wanted) == 0;
        if (taken) {
            PlayCheckpointFile(path);
            return;
        }
    }
}

bool GameController::PlayCheckpointFile(const std::string& path)
{
    const std::string full = path.find('\\') == std::string::npos
                                 ? CurrentProfile().GetPath() + "\\Checkpoints\\" + path
                                 : path;
    const auto refuse = [] {
        ShowMessageBox(TranslateText("file not found"), TranslateText("There is no checkpoint available for this level"));
        return false;
    };
    if (!GameFileExists(full))
        return refuse();
    CurrentProfile().SaveStats();
    // The server reads the recording whole first: a damaged one, one cut short or another
    // level's leaves the running level as it is.
    if (!PlayRecording(full, GetLevelName(true)))
        return refuse();
    return true;
}
