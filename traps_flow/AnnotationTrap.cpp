#include "traps_flow/AnnotationTrap.h"

#include "app/GameClock.h"
#include "app/Log.h"
#include "app/SimMath.h"
#include "app/XmlUtil.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "gui/GuiClock.h"
#include "levelmodel/EditorPicking.h"
#include "media/FontManager.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindXml.h"
#include "world/Flimb.h"
#include "world/StateHash.h"
#include "world/TrapRegistry.h"
#include "world/ViewServices.h"
#include "world/WorldClock.h"
#include "world/WorldServices.h"

#include <algorithm>
#include <cmath>

namespace {

const TrapKindRegistration kRegistration(AnnotationTrap::kKind,
                                         [] { return std::unique_ptr<Trap>(new AnnotationTrap); });

constexpr float kWobbleRatio = 0.5f;
constexpr float kWobbleFrequency = 0.009f; // radians per ms
constexpr float kWobbleStart = 0.1f;
constexpr float kBreathStepMs = 55.0f;

bool FlimbGone(const Flimb& flimb)
{
    return flimb.IsFree() || !(flimb.flags & kFlimbAlive);
}

} // namespace

// ---- The GUI part -------------------------------------------------------------------------

AnnotationPanel::AnnotationPanel(AnnotationTrap& trap) : trap_(trap)
{
    deleteWhenClosed = 0; // the trap owns it
    SetName("Annotation");
}

Primitive* AnnotationPanel::OnLeftButton(int x, int y, int phase)
{
    trap_.OnPress(x, y, phase);
    return nullptr; // the press goes on
}

Primitive* AnnotationPanel::HitTest(int x, int y)
{
    trap_.SetHovered(x, y);
    return nullptr;
}

void AnnotationPanel::Update()
{
    trap_.StepFrame(static_cast<float>(GuiFrameElapsed()));
}

// ---- The trap -----------------------------------------------------------------------------

AnnotationTrap::AnnotationTrap() : Trap(kKind), panel_(std::make_unique<AnnotationPanel>(*this))
{
    fadeTransform.Set(kFadeMs, 0.0f);
    if (!LevelEditorOpen())
        AddLandscapeChild(panel_.get());
}

AnnotationTrap::~AnnotationTrap()
{
    AnnotationTrap::ReleaseGraphics();
    // The panel leaves the landscape's list as it goes.
    panel_.reset();
}

void AnnotationTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const AnnotationTrap&>(source);
    arrow_x = other.arrow_x;
    arrow_y = other.arrow_y;
    message = other.message;
    displayText = other.displayText;
    click_close = other.click_close;
    wobbleScale = other.wobbleScale;
    breathRate = other.breathRate;
    fontStyle = other.fontStyle;
    fontColor = other.fontColor;
    font_scale = other.font_scale;
    text_only = other.text_only;
    autoSize = other.autoSize;
    annotationFade = other.annotationFade;
    wobble = other.wobble;
    arrow_relative = other.arrow_relative;
    follow_flimb = other.follow_flimb;
    annotationMode = other.annotationMode;
    fadeTransform = other.fadeTransform;
    wobbleTransform = other.wobbleTransform;
    tailDirection = other.tailDirection;
    tailOffset = other.tailOffset;
    closed = other.closed;
    followedFlimb = other.followedFlimb;
    annotate_z_dist = other.annotate_z_dist;
    fadingOut = other.fadingOut;
    fadeOutEnd = other.fadeOutEnd;
    boxScaleX = other.boxScaleX;
    boxScaleY = other.boxScaleY;
    textMargins = other.textMargins;
}

void AnnotationTrap::ResetRuntime()
{
    // The copy loads images of its own.
    headSprite = bodySprite = closeImage = nullptr;
    framePieces.fill(nullptr);
}

Primitive* AnnotationTrap::GuiPart()
{
    return panel_.get();
}

void AnnotationTrap::Update()
{
    if (followedFlimb && FlimbGone(*followedFlimb))
        ForgetObject(followedFlimb);
    if (closed == kCloseRequested) {
        Deactivate();
        closed = kClosed;
    }
    if (fadingOut && CurrentGameTime() >= fadeOutEnd)
        alive = 0;
}

float AnnotationTrap::FadeLengthOfShow() const
{
    return wobble ? kWobbleFadeMs : kFadeMs;
}

void AnnotationTrap::Activate(Flimb* by)
{
    if (!enabled)
        return;
    if (audible)
        PlayEffectAt(kShowSound, RoundToInt(x), RoundToInt(y));
    const float fade = FadeLengthOfShow();
    if (wobble) {
        wobbleTransform = DampedTransform(kWobbleStart, 1.0f, 0.0f, kWobbleRatio, kWobbleFrequency);
        wobbleTransform.Set(0.0f, kWobbleMs);
        wobbleTransform.Start();
        wobbleScale = wobbleTransform.value;
    }
    if (annotationFade) {
        const float shown = static_cast<float>(alpha);
        fadeTransform = LinearFloatTransform(CatchingUp() ? shown : 0.0f, shown);
        fadeTransform.Set(fade, 0.0f);
        fadeTransform.Start();
    }
    fadingOut = 0;
    visible = 1;
    FireEvent(0, by, false);
    if (follow_flimb)
        followedFlimb = by;
}

void AnnotationTrap::Deactivate()
{
    if (annotationFade && !CatchingUp()) {
        fadeTransform = LinearFloatTransform(static_cast<float>(Opacity()), 0.0f);
        fadeTransform.Set(kFadeMs, 0.0f);
        fadeTransform.Start();
        fadingOut = 1;
        fadeOutEnd = CurrentGameTime() + static_cast<uint32_t>(kFadeMs);
    } else {
        alive = 0;
    }
    FireEvent(1, nullptr, false);
}

void AnnotationTrap::SetEnabled(bool on)
{
    enabled = on ? 1 : 0;
    if (on)
        Activate(nullptr);
    else
        Deactivate();
}

void AnnotationTrap::ForgetObject(Flimb* flimb)
{
    Trap::ForgetObject(flimb);
    if (flimb && flimb == followedFlimb) {
        followedFlimb = nullptr;
        Deactivate();
    }
}

uint8_t AnnotationTrap::Opacity() const
{
    if (LevelEditorOpen())
        return alpha;
    return static_cast<uint8_t>(std::clamp(RoundToInt(fadeTransform.value), 0, 255));
}

void AnnotationTrap::StepFrame(float elapsedMs)
{
    if (fadeTransform.running && !fadeTransform.AtEnd())
        fadeTransform.Advance(-elapsedMs);
    if (wobbleTransform.running && !wobbleTransform.AtEnd()) {
        wobbleScale = wobbleTransform.Advance(elapsedMs);
        return;
    }
    if (annotationMode == kStandard && !wobble)
        return;
    if (hovered && std::fabs(wobbleScale - 1.0f) < 0.1f)
        return;
    if ((wobbleScale > 1.02f && breathRate > 0.0f) || (wobbleScale < 0.98f && breathRate < 0.0f))
        breathRate = -breathRate;
    wobbleScale += breathRate * elapsedMs / kBreathStepMs;
}

void AnnotationTrap::OnPress(int px, int py, int phase)
{
    // Only the registered trap answers (not a saved copy of the level's start).
    if (FindTrapById(static_cast<int32_t>(id)) != this || !visible || !click_close || phase != kPhaseDown ||
        closed != kOpen)
        return;
    float wx = 0.0f, wy = 0.0f;
    ScreenToWorldPoint(static_cast<float>(px), static_cast<float>(py), wx, wy);
    if (!ContainsWorldPoint(wx, wy))
        return;
    // Every game closes it at the update the request is stamped with; without a session the
    // close is this game's alone.
    if (!GameClientExists()) {
        closed = kCloseRequested;
        return;
    }
    closed = kCloseRequested;
    SendTrapState(*this, 0, -1);
    closed = kOpen;
}

void AnnotationTrap::SetHovered(int px, int py)
{
    float wx = 0.0f, wy = 0.0f;
    ScreenToWorldPoint(static_cast<float>(px), static_cast<float>(py), wx, wy);
    hovered = visible && ContainsWorldPoint(wx, wy) ? 1 : 0;
}

void AnnotationTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    if (!node)
        return;
    xmlNewTextChild(node, nullptr, BAD_CAST "message", BAD_CAST message.c_str());
    AppendKindChild(node, "arrow_x", arrow_x);
    AppendKindChild(node, "arrow_y", arrow_y);
    AppendKindChild(node, "click_close", click_close);
    AppendKindChild(node, "text_only", text_only);
    AppendKindChild(node, "font_scale", font_scale);
    xmlNewTextChild(node, nullptr, BAD_CAST "font_style", BAD_CAST FontManager::Row(fontStyle).name);
    AppendKindChild(node, "autoSize", autoSize);
    AppendKindChild(node, "annotationMode", annotationMode);
    AppendKindChild(node, "fontColor", fontColor);
    AppendKindChild(node, "annotationFade", annotationFade);
    AppendKindChild(node, "wobble", wobble);
    AppendKindChild(node, "arrow_relative", arrow_relative);
    AppendKindChild(node, "follow_flimb", follow_flimb);
    AppendKindChild(node, "annotate_z_dist", annotate_z_dist);
    AppendKindChild(node, "closed", closed);
}

void AnnotationTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    if (!node)
        return;
    const auto flag = [&](const char* name) -> uint8_t { return XmlGetTagBool(node, name, defaults) ? 1 : 0; };
    message = XmlGetTagText(node, "message", defaults);
    arrow_x = XmlGetTagInt(node, "arrow_x", defaults, arrow_x);
    arrow_y = XmlGetTagInt(node, "arrow_y", defaults, arrow_y);
    click_close = flag("click_close");
    text_only = flag("text_only");
    const int32_t scale = XmlGetTagInt(node, "font_scale", defaults, font_scale);
    font_scale = std::clamp(scale, 0, 255);
    if (font_scale != scale)
        WriteLog("Annotation trap: font_scale %d is outside 0..255, taken as %d\n", scale, font_scale);
    fontStyle = FontFromName(XmlGetTagText(node, "font_style", defaults));
    autoSize = flag("autoSize");
    annotationMode = static_cast<int32_t>(XmlGetTagUInt(node, "annotationMode", defaults));
    if (annotationMode < kStandard || annotationMode > kBubble) {
        WriteLog("Annotation trap: mode %d is none of 0, 1, 2; Standard taken\n", annotationMode);
        annotationMode = kStandard;
    }
    fontColor = XmlGetTagUInt(node, "fontColor", defaults);
    annotationFade = flag("annotationFade");
    wobble = flag("wobble");
    arrow_relative = flag("arrow_relative");
    follow_flimb = flag("follow_flimb");
    annotate_z_dist = XmlGetTagInt(node, "annotate_z_dist", defaults, annotate_z_dist);
    closed = std::clamp(XmlGetTagInt(node, "closed", defaults, closed), 0, 2);
    ReleaseGraphics();
    LoadGraphics();
    if (!enabled)
        visible = 0;
    enabled = 1;
    const float shown = static_cast<float>(alpha);
    if (!visible && annotationFade)
        fadeTransform = LinearFloatTransform(0.0f, shown);
    else
        fadeTransform = LinearFloatTransform(shown, 0.0f);
    fadeTransform.Set(kFadeMs, 0.0f);
    fadeTransform.value = fadeTransform.fromValue;
    Layout();
}

void AnnotationTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(closed);
    hasher.Add(fadingOut);
    hasher.Add(fadeOutEnd);
    hasher.Add(FlimbSlot(followedFlimb));
    hasher.Add(arrow_x);
    hasher.Add(arrow_y);
    hasher.Add(click_close);
    hasher.Add(follow_flimb);
}
