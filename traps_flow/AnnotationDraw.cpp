// The annotation's images and its drawing: the framed box, the arrow or the tail, the close
// image and the text, in bubble space placed in the world and seen through the game view.
#include "traps_flow/AnnotationTrap.h"

#include "app/SimMath.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "media/Font.h"
#include "media/FontManager.h"
#include "media/ImageCache.h"
#include "media/SpriteDepth.h"
#include "traps/TrapKindHelpers.h"
#include "world/TrapSpecs.h"
#include "world/ViewServices.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kPi = 3.1415927f;
constexpr const char* kFolder = "Graphics\\Traps\\Annotation\\";

// The frame images in piece order, then "close.png".
const char* const kPieceFiles[kFramePieceCount] = {"top-left.png",    "top.png",    "top-right.png",
                                                     "left.png",        "right.png",  "bottom-left.png",
                                                     "bottom.png",      "bottom-right.png", "fill.png"};
const char* const kTailNames[4] = {"left", "right", "top", "bottom"};

// How bubble space reaches the screen: its points through BubbleToWorld and the view, its
// sizes times `scale`, its turn `turn` radians.
struct BubbleView {
    const AnnotationTrap& trap;
    float scale = 1.0f;
    float turn = 0.0f;

    void Point(float bx, float by, float& sx, float& sy) const
    {
        trap.BubbleToWorld(bx, by, sx, sy);
        WorldToScreen(sx, sy);
    }
    // A frame of an image with its top-left on a bubble point, stretched to w x h.
    void Image(const AnimSurface* image, const gfx::RECT& source, float bx, float by, float w, float h,
               uint32_t colour) const
    {
        if (!image || !image->bitmap || !image->bitmap->texture)
            return;
        const float sw = static_cast<float>(source.right - source.left);
        const float sh = static_cast<float>(source.bottom - source.top);
        if (sw <= 0.0f || sh <= 0.0f)
            return;
        float sx = 0.0f, sy = 0.0f;
        Point(bx, by, sx, sy);
        Draw2D::DrawTexturedQuad(image->bitmap->texture, &source, sx, sy, w / sw * scale, h / sh * scale, 0.0f, 0.0f,
                                 turn, colour);
    }
};

gfx::RECT FrameOf(const AnimSurface* image, int frame)
{
    if (!image || image->frameWidth <= 0 || image->imageWidth <= 0)
        return gfx::RECT{};
    const int perRow = std::max(1, image->imageWidth / image->frameWidth);
    const int column = frame % perRow, row = frame / perRow;
    return gfx::RECT{column * image->frameWidth, row * image->frameHeight, (column + 1) * image->frameWidth,
                     (row + 1) * image->frameHeight};
}

} // namespace

void AnnotationTrap::ReleaseFrameImages()
{
    for (AnimSurface*& piece : framePieces)
        ReleaseSheet(piece);
    ReleaseSheet(closeImage);
    ReleaseSheet(headSprite);
    ReleaseSheet(bodySprite);
}

void AnnotationTrap::ReleaseGraphics()
{
    Trap::ReleaseGraphics();
    ReleaseFrameImages();
}

void AnnotationTrap::LoadGraphics()
{
    if (!sprite)
        sprite = LoadTrapSprites("back", kind);
    const std::string folder = std::string(kFolder) + (annotationMode == kStandard ? "Standard" : "Voice");
    for (int i = 0; i < kFramePieceCount; ++i)
        if (!framePieces[size_t(i)])
            framePieces[size_t(i)] = ImageCache::GetImageFromParts(folder, kPieceFiles[i]);
    if (!closeImage) {
        closeImage = ImageCache::GetImageFromParts(folder, "close.png");
        // The Voice close image holds two frames: plain and under the pointer.
        if (closeImage && annotationMode != kStandard)
            closeImage->SetFrameSize(closeImage->imageWidth, closeImage->imageHeight / 2);
    }
    if (annotationMode == kStandard) {
        textMargins = {13, 8, 13, 8};
    } else if (annotationMode == kVoice) {
        textMargins = {18, 8, 13, 16};
    }
    ChooseTail();
    LoadTailSprites();
}

void AnnotationTrap::LoadTailSprites()
{
    ReleaseSheet(headSprite);
    ReleaseSheet(bodySprite);
    if (annotationMode == kStandard) {
        headSprite = LoadTrapSprites("head", kind);
        bodySprite = LoadTrapSprites("body", kind);
        return;
    }
    if (tailDirection < kTailLeft || tailDirection > kTailBottom)
        return;
    const std::string folder = std::string(kFolder) + "Voice";
    const std::string side = kTailNames[tailDirection];
    headSprite = ImageCache::GetImageFromParts(folder, side + "-tail-end.png");
    bodySprite = ImageCache::GetImageFromParts(folder, side + "-tail-base.png");
}

void AnnotationTrap::Draw()
{
    if (!visible)
        return;
    const uint8_t opacity = Opacity();
    if (opacity == 0)
        return;
    const SpriteDepthScope depth(static_cast<float>(-annotate_z_dist));
    BubbleView view{*this, wobbleScale * CurrentViewScale(),
                    -rotation * kPi / 180.0f + 3.0f * kPi / 2.0f - GameViewRotation()};
    const uint32_t colour = (uint32_t(opacity) << 24) | (tint & 0xFFFFFFu);
    const FrameRect box = BoxRect();
    if (!text_only) {
        const Draw2D::SignedAddScope signedAdd; // the tint adds, 0x808080 leaves the images as they are
        NinePieceFrame frame;
        for (int i = 0; i < kFramePieceCount; ++i)
            if (framePieces[size_t(i)])
                SetFrameCell(frame, i, framePieces[size_t(i)], nullptr);
        if (annotationMode == kStandard && sprite)
            SetFrameCell(frame, kFrameFill, sprite, nullptr);
        for (const FrameQuad& quad : LayoutNinePieceFrame(frame, box))
            view.Image(frame.pieces[quad.piece].image, quad.source, quad.dest.left, quad.dest.top,
                       quad.dest.right - quad.dest.left, quad.dest.bottom - quad.dest.top, colour);
        int32_t ax = 0, ay = 0;
        GetAnchor(ax, ay);
        const bool destination = arrow_x != 0 || arrow_y != 0;
        if (annotationMode == kStandard && destination && headSprite && bodySprite) {
            // The arrow: the body from the box towards the destination, the head on it.
            float fromX = 0.0f, fromY = 0.0f, toX = 0.0f, toY = 0.0f;
            view.Point(0.0f, 0.0f, fromX, fromY);
            view.Point(static_cast<float>(ax), static_cast<float>(ay), toX, toY);
            const float angle = std::atan2(toY - fromY, toX - fromX);
            const float headLength = static_cast<float>(headSprite->frameWidth) * view.scale;
            const float length = std::hypot(toX - fromX, toY - fromY) - headLength;
            const gfx::RECT bodyFrame = FrameOf(bodySprite, 0), headFrame = FrameOf(headSprite, 0);
            if (length > 0.0f && bodySprite->bitmap && bodySprite->bitmap->texture)
                Draw2D::DrawTexturedQuad(bodySprite->bitmap->texture, &bodyFrame, fromX, fromY, length / 32.0f,
                                         view.scale, 0.0f, static_cast<float>(bodySprite->frameHeight) / 2.0f, angle,
                                         colour);
            if (headSprite->bitmap && headSprite->bitmap->texture)
                Draw2D::DrawTexturedQuad(headSprite->bitmap->texture, &headFrame, toX, toY, view.scale, view.scale,
                                         static_cast<float>(headSprite->frameWidth),
                                         static_cast<float>(headSprite->frameHeight) / 2.0f, angle, colour);
        } else if (annotationMode == kVoice && tailDirection != kNoTail && headSprite && bodySprite) {
            // The tail: its base against the side at the tail's offset, its end beyond.
            const float bw = static_cast<float>(bodySprite->frameWidth), bh = static_cast<float>(bodySprite->frameHeight);
            const float ew = static_cast<float>(headSprite->frameWidth), eh = static_cast<float>(headSprite->frameHeight);
            const float along = static_cast<float>(tailOffset);
            float baseX = 0.0f, baseY = 0.0f, endX = 0.0f, endY = 0.0f;
            switch (tailDirection) {
            case kTailLeft:
                baseX = box.left - bw, baseY = box.top + along, endX = baseX - ew, endY = baseY;
                break;
            case kTailRight:
                baseX = box.right, baseY = box.top + along, endX = baseX + bw, endY = baseY;
                break;
            case kTailTop:
                baseX = box.left + along, baseY = box.top - bh, endX = baseX, endY = baseY - eh;
                break;
            default:
                baseX = box.left + along, baseY = box.bottom, endX = baseX, endY = baseY + bh;
                break;
            }
            view.Image(bodySprite, FrameOf(bodySprite, 0), baseX, baseY, bw, bh, colour);
            view.Image(headSprite, FrameOf(headSprite, 0), endX, endY, ew, eh, colour);
        }
        if (click_close && closeImage) {
            if (annotationMode == kStandard) {
                const float w = static_cast<float>(closeImage->frameWidth), h = static_cast<float>(closeImage->frameHeight);
                view.Image(closeImage, FrameOf(closeImage, 0), box.right - 20.0f - w / 2.0f, box.top + 8.0f - h / 2.0f,
                           w, h, colour);
            } else {
                const float w = static_cast<float>(closeImage->frameWidth) * 0.75f;
                const float h = static_cast<float>(closeImage->frameHeight) * 0.75f;
                view.Image(closeImage, FrameOf(closeImage, hovered ? 1 : 0), box.right - w - 6.0f, box.top + 4.0f, w,
                           h, colour);
            }
        }
    }
    if (Font* font = FontManager::GetFont(fontStyle)) {
        float tx = 0.0f, ty = 0.0f;
        view.Point((box.left + box.right) / 2.0f + static_cast<float>(textMargins[0] - textMargins[2]) / 2.0f,
                   (box.top + box.bottom) / 2.0f + static_cast<float>(textMargins[1] - textMargins[3]) / 2.0f, tx, ty);
        const uint32_t textAlpha = ((fontColor >> 24) * opacity) / 255u;
        font->DrawTextTransformed(tx, ty, (textAlpha << 24) | (fontColor & 0xFFFFFFu), displayText,
                                  kTextCentre | kTextVCentre, TextScale(font_scale) * view.scale, view.turn);
    }
}
