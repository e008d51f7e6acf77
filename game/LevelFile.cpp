#include "game/LevelFile.h"

#include "app/FileManager.h"
#include "app/GameException.h"
#include "app/GzipFile.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "game/LevelNames.h"
#include "game/LevelSections.h"
#include "levelmodel/MapObject.h"
#include "modes/ModeServices.h"

#include <libxml/tree.h>
#include <libxml/xmlreader.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>

namespace {

const xmlChar* X(const char* text)
{
    return reinterpret_cast<const xmlChar*>(text);
}

void Append(xmlNode* parent, const char* name, const std::string& text)
{
    xmlNewTextChild(parent, nullptr, X(name), X(text.c_str()));
}

// Looks at the first bytes of the file: throws for a missing or empty file; true for gzip.
bool PeekGzip(const std::string& path)
{
    const int handle = fileManager ? fileManager->Open(path) : 0;
    if (handle == 0)
        throw GameException("Bad resource for ResourceXmlSource");
    unsigned char head[2] = {0, 0};
    const size_t got = fileManager->Read(handle, head, sizeof head);
    fileManager->Close(handle);
    if (got == 0)
        throw GameException("Bad resource for ResourceXmlSource");
    return got == 2 && head[0] == 0x1F && head[1] == 0x8B;
}

int ReadFromGzip(void* context, char* buffer, int length)
{
    if (length <= 0)
        return 0;
    return static_cast<int>(static_cast<GzipFile*>(context)->Read(buffer, static_cast<size_t>(length)));
}

int CloseNothing(void*)
{
    return 0;
}

void ReadSummaryGlobals(xmlNode* globals, LevelChooserEntry& entry)
{
    auto text = [&](const char* name) { return XmlNodeText(XmlGetChild(XmlChildren(globals), name)); };
    auto has = [&](const char* name) { return XmlGetChild(XmlChildren(globals), name) != nullptr; };
    if (has("title")) {
        const std::string title = text("title");
        if (title != "Title")
            entry.title = title;
    }
    entry.author = text("author");
    entry.description = text("description");
    entry.objective = text("objective");
    entry.objectiveFailure = text("objective_failure");
    entry.preLevelIcon = text("prelevelicon");
    // Clamped as every load but a preview clamps them.
    entry.width = std::clamp(LevelChildInt(globals, "width", kMinLevelWidth), kMinLevelWidth, kMaxLevelSide);
    entry.height = std::clamp(LevelChildInt(globals, "height", kMinLevelHeight), kMinLevelHeight, kMaxLevelSide);
    entry.permission = PermissionFromName(has("permission") ? text("permission") : "Full");
    entry.theme = LevelChildInt(globals, "theme", 7) - 1;
    entry.music = text("music");
    entry.gameMode = LevelGameModeIndex(globals);
    entry.playerKind = text("singleplayer") == "1" ? kLevelSinglePlayer : kLevelMultiplayer;
    if (IsTrueText(text("flimbmaster")))
        entry.playerKind = kLevelFlimbMaster;
}

void ReadSummaryGroups(xmlNode* groups, LevelChooserEntry& entry)
{
    for (GroupSetup& group : entry.groups) {
        const uint8_t slot = group.slot;
        group = GroupSetup{};
        group.slot = slot;
    }
    entry.availableGroups = 0;
    for (xmlNode* element : LevelSectionElements(groups, "group")) {
        int32_t id = -1;
        const char* idText = XmlGetAttrValue(element, "id");
        if (!idText || !ParseLeadingInt(idText, id) || id < 0 || id >= kLevelGroupCount) {
            WriteLog("WARNING: level group id [%s] is not a group slot; skipped\n", idText ? idText : "");
            continue;
        }
        GroupSetup& group = entry.groups[static_cast<size_t>(id)];
        group.present = 1;
        int32_t gravity = 0;
        if (const char* gravityText = XmlGetAttrValue(element, "group_gravity"))
            if (ParseLeadingInt(gravityText, gravity) && gravity >= 0 && gravity <= 3)
                group.gravity = static_cast<uint8_t>(gravity);
        group.available = XmlGetAttrBool(element, "available_group") ? 1 : 0;
        if (group.available)
            ++entry.availableGroups;
    }
}

} // namespace

bool ReadLevelSummary(const std::string& path, LevelChooserEntry& entry)
{
    if (path.size() > kMaxLevelPath)
        return false;
    const std::string fileName = GetFileTitle(path, false);
    LevelFileName parts;
    if (!EqualsNoCase(fileName, "editor-test-level.flevel")) {
        if (!ParseLevelFileName(path, parts))
            return false;
        entry.title = parts.name;
    } else {
        entry.title = GetFileTitle(path, true);
    }
    entry.fileName = fileName;
    entry.name = ToLowerAscii(GetFileTitle(path, true));

    const bool gzip = PeekGzip(path);
    GzipFile file;
    if (!file.Open("rb", path))
        throw GameException("Bad resource for ResourceXmlSource");
    if (gzip && !file.compressed)
        throw GameException("Couldn't init gzip!");

    xmlTextReaderPtr reader =
        xmlReaderForIO(ReadFromGzip, CloseNothing, &file, path.c_str(), nullptr,
                       XML_PARSE_NOBLANKS | XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!reader)
        return false;
    bool sawRoot = false;
    bool ok = true;
    int result = xmlTextReaderRead(reader);
    while (result == 1) {
        if (xmlTextReaderNodeType(reader) != XML_READER_TYPE_ELEMENT) {
            result = xmlTextReaderRead(reader);
            continue;
        }
        const int depth = xmlTextReaderDepth(reader);
        const char* name = reinterpret_cast<const char*>(xmlTextReaderConstName(reader));
        if (depth == 0) {
            if (!name || std::strcmp(name, "flimbs-level") != 0) {
                ok = false;
                break;
            }
            sawRoot = true;
            xmlChar* hash = xmlTextReaderGetAttribute(reader, X("hash"));
            entry.hash = hash ? reinterpret_cast<const char*>(hash) : "";
            xmlFree(hash);
            result = xmlTextReaderRead(reader);
            continue;
        }
        const bool globals = name && std::strcmp(name, "globals") == 0;
        const bool groups = name && std::strcmp(name, "groups") == 0;
        if (depth == 1 && (globals || groups)) {
            xmlNode* section = xmlTextReaderExpand(reader);
            if (!section) {
                ok = false;
                break;
            }
            if (globals) {
                ReadSummaryGlobals(section, entry);
            } else {
                ReadSummaryGroups(section, entry);
                break;
            }
        }
        result = xmlTextReaderNext(reader);
    }
    if (result < 0)
        ok = false;
    xmlFreeTextReader(reader);
    file.Close();
    if (!ok || !sawRoot) {
        WriteLog("Error : Couldn't read the level summary of [%s]\n", path.c_str());
        return false;
    }
    return true;
}

XmlDocument BuildLevelDocument(const LevelDescription& level, const std::vector<const MapObject*>& traps,
                               const std::vector<const MapObject*>& flimbs,
                               const std::vector<const MapObject*>& primitives)
{
    XmlDocument doc = XmlNewDocument("flimbs-level");
    xmlNode* root = XmlRoot(doc.get());
    Append(root, "debug", StringPrintf("This file was generated by FLIMBS build %d.", kLevelBuildNumber));

    xmlNode* globals = XmlNewChild(root, "globals");
    Append(globals, "title", level.title);
    Append(globals, "author", level.author);
    Append(globals, "description", level.description);
    Append(globals, "objective", level.objective);
    Append(globals, "objective_failure", level.objectiveFailure);
    Append(globals, "prelevelicon", level.preLevelIcon);
    Append(globals, "width", std::to_string(level.width));
    Append(globals, "height", std::to_string(level.height));
    Append(globals, "music", level.music);
    Append(globals, "singleplayer", level.kind == kLevelSinglePlayer ? "1" : "0");
    Append(globals, "flimbmaster", level.kind == kLevelFlimbMaster ? "1" : "0");
    const char* modeName = GameModeKeyName(level.gameMode);
    Append(globals, "gamemode", *modeName ? modeName : GameModeKeyName(0));
    xmlNode* modeData = XmlNewChild(globals, "gamemode_data");
    if (level.writeModeData)
        level.writeModeData(modeData);
    Append(globals, "permission", PermissionName(level.permission));
    Append(globals, "difficulty", DifficultyName(level.difficulty));
    Append(globals, "theme", std::to_string(level.theme + 1));
    xmlNode* tags = XmlNewChild(globals, "tags");
    for (const std::string& tag : level.tags)
        XmlNewChild(tags, tag.c_str());
    Append(globals, "boundary_top", std::to_string(level.boundaryTop));
    Append(globals, "boundary_left", std::to_string(level.boundaryLeft));
    Append(globals, "boundary_right", std::to_string(level.boundaryRight));
    Append(globals, "boundary_bottom", std::to_string(level.boundaryBottom));
    Append(globals, "last_editor_x", std::to_string(level.lastEditorX));
    Append(globals, "last_editor_y", std::to_string(level.lastEditorY));
    Append(globals, "last_editor_zoom", StringPrintf("%.4f", static_cast<double>(level.lastEditorZoom)));
    Append(globals, "zoomFlimbID", std::to_string(level.zoomFlimbId));

    xmlNode* groups = XmlNewChild(root, "groups");
    for (size_t slot = 0; slot < level.groups.size(); ++slot) {
        const GroupSetup& setup = level.groups[slot];
        if (!setup.present)
            continue;
        xmlNode* group = XmlNewChild(groups, "group");
        XmlSetAttrInt(group, "id", static_cast<int>(slot));
        XmlSetAttrInt(group, "group_gravity", setup.gravity);
        XmlSetAttrInt(group, "available_group", setup.available ? 1 : 0);
        if (static_cast<int32_t>(slot) == level.defaultGroup)
            XmlSetAttrText(group, "default_group", "1");
        for (int action = 0; action < kLevelActionCount; ++action)
            Append(group, LevelActionName(action), std::to_string(setup.actions[static_cast<size_t>(action)]));
    }

    auto section = [root](const char* sectionName, const char* elementName,
                          const std::vector<const MapObject*>& objects) {
        xmlNode* parent = XmlNewChild(root, sectionName);
        for (const MapObject* object : objects)
            if (object)
                object->WriteProps(XmlNewChild(parent, elementName));
    };
    section("traps", "trap", traps);
    section("preflimbs", "flimb", flimbs);
    section("primitives", "prim", primitives);
    return doc;
}

bool SaveLevelDocument(xmlDoc* doc, const std::string& path, bool compressed, bool readOnly)
{
    if (!doc)
        return false;
    if (readOnly && FindNoCase(path, "editor-test-level.flevel") == std::string::npos)
        return true;
    XmlSetHash(XmlRoot(doc));
    xmlSetDocCompressMode(doc, compressed ? 9 : 0);
    return XmlSaveFile(doc, path) >= 0;
}
