#pragma once
// Small helpers for the kinds' own XML children: appending a number and reading one with the
// defaults fallback of the common load (a value missing from both throws GameException).
#include "app/XmlUtil.h"

#include <libxml/tree.h>

#include <cstdint>
#include <string>

inline void AppendKindChild(xmlNode* node, const char* name, int64_t value)
{
    xmlNewTextChild(node, nullptr, reinterpret_cast<const xmlChar*>(name),
                    reinterpret_cast<const xmlChar*>(std::to_string(value).c_str()));
}
