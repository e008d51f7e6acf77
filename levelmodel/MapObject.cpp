#include "levelmodel/MapObject.h"

#include "app/GameException.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "world/WorldClock.h"

#include <libxml/tree.h>

#include <algorithm>
#include <cmath>

std::atomic<uint32_t> MapObject::nextId{0};
MapObject* MapObject::panelObject = nullptr;

MapObject::MapObject() : creationTime(CurrentGameTime())
{
    do
        id = nextId++;
    while (id == 0x7FFFFFFFu || id == 0xFFFFFFFFu);
}

MapObject::~MapObject()
{
    if (panelObject == this)
        panelObject = nullptr;
}

int NearestInt(float v)
{
    if (!(v > -2.0e9f && v < 2.0e9f))
        return std::isnan(v) ? 0 : (v < 0 ? -2000000000 : 2000000000);
    return static_cast<int>(std::lrint(v)); // halves to even, as the processor rounds
}

void MapObject::SetPositionF(float x, float y)
{
    SetPosition(NearestInt(x), NearestInt(y));
}

void MapObject::GetPositionF(float& x, float& y) const
{
    int ix = 0, iy = 0;
    GetPosition(ix, iy);
    x = static_cast<float>(ix);
    y = static_cast<float>(iy);
}

void MapObject::WriteProps(xmlNode* element) const
{
    if (element)
        xmlNewTextChild(element, nullptr, reinterpret_cast<const xmlChar*>("objectID"),
                        reinterpret_cast<const xmlChar*>(StringPrintf("%u", id).c_str()));
}

void MapObject::ReadProps(xmlNode* element, xmlNode* /*defaults*/)
{
    xmlNode* child = element ? XmlGetChild(element->children, "objectID") : nullptr;
    const uint32_t value = child ? ParseLeadingUInt(XmlNodeText(child)) : 0;
    if (value != 0 && value != 0x7FFFFFFFu && value != 0xFFFFFFFFu)
        id = value;
}

std::string MapObject::CaptureState() const
{
    XmlDocument doc = XmlNewDocument("object-state");
    xmlNode* root = XmlRoot(doc.get());
    WriteProps(root);
    xmlBufferPtr buffer = xmlBufferCreate();
    xmlNodeDump(buffer, doc.get(), root, 0, 1);
    std::string text(reinterpret_cast<const char*>(xmlBufferContent(buffer)),
                     static_cast<size_t>(xmlBufferLength(buffer)));
    xmlBufferFree(buffer);
    return text;
}

void MapObject::LoadState(const std::string& xml)
{
    XmlDocument doc = XmlParseBuffer(xml.data(), xml.size(), "object-state");
    xmlNode* root = XmlRoot(doc.get());
    if (!root) {
        WriteLog("WARNING: the state text of object %u does not parse; the object stays as it was\n", id);
        return;
    }
    savedState = xml;
    BeforeStateRead();
    try {
        ReadProps(root, nullptr);
    } catch (const GameException& error) {
        WriteLog("WARNING: the state text of object %u lacks a value: %s\n", id, error.what());
    }
}

void MapObject::CopyFrom(const MapObject& other)
{
    loadedId = other.loadedId;
    id = other.id;
    savedState = other.savedState;
    linkedTrapIds = other.linkedTrapIds;
}

bool IdListContains(const std::vector<uint32_t>& ids, uint32_t id)
{
    return std::find(ids.begin(), ids.end(), id) != ids.end();
}

std::vector<uint32_t> IdListWithout(const std::vector<uint32_t>& ids, uint32_t id)
{
    std::vector<uint32_t> result;
    for (uint32_t each : ids)
        if (each != id)
            result.push_back(each);
    return result;
}

int NormaliseRotation(int degrees)
{
    int r = degrees % 360;
    if (r < 0)
        r += 360;
    return r;
}
