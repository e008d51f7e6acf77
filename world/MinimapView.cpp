#include "world/MinimapView.h"

#include "game/GameController.h"
#include "game/GameHooks.h"
#include "game/GameViewPort.h"
#include "game/ViewDraw.h"
#include "gui/FlimbsLayoutEngine.h"
#include "gui/GuiDevice.h"
#include "gui/PrimContainer.h"
#include "gui/UiScale.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "media/ImageCache.h"
#include "media/NinePieceFrame.h"
#include "traps/Trap.h"
#include "traps_flow/SceneryServices.h"
#include "world/AnimationSpec.h"
#include "world/Flimb.h"
#include "world/Landscape.h"
#include "world/MinimapSurface.h"
#include "world/TrapRegistry.h"
#include "world/WorldState.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr float kPi = 3.14159265358979f;
// The panel's turn for each direction: the game view's turn of the world on the screen.
constexpr float kDirectionAngles[4] = {0.0f, kPi, 3.0f * kPi / 2.0f, kPi / 2.0f};
constexpr float kFitWidth = 900.0f;
constexpr float kFitHeight = 530.0f;
constexpr uint32_t kExitKind = 22;
constexpr uint32_t kBackgroundKind = 34;

bool Sideways(uint8_t direction)
{
    return direction == 2 || direction == 3;
}

} // namespace

uint8_t DirectionOfRotation(float rotation)
{
    // The direction whose view rotation (3 pi / 2, pi / 2, 0, pi) lies nearest.
    constexpr float kRotations[4] = {3.0f * kPi / 2.0f, kPi / 2.0f, 0.0f, kPi};
    uint8_t best = 0;
    float bestGap = 10.0f;
    for (uint8_t d = 0; d < 4; ++d) {
        float gap = std::fabs(std::remainder(rotation - kRotations[d], 2.0f * kPi));
        if (gap < bestGap) {
            bestGap = gap;
            best = d;
        }
    }
    return best;
}

MinimapView::MinimapView()
{
    SetName("MinimapView");
    zoomBorder_ = LoadImageIfPresent(kZoomBorder);
}

MinimapView::~MinimapView()
{
    for (AnimSurface*& icon : groupIcons_)
        ImageCache::ReleaseImage(icon);
    ImageCache::ReleaseImage(zoomBorder_);
    ImageCache::ReleaseImage(winImage_);
}

PrimContainer* MinimapView::CreatePanel()
{
    auto* panel = new PrimContainer();
    panel->SetName("MinimapPanel");
    FlimbsLayoutEngine engine(panel);
    engine.SetMargins(0.0f, 0.0f, 0.0f, 0.0f);
    engine.SetOrigin(0.0f, 0.0f);
    auto view = std::make_unique<MinimapView>();
    float width = 0.0f, height = 0.0f;
    view->GetSize(&width, &height);
    view->SetSize(width, height);
    engine.AddControl(std::move(view), "MinimapView");
    engine.Finish();
    panel->AdjustSize(-1, 0.0f, 0.0f); // the panel wraps its view
    return panel;
}

AnimSurface* MinimapView::LoadGroupIcon(int group)
{
    const size_t g = size_t(group & 7);
    if (!iconTried_[g]) {
        iconTried_[g] = true;
        groupIcons_[g] = LoadImageIfPresent("Graphics\\HUD\\Minimap\\flimb_" + AnimationSpec::GroupLabel(group) + ".png");
    }
    return groupIcons_[g];
}

float MinimapView::LandWidth() const
{
    const Landscape* land = GameLandscape();
    return land && land->Width() > 0 ? static_cast<float>(land->Width()) : 1.0f;
}

float MinimapView::LandHeight() const
{
    const Landscape* land = GameLandscape();
    return land && land->Height() > 0 ? static_cast<float>(land->Height()) : 1.0f;
}

FloatPoint MinimapView::PanelPixels() const
{
    const float w = Sideways(direction) ? LandHeight() : LandWidth();
    const float h = Sideways(direction) ? LandWidth() : LandHeight();
    const float k = std::min(kFitWidth / w, kFitHeight / h);
    const float scale = GetUiScale();
    return FloatPoint{w * k * scale, h * k * scale};
}

bool MinimapView::GetSize(float* width, float* height)
{
    const FloatPoint pixels = PanelPixels();
    if (width)
        *width = ToVirtualX(pixels.x);
    if (height)
        *height = ToVirtualY(pixels.y);
    return true;
}

float MinimapView::GetScale() const
{
    const float panelWidth = rect.right - rect.left > 0.0f ? rect.right - rect.left : PanelPixels().x;
    return (panelWidth + 1.0f) / (Sideways(direction) ? LandHeight() : LandWidth());
}

FloatPoint MinimapView::WorldToPanel(float x, float y) const
{
    const float s = GetScale();
    const float dx = x * s - LandWidth() * s / 2.0f, dy = y * s - LandHeight() * s / 2.0f;
    const float a = kDirectionAngles[direction & 3];
    const float c = std::cos(a), n = std::sin(a);
    const FloatPoint size = rect.right - rect.left > 0.0f
                                ? FloatPoint{rect.right - rect.left, rect.bottom - rect.top}
                                : PanelPixels();
    return FloatPoint{dx * c - dy * n + size.x / 2.0f, dx * n + dy * c + size.y / 2.0f};
}

FloatPoint MinimapView::PanelToWorld(float x, float y) const
{
    const float s = GetScale();
    const FloatPoint size = rect.right - rect.left > 0.0f
                                ? FloatPoint{rect.right - rect.left, rect.bottom - rect.top}
                                : PanelPixels();
    const float dx = x - size.x / 2.0f, dy = y - size.y / 2.0f;
    const float a = -kDirectionAngles[direction & 3];
    const float c = std::cos(a), n = std::sin(a);
    const float rx = dx * c - dy * n, ry = dx * n + dy * c;
    return FloatPoint{rx / s + LandWidth() / 2.0f, ry / s + LandHeight() / 2.0f};
}

void MinimapView::Update()
{
    const GameViewPort* view = FindGameViewPort();
    const uint8_t now = view ? DirectionOfRotation(view->GetRotation()) : 0;
    if (now == direction)
        return;
    direction = now;
    float width = 0.0f, height = 0.0f;
    GetSize(&width, &height);
    SetSize(width, height);
    if (parent) {
        parent->AdjustSize(-1, 0.0f, 0.0f);
        Primitive* window = FindOwningWindow();
        if (window && window != parent)
            window->AdjustSize(-1, 0.0f, 0.0f);
    }
}

Primitive* MinimapView::OnLeftButton(int x, int y, int phase)
{
    if (phase != kPhaseDown && phase != kPhaseHeld)
        return this;
    const float px = std::trunc(static_cast<float>(x) - rect.left), py = std::trunc(static_cast<float>(y) - rect.top);
    const FloatPoint world = PanelToWorld(px, py);
    if (GameViewPort* view = FindGameViewPort())
        view->PanTo(static_cast<int>(world.x), static_cast<int>(world.y), 100, true);
    return this;
}

void MinimapView::Draw()
{
    const gfx::D3DCOLOR panelColour = (gfx::D3DCOLOR(alpha) << 24) | 0xFFFFFFu;
    const float panelW = rect.right - rect.left, panelH = rect.bottom - rect.top;
    const float centreX = rect.left + panelW / 2.0f, centreY = rect.top + panelH / 2.0f;
    if (SessionLevelName() == "s_ar_fusion") {
        if (!winTried_) {
            winTried_ = true;
            winImage_ = LoadImageIfPresent(kWinImage);
        }
        if (winImage_)
            DrawTurnedFrame(winImage_, 0, centreX, centreY, 1.0f, 1.0f, 0.0f, panelColour,
                            static_cast<float>(winImage_->frameWidth) / 2.0f,
                            static_cast<float>(winImage_->frameHeight) / 2.0f);
        return;
    }
    Landscape* land = GameLandscape();
    if (!land || panelW <= 0.0f || panelH <= 0.0f)
        return;
    const float turn = kDirectionAngles[direction & 3];

    // The terrain.
    if (const auto* surface = dynamic_cast<const MinimapSurface*>(land->Minimap());
        surface && surface->texture && surface->SurfaceWidth() > 0 && surface->SurfaceHeight() > 0) {
        const float sw = static_cast<float>(surface->SurfaceWidth()), sh = static_cast<float>(surface->SurfaceHeight());
        const float scaleX = (Sideways(direction) ? panelH : panelW) / sw;
        const float scaleY = (Sideways(direction) ? panelW : panelH) / sh;
        const gfx::RECT source{0, 0, surface->SurfaceWidth(), surface->SurfaceHeight()};
        Draw2D::DrawTexturedQuad(surface->texture, &source, centreX, centreY, scaleX, scaleY, sw / 2.0f, sh / 2.0f,
                                 turn, panelColour);
    }

    const float s = GetScale();
    // The exits.
    if (Controller().exitDisplay == 1) {
        for (const Trap* exit : GetTrapsOfKind(kExitKind)) {
            if (!exit->enabled || !exit->ShowsOnMinimap() || !exit->sprite)
                continue;
            const FloatPoint at = WorldToPanel(exit->x, exit->y);
            DrawTurnedFrame(exit->sprite, exit->frame, rect.left + at.x, rect.top + at.y, s * exit->scale_x,
                            s * exit->scale_y, exit->rotation * kPi / 180.0f + turn, panelColour);
        }
    }

    // The flimbs, facing their way and turned to their gravity.
    for (const Flimb& flimb : World()) {
        if (flimb.IsFree() || !flimb.IsAlive())
            continue;
        const AnimSurface* icon = LoadGroupIcon(flimb.group);
        if (!icon)
            continue;
        const float scale = s * (flimb.IsSelected() ? 4.0f : 2.0f);
        const bool sideways = flimb.gravity == 1 || flimb.gravity == 3;
        const bool asDrawn = (flimb.walkSpeed > 0 && sideways) || (flimb.walkSpeed <= 0 && !sideways);
        const FloatPoint at = WorldToPanel(static_cast<float>(flimb.x), static_cast<float>(flimb.y));
        DrawTurnedFrame(icon, 0, rect.left + at.x, rect.top + at.y, asDrawn ? scale : -scale, scale,
                        GravitySpriteAngle(flimb.gravity & 3) + turn, panelColour,
                        static_cast<float>(icon->frameWidth) / 2.0f, static_cast<float>(icon->frameHeight) / 2.0f);
    }

    // The background layers marked for the minimap, at their places on the map.
    for (Trap* background : GetTrapsOfKind(kBackgroundKind)) {
        if (!background->visible || !background->ShowsOnMinimap())
            continue;
        const FloatPoint at = WorldToPanel(background->x, background->y);
        LayerPlacement placement;
        placement.scale = s;
        placement.turnDegrees = turn * 180.0f / kPi;
        placement.alpha = 255;
        DrawBackgroundLayerAt(*background, rect.left + at.x, rect.top + at.y, placement);
    }

    // What the game view shows.
    GameViewPort* view = FindGameViewPort();
    if (!view || !zoomBorder_)
        return;
    FloatRect shown = view->rect;
    {
        Landscape::CurrentViewScope current(land, view);
        Landscape::ScreenRectToWorld(shown);
    }
    const FloatPoint a = WorldToPanel(shown.left, shown.top), b = WorldToPanel(shown.right, shown.bottom);
    const FrameRect frame{rect.left + std::min(a.x, b.x), rect.top + std::min(a.y, b.y), rect.left + std::max(a.x, b.x),
                          rect.top + std::max(a.y, b.y)};
    DrawImageFrame(zoomBorder_, frame, static_cast<uint8_t>(alpha * 34 / 255), alpha, 0xFFFFFF);
}
