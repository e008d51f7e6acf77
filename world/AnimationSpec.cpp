#include "world/AnimationSpec.h"

#include "app/Log.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "media/ImageCache.h"
#include "media/SpriteSheet.h"
#include "world/Flimb.h"
#include "world/FlimbTable.h"
#include "world/WorldState.h"

#include <bitset>
#include <memory>
#include <unordered_map>

namespace {

constexpr const char* kActionSpriteSpec = "Graphics\\Actions\\action-sprite-spec.xml";
constexpr const char* kDecorationsSpec = "Graphics\\Animations\\Decorations\\decorations-spec.xml";
constexpr const char* kDecorationsFolder = "Graphics\\Animations\\Decorations\\";
constexpr const char* kSelectFolder = "Graphics\\Animations\\Select";

using TypeRows = std::array<FlimbTypeRow, kFlimbTypeCount>;

TypeRows StartRows()
{
    TypeRows rows{};
    for (size_t type = 0; type < rows.size(); ++type) {
        FlimbTypeRow& row = rows[type];
        row.acceptsOrders = 1;
        row.whileFalling = 1;
        for (uint8_t& change : row.changeInto)
            change = 1;
    }
    for (int type : {18, 20, 21})
        rows[static_cast<size_t>(type)].acceptsOrders = 0;
    for (int type : {0, 1, 2, 3, 4, 5, 8})
        rows[static_cast<size_t>(type)].second = 1;
    for (int type : {2, 8, 11, 12, 14, 16, 19})
        rows[static_cast<size_t>(type)].final = 1;
    for (int type : {0, 1, 3, 4, 5, 9})
        rows[static_cast<size_t>(type)].whileFalling = 0;
    for (int type : {5, 6, 7, 13})
        for (int action = 0; action <= 9; ++action)
            rows[static_cast<size_t>(type)].changeInto[action] = 0;
    for (int type : {5, 7, 9, 13})
        rows[static_cast<size_t>(type)].changeInto[10] = 0;
    for (FlimbTypeRow& row : rows)
        row.changeInto[kPuff] = 0;
    for (int type : {10, 13})
        rows[static_cast<size_t>(type)].changeInto[kPuff] = 1;
    for (int type : {5, 6, 7, 13}) {
        rows[static_cast<size_t>(type)].changeInto[kNova] = 1;
        rows[static_cast<size_t>(type)].changeInto[kAtomize] = 1;
    }
    for (int type : {6, 13})
        rows[static_cast<size_t>(type)].changeInto[kSpin] = 1;
    return rows;
}

struct SpecState {
    XmlDocument actionSprites;
    XmlDocument decorations;
    std::array<std::string, kGroupCount> labels;
    std::array<AnimSurface*, kGroupCount * kGroupAnimationSlots> cache{};
    // The slots whose missing animation was logged (once each).
    std::bitset<kGroupCount * kGroupAnimationSlots> missingLogged;
    std::array<AnimSurface*, kGroupCount> select{};
    AnimSurface* preSelect = nullptr;
    AnimSurface* halo = nullptr;
    std::unordered_map<std::string, std::unique_ptr<DecorationSet>, HashStringHasher> decorationSets;
    TypeRows rows = StartRows();
};

SpecState& State()
{
    static SpecState state;
    return state;
}

void Release(AnimSurface*& image)
{
    ImageCache::ReleaseImage(image);
    image = nullptr;
}

xmlNode* ActionSpriteElement(const char* name)
{
    xmlDoc* document = State().actionSprites.get();
    xmlNode* root = document ? XmlRoot(document) : nullptr;
    return root ? XmlFindNode(root, name) : nullptr;
}

// The element child of `parent` with that name (any case).
xmlNode* ChildNamed(const xmlNode* parent, std::string_view name)
{
    for (xmlNode* child = XmlChildren(parent); child; child = XmlNext(child))
        if (EqualsNoCase(XmlName(child), name))
            return child;
    return nullptr;
}

int IntAttr(const xmlNode* node, const char* name)
{
    const char* text = XmlGetAttrValue(node, name);
    int32_t value = 0;
    return text && ParseInt(text, value) ? value : 0;
}

void ReadGroupLabels()
{
    SpecState& state = State();
    state.labels = {};
    xmlNode* labels = ActionSpriteElement("group-labels");
    for (xmlNode* group = XmlChildren(labels); group; group = XmlNext(group)) {
        if (XmlName(group) != "group")
            continue;
        const int id = IntAttr(group, "id");
        if (id < 0 || id >= kGroupCount) {
            WriteLog("action-sprite-spec: group label id %d is not a group (0..7), skipped\n", id);
            continue;
        }
        state.labels[static_cast<size_t>(id)] = XmlNodeText(group);
    }
}

// The animation of a sprite-sheet element with the group's label put into its file name;
// `name` null takes the first one. One image-cache reference for the caller.
AnimSurface* LoadSheetAnimation(const xmlNode* sheetElement, const xmlNode* animations, const char* name,
                                int group, const char* defaultRoot)
{
    SpriteSheet sheet;
    SpriteSet set;
    if (!SpriteSheet::LoadFromElement(sheet, sheetElement, defaultRoot) ||
        SpriteSheet::LoadAnimationsFrom(animations, sheet, set) <= 0)
        return nullptr;
    const SpriteAnimation* found = name ? set.Find(name) : &set.animations.front();
    if (!found)
        return nullptr;
    SpriteAnimation animation = *found;
    animation.file = SubstituteGroupLabel(animation.file, group);
    return SpriteSheet::GetAnimationImage(sheet, animation);
}

} // namespace

const FlimbTypeRow& FlimbTypeRowOf(int type)
{
    static const FlimbTypeRow none{};
    return type >= 0 && type < kFlimbTypeCount ? State().rows[static_cast<size_t>(type)] : none;
}

uint32_t HashString(std::string_view text)
{
    uint32_t hash = 5381;
    for (const char c : text)
        hash = hash * 33u + static_cast<uint32_t>(static_cast<int32_t>(static_cast<signed char>(c)));
    return hash;
}

std::string SubstituteGroupLabel(std::string text, int group)
{
    const std::string& label = AnimationSpec::GroupLabel(group);
    for (const char* token : {"{group-label}", "{group-color}"}) {
        const size_t at = text.find(token);
        if (at != std::string::npos)
            text.replace(at, std::string_view(token).size(), label);
    }
    return text;
}

void LoadActionSprites()
{
    SpecState& state = State();
    state.actionSprites = XmlLoadFileOrThrow(kActionSpriteSpec, "Cannot load the action-sprite-spec.xml file!");
    state.missingLogged.reset();
    ReadGroupLabels();
    ClearWorldFlimbs(World());
    state.decorations = XmlLoadFileOrThrow(kDecorationsSpec, "Cannot load the decorations-spec.xml file!");
    state.rows = StartRows();
    World().preview = QuantumPreview{};
    Release(state.halo);
    state.halo = ImageCache::GetImage("Graphics\\Actions\\halo.png");
}

void UnloadActionSprites()
{
    SpecState& state = State();
    state.actionSprites.reset();
    state.decorations.reset();
    ClearWorldFlimbs(World());
    Release(state.halo);
    for (AnimSurface*& select : state.select)
        Release(select);
    Release(state.preSelect);
    for (auto& [name, set] : state.decorationSets)
        for (AnimSurface*& slot : set->slots)
            Release(slot);
    state.decorationSets.clear();
}

namespace AnimationSpec {

void Load()
{
    LoadActionSprites();
}

void Release()
{
    UnloadActionSprites();
}

AnimSurface* HaloImage()
{
    return State().halo;
}

const std::string& GroupLabel(int group)
{
    static const std::string none;
    return group >= 0 && group < kGroupCount ? State().labels[static_cast<size_t>(group)] : none;
}

AnimSurface* GetGroupAnimation(int group, int type, int frameSet, bool noCache)
{
    if (group < 0 || group >= kGroupCount || type < 0 || type >= kFlimbTypeCount || frameSet < 0 ||
        frameSet >= kFrameSetCount) {
        WriteLog("No group animation for group %d, type %d, frame set %d\n", group, type, frameSet);
        return nullptr;
    }
    const size_t index = static_cast<size_t>(frameSet + (group * kFlimbTypeCount + type) * kFrameSetCount);
    AnimSurface*& slot = State().cache[index];
    if (!noCache && slot)
        return slot;
    xmlNode* sheet = ActionSpriteElement("group-animation");
    AnimSurface* image = LoadSheetAnimation(sheet, ChildNamed(sheet, FlimbTypeName(type)),
                                            StringPrintf("%d", frameSet).c_str(), group, "Graphics\\Actions\\");
    if (!image && !State().missingLogged[index]) {
        State().missingLogged[index] = true;
        WriteLog("No animation %d of flimb type %s for group %d: a 32 x 48 frame stands in\n", frameSet,
                 FlimbTypeName(type), group);
    }
    if (!noCache) {
        ImageCache::ReleaseImage(slot);
        slot = image;
    }
    return image;
}

AnimSurface* LoadDecoration(const std::string& name, int type, int version)
{
    xmlDoc* document = State().decorations.get();
    xmlNode* root = document ? XmlRoot(document) : nullptr;
    xmlNode* decoration = root ? XmlGetChild(XmlChildren(root), name.c_str()) : nullptr;
    for (xmlNode* variant = XmlChildren(decoration); variant; variant = XmlNext(variant)) {
        const char* variantType = XmlGetAttrValue(variant, "type");
        if (XmlName(variant).empty() || !variantType || !EqualsNoCase(variantType, FlimbTypeName(type)) ||
            IntAttr(variant, "version") != version)
            continue;
        AnimSurface* image = ImageCache::GetImage(kDecorationsFolder + XmlNodeText(variant));
        if (image) {
            const int width = IntAttr(variant, "frameWidth"), height = IntAttr(variant, "frameHeight");
            if (width > 0 && height > 0)
                image->SetFrameSize(width, height);
            image->SetHotspot(IntAttr(variant, "hotspotX"), IntAttr(variant, "hotspotY"));
        }
        return image;
    }
    return nullptr;
}

} // namespace AnimationSpec

AnimSurface* GetGroupSelectAnimation(int group)
{
    if (group < 0 || group >= kGroupCount)
        return nullptr;
    AnimSurface*& slot = State().select[static_cast<size_t>(group)];
    if (!slot) {
        xmlNode* sheet = ActionSpriteElement("select");
        slot = LoadSheetAnimation(sheet, sheet, nullptr, group, kSelectFolder);
    }
    return slot;
}

AnimSurface* GetPreSelectImage(int group)
{
    AnimSurface*& image = State().preSelect;
    if (!image) {
        image = ImageCache::GetImageFromParts(kSelectFolder, SubstituteGroupLabel("pre-select-{group-label}.png", group));
        if (image)
            image->SetHotspot(14, 8);
    }
    return image;
}

DecorationSet* FindDecorationAnimation(const std::string& name)
{
    auto& sets = State().decorationSets;
    auto it = sets.find(name);
    if (it == sets.end()) {
        auto set = std::make_unique<DecorationSet>();
        set->name = name;
        it = sets.emplace(name, std::move(set)).first;
    }
    return it->second.get();
}

void NudgeDecorationHotspot(int dx, int dy)
{
    Flimb* flimb = World().selected;
    if (!flimb || !flimb->overlaySet || !flimb->overlay)
        return;
    AnimSurface& overlay = *flimb->overlay;
    overlay.SetHotspot(overlay.hotspotX + dx, overlay.hotspotY + dy);
    xmlDoc* document = State().decorations.get();
    xmlNode* root = document ? XmlRoot(document) : nullptr;
    xmlNode* decoration = root ? XmlGetChild(XmlChildren(root), flimb->overlaySet->name.c_str()) : nullptr;
    for (xmlNode* variant = XmlChildren(decoration); variant; variant = XmlNext(variant)) {
        const char* variantType = XmlGetAttrValue(variant, "type");
        if (XmlName(variant).empty() || !variantType || !EqualsNoCase(variantType, FlimbTypeName(flimb->type)) ||
            IntAttr(variant, "version") != flimb->overlaySet->version)
            continue;
        XmlSetAttrInt(variant, "hotspotX", overlay.hotspotX);
        XmlSetAttrInt(variant, "hotspotY", overlay.hotspotY);
        XmlSaveUserCopy(document, kDecorationsSpec);
        return;
    }
}

void ReleaseGroupAnimations(int group)
{
    if (group < 0 || group >= kGroupCount)
        return;
    auto& cache = State().cache;
    for (size_t slot = 0; slot < kGroupAnimationSlots; ++slot)
        Release(cache[static_cast<size_t>(group) * kGroupAnimationSlots + slot]);
    for (Flimb& flimb : World())
        if (!flimb.IsFree() && flimb.group == group && flimb.type < kFlimbTypeCount)
            flimb.SetGroupAnimation(flimb.anim, -1);
}

void ReleaseAllGroupAnimations()
{
    SpecState& state = State();
    for (AnimSurface*& slot : state.cache)
        Release(slot);
    for (AnimSurface*& select : state.select)
        Release(select);
}
