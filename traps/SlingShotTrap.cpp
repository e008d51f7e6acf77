#include "traps/SlingShotTrap.h"

#include "app/LanguageTexts.h"
#include "app/Random.h"
#include "app/SimMath.h"
#include "game/GameController.h"
#include "gui/LayoutPanel.h"
#include "levelmodel/EditorPicking.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "media/ImageCache.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindXml.h"
#include "traps/TrapSheetDraw.h"
#include "world/Flimb.h"
#include "world/StateHash.h"
#include "world/TrapSpecs.h"
#include "world/WorldState.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

const TrapKindRegistration kRegistration(SlingShotTrap::kKind,
                                         [] { return std::unique_ptr<Trap>(new SlingShotTrap); });

constexpr int kSlingSound = 30;

bool BecomesFaller(uint8_t type)
{
    return type == kWalk || type == kMold || type == kDrill || type == kGulp || type == kClob || type == kFall;
}

} // namespace

SlingShotTrap::SlingShotTrap() : Trap(kKind)
{
    animating = 1;
}

SlingShotTrap::~SlingShotTrap()
{
    if (gustSheet)
        ImageCache::ReleaseImage(gustSheet);
}

void SlingShotTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const SlingShotTrap&>(source);
    gustFrame = other.gustFrame;
    gusting = other.gusting;
    showPrediction = other.showPrediction;
    slingMagnitude = other.slingMagnitude;
    redirect = other.redirect;
    predictionGravity = other.predictionGravity;
    slingMode = other.slingMode;
    predictionGroup = other.predictionGroup;
    centerFlimb = other.centerFlimb;
}

float SlingShotTrap::LaunchAngle() const
{
    return scale_x < 0.0f ? 180.0f - rotation : rotation;
}

void SlingShotTrap::LaunchVector(int32_t& vx, int32_t& vy) const
{
    const float a = LaunchAngle();
    const float magnitude = static_cast<float>(slingMagnitude);
    vx = RoundToInt(magnitude * CosDegF(a));
    vy = -RoundToInt(magnitude * SinDegF(a));
}

void SlingShotTrap::ApplyMode(int32_t& vx, int32_t& vy) const
{
    int32_t sx = 0, sy = 0;
    LaunchVector(sx, sy);
    switch (slingMode) {
    case kNormal:
        vx = sx;
        vy = sy;
        break;
    case kAdditive:
        vx += sx;
        vy += sy;
        break;
    default: {
        const float fx = static_cast<float>(vx), fy = static_cast<float>(vy);
        const float total = static_cast<float>(slingMagnitude) + std::sqrt(fx * fx + fy * fy);
        const float a = LaunchAngle();
        vx = RoundToInt(total * CosDegF(a));
        vy = -RoundToInt(total * SinDegF(a));
        break;
    }
    }
}

std::optional<FlimbList> SlingShotTrap::TestContact(Flimb* flimb, uint8_t filter, bool /*atPoint*/, int32_t /*px*/,
                                                    int32_t /*py*/, const gfx::RECT* area)
{
    return Trap::TestContact(flimb, filter, true, static_cast<int32_t>(x), static_cast<int32_t>(y), area);
}

void SlingShotTrap::OnFlimbContact(Flimb* flimb)
{
    if (!flimb)
        return;
    const bool preview = IsPreviewFlimb(flimb);
    int32_t vx = flimb->pushX, vy = flimb->pushY;
    ApplyMode(vx, vy);
    flimb->pushX = static_cast<int16_t>(std::clamp(vx, -32768, 32767));
    flimb->pushY = static_cast<int16_t>(std::clamp(vy, -32768, 32767));
    if (!(flimb->attributes & kAttrQuietEnd) && !LevelEditorOpen() && !preview) {
        FireEvent(0, flimb, false);
        gustFrame = 0;
        gusting = 1;
    }
    if (centerFlimb) {
        flimb->x = flimb->prevX = static_cast<int16_t>(RoundToInt(x));
        flimb->y = flimb->prevY = static_cast<int16_t>(RoundToInt(y));
    }
    if (redirect) {
        const float a = LaunchAngle();
        const int8_t speed = static_cast<int8_t>(std::abs(flimb->walkSpeed));
        const bool backwards = flimb->gravity <= 1 ? (a >= 90.0f && a < 270.0f) : (a >= 0.0f && a < 180.0f);
        flimb->walkSpeed = backwards ? static_cast<int8_t>(-speed) : speed;
    }
    if (BecomesFaller(flimb->type)) {
        flimb->SetType(kFall, false, 0);
        flimb->fallDistance = 1;
        flimb->DecayPush();
    }
    if (!preview)
        NoteCooldown(flimb);
}

void SlingShotTrap::Activate(Flimb* by)
{
    Trap::Activate(by);
    if (enabled && by)
        OnFlimbContact(by);
}

void SlingShotTrap::Update()
{
    if (enabled && sprite)
        AdvanceFrame();
    if (gusting) {
        ++gustFrame;
        // Two frames on; the next advance that reaches the frame count wraps it.
        int32_t next = frame + 2;
        if (sprite && next >= sprite->frameCount)
            next = 0;
        frame = static_cast<uint8_t>(next);
        // The gust ends here rather than in the draw pass, so a peer that never draws keeps
        // the same state.
        if (!gustSheet || gustFrame >= gustSheet->frameCount)
            gusting = 0;
    }
    if (!enabled)
        return;
    if (std::optional<FlimbList> touching = TestContact(nullptr, 1, true, 0, 0, nullptr)) {
        bool played = false;
        for (Flimb* flimb : *touching) {
            if (HasCooldown(flimb)) {
                NoteCooldown(flimb);
                continue;
            }
            OnFlimbContact(flimb);
            if (!played) {
                PlayEffectAt(kSlingSound, RoundToInt(x), RoundToInt(y));
                played = true;
            }
        }
    }
    ExpireCooldowns(kCooldownUpdates);
}

void SlingShotTrap::Draw()
{
    const float turn = rotation - 45.0f;
    const float degrees = scale_x < 0.0f ? 360.0f - turn : turn;
    if (sprite)
        DrawTrapSheet(*sprite, DisplayedFrame(), *this, degrees, scale_x, scale_y, alpha);
    if (gusting && gustSheet) {
        if (gustFrame < gustSheet->frameCount)
            DrawTrapSheet(*gustSheet, DisplayedSheetFrame(*gustSheet, gustFrame), *this, degrees, scale_x, scale_y,
                          alpha);
    }
}

std::unique_ptr<LayoutPanel> SlingShotTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddSlider(TranslateText("Magnitude"), "sling_mag", static_cast<float>(slingMagnitude), 300.0f, 0.0f,
                     std::string());
    panel->AddCheckBox(TranslateText("Redirect"), "redirect", redirect != 0,
                       TranslateText("Update the flimb to face the direction of motion"));
    panel->AddCheckBox(TranslateText("Center"), "center_flimb", centerFlimb != 0,
                       TranslateText("Sync the flimb position with the trap position (recommended)"));
    panel->AddChoice(TranslateText("Mode"), "smode",
                     {TranslateText("Normal"), TranslateText("Additive"), TranslateText("Speed")},
                     std::clamp(slingMode, 0, 2));
    panel->AddCheckBox(TranslateText("Prediction"), "show_prediction", showPrediction != 0,
                       TranslateText("Show prediction flimb path"));
    panel->AddChoice(std::string(), "prediction_gravity",
                     {TranslateText("Down"), TranslateText("Up"), TranslateText("Left"), TranslateText("Right")},
                     std::clamp(predictionGravity, 0, 3));
    panel->AddCheckBox(TranslateText("Enabled"), "enabled", enabled != 0, std::string());
    panel->AddCheckBox(TranslateText("Visible"), "visible", visible != 0, std::string());
    return panel;
}

bool SlingShotTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    if (panel->ReadInt("sling_mag", slingMagnitude))
        slingMagnitude = std::clamp(slingMagnitude, 1, 1000);
    panel->ReadInt("smode", slingMode);
    if (panel->ReadInt("prediction_gravity", predictionGravity))
        predictionGravity = std::clamp(predictionGravity, 0, 3);
    panel->ReadChecked("redirect", redirect);
    panel->ReadChecked("center_flimb", centerFlimb);
    if (panel->ReadChecked("show_prediction", showPrediction))
        predictionGroup = static_cast<uint8_t>(DrawRand() % 8); // editor look only
    return true;
}

void SlingShotTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    if (!node)
        return;
    AppendKindChild(node, "sling_mag", slingMagnitude);
    AppendKindChild(node, "smode", slingMode);
    AppendKindChild(node, "redirect", redirect);
    AppendKindChild(node, "center_flimb", centerFlimb);
}

void SlingShotTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    if (!node)
        return;
    slingMagnitude = XmlGetTagInt(node, "sling_mag", defaults, slingMagnitude);
    slingMode = XmlGetTagInt(node, "smode", defaults, slingMode, "additive");
    redirect = XmlGetTagBool(node, "redirect", defaults) ? 1 : 0;
    centerFlimb = XmlGetTagBool(node, "center_flimb", defaults) ? 1 : 0;
}

void SlingShotTrap::ReleaseGraphics()
{
    Trap::ReleaseGraphics();
    if (gustSheet) {
        ImageCache::ReleaseImage(gustSheet);
        gustSheet = nullptr;
    }
}

void SlingShotTrap::LoadGraphics()
{
    if (!sprite)
        sprite = LoadTrapSprites("sling", kind);
    if (!gustSheet)
        gustSheet = LoadTrapSprites("gust", kind);
}

void SlingShotTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(gustFrame);
    hasher.Add(gusting);
    hasher.Add(slingMagnitude);
    hasher.Add(redirect);
    hasher.Add(slingMode);
    hasher.Add(centerFlimb);
}
