#include "media/SpriteSheet.h"

#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "media/ImageCache.h"

namespace {

int IntAttr(const xmlNode* node, const char* name, int fallback)
{
    const char* text = XmlGetAttrValue(node, name);
    int32_t value = 0;
    return text && ParseInt(text, value) ? value : fallback;
}

} // namespace

const SpriteAnimation* SpriteSet::Find(const std::string& name) const
{
    for (const auto& animation : animations)
        if (EqualsNoCase(animation.name, name))
            return &animation;
    return nullptr;
}

bool SpriteSheet::Load(SpriteSheet& sheet, xmlDoc* document, const std::string& defaultRootPath, int /*flags*/)
{
    return LoadFromElement(sheet, document ? XmlRoot(document) : nullptr, defaultRootPath);
}

bool SpriteSheet::LoadFromElement(SpriteSheet& sheet, const xmlNode* element, const std::string& defaultRootPath)
{
    if (!element)
        return false;
    const char* path = XmlGetAttrValue(element, "rootPath");
    sheet.rootPath = path && *path ? path : defaultRootPath;
    sheet.frameWidth = IntAttr(element, "frameWidth", 0);
    sheet.frameHeight = IntAttr(element, "frameHeight", 0);
    sheet.hotspotX = IntAttr(element, "hotspotX", 0);
    sheet.hotspotY = IntAttr(element, "hotspotY", 0);
    return true;
}

int SpriteSheet::LoadAnimations(const std::string& elementName, const SpriteSheet& sheet, xmlDoc* document,
                                SpriteSet& set)
{
    xmlNode* root = document ? XmlRoot(document) : nullptr;
    xmlNode* element = root ? XmlFindNode(root, elementName.c_str()) : nullptr;
    return LoadAnimationsFrom(element, sheet, set);
}

int SpriteSheet::LoadAnimationsFrom(const xmlNode* element, const SpriteSheet& sheet, SpriteSet& set)
{
    if (!element)
        return -1;
    int count = 0;
    for (xmlNode* child = XmlChildren(element); child; child = XmlNext(child)) {
        if (!EqualsNoCase(XmlName(child), "animation"))
            continue;
        SpriteAnimation animation;
        const char* name = XmlGetAttrValue(child, "name");
        const char* file = XmlGetAttrValue(child, "file");
        animation.name = name ? name : "";
        animation.file = file ? file : animation.name + ".png";
        animation.frameWidth = IntAttr(child, "frameWidth", sheet.frameWidth);
        animation.frameHeight = IntAttr(child, "frameHeight", sheet.frameHeight);
        animation.hotspotX = IntAttr(child, "hotspotX", sheet.hotspotX);
        animation.hotspotY = IntAttr(child, "hotspotY", sheet.hotspotY);
        animation.frameDelay = IntAttr(child, "delay", 0);
        animation.fps = IntAttr(child, "fps", 0);
        set.animations.push_back(std::move(animation));
        ++count;
    }
    return count;
}

AnimSurface* SpriteSheet::GetAnimationImage(const SpriteSheet& sheet, const SpriteAnimation& animation)
{
    AnimSurface* image = ImageCache::GetImageFromParts(sheet.rootPath, animation.file);
    if (!image)
        return nullptr;
    if (animation.frameWidth > 0 && animation.frameHeight > 0)
        image->SetFrameSize(animation.frameWidth, animation.frameHeight);
    image->SetHotspot(animation.hotspotX, animation.hotspotY);
    image->fps = animation.fps;
    return image;
}
