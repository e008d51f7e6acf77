#include "game/ViewDraw.h"

#include "app/FileManager.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "media/ImageCache.h"
#include "world/ViewServices.h"

#include <algorithm>

namespace {

constexpr float kPi = 3.14159265358979f;
constexpr float kUprightRotation = 3.0f * kPi / 2.0f;

gfx::RECT FrameSource(const AnimSurface& image, int frame)
{
    if (image.imageWidth <= 0 || image.frameWidth <= 0)
        return gfx::RECT{0, 0, image.frameWidth, image.frameHeight};
    const int p = frame * image.frameWidth;
    const int row = p / image.imageWidth;
    const int left = p % image.imageWidth;
    return gfx::RECT{left, row * image.frameHeight, left + image.frameWidth, (row + 1) * image.frameHeight};
}

} // namespace

ViewPlacement PlaceInView(float worldX, float worldY)
{
    ViewPlacement place;
    place.x = worldX;
    place.y = worldY;
    WorldToScreen(place.x, place.y);
    place.scale = CurrentViewScale();
    place.turn = kUprightRotation - GameViewRotation();
    return place;
}

float GravitySpriteAngle(int direction)
{
    switch (direction & 3) {
    case 1:
        return kPi;
    case 2:
        return kPi / 2.0f;
    case 3:
        return 3.0f * kPi / 2.0f;
    default:
        return 0.0f;
    }
}

void HeadDirection(int direction, float& dx, float& dy)
{
    dx = direction == 2 ? 1.0f : direction == 3 ? -1.0f : 0.0f;
    dy = direction == 0 ? -1.0f : direction == 1 ? 1.0f : 0.0f;
}

void DrawTurnedFrame(const AnimSurface* image, int frame, float x, float y, float scaleX, float scaleY,
                    float rotation, gfx::D3DCOLOR colour, float pivotX, float pivotY, const gfx::RECT* part)
{
    if (!image || !image->bitmap || !image->bitmap->texture)
        return;
    const int count = std::max(1, image->frameCount);
    const gfx::RECT whole = FrameSource(*image, std::clamp(frame, 0, count - 1));
    gfx::RECT source = whole;
    if (part) {
        source.left = whole.left + part->left;
        source.top = whole.top + part->top;
        source.right = std::min(whole.right, whole.left + part->right);
        source.bottom = std::min(whole.bottom, whole.top + part->bottom);
        if (source.right <= source.left || source.bottom <= source.top)
            return;
    }
    const float cx = pivotX >= 0.0f ? pivotX : static_cast<float>(image->hotspotX);
    const float cy = pivotY >= 0.0f ? pivotY : static_cast<float>(image->hotspotY);
    Draw2D::DrawTexturedQuad(image->bitmap->texture, &source, x, y, scaleX, scaleY, cx, cy, rotation, colour);
}

AnimSurface* LoadImageIfPresent(const std::string& path, bool blurred)
{
    if (!fileManager || !fileManager->Exists(path, -1))
        return nullptr;
    return blurred ? ImageCache::GetBlurredImage(path, 0.0f, false) : ImageCache::GetImage(path);
}
