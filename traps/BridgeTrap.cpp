#include "traps/BridgeTrap.h"

#include "app/LanguageTexts.h"
#include "app/SimMath.h"
#include "game/GameController.h"
#include "gui/LayoutPanel.h"
#include "levelmodel/EditorPicking.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "traps/TrapKindXml.h"
#include "world/BashTypes.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"
#include "world/Landscape.h"
#include "world/StateHash.h"
#include "world/WorldState.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

const TrapKindRegistration kRegistration(BridgeTrap::kKind, [] { return std::unique_ptr<Trap>(new BridgeTrap); });

constexpr int kBridgeMaterial = 3;
constexpr uint32_t kOnlyEmpty = 1;         // the adding land set behind the landscape
constexpr uint32_t kOnlyBridgeLand = 8;    // removing: material-3 pixels only
constexpr int kCrackSound = 3;
constexpr int32_t kCrackFrame = 8;
constexpr float kWalkLineAbove = 13.0f;

} // namespace

BridgeTrap::BridgeTrap() : Trap(kKind)
{
    zorder = 1;
    frame = 0;
}

void BridgeTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const BridgeTrap&>(source);
    stateSince = other.stateSince;
    maxFlimbs = other.maxFlimbs;
    sections = other.sections;
    timeOpen = other.timeOpen;
    timeClosed = other.timeClosed;
    bridgeState = other.bridgeState;
    motion = other.motion;
}

int32_t BridgeTrap::FrameCount() const
{
    return sprite ? std::max(sprite->frameCount, 1) : 1;
}

int32_t BridgeTrap::SectionWidth() const
{
    if (!sprite)
        return 0;
    if (sprite->boundsMinX > sprite->boundsMaxX)
        sprite->FindImageBounds(); // once per sheet: the bounds live on the shared image
    if (sprite->boundsMinX > sprite->boundsMaxX)
        return 0;
    return RoundToInt(static_cast<float>(sprite->boundsMaxX - sprite->boundsMinX) * scale_x);
}

float BridgeTrap::SectionOffset(int32_t i) const
{
    const int32_t w = SectionWidth();
    return static_cast<float>(i * w - (sections - 1) * w / 2);
}

void BridgeTrap::WalkingLine(float& x1, float& y1, float& x2, float& y2) const
{
    const float half = static_cast<float>(SectionWidth()) / 2.0f;
    const float left = SectionOffset(0) - half;
    const float right = SectionOffset(sections - 1) + half;
    const float s = SinDegF(rotation), c = CosDegF(rotation);
    const float up = -kWalkLineAbove;
    x1 = x + left * c - up * s;
    y1 = y + left * s + up * c;
    x2 = x + right * c - up * s;
    y2 = y + right * s + up * c;
}

int32_t BridgeTrap::FlimbsOnBridge() const
{
    float fx1, fy1, fx2, fy2;
    WalkingLine(fx1, fy1, fx2, fy2);
    const float x1 = std::trunc(fx1), y1 = std::trunc(fy1), x2 = std::trunc(fx2), y2 = std::trunc(fy2);
    const float length = std::sqrt((x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1));
    int32_t count = 0;
    for (const Flimb* flimb : FindFlimbsCrossingSegment(x1, y1, x2, y2)) {
        const float fx = flimb->x, fy = flimb->y;
        const float cross = std::fabs((fx - x1) * (y2 - y1) - (fy - y1) * (x2 - x1));
        const float distance = length > 0.0f ? std::trunc(cross / length) : 0.0f;
        if (distance <= 1.0f)
            ++count;
    }
    return count;
}

void BridgeTrap::RemoveFrame(int32_t sheetFrame)
{
    Landscape* land = GameLandscape();
    if (!land || !sprite || sheetFrame < 0 || sheetFrame >= sprite->frameCount)
        return;
    sprite->SetFrame(sheetFrame);
    const float s = SinDegF(rotation), c = CosDegF(rotation);
    for (int32_t i = 0; i < sections; ++i) {
        const float offset = SectionOffset(i);
        land->BashPrimitiveAt(sprite, 0, scale_x, scale_y, rotation, kOnlyBridgeLand, BashOptions{0, 0, 112},
                              0xFF000000u | tint, true, nullptr, RoundToInt(x + offset * c),
                              RoundToInt(y + offset * s));
    }
}

void BridgeTrap::StampFrame(int32_t sheetFrame)
{
    Landscape* land = GameLandscape();
    if (!land || !sprite || sheetFrame < 0 || sheetFrame >= sprite->frameCount)
        return;
    sprite->SetFrame(sheetFrame);
    const uint32_t set = zorder ? kOnlyEmpty : kAllMaterials;
    const float s = SinDegF(rotation), c = CosDegF(rotation);
    for (int32_t i = 0; i < sections; ++i) {
        const float offset = SectionOffset(i);
        land->BashPrimitiveAt(sprite, kBridgeMaterial, scale_x, scale_y, rotation, set, BashOptions{0, 0, 112},
                              0xFF000000u | tint, true, nullptr, RoundToInt(x + offset * c),
                              RoundToInt(y + offset * s));
    }
}

void BridgeTrap::FireState(uint8_t newState, uint8_t newMotion, uint32_t now)
{
    bridgeState = newState;
    motion = newMotion;
    stateSince = now;
}

void BridgeTrap::Update()
{
    const uint32_t now = World().clock.updateCounter;
    const int32_t frames = FrameCount();

    if (maxFlimbs > 0 && FlimbsOnBridge() >= maxFlimbs) {
        if (bridgeState == kClosed || (bridgeState == kMoving && motion == kClosing))
            FireEvent(0, nullptr, false);
        FireState(kMoving, kOpening, now);
    }

    switch (bridgeState) {
    case kClosed:
        if (now > stateSince + static_cast<uint32_t>(timeClosed)) {
            FireState(kMoving, kOpening, now);
            FireEvent(0, nullptr, false);
        }
        break;
    case kMoving:
        if (motion == kOpening) {
            RemoveFrame(frame);
            if (frame + 1 < frames)
                StampFrame(frame + 1);
            if (frame == kCrackFrame)
                PlayEffectAt(kCrackSound, RoundToInt(x), RoundToInt(y));
            if (frame + 1 >= frames) {
                stateSince = now;
                bridgeState = kOpen;
                frame = static_cast<uint8_t>(frames - 1);
            } else {
                frame = static_cast<uint8_t>(frame + 1);
            }
        } else {
            RemoveFrame(frame);
            // A one-frame sheet re-forms with its only frame.
            StampFrame(std::max(frame - 1, 0));
            if (frame <= 2) {
                stateSince = now;
                bridgeState = kClosed;
                frame = 0;
            } else {
                frame = static_cast<uint8_t>(frame - 1);
            }
        }
        break;
    case kOpen:
        if (now > stateSince + static_cast<uint32_t>(timeOpen)) {
            FireState(kMoving, kClosing, now);
            FireEvent(1, nullptr, false);
        }
        break;
    default:
        break;
    }
}

gfx::RECT BridgeTrap::GetBounds() const
{
    // The base box with the horizontal scale stretched over every section.
    auto& self = const_cast<BridgeTrap&>(*this);
    const float kept = self.scale_x;
    self.scale_x = kept * static_cast<float>(sections);
    const gfx::RECT bounds = Trap::GetBounds();
    self.scale_x = kept;
    return bounds;
}

void BridgeTrap::Draw()
{
    if (!LevelEditorOpen() && World().clock.updateCounter != 0)
        return; // in play the bridge is seen as terrain
    if (!sprite || !sprite->bitmap)
        return;
    Draw2D::SignedAddScope signedAdd;
    SheetDraw how = TrapSheetLook(*this);
    const float s = SinDegF(rotation), c = CosDegF(rotation);
    for (int32_t i = 0; i < sections; ++i) {
        const float offset = SectionOffset(i);
        DrawSheet(sprite, static_cast<float>(RoundToInt(x + offset * c)), static_cast<float>(RoundToInt(y + offset * s)),
                  how);
    }
}

std::unique_ptr<LayoutPanel> BridgeTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddTextField(TranslateText("Max Flimbs"), "max_flimbs", "%d", maxFlimbs,
                        TranslateText("Maximum flimbs this bridge can hold before cracking"));
    panel->AddTextField(TranslateText("Sections"), "sections", "%d", sections, std::string());
    panel->AddTextField(TranslateText("Time Closed"), "time_closed", "%d", timeClosed,
                        TranslateText("How long does the bridge stay closed (# of updates)"));
    panel->AddTextField(TranslateText("Time Open"), "time_open", "%d", timeOpen,
                        TranslateText("How long does it stay open (# of updates)"));
    return panel;
}

bool BridgeTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    if (panel->ReadInt("max_flimbs", maxFlimbs))
        maxFlimbs = std::clamp(maxFlimbs, 0, 999);
    if (panel->ReadInt("sections", sections))
        sections = std::clamp(sections, 1, kMostSections);
    if (panel->ReadInt("time_closed", timeClosed))
        timeClosed = std::clamp(timeClosed, 0, 99999);
    if (panel->ReadInt("time_open", timeOpen))
        timeOpen = std::clamp(timeOpen, 0, 99999);
    return true;
}

void BridgeTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    if (!node)
        return;
    AppendKindChild(node, "maxflimbs", maxFlimbs);
    AppendKindChild(node, "sections", sections);
    AppendKindChild(node, "timeopen", timeOpen);
    AppendKindChild(node, "timeclosed", timeClosed);
}

void BridgeTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    if (!node)
        return;
    maxFlimbs = XmlGetTagInt(node, "maxflimbs", defaults, maxFlimbs);
    sections = std::clamp(XmlGetTagInt(node, "sections", defaults, sections), 1, kMostSections);
    timeOpen = XmlGetTagInt(node, "timeopen", defaults, timeOpen);
    timeClosed = XmlGetTagInt(node, "timeclosed", defaults, timeClosed);
}

void BridgeTrap::StampLand()
{
    Landscape* land = GameLandscape();
    if (!land || !sprite)
        return;
    sprite->SetFrame(0);
    const uint32_t set = zorder ? kOnlyEmpty : kAllMaterials;
    const float s = SinDegF(rotation), c = CosDegF(rotation);
    for (int32_t i = 0; i < sections; ++i) {
        const float offset = SectionOffset(i);
        land->BashPrimitive(sprite, kBridgeMaterial, scale_x, scale_y, rotation, set, BashOptions{0, 0, 112},
                            0xFF000000u | tint, true, nullptr, x + offset * c, y + offset * s);
    }
}

void BridgeTrap::StampIntoLandscape(Landscape& landscape, float factor)
{
    if (!sprite)
        return;
    constexpr int kTrapMaterial = 5;
    const uint32_t affected = zorder ? static_cast<uint32_t>(-7) : kAllMaterials;
    sprite->SetFrame(0);
    const float s = SinDegF(rotation), c = CosDegF(rotation);
    for (int32_t i = 0; i < sections; ++i) {
        const float offset = SectionOffset(i);
        landscape.BashPrimitive(sprite, kTrapMaterial, scale_x * factor, scale_y * factor, rotation, affected,
                                BashOptions{}, 0xFF000000u | (tint & 0xFFFFFFu), false, nullptr,
                                (x + offset * c) * factor, (y + offset * s) * factor);
    }
}

void BridgeTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(stateSince);
    hasher.Add(maxFlimbs);
    hasher.Add(sections);
    hasher.Add(timeOpen);
    hasher.Add(timeClosed);
    hasher.Add(bridgeState);
    hasher.Add(motion);
    hasher.Add(frame); // the bridge's frame is its terrain's state
}
