#include "app/XmlUtil.h"

#include "app/GameException.h"
#include "app/Log.h"
#include "app/StringUtil.h"

#include <libxml/tree.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const char* Name(const xmlNode* node)
{
    return reinterpret_cast<const char*>(node->name);
}

const xmlChar* X(const char* text)
{
    return reinterpret_cast<const xmlChar*>(text);
}

bool IsElementNamedNoCase(const xmlNode* node, const char* name)
{
    return node->type == XML_ELEMENT_NODE && node->name && EqualsNoCase(Name(node), name);
}

// Depth-first over the node, its children and its following siblings.
template <typename Match>
xmlNode* Search(xmlNode* node, const Match& match)
{
    for (xmlNode* n = node; n; n = n->next) {
        if (match(n))
            return n;
        if (n->type == XML_ELEMENT_NODE)
            if (xmlNode* found = Search(n->children, match))
                return found;
    }
    return nullptr;
}

std::string FormatFloat(float value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.4f", static_cast<double>(value));
    return text;
}

xmlNode* FindTag(xmlNode* node, const char* name, const char* secondName)
{
    if (!node)
        return nullptr;
    if (xmlNode* found = XmlGetChild(node->children, name))
        return found;
    return secondName ? XmlGetChild(node->children, secondName) : nullptr;
}

} // namespace

void XmlDocDeleter::operator()(xmlDoc* doc) const
{
    xmlFreeDoc(doc);
}

xmlNode* XmlRoot(xmlDoc* doc)
{
    return doc ? xmlDocGetRootElement(doc) : nullptr;
}

xmlNode* XmlChildren(const xmlNode* node)
{
    return node ? node->children : nullptr;
}

xmlNode* XmlNext(const xmlNode* node)
{
    return node ? node->next : nullptr;
}

std::string XmlName(const xmlNode* node)
{
    return node && node->type == XML_ELEMENT_NODE && node->name ? Name(node) : "";
}

std::string XmlNodeText(const xmlNode* node)
{
    if (!node)
        return {};
    for (const xmlNode* child = node->children; child; child = child->next)
        if (child->type == XML_TEXT_NODE || child->type == XML_CDATA_SECTION_NODE)
            return child->content ? reinterpret_cast<const char*>(child->content) : "";
    return {};
}

xmlNode* XmlGetChild(xmlNode* first, const char* name, int n)
{
    if (!name)
        return nullptr;
    for (xmlNode* node = first; node; node = node->next)
        if (node->type == XML_ELEMENT_NODE && node->name && std::strcmp(Name(node), name) == 0 && --n <= 0)
            return node;
    return nullptr;
}

xmlAttr* XmlGetAttr(const xmlNode* node, const char* name)
{
    if (!node || !name || node->type != XML_ELEMENT_NODE)
        return nullptr;
    for (xmlAttr* attr = node->properties; attr; attr = attr->next)
        if (attr->name && std::strcmp(reinterpret_cast<const char*>(attr->name), name) == 0)
            return attr;
    return nullptr;
}

const char* XmlGetAttrValue(const xmlNode* node, const char* name)
{
    const xmlAttr* attr = XmlGetAttr(node, name);
    if (!attr)
        return nullptr;
    if (!attr->children || !attr->children->content)
        return "";
    return reinterpret_cast<const char*>(attr->children->content);
}

xmlNode* XmlFindNode(xmlNode* node, const char* name)
{
    if (!name)
        return nullptr;
    return Search(node, [&](const xmlNode* n) { return IsElementNamedNoCase(n, name); });
}

xmlNode* XmlFindNodeWithAttr(xmlNode* node, const char* name, const char* text)
{
    if (!name || !text)
        return nullptr;
    return Search(node, [&](const xmlNode* n) {
        return IsElementNamedNoCase(n, name) && n->children && n->children->content &&
               EqualsNoCase(reinterpret_cast<const char*>(n->children->content), text);
    });
}

xmlNode* XmlFindNodeWithAttrValue(xmlNode* node, const char* name, const char* attribute, const char* value)
{
    if (!name || !attribute || !value)
        return nullptr;
    return Search(node, [&](const xmlNode* n) {
        if (!IsElementNamedNoCase(n, name))
            return false;
        const char* actual = XmlGetAttrValue(n, attribute);
        return EqualsNoCase(actual ? actual : "", value);
    });
}

xmlNode* XmlFindNodeHavingAttr(xmlNode* node, const char* attribute)
{
    if (!attribute)
        return nullptr;
    return Search(node, [&](const xmlNode* n) { return XmlGetAttr(n, attribute) != nullptr; });
}

xmlNode* XmlFindComment(xmlNode* node)
{
    return Search(node, [](const xmlNode* n) { return n->type == XML_COMMENT_NODE; });
}

xmlNode* XmlFindNodeFrom(xmlNode* node, const char* name, const xmlNode* skip)
{
    if (!name)
        return nullptr;
    xmlNode* cur = node;
    while (cur) {
        if (cur != skip && IsElementNamedNoCase(cur, name))
            return cur;
        if (cur->type == XML_ELEMENT_NODE && cur->children) {
            cur = cur->children;
            continue;
        }
        while (cur && !cur->next)
            cur = cur->parent && cur->parent->type == XML_ELEMENT_NODE ? cur->parent : nullptr;
        if (cur)
            cur = cur->next;
    }
    return nullptr;
}

std::string XmlGetTagText(xmlNode* node, const char* name, xmlNode* defaults, const char* secondName)
{
    xmlNode* found = FindTag(node, name, secondName);
    if (!found) {
        found = FindTag(defaults, name, secondName);
        if (found && XmlGetAttr(found, "required"))
            WriteLog("WARNING: Tag [%s] is required but not found. Using defaults\n", name);
    }
    if (!found)
        throw GameException(StringPrintf("The requested tag [%s] was not found in level and in defaults\n",
                                         name ? name : ""));
    return XmlNodeText(found);
}

std::string XmlGetTagString(xmlNode* node, const char* name, xmlNode* defaults, const char* secondName)
{
    return XmlGetTagText(node, name, defaults, secondName);
}

bool XmlGetTagBool(xmlNode* node, const char* name, xmlNode* defaults, const char* secondName)
{
    return IsTrueText(XmlGetTagText(node, name, defaults, secondName));
}

uint32_t XmlGetTagUInt(xmlNode* node, const char* name, xmlNode* defaults, const char* secondName)
{
    return ParseLeadingUInt(XmlGetTagText(node, name, defaults, secondName));
}

int32_t XmlGetTagInt(xmlNode* node, const char* name, xmlNode* defaults, int32_t fallback, const char* secondName)
{
    const std::string text = XmlGetTagText(node, name, defaults, secondName);
    int32_t value = fallback;
    if (!ParseLeadingInt(text, value)) {
        WriteLog("WARNING: Tag [%s] holds [%.40s], out of range. Using %d\n", name, text.c_str(), fallback);
        return fallback;
    }
    return value;
}

float XmlGetTagFloat(xmlNode* node, const char* name, xmlNode* defaults, float fallback, const char* secondName)
{
    const std::string text = XmlGetTagText(node, name, defaults, secondName);
    float value = fallback;
    if (!ParseLeadingFloat(text, value)) {
        WriteLog("WARNING: Tag [%s] holds [%.40s], not a usable number. Using %.4f\n", name, text.c_str(),
                 static_cast<double>(fallback));
        return fallback;
    }
    return value;
}

int XmlGetChildInt(xmlNode* node, const char* name, int defaultValue)
{
    xmlNode* child = node ? XmlGetChild(node->children, name) : nullptr;
    return child ? std::atoi(XmlNodeText(child).c_str()) : defaultValue;
}

float XmlGetChildFloat(xmlNode* node, const char* name, float defaultValue)
{
    xmlNode* child = node ? XmlGetChild(node->children, name) : nullptr;
    return child ? static_cast<float>(std::strtod(XmlNodeText(child).c_str(), nullptr)) : defaultValue;
}

bool XmlGetChildBool(xmlNode* node, const char* name)
{
    xmlNode* child = node ? XmlGetChild(node->children, name) : nullptr;
    return child && IsTrueText(XmlNodeText(child));
}

bool XmlGetAttrBool(const xmlNode* node, const char* name)
{
    const char* value = XmlGetAttrValue(node, name);
    return value && IsTrueText(value);
}

bool XmlGetAttrWithDefault(const xmlNode* node, const xmlNode* defaults, const char* name)
{
    const char* value = XmlGetAttrValue(node, name);
    if (!value)
        value = XmlGetAttrValue(defaults, name);
    if (!value)
        throw GameException("Attribute not found in original or in defaults");
    return IsTrueText(value);
}

xmlNode* XmlAddChildFloat(xmlNode* parent, const char* name, float value)
{
    if (!parent || !name)
        return nullptr;
    return xmlNewTextChild(parent, nullptr, X(name), X(FormatFloat(value).c_str()));
}

xmlNode* XmlAddChildText(xmlNode* parent, const char* name, const std::string& text)
{
    if (!parent || !name)
        return nullptr;
    if (xmlNode* child = XmlGetChild(parent->children, name)) {
        xmlNodeSetContent(child, nullptr);
        xmlNodeAddContent(child, X(text.c_str()));
        return child;
    }
    return xmlNewTextChild(parent, nullptr, X(name), X(text.c_str()));
}

xmlNode* XmlAddChildInt(xmlNode* parent, const char* name, int value)
{
    return XmlAddChildText(parent, name, std::to_string(value));
}

xmlNode* XmlSetChildFloat(xmlNode* parent, const char* name, float value)
{
    return XmlAddChildText(parent, name, FormatFloat(value));
}

void XmlSetAttrInt(xmlNode* node, const char* name, int value)
{
    char text[256];
    std::snprintf(text, sizeof text, "%d", value);
    XmlSetAttrText(node, name, text);
}

void XmlSetAttrText(xmlNode* node, const char* name, const std::string& value)
{
    if (!node || !name)
        return;
    // Replace the value of the attribute lookups find, whatever its namespace.
    if (xmlAttr* attr = XmlGetAttr(node, name)) {
        xmlFreeNodeList(attr->children);
        xmlNode* text = xmlNewDocText(node->doc, X(value.c_str()));
        attr->children = attr->last = text;
        if (text)
            text->parent = reinterpret_cast<xmlNode*>(attr);
        return;
    }
    xmlSetProp(node, X(name), X(value.c_str()));
}

xmlNode* XmlNewChild(xmlNode* parent, const char* name)
{
    return parent && name ? xmlNewChild(parent, nullptr, X(name), nullptr) : nullptr;
}

void XmlRemoveNode(xmlNode* node)
{
    if (!node)
        return;
    xmlUnlinkNode(node);
    xmlFreeNode(node);
}

XmlDocument XmlNewDocument(const char* rootName)
{
    XmlDocument doc(xmlNewDoc(X("1.0")));
    xmlDocSetRootElement(doc.get(), xmlNewNode(nullptr, X(rootName)));
    return doc;
}
