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
    if (!LevelCompletion::MarkComplete(controller.levelFile))
        return false;
    const std::string puzzle = StringPrintf("Level\\s_%s_%s.flevel", GameModeShortCode(CurrentGameModeIndex()),
                                            SafeLevelTitle(controller.levelTitle).c_str());
    if (!ExtractFile(puzzle))
        WriteLog("WARNING: the puzzle %s could not be unlocked\n", puzzle.c_str());
    const std::string preview = LevelManager::GetPreviewPath(puzzle);
    if (fileManager && fileManager->Exists(preview, -1) && !ExtractFile(preview))
        WriteLog("WARNING: the preview %s could not be unlocked\n", preview.c_str());
    AnnounceMessage(TranslateText("Kudos! You have unlocked this puzzle in the level editor."), false);
    return true;
}
