#include "world/Flimb.h"

#include "app/Log.h"
#include "app/StringUtil.h"
#include "gui/Primitive.h"
#include "media/AnimSurface.h"
#include "traps/Trap.h"
#include "world/AnimationSpec.h"
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
    static std::array<FlimbTypeHandler, kFlimbTypeCount> handlers{};
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

// The frame the contact rectangle is measured on.
const AnimSurface* SizingAnimation(const Flimb& flimb)
{
    switch (flimb.type) {
    case kFall:
        return AnimationSpec::GetGroupAnimation(flimb.group, kFall, 0, false);
    case kClob:
    case kMold:
    case kDrill:
    case kGulp:
    case kLop:
        // Their working animations do not change the rectangle.
        return AnimationSpec::GetGroupAnimation(flimb.group, kWalk, 0, false);
    default:
        return flimb.animation;
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
    case kAttrMarked:
    case kAttrQuietEnd:
    case kAttrCounted: // its sound comes with the flimb behaviour
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
    animation = AnimationSpec::GetGroupAnimation(group, type, newAnim, false);
    anim = static_cast<uint8_t>(newAnim);
    turnSign = 0;
    if (newFrame >= 0)
        frame = static_cast<int8_t>(newFrame);
    if (!overlaySet || type >= kFlimbTypeCount || newAnim < 0 || newAnim >= kFrameSetCount)
        return;
    const int overlayAnim = type == kWalk && newAnim == 1 ? 0 : newAnim;
    AnimSurface*& slot = overlaySet->slots[static_cast<size_t>(type * kFrameSetCount + overlayAnim)];
    if (!slot)
        slot = AnimationSpec::LoadDecoration(overlaySet->name, type, overlaySet->version);
    // An overlay that goes away breaks into particles with the particle pool.
    overlay = slot;
}

gfx::RECT Flimb::GetCurrentSprite() const
{
    const AnimSurface* sizing = SizingAnimation(*this);
    int32_t w = 0, h = 0, hotX = 0, hotY = 0;
    if (sizing) {
        w = static_cast<int32_t>(static_cast<float>(sizing->frameWidth) * scale);
        h = static_cast<int32_t>(static_cast<float>(sizing->frameHeight) * scale);
        hotX = static_cast<int32_t>(static_cast<float>(sizing->hotspotX) * scale);
        hotY = static_cast<int32_t>(static_cast<float>(sizing->hotspotY) * scale);
    }
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

void Flimb::Update()
{
    if (type < kFlimbTypeCount)
        if (FlimbTypeHandler handler = Handlers()[type])
            handler(*this);
}

void Flimb::DigAt(bool /*stamp*/)
{
    // The Doppel block is stamped and cleared with the flimb behaviour.
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

void DestroyFlimbTag(Flimb& flimb)
{
    delete flimb.tag;
    flimb.tag = nullptr;
}
