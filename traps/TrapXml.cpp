// The common children of a trap element: their save and their load.
#include "traps/Trap.h"

#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "world/TrapKinds.h"

#include <libxml/tree.h>

#include <cstring>

namespace {

const xmlChar* X(const char* text)
{
    return reinterpret_cast<const xmlChar*>(text);
}

// Appends a child with the text, whatever children of that name exist already.
void Append(xmlNode* parent, const char* name, const std::string& text)
{
    xmlNewTextChild(parent, nullptr, X(name), X(text.c_str()));
}

void AppendInt(xmlNode* parent, const char* name, int64_t value)
{
    Append(parent, name, std::to_string(value));
}

void AppendFloat(xmlNode* parent, const char* name, float value)
{
    Append(parent, name, StringPrintf("%.4f", static_cast<double>(value)));
}

bool IsElementNamed(const xmlNode* node, const char* name, bool ignoreCase)
{
    if (!node || node->type != XML_ELEMENT_NODE || !node->name)
        return false;
    const char* own = reinterpret_cast<const char*>(node->name);
    return ignoreCase ? EqualsNoCase(own, name) : std::strcmp(own, name) == 0;
}

// The node after `node` and its subtree in document order, staying inside `root`.
xmlNode* AfterSubtree(xmlNode* node, const xmlNode* root)
{
    while (node && node != root) {
        if (node->next)
            return node->next;
        node = node->parent;
    }
    return nullptr;
}

// The next node after `node` in document order (its children first), staying inside `root`.
xmlNode* NextInside(xmlNode* node, const xmlNode* root)
{
    if (node->type == XML_ELEMENT_NODE && node->children)
        return node->children;
    return AfterSubtree(node, root);
}

} // namespace

void Trap::Save(xmlNode* node) const
{
    if (!node)
        return;
    const TrapKindTraits& traits = KindTraits(kind);
    Append(node, "type", TrapTypeName(kind));
    AppendFloat(node, "x", x);
    AppendFloat(node, "y", y);
    if (traits.layered) {
        AppendInt(node, "zorder", zorder);
        AppendInt(node, "flimborder", flimborder);
        AppendInt(node, "renderUnderShadow", renderUnderShadow);
        AppendInt(node, "alpha", alpha);
        AppendInt(node, "visible", visible);
    }
    if (traits.rotatable)
        AppendFloat(node, "trap_rotation", rotation);
    if (traits.scalable) {
        AppendFloat(node, "scale_x", scale_x);
        AppendFloat(node, "scale_y", scale_y);
    }
    if (traits.tintable)
        Append(node, "tint", StringPrintf("%u", tint));
    if (traits.pickup_capable) {
        AppendInt(node, "pickup_mode", pickup_mode);
        AppendInt(node, "floating_pickup", floating_pickup);
        AppendInt(node, "pickup_left", pickup_left);
    }
    for (const TrapLink& link : links) {
        xmlNode* event = xmlNewChild(node, nullptr, X("trap_event"), nullptr);
        Append(event, "target_id", StringPrintf("%u", link.target_id));
        Append(event, "event_id", StringPrintf("%u", link.event_id));
    }
    if (traits.can_fall)
        AppendInt(node, "allow_fall", allow_fall);
    AppendInt(node, "enabled", enabled);
    AppendInt(node, "audible", audible);
    AppendInt(node, "activated", activated);
    AppendInt(node, "alive", alive);
}

void Trap::Load(xmlNode* node, xmlNode* defaults, int32_t /*mode*/)
{
    consumed_.clear();
    if (!node)
        return;
    const TrapKindTraits& traits = KindTraits(kind);
    // Marks the element child that a read took its value from.
    auto note = [&](const char* name, const char* secondName = nullptr) {
        xmlNode* found = XmlGetChild(node->children, name);
        if (!found && secondName)
            found = XmlGetChild(node->children, secondName);
        if (found)
            consumed_.push_back(found);
    };
    auto readInt = [&](const char* name, int32_t fallback) {
        const int32_t value = XmlGetTagInt(node, name, defaults, fallback);
        note(name);
        return value;
    };
    auto readBool = [&](const char* name) {
        const bool value = XmlGetTagBool(node, name, defaults);
        note(name);
        return static_cast<uint8_t>(value ? 1 : 0);
    };

    x = static_cast<float>(readInt("x", 0));
    y = static_cast<float>(readInt("y", 0));
    if (traits.layered) {
        zorder = readInt("zorder", zorder) != 0 ? 1 : 0;
        flimborder = readInt("flimborder", flimborder) != 0 ? 1 : 0;
        renderUnderShadow = readBool("renderUnderShadow");
        alpha = static_cast<uint8_t>(readInt("alpha", alpha));
        visible = readBool("visible");
    }
    if (traits.rotatable)
        rotation = static_cast<float>(readInt("trap_rotation", 0));
    if (traits.scalable) {
        scale_x = XmlGetTagFloat(node, "scale_x", defaults, scale_x, "scale");
        note("scale_x", "scale");
        scale_y = XmlGetTagFloat(node, "scale_y", defaults, scale_y, "scale");
        note("scale_y", "scale");
    }
    if (traits.tintable) {
        tint = XmlGetTagUInt(node, "tint", defaults);
        note("tint");
    }
    if (traits.pickup_capable) {
        const uint8_t mode = readBool("pickup_mode");
        const uint8_t floating = readBool("floating_pickup");
        if (mode != pickup_mode || floating != floating_pickup) {
            ReleaseGraphics();
            pickup_mode = mode;
            floating_pickup = floating;
            LoadGraphics();
        }
        pickup_left = readInt("pickup_left", pickup_left);
    }
    if (traits.can_fall)
        allow_fall = readBool("allow_fall");
    enabled = readBool("enabled");
    if (traits.audible_option)
        audible = readBool("audible");
    else
        note("audible"); // written by every save, read by none of these kinds
    activated = readBool("activated");
    alive = readBool("alive");

    ClearLinks();
    xmlNode* defaultEvent = defaults ? XmlGetChild(defaults->children, "trap_event") : nullptr;
    xmlNode* event = XmlGetChild(node->children, "trap_event");
    while (event) {
        TrapLink link;
        link.target_id = static_cast<uint32_t>(XmlGetTagInt(event, "target_id", defaultEvent, 0));
        link.event_id = static_cast<uint32_t>(XmlGetTagInt(event, "event_id", defaultEvent, 0));
        links.push_back(link);
        consumed_.push_back(event);
        // The further "trap_event" elements inside the trap's element, in document order;
        // an event's own children are not searched.
        xmlNode* next = AfterSubtree(event, node);
        while (next && !IsElementNamed(next, "trap_event", true))
            next = NextInside(next, node);
        event = next;
    }
}
