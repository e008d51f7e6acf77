#include "traps/StandInTrap.h"

#include "app/StringUtil.h"
#include "world/TrapKinds.h"

#include <libxml/tree.h>

#include <algorithm>
#include <cstring>

namespace {

const xmlChar* X(const char* text)
{
    return reinterpret_cast<const xmlChar*>(text);
}

// Children the level reader and the placed trap read, not the trap.
bool IsReaderChild(const char* name)
{
    return std::strcmp(name, "type") == 0 || std::strcmp(name, "objectID") == 0 ||
           std::strcmp(name, "map_order") == 0;
}

int32_t LeadingInt(const char* text, int32_t fallback)
{
    int32_t value = fallback;
    if (!text || !ParseLeadingInt(text, value))
        return fallback;
    return value;
}

} // namespace

StandInTrap::StandInTrap(int32_t kind) : Trap(kind), kept_(XmlNewDocument("kept"))
{
    if (kind == kTrapStart || kind == kTrapExit)
        group_ = 0;
}

const char* StandInTrap::GroupKey() const
{
    if (kind == kTrapStart || kind == kTrapExit)
        return "groupID";
    return nullptr;
}

void StandInTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    kept_ = XmlNewDocument("kept");
    xmlNode* root = XmlRoot(kept_.get());
    if (!node)
        return;
    bool readerSeen[3] = {false, false, false};
    for (xmlNode* child = node->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE || !child->name)
            continue;
        const char* name = reinterpret_cast<const char*>(child->name);
        // The first "type", "objectID" and "map_order" belong to the reader.
        if (IsReaderChild(name)) {
            const int slot = std::strcmp(name, "type") == 0 ? 0 : std::strcmp(name, "objectID") == 0 ? 1 : 2;
            if (!readerSeen[slot]) {
                readerSeen[slot] = true;
                continue;
            }
        }
        if (std::find(consumed_.begin(), consumed_.end(), child) != consumed_.end())
            continue;
        xmlAddChild(root, xmlDocCopyNode(child, kept_.get(), 1));
    }
    ReadGroup();
}

void StandInTrap::ReadGroup()
{
    if (const char* key = GroupKey()) {
        const int32_t value = LeadingInt(KeptText(key), group_);
        group_ = static_cast<uint8_t>(value >= 0 && value <= 255 ? value : group_);
    }
}

void StandInTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    if (!node)
        return;
    for (const xmlNode* child = XmlChildren(XmlRoot(kept_.get())); child; child = child->next)
        xmlAddChild(node, xmlDocCopyNode(const_cast<xmlNode*>(child), node->doc, 1));
}

const char* StandInTrap::KeptText(const char* name) const
{
    xmlNode* child = XmlGetChild(XmlChildren(XmlRoot(kept_.get())), name);
    if (!child)
        return nullptr;
    for (const xmlNode* text = child->children; text; text = text->next)
        if ((text->type == XML_TEXT_NODE || text->type == XML_CDATA_SECTION_NODE) && text->content)
            return reinterpret_cast<const char*>(text->content);
    return "";
}

std::vector<std::string> StandInTrap::KeptNames() const
{
    std::vector<std::string> names;
    for (const xmlNode* child = XmlChildren(XmlRoot(kept_.get())); child; child = child->next)
        names.push_back(XmlName(child));
    return names;
}

void StandInTrap::SetKeptText(const char* name, const std::string& text)
{
    xmlNode* root = XmlRoot(kept_.get());
    if (xmlNode* child = XmlGetChild(XmlChildren(root), name)) {
        xmlNodeSetContent(child, nullptr);
        xmlNodeAddContent(child, X(text.c_str()));
        return;
    }
    xmlNewTextChild(root, nullptr, X(name), X(text.c_str()));
}

void StandInTrap::SetGroup(uint8_t group)
{
    group_ = group;
    if (const char* key = GroupKey())
        SetKeptText(key, std::to_string(group));
}

void StandInTrap::SetFlimbsLeft(int32_t count)
{
    if (kind == kTrapStart)
        SetKeptText("flimbCount", std::to_string(count));
}

void StandInTrap::SetFlimbsWanted(int32_t count)
{
    if (kind == kTrapExit)
        SetKeptText("min_flimbs", std::to_string(count));
}

int32_t StandInTrap::FlimbsLeft() const
{
    return kind == kTrapStart ? std::max(LeadingInt(KeptText("flimbCount"), 0), 0) : 0;
}

int32_t StandInTrap::FlimbsWanted() const
{
    return kind == kTrapExit ? std::max(LeadingInt(KeptText("min_flimbs"), 0), 0) : 0;
}

bool StandInTrap::IsOpen() const
{
    if (!enabled)
        return false;
    if (kind == kTrapExit)
        return LeadingInt(KeptText("default_on"), 1) != 0;
    return true;
}

int32_t StandInTrap::FlimbEnergySetting() const
{
    if (kind != kTrapStart)
        return 0;
    const int32_t energy = LeadingInt(KeptText("spawn_energy"), 13023);
    return std::clamp(energy, 0, 13023);
}

void StandInTrap::CopyKindFields(const Trap& source)
{
    const auto* other = dynamic_cast<const StandInTrap*>(&source);
    if (!other)
        return;
    kept_.reset(xmlCopyDoc(other->kept_.get(), 1));
    group_ = other->group_;
    secondUniverseStart_ = other->secondUniverseStart_;
}
