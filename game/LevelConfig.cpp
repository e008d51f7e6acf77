#include "game/LevelConfig.h"

#include "app/GameException.h"
#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "app/StringUtil.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "game/GameServices.h"
#include "game/UserDocument.h"
#include "modes/ModeServices.h"
#include "traps/Trap.h"
#include "world/Flimb.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"

#include <libxml/tree.h>

#include <cstdlib>

namespace {

constexpr const char* kRoot = "level_config";

xmlNode* FindConfig(xmlDoc* doc, const std::string& title)
{
    for (xmlNode* n = XmlGetChild(XmlChildren(XmlRoot(doc)), "config_data"); n;
         n = XmlGetChild(XmlNext(n), "config_data")) {
        const char* value = XmlGetAttrValue(n, "title");
        if (value && title == value)
            return n;
    }
    return nullptr;
}

void RemoveChildren(xmlNode* node)
{
    while (xmlNode* child = node->children)
        XmlRemoveNode(child);
}

// "123" only: an id with anything else is no id.
bool ParseId(const char* text, int32_t& id)
{
    if (!text || !*text)
        return false;
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (*end != '\0' || value < 0 || value > INT32_MAX)
        return false;
    id = static_cast<int32_t>(value);
    return true;
}

// The saved element names the trap's kind (an element without "type" is taken as it is).
bool SameKind(xmlNode* element, const Trap& trap)
{
    xmlNode* type = XmlGetChild(XmlChildren(element), "type");
    return !type || EqualsNoCase(XmlNodeText(type), TrapTypeName(trap.kind));
}

// Loads the trap from the element; on failure puts its previous state back.
bool LoadTrap(Trap& trap, xmlNode* element, xmlNode* defaults)
{
    XmlDocument backup = XmlNewDocument("trap");
    trap.Save(XmlRoot(backup.get()));
    try {
        trap.Load(element, defaults, kTrapLoadAll);
        return true;
    } catch (const GameException& error) {
        WriteLog("WARNING: level configuration: trap %d could not be read (%s); it is skipped\n", trap.id,
                 error.what());
    }
    try {
        trap.Load(XmlRoot(backup.get()), defaults, kTrapLoadAll);
    } catch (const GameException&) {
        WriteLog("WARNING: trap %d could not be restored\n", trap.id);
    }
    return false;
}

void LoadTraps(xmlNode* config)
{
    xmlNode* defaults = LevelDefaultsElement("traps", "trap");
    for (xmlNode* n = XmlGetChild(XmlChildren(config), "trap"); n; n = XmlGetChild(XmlNext(n), "trap")) {
        int32_t id = 0;
        const char* idText = XmlGetAttrValue(n, "id");
        if (!ParseId(idText, id)) {
            WriteLog("WARNING: level configuration: a trap id [%s] is no number; skipped\n", idText ? idText : "");
            continue;
        }
        Trap* trap = FindTrapById(id);
        if (!trap) {
            WriteLog("Level configuration: trap %d no longer exists; skipped\n", id);
            continue;
        }
        if (!SameKind(n, *trap)) {
            WriteLog("WARNING: level configuration: trap %d is a %s now; skipped\n", id, TrapTypeName(trap->kind));
            continue;
        }
        if (LoadTrap(*trap, n, defaults))
            SendTrapState(*trap, 0, -1);
    }
}

void LoadGroups(xmlNode* groups)
{
    auto& entries = Controller().groups;
    for (xmlNode* n = XmlGetChild(XmlChildren(groups), "group"); n; n = XmlGetChild(XmlNext(n), "group")) {
        int32_t id = 0;
        const char* idText = XmlGetAttrValue(n, "id");
        if (!ParseId(idText, id) || id >= kControllerGroups) {
            WriteLog("WARNING: level configuration: group [%s] is no group; skipped\n", idText ? idText : "");
            continue;
        }
        for (int action = 0; action < kActionCount; ++action) {
            const int value = XmlGetChildInt(n, FlimbTypeName(action), 0);
            entries[static_cast<size_t>(id)].uses[static_cast<size_t>(action)] =
                static_cast<uint8_t>(value < 0 ? 0 : value > 255 ? 255 : value);
        }
    }
}

} // namespace

std::string ManagerStateDocument()
{
    XmlDocument doc = XmlNewDocument("game-manager-state");
    const auto& groups = Controller().groups;
    for (int g = 0; g < kControllerGroups; ++g) {
        xmlNode* group = XmlNewChild(XmlRoot(doc.get()), "group");
        XmlSetAttrInt(group, "id", g);
        for (int action = 0; action < kActionCount; ++action)
            XmlAddChildInt(group, FlimbTypeName(action), groups[static_cast<size_t>(g)].uses[static_cast<size_t>(action)]);
    }
    return XmlDocumentText(doc.get());
}

bool ReadManagerStateDocument(const std::string& xml)
{
    XmlDocument doc = XmlParseBuffer(xml.data(), xml.size(), "game-manager-state");
    xmlNode* root = doc ? XmlRoot(doc.get()) : nullptr;
    if (!root || XmlName(root) != "game-manager-state") {
        WriteLog("WARNING: UPDATE_MORPH_COUNT holds no game-manager-state; dropped\n");
        return false;
    }
    bool taken = false;
    auto& entries = Controller().groups;
    for (xmlNode* n = XmlGetChild(XmlChildren(root), "group"); n; n = XmlGetChild(XmlNext(n), "group")) {
        int32_t id = 0;
        const char* idText = XmlGetAttrValue(n, "id");
        if (!ParseId(idText, id) || id >= kControllerGroups) {
            WriteLog("WARNING: morph counts of group [%s] refused: no such group\n", idText ? idText : "");
            continue;
        }
        for (int action = 0; action < kActionCount; ++action) {
            xmlNode* count = XmlGetChild(XmlChildren(n), FlimbTypeName(action));
            if (!count)
                continue;
            int32_t value = 0;
            const std::string text = Trim(XmlNodeText(count));
            if (!ParseId(text.c_str(), value) || value > 255) {
                WriteLog("WARNING: morph count [%s] of %s for group %d refused\n", text.c_str(),
                         FlimbTypeName(action), id);
                continue;
            }
            entries[static_cast<size_t>(id)].uses[static_cast<size_t>(action)] = static_cast<uint8_t>(value);
            taken = true;
        }
    }
    return taken;
}

std::string LevelConfigPath()
{
    return CurrentProfile().GetPath() + "\\LevelConfig\\" + Controller().GetLevelName(false) + ".cfg";
}

bool SaveLevelConfig(const std::string& title)
{
    const std::string path = LevelConfigPath();
    XmlDocument doc = LoadUserDocument(path, kRoot);
    if (!doc)
        doc = XmlNewDocument(kRoot);
    xmlNode* config = FindConfig(doc.get(), title);
    if (config) {
        RemoveChildren(config);
    } else {
        config = XmlNewChild(XmlRoot(doc.get()), "config_data");
        XmlSetAttrText(config, "title", title);
    }
    ModeWriteOptions(XmlNewChild(config, "gamemode_data"));
    for (int32_t kind : {kTrapStart, kTrapExit}) {
        for (Trap* trap : GetTrapsOfKind(static_cast<uint32_t>(kind))) {
            xmlNode* element = XmlNewChild(config, "trap");
            XmlSetAttrInt(element, "id", trap->id);
            trap->Save(element);
        }
    }
    xmlNode* groups = XmlNewChild(config, "groups");
    const auto& entries = Controller().groups;
    for (int g = 0; g < kControllerGroups; ++g) {
        if (!entries[static_cast<size_t>(g)].listed)
            continue;
        xmlNode* group = XmlNewChild(groups, "group");
        XmlSetAttrInt(group, "id", g);
        for (int action = 0; action < kActionCount; ++action)
            XmlAddChildInt(group, FlimbTypeName(action), entries[static_cast<size_t>(g)].uses[static_cast<size_t>(action)]);
    }
    return SaveUserDocument(doc.get(), path);
}

bool LoadLevelConfig(const std::string& title)
{
    XmlDocument doc = LoadUserDocument(LevelConfigPath(), kRoot);
    xmlNode* config = doc ? FindConfig(doc.get(), title) : nullptr;
    if (!config)
        return false;
    if (xmlNode* modeData = XmlGetChild(XmlChildren(config), "gamemode_data")) {
        ModeReadOptions(modeData, LevelDefaultsElement("globals", "gamemode_data"));
        SendGameModeState(ModeStateDocument());
    }
    LoadTraps(config);
    if (xmlNode* groups = XmlGetChild(XmlChildren(config), "groups")) {
        LoadGroups(groups);
        SendGameManagerState(ManagerStateDocument());
    }
    return true;
}

std::vector<std::string> ListLevelConfigTitles()
{
    std::vector<std::string> titles;
    XmlDocument doc = LoadUserDocument(LevelConfigPath(), kRoot);
    if (!doc)
        return titles;
    for (xmlNode* n = XmlGetChild(XmlChildren(XmlRoot(doc.get())), "config_data"); n;
         n = XmlGetChild(XmlNext(n), "config_data")) {
        const char* value = XmlGetAttrValue(n, "title");
        titles.push_back(value ? value : "");
    }
    return titles;
}
