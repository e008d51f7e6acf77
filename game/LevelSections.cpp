#include "game/LevelSections.h"

#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "game/LevelFile.h"
#include "modes/ModeServices.h"

#include <libxml/tree.h>

#include <array>
#include <cstring>

namespace {

constexpr std::array<const char*, kLevelActionCount> kActionNames{"Clob",  "Mold", "Nova",   "Drill", "Gulp", "Doppel",
                                                                  "Puff",  "Spin", "Atomize", "Lop",  "Walk"};

bool NamedNoCase(const xmlNode* node, const char* name)
{
    return node->type == XML_ELEMENT_NODE && node->name &&
           EqualsNoCase(reinterpret_cast<const char*>(node->name), name);
}

bool NamedExactly(const xmlNode* node, const char* name)
{
    return node->type == XML_ELEMENT_NODE && node->name &&
           std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

// Depth-first over `node`, its descendants and its following siblings (never upwards).
// Iterative, so that a deeply nested hostile file cannot exhaust the stack.
xmlNode* SearchFrom(xmlNode* node, const char* name)
{
    if (!node)
        return nullptr;
    const xmlNode* top = node->parent;
    xmlNode* cur = node;
    while (cur) {
        if (NamedNoCase(cur, name))
            return cur;
        if (cur->type == XML_ELEMENT_NODE && cur->children) {
            cur = cur->children;
            continue;
        }
        while (cur && !cur->next) {
            cur = cur->parent;
            if (cur == top)
                return nullptr;
        }
        if (cur)
            cur = cur->next;
    }
    return nullptr;
}

} // namespace

xmlNode* FindInsideSection(xmlNode* section, const char* name)
{
    return section ? SearchFrom(section->children, name) : nullptr;
}

std::vector<xmlNode*> LevelSectionElements(xmlNode* section, const char* name)
{
    std::vector<xmlNode*> found;
    xmlNode* first = FindInsideSection(section, name);
    if (!first)
        return found;
    found.push_back(first);
    if (EqualsNoCase(name, "flimb")) {
        for (xmlNode* cur = first; cur;) {
            xmlNode* next = cur->next;
            while (next && next->type != XML_ELEMENT_NODE)
                next = next->next;
            if (next && NamedNoCase(next, name))
                cur = next;
            else
                cur = SearchFrom(next, name);
            if (cur)
                found.push_back(cur);
        }
        return found;
    }
    for (xmlNode* next = first->next; next; next = next->next)
        if (NamedExactly(next, name))
            found.push_back(next);
    return found;
}

int32_t LevelChildInt(xmlNode* node, const char* name, int32_t fallback)
{
    xmlNode* child = node ? XmlGetChild(node->children, name) : nullptr;
    if (!child)
        return fallback;
    const std::string text = XmlNodeText(child);
    int32_t value = fallback;
    if (!ParseLeadingInt(text, value)) {
        WriteLog("WARNING: Tag [%s] holds [%.40s], out of range. Using %d\n", name, text.c_str(), fallback);
        return fallback;
    }
    return value;
}

int32_t LevelGameModeIndex(xmlNode* globals)
{
    xmlNode* element = XmlGetChild(XmlChildren(globals), "gametype");
    if (!element)
        element = XmlGetChild(XmlChildren(globals), "gamemode");
    std::string text = XmlNodeText(element);
    if (text.empty())
        text = GameModeKeyName(0);
    return GameModeIndexFromName(text);
}

const char* LevelActionName(int index)
{
    return index >= 0 && index < kLevelActionCount ? kActionNames[static_cast<size_t>(index)] : "";
}
