#include "game/FlimbOverlay.h"

#include "app/GameClock.h"
#include "app/LanguageTexts.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "game/HealthBars.h"
#include "game/ViewDraw.h"
#include "gui/GuiDevice.h"
#include "gui/UiScale.h"
#include "gui/WindowList.h"
#include "media/AnimSurface.h"
#include "media/Cursors.h"
#include "media/Draw2D.h"
#include "media/ImageCache.h"
#include "media/MSManager.h"
#include "media/SoundManager.h"
#include "modes/ModeServices.h"
#include "traps/Trap.h"
#include "world/AnimationSpec.h"
#include "world/Flimb.h"
#include "world/Landscape.h"
#include "world/TrapRegistry.h"
#include "world/WorldState.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr int kCarrierKind = 26;
constexpr uint8_t kParticleCarrier = 0x80;
constexpr uint8_t kMarkerAlpha = 164;
constexpr uint8_t kIconAlpha = 128;
constexpr uint32_t kSelectStepMs = 38;
constexpr int32_t kHoverDistance = 1600; // squared: 40 pixels
constexpr int32_t kPickDistance = 2400;

// The belt's twelve slots: the action code each shows (its angle is the HUD's).
constexpr std::array<int, 12> kBeltSlotActions = {0, 4, 132, 1, 7, 6, 9, 5, 8, 10, 2, 3};

struct OverlayImages {
    std::array<AnimSurface*, 8> triangles{};
    std::array<bool, 8> trianglesTried{};
    AnimSurface* star = nullptr;
    bool starTried = false;
    uint32_t lastStep = 0;
    uint32_t accumulated = 0;
    bool stepped = false;
};

OverlayImages& Images()
{
    static OverlayImages images;
    return images;
}

AnimSurface* Triangle(int group)
{
    OverlayImages& images = Images();
    const size_t g = size_t(group & 7);
    if (!images.trianglesTried[g]) {
        images.trianglesTried[g] = true;
        images.triangles[g] =
            LoadImageIfPresent(SubstituteGroupLabel("Graphics\\Actions\\triangle_{group-label}.png", group), true);
    }
    return images.triangles[g];
}

AnimSurface* Star()
{
    OverlayImages& images = Images();
    if (!images.starTried) {
        images.starTried = true;
        images.star = LoadImageIfPresent("Graphics\\Actions\\star.png", true);
    }
    return images.star;
}

// The group select animations step one frame every 38 ms of drawing time.
void StepSelectAnimations()
{
    OverlayImages& images = Images();
    const uint32_t now = gameClock.Now();
    images.accumulated += images.stepped ? std::min<uint32_t>(now - images.lastStep, 1000) : 0;
    images.lastStep = now;
    images.stepped = true;
    while (images.accumulated >= kSelectStepMs) {
        images.accumulated -= kSelectStepMs;
        for (int group = 0; group < 8; ++group)
            if (AnimSurface* select = GetGroupSelectAnimation(group); select && select->frameCount > 0)
                select->SetFrame((select->currentFrame + 1) % select->frameCount);
    }
}

bool Meets(const gfx::RECT& box, const FloatRect& area)
{
    return static_cast<float>(box.right) >= area.left && static_cast<float>(box.left) <= area.right
           && static_cast<float>(box.bottom) >= area.top && static_cast<float>(box.top) <= area.bottom;
}

// Whether the flimb's sprite, or one of its copies over a wrapping edge, shows.
bool Visible(const Flimb& flimb, const FloatRect& area, const Landscape* land)
{
    const gfx::RECT box = flimb.GetCurrentSprite();
    if (Meets(box, area))
        return true;
    if (!land || land->Width() <= 0 || land->Height() <= 0)
        return false;
    const int32_t width = land->Width(), height = land->Height();
    const int32_t spriteWidth = box.right - box.left, spriteHeight = box.bottom - box.top;
    const auto wraps = [&](int edge) { return land->edgeModes[size_t(edge)] == TileStore::kEdgeWrap; };
    const auto shifted = [&](int32_t dx, int32_t dy) {
        return Meets(gfx::RECT{box.left + dx, box.top + dy, box.right + dx, box.bottom + dy}, area);
    };
    if (wraps(TileStore::kEdgeRight) && flimb.x > width - spriteWidth - 1 && shifted(-width, 0))
        return true;
    if (wraps(TileStore::kEdgeLeft) && flimb.x < spriteWidth && shifted(width, 0))
        return true;
    if (wraps(TileStore::kEdgeBottom) && flimb.y > height - spriteHeight - 1 && shifted(0, -height))
        return true;
    if (wraps(TileStore::kEdgeTop) && flimb.y < spriteHeight && shifted(0, height))
        return true;
    return false;
}

bool LowLayerType(uint8_t type)
{
    return type == kWalk || type == kPuff || type == kSpin || type == kFall || type == kDoppel;
}

uint8_t ViewingGroup()
{
    const PlayerRecord* local = Controller().localPlayer;
    return local ? local->team : 0;
}

// A marker over a flimb: turned to its gravity and set off from its centre against it by
// its sprite's height.
void DrawMarker(const AnimSurface* image, int frame, const Flimb& flimb, uint8_t alpha, float tilt = 0.0f)
{
    if (!image)
        return;
    const FloatPoint centre = GetFlimbCentre(flimb);
    float headX = 0.0f, headY = 0.0f;
    HeadDirection(flimb.gravity & 3, headX, headY);
    const float rise = static_cast<float>(flimb.Layout().height) * flimb.scale;
    const ViewPlacement place = PlaceInView(centre.x + headX * rise, centre.y + headY * rise);
    const float rotation = GravitySpriteAngle(flimb.gravity & 3) + place.turn + tilt;
    DrawTurnedFrame(image, frame, place.x, place.y, place.scale, place.scale, rotation,
                   (gfx::D3DCOLOR(alpha) << 24) | 0xFFFFFFu);
}

// The avatar of the player whose own flimb this is, centred in its marker.
void DrawAvatar(const Flimb& flimb)
{
    const PlayerRecord* owner = FindPlayerByFlimb(static_cast<uint32_t>(flimb.id));
    if (!owner || !owner->avatar || owner->avatar->frameWidth <= 0)
        return;
    const FloatPoint centre = GetFlimbCentre(flimb);
    float headX = 0.0f, headY = 0.0f;
    HeadDirection(flimb.gravity & 3, headX, headY);
    const float rise = static_cast<float>(flimb.Layout().height) * flimb.scale;
    const ViewPlacement place = PlaceInView(centre.x + headX * rise, centre.y + headY * rise);
    const float size = 48.0f / std::max(0.01f, GetUiScale());
    const float scale = size / static_cast<float>(owner->avatar->frameWidth) * place.scale;
    DrawTurnedFrame(owner->avatar, 0, place.x, place.y, scale, scale, place.turn, 0xFFFFFFFFu,
                   static_cast<float>(owner->avatar->frameWidth) / 2.0f,
                   static_cast<float>(owner->avatar->frameHeight) / 2.0f);
}

void AnnounceSplatAlerts(WorldState& world)
{
    if (Controller().playbackRunning)
        return;
    const int32_t endangered = world.tallies[ViewingGroup() & 7][kTallyFalling];
    if (endangered == 0) {
        world.splatAlertLevel = 0;
        return;
    }
    const char* message = nullptr;
    for (const int threshold : {15, 5}) {
        if (threshold <= endangered && threshold > world.splatAlertLevel) {
            world.splatAlertLevel = static_cast<uint8_t>(threshold);
            message = threshold == 15 ? "MEGA SPLAT ALERT!!" : "SPLAT ALERT!";
            break;
        }
    }
    if (!message)
        return;
    Controller().messages.Add(TranslateText(message), -1);
    soundManager.PlayEffect(37, 1.0f);
    soundManager.PlayEffect(67, 1.0f);
}

} // namespace

int BeltSlotOfAction(int action)
{
    for (size_t slot = 0; slot < kBeltSlotActions.size(); ++slot)
        if (kBeltSlotActions[slot] == action)
            return static_cast<int>(slot);
    return -1;
}

void GetAttachedPosition(const Trap& object, int32_t& x, int32_t& y)
{
    x = static_cast<int32_t>(object.x * object.scale_x);
    y = static_cast<int32_t>(object.y * object.scale_y);
}

FloatPoint GetFlimbCentre(const Flimb& flimb)
{
    FloatPoint centre{static_cast<float>(flimb.x), static_cast<float>(flimb.y)};
    for (const Trap* carrier : GetTrapsOfKind(kCarrierKind)) {
        if (!carrier->CarriesFlimb(&flimb))
            continue;
        int32_t cx = 0, cy = 0;
        GetAttachedPosition(*carrier, cx, cy);
        centre.x = (centre.x + static_cast<float>(cx)) / 2.0f;
        centre.y = (centre.y + static_cast<float>(cy)) / 2.0f;
        break;
    }
    return centre;
}

void DrawSpriteAt(const AnimSurface* sprite, float x, float y)
{
    if (sprite)
        DrawTurnedFrame(sprite, sprite->currentFrame, x, y, 1.0f, 1.0f, 0.0f, 0xFFFFFFFFu);
}

void DrawSpriteAt(const AnimSurface* sprite, int x, int y)
{
    DrawSpriteAt(sprite, static_cast<float>(x), static_cast<float>(y));
}

void DrawSpriteInRect(const AnimSurface* sprite, const FloatRect& area, const FloatRect& inset)
{
    if (!sprite || !sprite->bitmap || !sprite->bitmap->texture || sprite->frameWidth <= 0 || sprite->frameHeight <= 0)
        return;
    const float left = area.left + inset.left, top = area.top + inset.top;
    const float right = area.right - inset.right, bottom = area.bottom - inset.bottom;
    if (right <= left || bottom <= top)
        return;
    DrawTurnedFrame(sprite, sprite->currentFrame, left, top, (right - left) / static_cast<float>(sprite->frameWidth),
                   (bottom - top) / static_cast<float>(sprite->frameHeight), 0.0f, 0xFFFFFFFFu, 0.0f, 0.0f);
}

void ReleaseOverlayImages()
{
    OverlayImages& images = Images();
    for (AnimSurface*& triangle : images.triangles)
        ImageCache::ReleaseImage(triangle);
    ImageCache::ReleaseImage(images.star);
    images = OverlayImages{};
    ReleaseHealthBarImages(OverlayHealthBars());
}

void DrawFlimbOverlay(WorldState& world)
{
    ScopedWorld use(world);
    const Landscape* land = GameLandscape();
    // 1-2. Animations, the visible world and the cursor's world point.
    StepSelectAnimations();
    FloatRect visible{0.0f, 0.0f, static_cast<float>(GetScreenWidth()), static_cast<float>(GetScreenHeight())};
    if (land && land->CurrentView())
        visible = land->viewRect;
    Landscape::ScreenRectToWorld(visible);
    FloatPoint cursor{static_cast<float>(msManager.X()), static_cast<float>(msManager.Y())};
    if (land)
        cursor = land->UnprojectPoint(cursor.x, cursor.y);

    // 3. Classify the visible flimbs.
    const uint8_t viewing = ViewingGroup();
    const bool selectedInViewingGroup = world.selected && world.selected->group == viewing;
    const bool hostShowsPending = Controller().hostServerState == 4;
    std::vector<const Flimb*> viewingList, normalList, frontList, topList, iconList, pickList, visibleList;
    const Flimb* hovered = nullptr;
    int64_t hoverBest = 99999;
    for (const Flimb& flimb : world) {
        if (flimb.IsFree() || !Visible(flimb, visible, land))
            continue;
        visibleList.push_back(&flimb);
        if (flimb.queuedAction != kNoType || (hostShowsPending && flimb.pendingType != kNoType))
            iconList.push_back(&flimb);
        const bool viewingGroup = flimb.group == viewing;
        if ((flimb.attributes & kAttrMarked) || (flimb.flags & kParticleCarrier)) {
            frontList.push_back(&flimb);
        } else if (flimb.IsSelected()) {
            topList.push_back(&flimb);
        } else if (LowLayerType(flimb.type)) {
            if (viewingGroup)
                viewingList.push_back(&flimb);
            else
                flimb.Draw(); // other groups' flimbs of these types go under all the rest
        } else {
            normalList.push_back(&flimb);
        }
        // 5. The flimb under the cursor and the pick candidates around it.
        int32_t topX = 0, topY = 0;
        flimb.GetTopPoint(topX, topY);
        const float dx = static_cast<float>(topX) - cursor.x, dy = static_cast<float>(topY) - cursor.y;
        const float distance = dx * dx + dy * dy;
        if (!(viewingGroup && selectedInViewingGroup) && distance < kHoverDistance && distance < hoverBest) {
            hovered = &flimb;
            hoverBest = static_cast<int64_t>(distance);
        }
        if (viewingGroup && distance < kPickDistance && flimb.IsAlive() && ModeAcceptsCommand(flimb.id))
            pickList.push_back(&flimb);
    }
    world.preselected = const_cast<Flimb*>(hovered);

    // 4. The layers.
    for (const auto* list : {&viewingList, &normalList, &frontList, &topList})
        for (const Flimb* flimb : *list)
            flimb->Draw();

    // 6. The markers.
    if (world.selected && world.preview.state != 0 && world.preview.copy.InWorld())
        world.preview.copy.Draw();
    if (hovered)
        DrawMarker(GetPreSelectImage(hovered->group), 0, *hovered, kMarkerAlpha);
    if (world.selected && Visible(*world.selected, visible, land)
        && std::find(pickList.begin(), pickList.end(), world.selected) == pickList.end())
        pickList.push_back(world.selected);
    for (const Flimb* flimb : pickList) {
        const AnimSurface* select = GetGroupSelectAnimation(flimb->group);
        if (!select)
            continue;
        float tilt = 0.0f;
        if (flimb->type == kDrill || flimb->type == kDoppel) {
            const bool reversed = flimb->gravity == 1 || flimb->gravity == 3;
            const int sign = (flimb->walkSpeed < 0) != reversed ? -1 : 1;
            tilt = static_cast<float>(sign) * kPi / 16.0f;
        } else if (world.selectRequests[0]) {
            tilt = -kPi / 8.0f;
        } else if (world.selectRequests[1]) {
            tilt = kPi / 8.0f;
        }
        DrawMarker(select, select->currentFrame, *flimb, kMarkerAlpha, tilt);
        DrawAvatar(*flimb);
    }

    // 7. Particle carriers and marked flimbs.
    for (const Flimb* flimb : frontList) {
        if (flimb->flags & kParticleCarrier)
            DrawMarker(Triangle(flimb->group), 0, *flimb, 255);
        else if (Controller().modeIndex == 1)
            DrawMarker(Star(), 0, *flimb, 255);
    }

    // 8. Queued actions and health bars.
    if (FindOpenWindow("FLIMBS_HUD")) {
        for (const Flimb* flimb : iconList) {
            const int action = flimb->queuedAction != kNoType ? flimb->queuedAction : flimb->pendingType;
            const AnimSurface* icon = BeltSlotOfAction(action) >= 0 ? HudBeltIconForAction(action) : nullptr;
            if (icon)
                DrawMarker(icon, std::min<int>(flimb->group, std::max(1, icon->frameCount) - 1), *flimb, kIconAlpha);
        }
    }
    if (world.healthScale != 0) {
        HealthBarSet& bars = OverlayHealthBars();
        if (!bars.loaded)
            LoadHealthBarImages(bars);
        for (const Flimb* flimb : visibleList)
            if (flimb->IsAlive())
                DrawHealthBar(bars, HealthBar{flimb});
    }

    // 9-10. Alerts and the selection-cycling hint.
    AnnounceSplatAlerts(world);
    if (world.selectRequests[0])
        Cursors::SetCursor("arrow-left");
    else if (world.selectRequests[1])
        Cursors::SetCursor("arrow-right");
}
