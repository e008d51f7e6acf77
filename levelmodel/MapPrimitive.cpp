#include "levelmodel/MapPrimitive.h"

#include "app/FileManager.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "game/GameServices.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "media/ImageCache.h"
#include "world/Landscape.h"
#include "world/PrimitiveCache.h"

#include <libxml/tree.h>

#include <cmath>

namespace {

void Append(xmlNode* element, const char* name, const std::string& text)
{
    xmlNewTextChild(element, nullptr, reinterpret_cast<const xmlChar*>(name),
                    reinterpret_cast<const xmlChar*>(text.c_str()));
}

std::string Float4(float value)
{
    return StringPrintf("%.4f", static_cast<double>(value));
}

// An image name a level may carry; others are logged and shown without an image.
bool IsUsableImageName(const std::string& name)
{
    if (IsPrimitiveNameAllowed(name))
        return true;
    WriteLog("WARNING: primitive image [%.200s] lies outside the game's graphics; shown without it\n", name.c_str());
    return false;
}

// The cut-off of a primitive read without "high_quality".
int32_t ImpliedAlphaThreshold(uint32_t bashType)
{
    return bashType != 0 ? 128 : 0;
}

std::string SingleBackslashes(std::string text)
{
    while (text.find("\\\\") != std::string::npos)
        text = ReplaceAll(std::move(text), "\\\\", "\\");
    return text;
}

} // namespace

MapPrimitive::MapPrimitive() = default;

MapPrimitive::MapPrimitive(const std::string& imageName)
{
    if (!imageName.empty()) {
        if (IsUsableImageName(imageName))
            image_ = ImageCache::GetImage(imageName);
        fileName = imageName;
    }
}

MapPrimitive::~MapPrimitive()
{
    ImageCache::ReleaseImage(image_);
}

void MapPrimitive::SetImage(const std::string& name)
{
    ImageCache::ReleaseImage(image_);
    image_ = nullptr;
    if (!name.empty())
        fileName = name;
    if (fileName.empty() || !IsUsableImageName(fileName))
        return;
    image_ = ImageCache::GetBlurredImage(fileName, 0.0f, false);
    if (image_)
        image_->SetHotspot(image_->imageWidth / 2, image_->imageHeight / 2);
}

void MapPrimitive::SetPosition(int x, int y)
{
    posX = static_cast<float>(x);
    posY = static_cast<float>(y);
}

void MapPrimitive::GetPosition(int& x, int& y) const
{
    x = NearestInt(posX);
    y = NearestInt(posY);
}

void MapPrimitive::SetPositionF(float x, float y)
{
    posX = x;
    posY = y;
}

void MapPrimitive::GetPositionF(float& x, float& y) const
{
    x = posX;
    y = posY;
}

std::string MapPrimitive::GetLabel() const
{
    const size_t slash = fileName.rfind('\\');
    if (slash == std::string::npos || slash == 0)
        return "File: " + fileName;
    return "File: " + fileName.substr(slash + 1);
}

gfx::RECT MapPrimitive::GetBounds() const
{
    gfx::RECT bounds{};
    const int w = image_ ? image_->imageWidth : 0, h = image_ ? image_->imageHeight : 0;
    int x = 0, y = 0;
    GetPosition(x, y);
    Draw2D::TransformedBounds(scaleX, scaleY, rotation, &bounds, true, w, h, x, y);
    return bounds;
}

void MapPrimitive::GetScale(float& sx, float& sy) const
{
    sx = scaleX;
    sy = scaleY;
}

void MapPrimitive::SetScale(float sx, float sy)
{
    scaleX = sx;
    scaleY = sy;
}

void MapPrimitive::GetScaledSize(int& w, int& h) const
{
    w = image_ ? static_cast<int>(static_cast<float>(image_->imageWidth) * std::fabs(scaleX)) : 0;
    h = image_ ? static_cast<int>(static_cast<float>(image_->imageHeight) * std::fabs(scaleY)) : 0;
}

std::unique_ptr<MapObject> MapPrimitive::Duplicate(bool keepId) const
{
    auto copy = std::make_unique<MapPrimitive>(image_ && image_->GetName() ? std::string(image_->GetName())
                                                                           : std::string());
    const uint32_t ownId = copy->id;
    copy->CopyFrom(*this);
    copy->posX = posX;
    copy->posY = posY;
    copy->tint = tint;
    copy->alpha = alpha;
    copy->bashType = bashType;
    copy->crc = crc;
    copy->landToBash = landToBash;
    copy->rotation = rotation;
    copy->scaleX = scaleX;
    copy->scaleY = scaleY;
    copy->mapOrder = mapOrder;
    copy->bashOnLoad = bashOnLoad;
    copy->alphaThreshold = alphaThreshold;
    copy->alphaOpaque = alphaOpaque;
    copy->shadowMode = shadowMode;
    copy->shadowVal = shadowVal;
    copy->noCache = noCache;
    copy->highQuality = highQuality;
    copy->modifyLandRef = modifyLandRef;
    copy->blendMode = blendMode;
    copy->fileName = fileName;
    if (!keepId)
        copy->id = ownId;
    return copy;
}

void MapPrimitive::LoadState(const std::string& xml)
{
    MapObject::LoadState(xml);
    SetImage(fileName);
}

void MapPrimitive::WriteProps(xmlNode* element) const
{
    MapObject::WriteProps(element);
    if (!element)
        return;
    auto* self = const_cast<MapPrimitive*>(this);
    if (self->tint == 0xFFFFFFu)
        self->tint = 0xFFFFFEu;
    const std::string file = image_ && image_->GetName() && *image_->GetName() ? image_->GetName() : fileName;
    uint32_t fileCrc = 0;
    if (fileManager && !file.empty())
        if (const int handle = fileManager->Open(file))
            fileCrc = GetFileCrcAndClose(*fileManager, handle);
    Append(element, "posX", Float4(posX));
    Append(element, "posY", Float4(posY));
    Append(element, "alpha", std::to_string(alpha));
    Append(element, "scaleX", Float4(scaleX));
    Append(element, "scaleY", Float4(scaleY));
    Append(element, "rotation", Float4(rotation));
    Append(element, "tint", StringPrintf("%u", tint));
    Append(element, "bashtype", StringPrintf("%u", bashType));
    Append(element, "landtobash", StringPrintf("%u", landToBash));
    Append(element, "filename", file);
    Append(element, "bash_on_load", bashOnLoad ? "1" : "0");
    Append(element, "alpha_opaque", alphaOpaque ? "1" : "0");
    Append(element, "crc", StringPrintf("%u", fileCrc));
    Append(element, "map_order", std::to_string(mapOrder));
    Append(element, "shadow_mode", shadowMode ? "1" : "0");
    Append(element, "no_cache", noCache ? "1" : "0");
    Append(element, "shadow_val", std::to_string(shadowVal));
    Append(element, "alpha_threshold", std::to_string(alphaThreshold));
    // A reader without "high_quality" derives the cut-off from the land type; a cut-off set
    // by hand says so, or it would be lost on the next read (and by undo).
    if (alphaThreshold != ImpliedAlphaThreshold(bashType))
        Append(element, "high_quality", "1");
}

void MapPrimitive::ReadProps(xmlNode* element, xmlNode* defaults)
{
    if (!defaults)
        defaults = LevelDefaultsElement("primitives", "prim");
    MapObject::ReadProps(element, defaults);
    posX = static_cast<float>(XmlGetTagInt(element, "posX", defaults, 0, "x"));
    posY = static_cast<float>(XmlGetTagInt(element, "posY", defaults, 0, "y"));
    alpha = XmlGetTagInt(element, "alpha", defaults, alpha);
    scaleX = XmlGetTagFloat(element, "scaleX", defaults, scaleX, "scalex");
    scaleY = XmlGetTagFloat(element, "scaleY", defaults, scaleY, "scaley");
    rotation = XmlGetTagFloat(element, "rotation", defaults, rotation);
    tint = XmlGetTagUInt(element, "tint", defaults);
    if (tint == 0xFFFFFFu || tint == 0x7F7F7Fu)
        tint = 0x808080u;
    bashType = XmlGetTagUInt(element, "bashtype", defaults, "type");
    landToBash = XmlGetTagUInt(element, "landtobash", defaults, "bashto");
    fileName = SingleBackslashes(XmlGetTagText(element, "filename", defaults, "file"));
    bashOnLoad = XmlGetTagBool(element, "bash_on_load", defaults) ? 1 : 0;
    highQuality = XmlGetTagBool(element, "high_quality", defaults) ? 1 : 0;
    alphaOpaque = XmlGetTagBool(element, "alpha_opaque", defaults) ? 1 : 0;
    crc = XmlGetTagUInt(element, "crc", defaults);
    mapOrder = XmlGetTagInt(element, "map_order", defaults, mapOrder);
    shadowMode = XmlGetTagBool(element, "shadow_mode", defaults) ? 1 : 0;
    noCache = XmlGetTagBool(element, "no_cache", defaults) ? 1 : 0;
    shadowVal = XmlGetTagInt(element, "shadow_val", defaults, shadowVal);
    alphaThreshold = XmlGetTagInt(element, "alpha_threshold", defaults, alphaThreshold);
    if (!highQuality)
        alphaThreshold = ImpliedAlphaThreshold(bashType);
    if (landToBash == 6 || landToBash == 134 || landToBash == 198 || landToBash == 214)
        landToBash = 0x200D6u;
}
