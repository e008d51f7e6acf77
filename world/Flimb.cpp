#include "world/Flimb.h"

#include "app/Log.h"
#include "app/StringUtil.h"
#include "gui/Primitive.h"
#include "media/AnimSurface.h"
#include "traps/Trap.h"
#include "world/AnimationSpec.h"
#include "world/FlimbFrame.h"
#include "world/FlimbHandlers.h"
#include "world/FlimbParticles.h"
#include "world/FlimbSounds.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"
#include "world/WorldServices.h"

#include <array>

namespace {

constexpr std::array<const char*, kFlimbTypeCount> kTypeNames = {
    "Clob",  "Mold", "Nova",  "Drill", "Gulp",  "Doppel", "Puff",      "Spin",  "Atomize", "Lop",      "Walk",
    "Squish", "Drown", "Fall", "Shock", "Stun", "Splat",  "Graviturn", "Spawn", "Burn",    "Entangle", "CopySpawn",
};

std::array<FlimbTypeHandler, kFlimbTypeCount>& Handlers()
{
    static std::array<FlimbTypeHandler, kFlimbTypeCount> handlers = DefaultFlimbTypeHandlers();
    return handlers;
}

// Where a flimb set up facing 0 turns: the middle of its group's first open exit, else of
// the landscape.
void FacingTarget(uint8_t group, int32_t& x, int32_t& y)
{
    for (Trap* exit : GetTrapsOfKind(kTrapExit)) {
        if (exit->Group() != group || !exit->IsOpen())
            continue;
        const gfx::RECT r = exit->GetBounds();
        x = (r.left + r.right) / 2;
        y = (r.top + r.bottom) / 2;
        return;
    }
    x = LandscapeWidth() / 2;
    y = LandscapeHeight() / 2;
}

FrameLayout LayoutOf(const AnimSurface* animation)
{
    if (!animation || animation->frameWidth <= 0 || animation->frameHeight <= 0)
        return kFallbackFrame;
    return FrameLayout{animation->frameCount > 0 ? animation->frameCount : 1, animation->frameWidth,
                       animation->frameHeight, animation->hotspotX, animation->hotspotY};
}

// The frame the contact rectangle is measured on.
FrameLayout SizingLayout(const Flimb& flimb)
{
    switch (flimb.type) {
    case kFall:
        return LayoutOf(AnimationSpec::GetGroupAnimation(flimb.group, kFall, 0, false));
    case kClob:
    case kMold:
    case kDrill:
    case kGulp:
    case kLop:
        // Their working animations do not change the rectangle.
        return LayoutOf(AnimationSpec::GetGroupAnimation(flimb.group, kWalk, 0, false));
    default:
        return LayoutOf(flimb.animation);
    }
}

} // namespace

const char* FlimbTypeName(int type)
{
    return type >= 0 && type < kFlimbTypeCount ? kTypeNames[static_cast<size_t>(type)] : "";
}

void Flimb::Init()
{
    const uint8_t keptFlags2 = flags2 & 0x80;
    *this = Flimb{};
    flags = kFlimbInWorld | kFlimbAlive | kFlimbFreshType | kFlimbGulpVariant;
    flags2 = keptFlags2;
    type = kNoType;
    pendingType = kNoType;
    queuedAction = kNoType;
    walkSpeed = 3;
    typeAge = 5;
    stepsPerUpdate = 1;
    alpha = 255;
    linkedId = -1;
    drawScaleX = 1.0f;
    drawScaleY = 1.0f;
    energy = kFlimbStartEnergy;
    scale = 1.0f;
}

void Flimb::Setup(int16_t atX, int16_t atY, int16_t newId, uint8_t newGroup, uint8_t newType, uint8_t newGravity,
                  int32_t newEnergy, uint8_t newAutoBehaviour, int facing)
{
    // Level files and network commands bring these values: refuse what no table holds.
    if (newGroup >= 8) {
        WriteLog("WARNING: FLIMB group %d refused (0..7): group 0 taken\n", newGroup);
        newGroup = 0;
    }
    if (newGravity > 3) {
        WriteLog("WARNING: FLIMB gravity %d refused (0..3): down taken\n", newGravity);
        newGravity = 0;
    }
    if (newType >= kFlimbTypeCount && newType != kNoType) {
        WriteLog("WARNING: FLIMB type not defined!\n");
        newType = kWalk;
    }
    x = prevX = atX;
    y = prevY = atY;
    id = newId;
    group = newGroup;
    type = newType;
    gravity = newGravity;
    energy = newEnergy;
    autoBehaviour = newAutoBehaviour;
    if (facing > 0) {
        walkSpeed = 3;
    } else if (facing < 0) {
        walkSpeed = -3;
    } else {
        int32_t middleX = 0, middleY = 0;
        FacingTarget(group, middleX, middleY);
        const bool before = gravity < 2 ? x < middleX : y < middleY;
        walkSpeed = before ? 3 : -3;
    }
    if (type != kNoType)
        SetGroupAnimation(0, 0);
}

uint8_t Flimb::TypeFromName(std::string_view name)
{
    for (size_t i = 0; i < kTypeNames.size(); ++i)
        if (EqualsNoCase(name, kTypeNames[i]))
            return static_cast<uint8_t>(i);
    return kWalk;
}

void Flimb::SetAttribute(uint8_t bit)
{
    if (attributes & bit)
        return;
    switch (bit) {
    case kAttrNovaFuse:
        fuse = 255;
        flags |= kFlimbFuseLit;
        break;
    case kAttrNoPuff:
        attributes &= static_cast<uint8_t>(~kAttrCounted);
        break;
    case kAttrCounted:
        if (!(attributes & kAttrQuietEnd))
            flimbs::Sound(*this, flimbs::kSoundYelp);
        break;
    case kAttrMarked:
    case kAttrQuietEnd:
    case kAttrSureFooted:
    case kAttrSteered:
        break;
    default:
        WriteLog("WARNING: FLIMB attr not defined!\n");
        break;
    }
    attributes |= bit;
}

int Flimb::SizeClass() const
{
    if (scale < 0.75f)
        return 0;
    if (scale < 1.5f)
        return 1;
    if (scale < 2.5f)
        return 2;
    return 3;
}

void Flimb::SetGroupAnimation(int newAnim, int newFrame)
{
    if (newAnim < 0 || newAnim >= kFrameSetCount) {
        WriteLog("WARNING: FLIMB animation %d refused (0..4): 0 taken\n", newAnim);
        newAnim = 0;
    }
    animation = AnimationSpec::GetGroupAnimation(group, type, newAnim, false);
    anim = static_cast<uint8_t>(newAnim);
    turnSign = 0;
    if (newFrame >= 0)
        frame = static_cast<int8_t>(newFrame);
    PlayMorphEffect();
}

void Flimb::PlayMorphEffect()
{
    if (!overlaySet || type >= kFlimbTypeCount)
        return;
    const int overlayAnim = type == kWalk && anim == 1 ? 0 : anim;
    AnimSurface*& slot = overlaySet->slots[static_cast<size_t>(type * kFrameSetCount + overlayAnim)];
    if (!slot)
        slot = AnimationSpec::LoadDecoration(overlaySet->name, type, overlaySet->version);
    if (!slot && overlay)
        BreakOverlayIntoParticles(*this);
    overlay = slot;
}

FrameLayout Flimb::Layout() const
{
    return LayoutOf(animation);
}

gfx::RECT Flimb::GetCurrentSprite() const
{
    const FrameLayout sizing = SizingLayout(*this);
    const int32_t w = static_cast<int32_t>(static_cast<float>(sizing.width) * scale);
    const int32_t h = static_cast<int32_t>(static_cast<float>(sizing.height) * scale);
    const int32_t hotX = static_cast<int32_t>(static_cast<float>(sizing.hotX) * scale);
    const int32_t hotY = static_cast<int32_t>(static_cast<float>(sizing.hotY) * scale);
    const int32_t cut = static_cast<int32_t>(10.0f * scale);
    // Offsets from the feet under gravity 0: the head is up.
    const int32_t l = -hotX, t = -hotY + cut, r = w - hotX, b = h - hotY;
    switch (gravity) {
    case 1: // mirrored vertically: the head is down
        return gfx::RECT{x + l, y - b, x + r, y - t};
    case 2: // falls towards -x: the head is at +x
        return gfx::RECT{x - b, y + l, x - t, y + r};
    case 3: // falls towards +x: the head is at -x
        return gfx::RECT{x + t, y - r, x + b, y - l};
    default:
        return gfx::RECT{x + l, y + t, x + r, y + b};
    }
}

void SetFlimbTypeHandler(uint8_t type, FlimbTypeHandler handler)
{
    if (type < kFlimbTypeCount)
        Handlers()[type] = handler;
}

FlimbTypeHandler GetFlimbTypeHandler(uint8_t type)
{
    return type < kFlimbTypeCount ? Handlers()[type] : nullptr;
}

void ResetFlimbTypeHandlers()
{
    Handlers() = DefaultFlimbTypeHandlers();
}

void DestroyFlimbTag(Flimb& flimb)
{
    delete flimb.tag;
    flimb.tag = nullptr;
}
