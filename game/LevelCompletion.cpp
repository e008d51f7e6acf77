#include "game/LevelCompletion.h"

#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"

#include <libxml/tree.h>

namespace LevelCompletion {
namespace {

constexpr const char* kRoot = "levels_complete";

XmlDocument Load()
{
    XmlDocument doc = XmlLoadUserFile(kFile);
    if (doc && XmlName(XmlRoot(doc.get())) != kRoot) {
        WriteLog("WARNING: %s has no %s root; a new record is made\n", kFile, kRoot);
        doc.reset();
    }
    return doc;
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
    xmlSetDocCompressMode(doc.get(), 9);
    if (XmlSaveFile(doc.get(), kFile) < 0)
        WriteLog("ERROR: could not save %s\n", kFile);
    return true;
}

} // namespace LevelCompletion
