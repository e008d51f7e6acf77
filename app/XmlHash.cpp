#include "app/Md5.h"
#include "app/Random.h"
#include "app/XmlUtil.h"

#include <libxml/tree.h>

#include <atomic>
#include <cstring>

namespace {

std::atomic<int> g_hashChecks{0};

void Feed(Md5Context& md5, const xmlChar* text)
{
    if (text && *text)
        md5.Update(text, std::strlen(reinterpret_cast<const char*>(text)));
}

void FeedElement(Md5Context& md5, const xmlNode* node)
{
    if (node->type != XML_ELEMENT_NODE || !node->name || std::strcmp(reinterpret_cast<const char*>(node->name), "debug") == 0)
        return;
    Feed(md5, node->name);
    if (node->children)
        Feed(md5, node->children->content);
    for (const xmlAttr* attr = node->properties; attr; attr = attr->next) {
        if (!attr->name || std::strcmp(reinterpret_cast<const char*>(attr->name), "hash") == 0)
            continue;
        Feed(md5, attr->name);
        if (attr->children)
            Feed(md5, attr->children->content);
    }
}

struct HashCheckFlag {
    HashCheckFlag() { ++g_hashChecks; }
    ~HashCheckFlag() { --g_hashChecks; }
};

} // namespace

std::string XmlComputeHash(xmlNode* root)
{
    // The digest buffer is first filled from the simulation generator, as the stored
    // hashes were made; the draws are part of the game state.
    Md5Digest buffer{};
    for (uint8_t& byte : buffer)
        byte = static_cast<uint8_t>(SimRand() % 100 + 32);

    Md5Context md5;
    const xmlNode* cur = root;
    while (cur) {
        FeedElement(md5, cur);
        if (cur->type == XML_ELEMENT_NODE && cur->children) {
            cur = cur->children;
            continue;
        }
        while (cur != root && !cur->next)
            cur = cur->parent;
        if (cur == root)
            break;
        cur = cur->next;
    }
    buffer = md5.Final();
    return Md5Format(buffer, "%s%0X");
}

void XmlSetHash(xmlNode* node)
{
    if (node)
        XmlSetAttrText(node, "hash", XmlComputeHash(node));
}

bool XmlVerifyHash(xmlNode* node)
{
    HashCheckFlag raised;
    const char* stored = XmlGetAttrValue(node, "hash");
    if (!stored)
        return false;
    return XmlComputeHash(node) == stored;
}

bool IsHashCheckInProgress()
{
    return g_hashChecks.load() > 0;
}
