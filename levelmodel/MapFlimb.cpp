#include "levelmodel/MapFlimb.h"

#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"

#include <libxml/tree.h>

#include <cmath>

namespace {

constexpr uint8_t kStyleLight = 0x80;
constexpr uint8_t kStyleDark = 0x40;
constexpr uint8_t kStyleCaptureable = 0x04;

void Append(xmlNode* element, const char* name, const std::string& text)
{
    xmlNewTextChild(element, nullptr, reinterpret_cast<const xmlChar*>(name),
                    reinterpret_cast<const xmlChar*>(text.c_str()));
}

// An integer tag narrowed to 16 bits: beyond them the value stays as it was, with a log line.
int16_t ReadShort(xmlNode* element, const char* name, xmlNode* defaults, const char* secondName, int16_t current)
{
    const int32_t value = XmlGetTagInt(element, name, defaults, current, secondName);
    if (value < INT16_MIN || value > INT16_MAX) {
        WriteLog("WARNING: Tag [%s] value %d is out of range. Using %d\n", name, value, current);
        return current;
    }
    return static_cast<int16_t>(value);
}

} // namespace

MapFlimb::MapFlimb(std::unique_ptr<Flimb> flimb) : flimb_(std::move(flimb))
{
    if (!flimb_) {
        flimb_ = std::make_unique<Flimb>();
        flimb_->Init();
    }
}

MapFlimb::~MapFlimb()
{
    if (flimb_)
        DestroyFlimbTag(*flimb_);
}

void MapFlimb::BeforeStateRead()
{
    if (flimb_)
        flimb_->attributes &= static_cast<uint8_t>(~(kStyleLight | kStyleDark | kStyleCaptureable));
}

std::unique_ptr<Flimb> MapFlimb::ReleaseFlimb()
{
    return std::move(flimb_);
}

void MapFlimb::SetPosition(int x, int y)
{
    if (!flimb_)
        return;
    flimb_->x = static_cast<int16_t>(static_cast<uint16_t>(x));
    flimb_->y = static_cast<int16_t>(static_cast<uint16_t>(y));
}

void MapFlimb::GetPosition(int& x, int& y) const
{
    x = flimb_ ? flimb_->x : 0;
    y = flimb_ ? flimb_->y : 0;
}

std::string MapFlimb::GetLabel() const
{
    return std::string("Flimb: ") + (flimb_ ? FlimbTypeName(flimb_->type) : "");
}

gfx::RECT MapFlimb::GetBounds() const
{
    return flimb_ ? flimb_->GetCurrentSprite() : gfx::RECT{};
}

void MapFlimb::GetScale(float& sx, float& sy) const
{
    sx = sy = flimb_ ? flimb_->scale : 1.0f;
}

void MapFlimb::SetScale(float sx, float /*sy*/)
{
    if (!flimb_)
        return;
    if (sx < 0.0f)
        flimb_->walkSpeed = static_cast<int8_t>(-flimb_->walkSpeed);
    const float a = std::fabs(sx);
    flimb_->scale = a < 0.75f ? 0.5f : a < 1.5f ? 1.0f : a < 2.5f ? 2.0f : 3.0f;
}

std::unique_ptr<MapObject> MapFlimb::Duplicate(bool keepId) const
{
    auto record = std::make_unique<Flimb>(*flimb_);
    record->tag = nullptr; // the name tag belongs to the source
    auto copy = std::make_unique<MapFlimb>(std::move(record));
    copy->loadedId = loadedId;
    copy->linkedTrapIds = linkedTrapIds;
    if (keepId)
        copy->id = id;
    return copy;
}

void MapFlimb::WriteProps(xmlNode* element) const
{
    MapObject::WriteProps(element);
    if (!element || !flimb_)
        return;
    const Flimb& f = *flimb_;
    Append(element, "posX", std::to_string(f.x));
    Append(element, "posY", std::to_string(f.y));
    Append(element, "scaleFactor", StringPrintf("%.4f", static_cast<double>(f.scale)));
    Append(element, "group", std::to_string(f.group));
    Append(element, "type", FlimbTypeName(f.type));
    Append(element, "step", std::to_string(f.walkSpeed));
    Append(element, "gravity", std::to_string(f.gravity));
    Append(element, "lightflimb", (f.attributes & kStyleLight) ? "1" : "0");
    Append(element, "darkflimb", (f.attributes & kStyleDark) ? "1" : "0");
    Append(element, "captureable", (f.attributes & kStyleCaptureable) ? "1" : "0");
    Append(element, "energy", StringPrintf("%u", static_cast<uint32_t>(f.energy)));
    Append(element, "ai", std::to_string(f.autoBehaviour));
}

void MapFlimb::ReadProps(xmlNode* element, xmlNode* defaults)
{
    MapObject::ReadProps(element, defaults);
    Flimb& f = *flimb_;
    f.x = ReadShort(element, "posX", defaults, "posx", f.x);
    f.y = ReadShort(element, "posY", defaults, "posy", f.y);
    f.prevX = f.x;
    f.prevY = f.y;
    f.scale = XmlGetTagFloat(element, "scaleFactor", defaults, f.scale, "scale");
    readGroup = XmlGetTagInt(element, "group", defaults, f.group);
    if (readGroup >= 0 && readGroup <= 255)
        f.group = static_cast<uint8_t>(readGroup);
    // The type as the record's own type change takes it (its counters and frame), quietly:
    // nothing sounds while a level is read.
    f.type = Flimb::TypeFromName(XmlGetTagText(element, "type", defaults, "flimb_type"));
    f.SetType(f.type, true);
    const int32_t step = XmlGetTagInt(element, "step", defaults, f.walkSpeed);
    if (step >= INT8_MIN && step <= INT8_MAX)
        f.walkSpeed = static_cast<int8_t>(step);
    else
        WriteLog("WARNING: Tag [step] value %d is out of range. Using %d\n", step, f.walkSpeed);
    readGravity = XmlGetTagUInt(element, "gravity", defaults);
    if (readGravity <= 255)
        f.gravity = static_cast<uint8_t>(readGravity);
    if (XmlGetTagBool(element, "lightflimb", defaults))
        f.attributes |= kStyleLight;
    if (XmlGetTagBool(element, "darkflimb", defaults))
        f.attributes |= kStyleDark;
    if (XmlGetTagBool(element, "captureable", defaults))
        f.attributes |= kStyleCaptureable;
    f.autoBehaviour = static_cast<uint8_t>(XmlGetTagInt(element, "ai", defaults, f.autoBehaviour));
    if (defaults && XmlGetTagBool(element, "auto_explode", defaults))
        f.autoBehaviour |= 1;
    const uint32_t energy = static_cast<uint32_t>(XmlGetTagInt(element, "energy", defaults, f.energy));
    f.energy = static_cast<int32_t>(energy > 13023u ? 13023u : energy);
    if (f.type < kFlimbTypeCount)
        f.SetGroupAnimation(0, 0);
}
