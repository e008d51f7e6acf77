#include "modes/PlayerModifiers.h"

#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "gui/ScreenImage.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"
#include "gui/WindowList.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "media/ImageCache.h"
#include "media/Surface.h"
#include "modes/MatchEffects.h"
#include "modes/MatchWorld.h"
#include "world/AnimationSpec.h"
#include "world/Flimb.h"
#include "world/ViewServices.h"

#include <algorithm>

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kRowTop = 10.0f;      // virtual units below the top of the view
constexpr float kRowSpacing = 50.0f;  // virtual units between the pictures of the uses
constexpr float kStatueRowLeft = 50.0f;
constexpr float kStunRowLeft = 250.0f;
constexpr uint8_t kStatueAlpha = 128;

bool KeyPress(int value)
{
    return value != 0 && value != 2;
}

// The world point under a screen point of the game view "MOUSEPORT".
void ClickToWorld(int x, int y, float& worldX, float& worldY)
{
    ScopedGameView view;
    ScreenToWorldPoint(float(x), float(y), worldX, worldY);
}

// The statue's turn: upright against the view's rotation.
float UprightRotation()
{
    return 3.0f * kPi / 2.0f - GameViewRotation();
}

// The point (x, y) moved by (dx, dy) turned to the gravity direction.
void OffsetByDirection(float x, float y, int direction, float dx, float dy, float& outX, float& outY)
{
    switch (direction) {
    case 1: outX = x - dx; outY = y - dy; break;
    case 2: outX = x - dy; outY = y + dx; break;
    case 3: outX = x + dy; outY = y - dx; break;
    default: outX = x + dx; outY = y + dy; break;
    }
}

void DrawTurned(AnimSurface* image, float x, float y, float scale, float rotation, uint8_t alpha)
{
    if (!image || !image->bitmap)
        return;
    BaseSurface* bitmap = image->bitmap;
    bitmap->scaleX = bitmap->scaleY = scale;
    bitmap->rotation = rotation;
    bitmap->colour = 0xFFFFFF;
    bitmap->alpha = alpha;
    image->Draw(x, y);
    bitmap->rotation = 0.0f;
}

} // namespace

std::unique_ptr<GameModifier> MakeBuiltInModifier(int type)
{
    switch (type) {
    case GameModifier::kStatue: return std::make_unique<BoxPaintGameModifier>();
    case GameModifier::kStun: return std::make_unique<StunFlimbGameModifier>();
    case GameModifier::kShift: return std::make_unique<ShiftFlimbGameModifier>();
    default: return nullptr;
    }
}

// ---- ArmedGameModifier -----------------------------------------------------------------

ArmedGameModifier::ArmedGameModifier(int type, int keyCode, const char* windowName, const char* noneLeftText)
    : GameModifier(type), keyCode_(keyCode), noneLeftText_(noneLeftText)
{
    SetName(windowName);
    deleteWhenClosed = 0; // the mode owns its modifiers
    SetPosition(0.0f, 0.0f);
    SetSize(1000.0f, 1000.0f);
}

float ArmedGameModifier::RowScale()
{
    return float(GetScreenHeight()) / 768.0f;
}

int ArmedGameModifier::OnKey(int value, int code, bool, IInputDevice&)
{
    if (code != keyCode_ || value == 2)
        return 0;
    if (CurrentMatchWorld().LocalIsSpectator())
        return 0;
    if (!KeyPress(value)) {
        armed = false;
        return 1;
    }
    if (count < kUses)
        armed = true;
    else
        CurrentMatchEffects().PostNotice(TranslateText(noneLeftText_));
    return 1;
}

Primitive* ArmedGameModifier::HitTest(int x, int y)
{
    return armed && count < kUses ? Primitive::HitTest(x, y) : nullptr;
}

Primitive* ArmedGameModifier::OnLeftButton(int x, int y, int phase)
{
    if (phase != kPhaseDown || !armed || count >= kUses || CurrentMatchWorld().LocalIsSpectator())
        return nullptr;
    float worldX = 0.0f, worldY = 0.0f;
    ClickToWorld(x, y, worldX, worldY);
    if (ApplyAt(worldX, worldY) && ++count >= kUses)
        armed = false;
    return this;
}

// Covers the game view.
void ArmedGameModifier::Update()
{
    if (Primitive* view = FindOpenWindow("MOUSEPORT")) {
        const FloatRect area = view->GetScreenRect();
        if (parent)
            SetPosition(area.left - parent->GetScreenRect().left, area.top - parent->GetScreenRect().top);
        SetSize(area.right - area.left, area.bottom - area.top);
    }
}

void ArmedGameModifier::Reset()
{
    count = 0;
    armed = false;
    visible = 1;
}

// ---- Statues ---------------------------------------------------------------------------

BoxPaintGameModifier::BoxPaintGameModifier()
    : ArmedGameModifier(kStatue, 8, "BOXPAINT", "No more flimb statues left to place.")
{
    for (int n = 0; n < kUses; ++n)
        statues_[size_t(n)] = ImageCache::GetImage(StatuePath(n));
}

BoxPaintGameModifier::~BoxPaintGameModifier()
{
    for (AnimSurface* statue : statues_)
        ImageCache::ReleaseImage(statue);
}

std::string BoxPaintGameModifier::StatuePath(int n)
{
    return StringPrintf("Graphics\\Actions\\statue%d.png", std::clamp(n, 0, kUses - 1));
}

std::string BoxPaintGameModifier::BlockedReason(float worldX, float worldY)
{
    const MatchWorld& world = CurrentMatchWorld();
    for (const ExitInfo& exit : world.Exits()) {
        if (!exit.active)
            continue;
        float x1 = 0.0f, y1 = 0.0f, x2 = 0.0f, y2 = 0.0f;
        OffsetByDirection(exit.x, exit.y, exit.direction, -40.0f * exit.scaleX, -90.0f * exit.scaleY, x1, y1);
        OffsetByDirection(exit.x, exit.y, exit.direction, 40.0f * exit.scaleX, 20.0f * exit.scaleY, x2, y2);
        if (worldX >= std::min(x1, x2) && worldX <= std::max(x1, x2) && worldY >= std::min(y1, y2) &&
            worldY <= std::max(y1, y2))
            return TranslateText("Blocking an exit with a statue is not allowed.");
    }
    for (const StartTrapInfo& start : world.StartTraps()) {
        const float dx = worldX - start.spawnX, dy = worldY - start.spawnY;
        if (dx * dx + dy * dy < kSpawnClearance * kSpawnClearance)
            return TranslateText("Blocking a spawn point with a statue is not allowed.");
    }
    return {};
}

bool BoxPaintGameModifier::ApplyAt(float worldX, float worldY)
{
    MatchEffects& effects = CurrentMatchEffects();
    const std::string blocked = BlockedReason(worldX, worldY);
    if (!blocked.empty()) {
        effects.SendChat(blocked);
        return false;
    }
    effects.SendChat(TranslateText("A flimb statue has been placed!"));
    const MatchWorld& world = CurrentMatchWorld();
    NetBashRequest bash;
    bash.brush = StatuePath(count);
    bash.x = int32_t(worldX);
    bash.y = int32_t(worldY);
    bash.mode = count == kUses - 1 ? 2 : 1;
    bash.colour = world.GroupColour(world.LocalGroup());
    bash.rotation = UprightRotation();
    effects.SendNetBash(bash);
    return true;
}

void BoxPaintGameModifier::Draw()
{
    if (!visible || CurrentMatchWorld().LocalIsSpectator())
        return;
    const float scale = RowScale();
    for (int n = count; n < kUses; ++n)
        DrawTurned(statues_[size_t(n)], ToPixelsX(kStatueRowLeft + kRowSpacing * float(n - count)),
                   rect.top + ToPixelsY(kRowTop) + 20.0f * scale, scale * 0.5f, 0.0f, kStatueAlpha);
    if (armed && count < kUses) {
        int x = 0, y = 0;
        GetPointerPosition(&x, &y);
        DrawTurned(statues_[size_t(count)], float(x), float(y), scale, UprightRotation(), kStatueAlpha);
    }
}

// ---- Stunning --------------------------------------------------------------------------

StunFlimbGameModifier::StunFlimbGameModifier()
    : ArmedGameModifier(kStun, 9, "STUNFLIMB", "No more flimb stuns left.")
{
}

// Only a click on a flimb spends a use: the first flimb found there is stunned.
bool StunFlimbGameModifier::ApplyAt(float worldX, float worldY)
{
    const std::vector<int32_t> found = CurrentMatchWorld().ObjectsAt(worldX, worldY);
    if (found.empty())
        return false;
    MatchEffects& effects = CurrentMatchEffects();
    effects.SendUpdateFlimbType(found.front(), kFlimbTypeStunned, kStunSubKind, 0);
    effects.SendChatLine(TranslateText("A flimb has been stunned!"));
    return true;
}

void StunFlimbGameModifier::Draw()
{
    const MatchWorld& world = CurrentMatchWorld();
    if (!visible || world.LocalIsSpectator())
        return;
    const int group = world.LocalGroup();
    if (!stun_ && !triedStun_ && group >= 0 && group < kGroupCount) {
        triedStun_ = true;
        stun_ = AnimationSpec::GetGroupAnimation(group, kStun, 0, false);
    }
    const float scale = RowScale();
    const auto mark = [&](float x, float y, float rotation) {
        if (stun_)
            DrawTurned(stun_, x, y, scale, rotation, 255);
        else
            Draw2D::DrawFilledCircle(12.0f * scale, x, y, WithAlpha(world.GroupColour(group), 200));
    };
    for (int n = count; n < kUses; ++n)
        mark(ToPixelsX(kStunRowLeft + kRowSpacing * float(n - count)), rect.top + ToPixelsY(kRowTop) + 20.0f * scale,
             0.0f);
    if (armed && count < kUses) {
        int x = 0, y = 0;
        GetPointerPosition(&x, &y);
        mark(float(x), float(y), UprightRotation());
    }
}

// ---- Shifting --------------------------------------------------------------------------

ShiftFlimbGameModifier::ShiftFlimbGameModifier() : GameModifier(kShift)
{
    SetName("SHIFTFLIMB");
    deleteWhenClosed = 0;
    count = kUses;
}

int ShiftFlimbGameModifier::OnKey(int value, int code, bool, IInputDevice&)
{
    const MatchWorld& world = CurrentMatchWorld();
    if (code != kKeyCode || !KeyPress(value) || world.LocalIsSpectator())
        return 0;
    const int32_t flimb = world.HighlightedFlimb();
    if (flimb < 0)
        return 0;
    MatchEffects& effects = CurrentMatchEffects();
    if (count <= 0) {
        effects.PostNotice(TranslateText("You have no more flimb shifts remaining."));
        return 1;
    }
    --count;
    effects.SendModifierState(kShift, flimb);
    effects.SendChatLine(TranslateText("A flimb has been shifted!"));
    return 1;
}

void ShiftFlimbGameModifier::Apply(int32_t flimbId)
{
    MatchWorld& world = CurrentMatchWorld();
    const std::vector<int> universes = MatchFigures::EnabledGroups(world);
    const int strips = int(universes.size());
    if (strips == 0) {
        WriteLog("Shift of flimb %d ignored: the level has no enabled group\n", flimbId);
        return;
    }
    FlimbInfo flimb;
    if (!world.FindFlimb(flimbId, flimb)) {
        WriteLog("Shift of flimb %d ignored: no such flimb\n", flimbId);
        return;
    }
    const int32_t width = world.WorldWidth();
    const int32_t x = int32_t(flimb.x);
    const int own = MatchFigures::StripOf(x, width, strips);
    const int32_t ownLeft = MatchFigures::StripLeft(own, width, strips);
    const int32_t ownWidth = MatchFigures::StripLeft(own + 1, width, strips) - ownLeft;
    const int32_t offset = std::clamp(x - ownLeft, 0, std::max(ownWidth - 1, 0));
    bool moved = false;
    for (int strip = 0; strip < strips; ++strip) {
        if (strip == own)
            continue;
        const int32_t target = MatchFigures::StripLeft(strip, width, strips) + offset;
        if (!moved) {
            world.MoveFlimbX(flimbId, target);
            moved = true;
        } else {
            world.CopyFlimb(flimbId, target);
        }
    }
}

void ShiftFlimbGameModifier::Reset()
{
    count = kUses;
    visible = 1;
}
