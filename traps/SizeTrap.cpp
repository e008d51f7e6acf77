#include "traps/SizeTrap.h"

#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/Random.h"
#include "app/SimMath.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "game/GameController.h"
#include "gui/LayoutPanel.h"
#include "levelmodel/EditorPicking.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "world/Flimb.h"
#include "world/StateHash.h"
#include "world/TrapSpecs.h"
#include "world/WorldState.h"

#include <algorithm>
#include <cmath>

namespace {

const TrapKindRegistration kRegistration(SizeTrap::kKind, [] { return std::unique_ptr<Trap>(new SizeTrap()); });

constexpr float kTiny = 0.5f, kNormal = 1.0f, kLarge = 2.0f;

bool IsPair(float in, float out, float a, float b)
{
    return in == a && out == b;
}

// The digit of the gate's images and whether they are mirrored; 0 for no pair.
int GateImages(float in, float out, bool& mirrored)
{
    const struct {
        float in, out;
        int n;
        bool mirrored;
    } table[] = {{kTiny, kNormal, 3, false}, {kNormal, kTiny, 3, true}, {kNormal, kLarge, 2, false},
                 {kLarge, kNormal, 2, true}, {kTiny, kLarge, 1, false}, {kLarge, kTiny, 1, true}};
    for (const auto& row : table) {
        if (row.in == in && row.out == out) {
            mirrored = row.mirrored;
            return row.n;
        }
    }
    mirrored = false;
    return 0;
}

} // namespace

SizeTrap::SizeTrap() : Trap(kKind)
{
    animating = 1;
}

SizeTrap::~SizeTrap()
{
    SizeTrap::ReleaseGraphics();
}

float SizeTrap::RoundSize(float value)
{
    if (value == kTiny || value == kNormal)
        return value;
    if (!(value > kTiny))
        return kTiny;
    if (value < kNormal)
        return kNormal;
    return kLarge;
}

void SizeTrap::SetSizes(float in, float out)
{
    if (pickup_mode) {
        sizeIn = in;
        sizeOut = out;
        return;
    }
    Trap::ReleaseGraphics();
    ReleaseSheet(backImage);
    sizeIn = RoundSize(in);
    sizeOut = RoundSize(out);
    bool mirror = false;
    const int n = GateImages(sizeIn, sizeOut, mirror);
    mirrored = mirror ? 1 : 0;
    if (n == 0) {
        WriteLog("ERROR: trapsize combo not suppoted!\n");
        return;
    }
    backImage = LoadTrapSprites(StringPrintf("%d-back", n).c_str(), kind);
    sprite = LoadTrapSprites(StringPrintf("%d-front", n).c_str(), kind);
}

gfx::RECT SizeTrap::GetBounds() const
{
    if (!mirrored)
        return Trap::GetBounds();
    // The base box of the mirrored sprite.
    auto& self = const_cast<SizeTrap&>(*this);
    const float kept = self.scale_x;
    self.scale_x = -kept;
    const gfx::RECT bounds = Trap::GetBounds();
    self.scale_x = kept;
    return bounds;
}

std::optional<FlimbList> SizeTrap::TestContact(Flimb* flimb, uint8_t filter, bool /*atPoint*/, int32_t /*px*/,
                                               int32_t /*py*/, const gfx::RECT* /*area*/)
{
    const uint8_t direction = TrapGravityDirection(*this);
    if (pickup_mode) {
        gfx::RECT rect = GetBounds();
        int32_t dx = 0, dy = 0;
        if (floating_pickup) {
            const int32_t d = TruncToInt(scale_x * -12.0f);
            switch (direction) {
            case 0: dx = d; break;
            case 1: dx = -d; break;
            case 2: dy = d; break;
            default: dy = -d; break;
            }
        } else {
            dx = TruncToInt(scale_x * -8.0f);
            dy = TruncToInt(scale_y * -8.0f);
        }
        rect.left -= dx;
        rect.right += dx;
        rect.top -= dy;
        rect.bottom += dy;
        return Trap::TestContact(flimb, filter, false, 0, 0, &rect);
    }
    int32_t px = TruncToInt(x), py = TruncToInt(y);
    const int32_t shift = IsPair(sizeIn, sizeOut, kNormal, kLarge) ? 9
                          : IsPair(sizeIn, sizeOut, kLarge, kNormal) ? -9
                                                                     : 0;
    switch (direction) {
    case 0: py -= 10, px += shift; break;
    case 1: py += 10, px += shift; break;
    case 2: px += 10, py -= shift; break;
    default: px -= 10, py -= shift; break;
    }
    return Trap::TestContact(flimb, filter, true, px, py, nullptr);
}

void SizeTrap::OnFlimbContact(Flimb* flimb)
{
    if (!flimb)
        return;
    const bool quiet = (flimb->attributes & kAttrQuietEnd) != 0;
    if (pickup_mode) {
        const float before = flimb->scale;
        if (sizeOut == kLarge)
            flimb->scale = before == kTiny ? kNormal : before == kNormal ? kLarge : before;
        else
            flimb->scale = before == kNormal ? kTiny : before == kLarge ? kNormal : before;
        if (flimb->scale != before && !quiet)
            ConsumePickup();
        // The Quantum Time preview's copy leaves no cooldown behind.
        if (!IsPreviewFlimb(flimb))
            NoteCooldown(flimb);
        return;
    }
    if (flimb->scale == sizeIn && flimb->walkSpeed > 0) {
        flimb->scale = sizeOut;
        flimb->x = static_cast<int16_t>(flimb->x + 8);
    } else if (flimb->scale == sizeOut && flimb->walkSpeed < 0) {
        flimb->scale = sizeIn;
        flimb->x = static_cast<int16_t>(flimb->x - 8);
    } else {
        return;
    }
    if (!quiet) {
        effectPlaying = 1;
        effectFrame = 0;
        effectStart = World().clock.gameTime;
        if (audible)
            PlayEffectAt(28, RoundToInt(x), RoundToInt(y));
    }
    flimb->SetType(kWalk, false, 0);
}

void SizeTrap::Update()
{
    if (effectPlaying) {
        uint32_t next = effectFrame + 1;
        next += next & 1u;
        effectFrame = next;
        if (!effectSheet || effectFrame >= static_cast<uint32_t>(std::max(0, effectSheet->frameCount)))
            effectPlaying = 0;
    }
    AdvanceFrame();
    if (auto touching = TestContact(nullptr, 1, false, 0, 0, nullptr)) {
        if (!touching->empty())
            FireEvent(0, touching->front(), false);
        for (Flimb* flimb : *touching) {
            if (HasCooldown(flimb))
                NoteCooldown(flimb);
            else
                OnFlimbContact(flimb);
        }
    }
    ExpireCooldowns(20);
}

void SizeTrap::DrawBack()
{
    if (pickup_mode || !backImage)
        return;
    Draw2D::SignedAddScope signedAdd;
    SheetDraw how = TrapSheetLook(*this);
    how.scaleX = mirrored ? -scale_x : scale_x;
    DrawSheet(backImage, static_cast<float>(RoundToInt(x)), static_cast<float>(RoundToInt(y)), how);
}

void SizeTrap::Draw()
{
    if (pickup_mode) {
        Trap::Draw();
        return;
    }
    if (effectPlaying && effectSheet) {
        Draw2D::SignedAddScope signedAdd;
        SheetDraw how = TrapSheetLook(*this);
        how.frame = PairedDisplayFrame(effectSheet, static_cast<int>(effectFrame));
        how.scaleX = mirrored ? -scale_x : scale_x;
        DrawSheet(effectSheet, static_cast<float>(RoundToInt(x)), static_cast<float>(RoundToInt(y)), how);
    }
    const float kept = scale_x;
    if (mirrored)
        scale_x = -kept;
    Trap::Draw();
    scale_x = kept;
}

std::unique_ptr<LayoutPanel> SizeTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    const std::vector<std::string> sizes = {TranslateText("Tiny"), TranslateText("Normal"), TranslateText("Large")};
    panel->AddChoice(TranslateText("Left Size"), "sizein", sizes, std::clamp(TruncToInt(sizeIn), 0, 2));
    panel->AddChoice(TranslateText("Right Size"), "sizeout", sizes, std::clamp(TruncToInt(sizeOut), 0, 2));
    return panel;
}

bool SizeTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    int32_t in = std::clamp(TruncToInt(sizeIn), 0, 2), out = std::clamp(TruncToInt(sizeOut), 0, 2);
    // Both fields are read whatever the first gives.
    const bool readIn = panel->ReadInt("sizein", in);
    const bool readOut = panel->ReadInt("sizeout", out);
    const bool changed = readIn || readOut;
    if (changed && in != out) {
        sizeIn = static_cast<float>(in);
        sizeOut = static_cast<float>(out);
    }
    ReleaseGraphics();
    LoadGraphics();
    return true;
}

void SizeTrap::Save(xmlNode* node) const
{
    if (!node)
        return;
    Trap::Save(node);
    AppendTrapChild(node, "size-in", StringPrintf("%.4f", static_cast<double>(sizeIn)));
    AppendTrapChild(node, "size-out", StringPrintf("%.4f", static_cast<double>(sizeOut)));
}

void SizeTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    if (!node)
        return;
    sizeIn = XmlGetTagFloat(node, "size-in", defaults, sizeIn);
    sizeOut = XmlGetTagFloat(node, "size-out", defaults, sizeOut);
    if (pickup_mode && sizeOut != kLarge)
        sizeOut = kTiny;
    ReleaseGraphics();
    LoadGraphics();
}

void SizeTrap::ReleaseGraphics()
{
    Trap::ReleaseGraphics();
    ReleaseSheet(backImage);
    ReleaseSheet(effectSheet);
}

void SizeTrap::LoadGraphics()
{
    if (pickup_mode) {
        if (!sprite) {
            const bool grow = sizeOut == kLarge;
            const char* name = floating_pickup ? (grow ? "pickup-float-grow" : "pickup-float-shrink")
                                               : (grow ? "pickup-grow" : "pickup-shrink");
            sprite = LoadTrapSprites(name, kind);
            if (sprite && !LevelEditorOpen() && sprite->frameCount > 0)
                frame = static_cast<uint8_t>(DrawRand() % sprite->frameCount); // looks only
        }
        SetSizes(sizeIn, sizeOut);
        return;
    }
    if (!effectSheet)
        effectSheet = LoadTrapSprites("effect", kind);
    SetSizes(sizeIn, sizeOut);
}

void SizeTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(sizeIn);
    hasher.Add(sizeOut);
    hasher.Add(mirrored);
    hasher.Add(effectFrame);
    hasher.Add(effectPlaying);
}

void SizeTrap::CopyKindFields(const Trap& source)
{
    const auto& from = static_cast<const SizeTrap&>(source);
    sizeIn = from.sizeIn;
    sizeOut = from.sizeOut;
    mirrored = from.mirrored;
    effectFrame = from.effectFrame;
    effectStart = from.effectStart;
    effectPlaying = from.effectPlaying;
}
