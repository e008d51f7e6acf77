#include "world/TrapSpecs.h"

#include "app/XmlUtil.h"
#include "media/ImageCache.h"
#include "media/SpriteSheet.h"
#include "traps/ModifyLandPrimStore.h"
#include "world/AnimationSpec.h"
#include "world/Groups.h"
#include "world/TrapDraw.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"

#include <string>

namespace {

constexpr const char* kTrapRoot = "Graphics\\Traps\\";

struct TrapSpecState {
    XmlDocument document;
    AnimSurface* marker = nullptr;
};

TrapSpecState& State()
{
    static TrapSpecState state;
    return state;
}

std::string WithSeparator(std::string path)
{
    if (!path.empty() && path.back() != '\\')
        path += '\\';
    return path;
}

// A file name with "{group-label}" put in for the group: the action-sprite spec's label, or
// the game's own when that file is not loaded.
std::string GroupFileName(const std::string& file, int group)
{
    const std::string token = "{group-label}";
    const size_t at = file.find(token);
    if (at == std::string::npos)
        return file;
    const int g = group >= 0 && group < kGroupCount ? group : 0;
    std::string label = AnimationSpec::GroupLabel(g);
    if (label.empty())
        label = kGroupNames[size_t(g)];
    return file.substr(0, at) + label + file.substr(at + token.size());
}

} // namespace

void LoadTrapSpecs()
{
    State().document = XmlLoadFileOrThrow("Graphics\\Traps\\trap-spec.xml", "Cannot load the trap-spec.xml file!");
    ImageCache::ReleaseImage(State().marker);
    AnimSurface* marker = ImageCache::GetImage("Graphics\\Menu\\FlimbGroupSelector\\group-select.png");
    if (marker)
        marker->SetHotspot(marker->imageWidth / 2, marker->imageHeight / 2);
    State().marker = marker;
    ResetTrapDrawState();
}

AnimSurface* LoadTrapSprites(const char* name, int32_t kind, int extra)
{
    xmlDoc* document = State().document.get();
    const char* typeName = TrapTypeName(kind);
    SpriteSheet sheet;
    if (!document || !*typeName || !SpriteSheet::Load(sheet, document, kTrapRoot))
        return nullptr;
    SpriteSet set;
    if (SpriteSheet::LoadAnimations(typeName, sheet, document, set) <= 0)
        return nullptr;
    const SpriteAnimation* animation = name ? set.Find(name) : &set.animations.front();
    if (!animation)
        return nullptr;
    sheet.rootPath = WithSeparator(sheet.rootPath) + typeName;
    SpriteAnimation grouped = *animation;
    grouped.file = GroupFileName(animation->file, extra);
    return SpriteSheet::GetAnimationImage(sheet, grouped);
}

void UnloadTraps()
{
    State().document.reset();
    ImageCache::ReleaseImage(State().marker);
    State().marker = nullptr;
    DeleteAllTraps();
    ModifyLandPrimStore::Clear();
}

void ReleaseTrapSpecs()
{
    UnloadTraps();
}

xmlDoc* TrapSpecDocument()
{
    return State().document.get();
}

AnimSurface* GroupSelectImage()
{
    return State().marker;
}
