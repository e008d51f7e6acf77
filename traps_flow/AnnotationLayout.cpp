// The annotation's layout: the text size, the box from the measured text, the tail, the
// destination and where the bubble stands.
#include "traps_flow/AnnotationTrap.h"

#include "app/DisplayText.h"
#include "app/SimMath.h"
#include "media/AnimSurface.h"
#include "media/Font.h"
#include "media/FontManager.h"
#include "traps/TrapKindHelpers.h"
#include "world/Flimb.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr float kPi = 3.1415927f;
constexpr int32_t kHiddenFont = 4;

// Corner and tail extents of the Voice frame in pixels (the image's size, else these).
int32_t WidthOf(const AnimSurface* image, int32_t fallback)
{
    return image && image->frameWidth > 0 ? image->frameWidth : fallback;
}

int32_t HeightOf(const AnimSurface* image, int32_t fallback)
{
    return image && image->frameHeight > 0 ? image->frameHeight : fallback;
}

} // namespace

float AnnotationTrap::TextScale(int32_t step)
{
    // 1.1 x 2^((s - 127) / 64) for the 256 steps (0.25 to 4 times 1.1), made once.
    static const std::array<float, 256> table = [] {
        std::array<float, 256> values{};
        for (int s = 0; s < 256; ++s)
            values[size_t(s)] = 1.1f * std::pow(2.0f, static_cast<float>(s - 127) / 64.0f);
        return values;
    }();
    return table[size_t(std::clamp(step, 0, 255))];
}

int32_t AnnotationTrap::FontFromName(const std::string& name)
{
    const int32_t id = FontManager::FindFontId(name);
    return id == kHiddenFont ? 0 : id;
}

void AnnotationTrap::GetAnchor(int32_t& ax, int32_t& ay) const
{
    if (!arrow_relative) {
        ax = TruncToInt(static_cast<float>(arrow_x) - x);
        ay = TruncToInt(static_cast<float>(arrow_y) - y);
        return;
    }
    const float s = SinDegF(rotation), c = CosDegF(rotation);
    const float fx = static_cast<float>(arrow_x), fy = static_cast<float>(arrow_y);
    ax = TruncToInt(fy * s + fx * c);
    ay = TruncToInt(fy * c - fx * s);
}

void AnnotationTrap::SetDestination(int32_t px, int32_t py)
{
    if (arrow_relative) {
        arrow_x = TruncToInt(static_cast<float>(px) - x);
        arrow_y = TruncToInt(static_cast<float>(py) - y);
    } else {
        arrow_x = px;
        arrow_y = py;
    }
    ChooseTail();
    Layout();
}

void AnnotationTrap::Layout()
{
    displayText = PrepareDisplayText(message);
    if (!autoSize) {
        boxScaleX = scale_x;
        boxScaleY = scale_y;
        ChooseTail();
        return;
    }
    float w = 0.0f, h = 0.0f;
    if (Font* font = FontManager::GetFont(fontStyle)) {
        const float factor = TextScale(font_scale);
        const TextExtent extent = font->MeasureText(displayText, factor, factor);
        w = extent.width;
        h = extent.height;
    }
    if (annotationMode == kStandard) {
        w = std::max(w, 10.0f);
        h = std::max(h, 10.0f);
    } else if (annotationMode == kVoice) {
        const AnimSurface* topLeft = framePieces[kFrameTopLeft];
        float minimumW = static_cast<float>(WidthOf(topLeft, 16) + WidthOf(framePieces[kFrameTopRight], 16));
        float minimumH = static_cast<float>(HeightOf(topLeft, 16) + HeightOf(framePieces[kFrameBottomLeft], 16));
        if (tailDirection == kTailLeft || tailDirection == kTailRight)
            minimumW += static_cast<float>(WidthOf(bodySprite, 0));
        else if (tailDirection == kTailTop || tailDirection == kTailBottom)
            minimumH += static_cast<float>(HeightOf(bodySprite, 0));
        w = std::max(w, minimumW);
        h = std::max(h, minimumH);
    }
    const float backW = static_cast<float>(WidthOf(sprite, 64)), backH = static_cast<float>(HeightOf(sprite, 64));
    // A mirrored bubble stays mirrored.
    const float signX = scale_x < 0.0f ? -1.0f : 1.0f, signY = scale_y < 0.0f ? -1.0f : 1.0f;
    boxScaleX = signX * (static_cast<float>(textMargins[0]) + w + static_cast<float>(textMargins[2])) / backW;
    boxScaleY = signY * (static_cast<float>(textMargins[1]) + h + static_cast<float>(textMargins[3])) / backH;
    ChooseTail();
}

FrameRect AnnotationTrap::BoxRect() const
{
    const float w = std::fabs(boxScaleX) * static_cast<float>(WidthOf(sprite, 64));
    const float h = std::fabs(boxScaleY) * static_cast<float>(HeightOf(sprite, 64));
    return FrameRect{-w / 2.0f, -h / 2.0f, w / 2.0f, h / 2.0f};
}

void AnnotationTrap::ChooseTail()
{
    const int32_t before = tailDirection;
    PickTail();
    // A Voice bubble's tail pieces are those of its side.
    if (tailDirection != before && annotationMode != kStandard)
        LoadTailSprites();
}

void AnnotationTrap::PickTail()
{
    if (arrow_x == 0 && arrow_y == 0) {
        tailDirection = kNoTail;
        tailOffset = 0;
        return;
    }
    const FrameRect box = BoxRect();
    const float d = std::atan2(-box.top, box.left < 0.0f ? -box.left : 1.0f);
    const float a = std::atan2(static_cast<float>(-arrow_y), static_cast<float>(arrow_x));
    if (-d < a && a < d)
        tailDirection = kTailRight;
    else if (d <= a && a < kPi - d)
        tailDirection = kTailTop;
    else if (-kPi + d < a && a <= -d)
        tailDirection = kTailBottom;
    else
        tailDirection = kTailLeft;
    // Where the line towards the destination crosses that side, kept clear of the corners.
    const float w = box.right - box.left, h = box.bottom - box.top;
    const float ax = static_cast<float>(arrow_x), ay = static_cast<float>(arrow_y);
    const bool side = tailDirection == kTailLeft || tailDirection == kTailRight;
    const float along = side ? (ax != 0.0f ? ay * (w / 2.0f) / std::fabs(ax) : 0.0f) + h / 2.0f
                             : (ay != 0.0f ? ax * (h / 2.0f) / std::fabs(ay) : 0.0f) + w / 2.0f;
    const int32_t corner = side ? HeightOf(framePieces[kFrameTopLeft], 8) : WidthOf(framePieces[kFrameTopLeft], 8);
    const int32_t tail = side ? HeightOf(bodySprite, 16) : WidthOf(bodySprite, 16);
    const int32_t keep = tailDirection == kTailRight || tailDirection == kTailBottom ? 29
                         : tailDirection == kTailTop                              ? 27
                                                                                  : 24;
    const int32_t far = static_cast<int32_t>(side ? h : w) - tail - keep;
    tailOffset = std::clamp(TruncToInt(along), corner, std::max(corner, far));
    if (!side && boxScaleX < 0.0f)
        tailOffset += 24;
}

void AnnotationTrap::StandPoint(float& px, float& py) const
{
    px = x;
    py = y;
    if (!followedFlimb)
        return;
    // Beside the flimb it follows, turned by the flimb's gravity (drawing only: the trap
    // itself stays where the game has it).
    const float size = followedFlimb->scale;
    int32_t ox = TruncToInt(18.0f * size), oy = TruncToInt(-32.0f * size);
    if (tailDirection == kTailRight || ((tailDirection == kTailTop || tailDirection == kTailBottom) && boxScaleX < 0.0f))
        ox = -ox;
    int32_t tx = ox, ty = oy;
    switch (followedFlimb->gravity) {
    case 1: tx = -ox, ty = -oy; break;
    case 2: tx = -oy, ty = ox; break;
    case 3: tx = oy, ty = -ox; break;
    default: break;
    }
    int32_t ax = 0, ay = 0;
    GetAnchor(ax, ay);
    px = static_cast<float>(followedFlimb->x + tx - ax);
    py = static_cast<float>(followedFlimb->y + ty - ay);
}

void AnnotationTrap::BubbleToWorld(float bx, float by, float& wx, float& wy) const
{
    float sx = 0.0f, sy = 0.0f;
    StandPoint(sx, sy);
    int32_t ax = 0, ay = 0;
    GetAnchor(ax, ay);
    // Turned by minus the rotation, grown about the destination by the spring's size.
    const float s = SinDegF(rotation), c = CosDegF(rotation);
    const float tx = bx * c + by * s, ty = -bx * s + by * c;
    wx = sx + static_cast<float>(ax) + wobbleScale * (tx - static_cast<float>(ax));
    wy = sy + static_cast<float>(ay) + wobbleScale * (ty - static_cast<float>(ay));
}

bool AnnotationTrap::ContainsWorldPoint(float wx, float wy) const
{
    if (!(wobbleScale > 0.0f))
        return false;
    float sx = 0.0f, sy = 0.0f;
    StandPoint(sx, sy);
    int32_t ax = 0, ay = 0;
    GetAnchor(ax, ay);
    const float tx = (wx - sx - static_cast<float>(ax)) / wobbleScale + static_cast<float>(ax);
    const float ty = (wy - sy - static_cast<float>(ay)) / wobbleScale + static_cast<float>(ay);
    const float s = SinDegF(rotation), c = CosDegF(rotation);
    const float bx = tx * c - ty * s, by = tx * s + ty * c;
    const FrameRect box = BoxRect();
    return bx >= box.left && bx <= box.right && by >= box.top && by <= box.bottom;
}

gfx::RECT AnnotationTrap::GetBounds() const
{
    const FrameRect box = BoxRect();
    const float corners[4][2] = {{box.left, box.top}, {box.right, box.top}, {box.right, box.bottom},
                                 {box.left, box.bottom}};
    float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;
    for (int i = 0; i < 4; ++i) {
        float wx = 0.0f, wy = 0.0f;
        BubbleToWorld(corners[i][0], corners[i][1], wx, wy);
        left = i == 0 ? wx : std::min(left, wx);
        right = i == 0 ? wx : std::max(right, wx);
        top = i == 0 ? wy : std::min(top, wy);
        bottom = i == 0 ? wy : std::max(bottom, wy);
    }
    if (arrow_x != 0 || arrow_y != 0) {
        float sx = 0.0f, sy = 0.0f;
        StandPoint(sx, sy);
        int32_t ax = 0, ay = 0;
        GetAnchor(ax, ay);
        left = std::min(left, sx + static_cast<float>(ax));
        right = std::max(right, sx + static_cast<float>(ax));
        top = std::min(top, sy + static_cast<float>(ay));
        bottom = std::max(bottom, sy + static_cast<float>(ay));
    }
    return gfx::RECT{TruncToInt(std::floor(left)), TruncToInt(std::floor(top)), TruncToInt(std::ceil(right)),
                     TruncToInt(std::ceil(bottom))};
}
