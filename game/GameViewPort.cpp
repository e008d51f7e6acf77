#include "game/GameViewPort.h"

#include "app/GameClock.h"
#include "app/StringUtil.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "game/GameServices.h"
#include "gui/GuiDevice.h"
#include "gui/UiScale.h"
#include "gui/WindowList.h"
#include "media/Draw2D.h"
#include "media/Font.h"
#include "media/FontManager.h"
#include "media/MSManager.h"
#include "modes/ModeServices.h"
#include "traps/Trap.h"
#include "world/ConsoleValues.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"
#include "world/Groups.h"
#include "world/Landscape.h"
#include "world/TrapRegistry.h"
#include "world/WorldClock.h"
#include "world/WorldState.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <memory>

namespace {

constexpr int kBackgroundTrapKind = 34;
constexpr int kCountFont = 6;
constexpr float kFollowMargin = 200.0f;
constexpr int32_t kViewMultiverseMode = 4;
constexpr int kUniverseStepMs = 500;

bool LocalPlayerPlays()
{
    const PlayerRecord* local = Controller().localPlayer;
    return local && !local->spectator;
}

} // namespace

GameViewPort* FindGameViewPort()
{
    return dynamic_cast<GameViewPort*>(FindOpenWindow(GameViewPort::kWindowName));
}

GameViewPort::GameViewPort()
{
    SetName(kWindowName);
}

GameViewPort::~GameViewPort() = default;

void GameViewPort::SetZoom(float zoom, int duration)
{
    zoom = std::min(zoom, GetFitZoom(true));
    zoom = std::max(zoom, kClosestZoom);
    InteractiveVP::SetZoom(zoom, duration);
}

void GameViewPort::ShowNextUniverse()
{
    GameController& controller = Controller();
    Landscape* land = Land();
    if (controller.modeIndex != kViewMultiverseMode || !land || land->Width() <= 0)
        return;
    if (ConsoleInt("follow_selected") == 1)
        land->SelectFlimbAt(false, -1000, -1000);
    int32_t universes = 0;
    if (controller.sessionKind == kSessionNetworked) {
        universes = controller.CountPlayers(-1, false);
    } else {
        for (const GroupEntry& group : controller.groups)
            universes += group.inUse ? 1 : 0;
    }
    universes = std::max(universes, 1);
    const int32_t width = land->Width();
    int32_t x = width / universes + static_cast<int32_t>(X());
    if (x >= width)
        x -= width;
    PanTo(x, static_cast<int32_t>(Y()), kUniverseStepMs, true);
    controller.otherViewSwitch = (controller.otherViewSwitch + 1) % universes;
}

void GameViewPort::AddStampUI(const std::string& stampImage)
{
    HudOpenStampTool(stampImage);
}

void GameViewPort::SetRotation(float radians, uint32_t ms)
{
    InteractiveVP::SetRotation(radians, static_cast<int>(std::min<uint32_t>(ms, INT32_MAX)), -1.0f);
}

void GameViewPort::ZoomBy(float delta, uint32_t ms)
{
    ZoomTo(GetZoom() + delta, ms);
}

void GameViewPort::ZoomTo(float distance, uint32_t ms)
{
    SetZoom(LimitZoom(distance), static_cast<int>(std::min<uint32_t>(ms, INT32_MAX)));
}

bool GameViewPort::IsScrolling() const
{
    return IsAnimating() || dragging != 0 || rightDragActive != 0;
}

FloatPoint GameViewPort::WorldToScreen(float x, float y) const
{
    Landscape* land = Land();
    if (!land)
        return FloatPoint{x, y};
    Current current(const_cast<GameViewPort*>(this));
    return land->WorldToScreenF(0.0f, x, y);
}

Primitive* GameViewPort::OnLeftButton(int x, int y, int phase)
{
    Primitive* taker = InteractiveVP::OnLeftButton(x, y, phase);
    Flimb* selected = World().selected;
    const GameController& controller = Controller();
    if (LocalPlayerPlays() && controller.gameState != 2 && ConsoleIntOr("use_belt", 1) != 0 && phase == kPhaseDown
        && (taker == this || taker == nullptr) && selected && !HudBeltOpen() && selected->flags2 < 128
        && ModeAcceptsCommand(selected->id) && !controller.playbackRunning) {
        OpenBelt(*selected);
        return this;
    }
    return taker;
}

void GameViewPort::OpenBelt(Flimb& flimb)
{
    Current current(this);
    touchHeld = 0;
    World().viewChanged = 1;
    HudOpenBelt(&flimb); // the HUD's belt places itself by the flimb and fills its slots
}

Primitive* GameViewPort::OnRightButton(int x, int y, int phase)
{
    return InteractiveVP::OnRightButton(x, y, phase);
}

Primitive* GameViewPort::OnWheel(int delta)
{
    const bool up = delta > 0;
    if (msManager.IsRightButtonDown()) {
        const float zoom = GetZoom();
        SetZoom(LimitZoom(up ? zoom - 300.0f : zoom + 300.0f), 200);
        return this;
    }
    Primitive* taker = ViewIfLandscape(InteractiveVP::OnWheel(delta));
    if (taker)
        return taker;
    if (!Controller().playbackRunning) {
        World().selectRequests = up ? std::array<uint8_t, 2>{1, 0} : std::array<uint8_t, 2>{0, 1};
    }
    return this;
}

int GameViewPort::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    // The landscape is a child: its own keys come before the zoom keys.
    Current current(this);
    return InteractiveVP::OnKey(value, code, shift, device);
}

std::string GameViewPort::GetCursorName()
{
    const WorldState& world = World();
    if (world.actionKeyStamp != 0) {
        const uint32_t waited = gameClock.Now() - world.actionKeyStamp;
        if (!world.selected || waited > 250)
            return "highlight";
    }
    return InteractiveVP::GetCursorName();
}

void GameViewPort::Update()
{
    InteractiveVP::Update();
    Current current(this);
    Landscape* land = Land();

    // 1. The visible part of the world, for traps, particles, sounds and drawing.
    FloatRect visible = rect;
    Landscape::ScreenRectToWorld(visible);
    Controller().visibleRect = gfx::RECT{static_cast<int32_t>(std::lround(visible.left)),
                                         static_cast<int32_t>(std::lround(visible.top)),
                                         static_cast<int32_t>(std::lround(visible.right)),
                                         static_cast<int32_t>(std::lround(visible.bottom))};
    WorldState& world = World();
    world.viewChanged = 1;

    // 2. A right drag lets a followed selection go.
    if (world.selected && rightArmed && ConsoleInt("follow_selected") != 0 && land)
        land->SelectFlimbAt(false, -1000, -1000);

    FollowSelected();
    lastFollowed = world.selected;
}

void GameViewPort::FollowSelected()
{
    const Flimb* flimb = World().selected;
    if (!flimb)
        return;
    // 3. The view turns to the flimb's gravity.
    if (followGravity) {
        const float angle = RotationForGravity(flimb->gravity);
        if (rotation_ != angle && std::fabs(angle - GetRotation()) >= 0.01f) {
            SetRotation(angle, 500, -1.0f);
            PanTo(flimb->x, flimb->y, 500, true);
        }
    }
    // 4. A new selection is centred.
    if (flimb != lastFollowed && ConsoleInt("center_on_select") != 0 && CurrentUpdateCounter() != 0) {
        PanTo(flimb->x, flimb->y, 500, true);
        return;
    }
    // 5. Otherwise the flimb is kept inside the view less a margin.
    const bool followOn = ConsoleInt("follow_selected") != 0;
    const bool followable = (flimb->flags & (kFlimbInWorld | kFlimbAlive)) == (kFlimbInWorld | kFlimbAlive)
                            && ((flimb->flags2 & 0x80) != 0 || flimb->IsOverTrapKind());
    if (!(followOn || followable) || !panIdle || rightDragActive)
        return;
    const float margin = kFollowMargin * GetUiScale();
    FloatRect inner{rect.left + margin, rect.top + margin, rect.right - margin, rect.bottom - margin};
    Landscape::ScreenRectToWorld(inner);
    const gfx::RECT box = flimb->GetCurrentSprite();
    float dx = 0.0f, dy = 0.0f;
    if (box.left < inner.left)
        dx = static_cast<float>(box.left) - inner.left;
    else if (box.right > inner.right)
        dx = static_cast<float>(box.right) - inner.right;
    if (box.top < inner.top)
        dy = static_cast<float>(box.top) - inner.top;
    else if (box.bottom > inner.bottom)
        dy = static_cast<float>(box.bottom) - inner.bottom;
    if (dx == 0.0f && dy == 0.0f)
        return;
    // A target less than a pixel away (the truncation leaves the sprite a fraction out)
    // would restart the pan every frame and keep the view from ever being idle.
    const int targetX = static_cast<int>(x_ + dx), targetY = static_cast<int>(y_ + dy);
    if (std::fabs(static_cast<float>(targetX) - x_) < 1.0f && std::fabs(static_cast<float>(targetY) - y_) < 1.0f)
        return;
    PanTo(targetX, targetY, 50, true);
}

void GameViewPort::Draw()
{
    InteractiveVP::Draw();
    if (showGroupCounts)
        DrawGroupCounts();
}

bool GameViewPort::GroupCountsAt(int32_t worldX, int32_t worldY, std::array<int32_t, 8>& counts)
{
    counts.fill(0);
    for (const Trap* trap : GetTrapsOfKind(kBackgroundTrapKind)) {
        if (!trap->visible || !trap->enabled)
            continue;
        const gfx::RECT bounds = trap->GetBounds();
        if (worldX >= bounds.left && worldX <= bounds.right && worldY >= bounds.top && worldY <= bounds.bottom)
            return false;
    }
    CountGroupFlimbsAtPoint(worldX, worldY, counts);
    return true;
}

void GameViewPort::DrawGroupCounts()
{
    Current current(this);
    Landscape* land = Land();
    if (!land)
        return;
    const float cursorX = static_cast<float>(msManager.X()), cursorY = static_cast<float>(msManager.Y());
    const FloatPoint world = land->UnprojectPoint(cursorX, cursorY);
    const int32_t wx = static_cast<int32_t>(std::lround(world.x)), wy = static_cast<int32_t>(std::lround(world.y));
    std::array<int32_t, 8> counts{};
    if (!GroupCountsAt(wx, wy, counts))
        return;
    Font* font = FontManager::GetFont(kCountFont);
    if (!font)
        return;
    const float screenW = static_cast<float>(GetScreenWidth()), screenH = static_cast<float>(GetScreenHeight());
    const float scale = screenW / screenH > 4.0f / 3.0f ? screenH / 768.0f : screenW / 1024.0f;
    const TextExtent box = font->MeasureText("94", scale, scale);
    const float clock = static_cast<float>(gameClock.Now()) / 600.0f;
    for (int group = 0; group < 8; ++group) {
        if (counts[size_t(group)] <= 0)
            continue;
        const float angle = static_cast<float>(group) * kPi / 4.0f + clock;
        const float cx = cursorX + 50.0f * std::cos(angle), cy = cursorY + 50.0f * std::sin(angle);
        Draw2D::DrawFilledRect(cx - box.width / 2.0f, cy - box.height / 2.0f, cx + box.width / 2.0f,
                               cy + box.height / 2.0f, 0x80000000u);
        font->DrawTextTransformed(cx, cy - box.height / 2.0f, kGroupColours[size_t(group)],
                                  StringPrintf("%d", counts[size_t(group)]), kTextCentre, scale);
    }
}
