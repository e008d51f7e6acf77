#include "game/LevelCompletion.h"

#include "app/FileManager.h"
#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "game/GameController.h"
#include "game/LevelManager.h"
#include "game/UserDocument.h"
#include "modes/ModeServices.h"

#include <libxml/tree.h>

#include <string_view>

namespace LevelCompletion {
namespace {

constexpr const char* kRoot = "levels_complete";

// A broken record is set aside, never overwritten.
XmlDocument Load()
{
    return LoadUserDocument(kFile, kRoot);
}

bool Holds(xmlDoc* doc, const std::string& title)
{
    for (xmlNode* n = XmlGetChild(XmlChildren(XmlRoot(doc)), "level"); n; n = XmlGetChild(XmlNext(n), "level"))
        if (XmlNodeText(n) == title)
            return true;
    return false;
}

} // namespace

bool IsComplete(const std::string& levelPath)
{
    XmlDocument doc = Load();
    return doc && Holds(doc.get(), GetFileTitle(levelPath, true));
}

bool MarkComplete(const std::string& levelPath)
{
    const std::string title = GetFileTitle(levelPath, true);
    if (title.empty())
        return false;
    XmlDocument doc = Load();
    if (!doc)
        doc = XmlNewDocument(kRoot);
    if (Holds(doc.get(), title))
        return false;
    xmlNewTextChild(XmlRoot(doc.get()), nullptr, BAD_CAST "level", BAD_CAST title.c_str());
    SaveUserDocument(doc.get(), kFile);
    return true;
}

Outcome CompleteLevel(const std::string& levelPath, const std::string& title, int modeIndex)
{
    if (IsComplete(levelPath))
        return Outcome::AlreadyComplete;
    // The puzzle first: the player is told of it only once it is in the level folder.
    const std::string puzzle =
        StringPrintf("Level\\s_%s_%s.flevel", GameModeShortCode(modeIndex), SafeLevelTitle(title).c_str());
    const bool unlocked = !title.empty() && ExtractFile(puzzle);
    if (!unlocked)
        WriteLog("WARNING: the puzzle %s could not be unlocked\n", puzzle.c_str());
    const std::string preview = LevelManager::GetPreviewPath(puzzle);
    if (unlocked && fileManager && fileManager->Exists(preview, -1) && !ExtractFile(preview))
        WriteLog("WARNING: the preview %s could not be unlocked\n", preview.c_str());
    if (!MarkComplete(levelPath))
        return Outcome::AlreadyComplete;
    return unlocked ? Outcome::PuzzleUnlocked : Outcome::RecordedOnly;
}

} // namespace LevelCompletion

std::string SafeLevelTitle(const std::string& title)
{
    std::string safe = title;
    for (char& c : safe)
        if (std::string_view("/\\:*?\"<>|^&!$ ").find(c) != std::string_view::npos)
            c = '-';
    return safe;
}

bool RecordLevelCompleted()
{
    const GameController& controller = Controller();
    const LevelCompletion::Outcome outcome =
        LevelCompletion::CompleteLevel(controller.levelFile, controller.levelTitle, CurrentGameModeIndex());
    if (outcome == LevelCompletion::Outcome::PuzzleUnlocked)
        AnnounceMessage(TranslateText("Kudos! You have unlocked this puzzle in the level editor."), false);
    return outcome != LevelCompletion::Outcome::AlreadyComplete;
}
