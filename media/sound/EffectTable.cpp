#include "media/sound/EffectTable.h"

#include "app/Log.h"
#include "app/StringUtil.h"

#include <libxml/parser.h>
#include <libxml/tree.h>

namespace sound {

namespace {

std::string Attribute(const xmlNode* node, const char* name)
{
    xmlChar* value = xmlGetProp(node, BAD_CAST name);
    std::string text = value ? reinterpret_cast<const char*>(value) : "";
    xmlFree(value);
    return text;
}

} // namespace

bool ParseEffectTable(const std::vector<uint8_t>& xml, std::map<int, std::string>& table)
{
    table.clear();
    xmlDocPtr doc = xmlReadMemory(reinterpret_cast<const char*>(xml.data()), static_cast<int>(xml.size()), nullptr,
                                  nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!doc)
        return false;
    const xmlNode* root = xmlDocGetRootElement(doc);
    const bool ok = root && xmlStrcmp(root->name, BAD_CAST "sound-effects") == 0;
    for (const xmlNode* n = ok ? root->children : nullptr; n; n = n->next) {
        if (n->type != XML_ELEMENT_NODE || xmlStrcmp(n->name, BAD_CAST "effect") != 0)
            continue;
        int32_t id = -1;
        const std::string file = Attribute(n, "file");
        if (!ParseInt(Attribute(n, "id"), id) || id < 0 || file.empty()) {
            WriteLog("Sound effect table: row %ld skipped\n", xmlGetLineNo(n));
            continue;
        }
        table[id] = file;
    }
    xmlFreeDoc(doc);
    return ok;
}

} // namespace sound
