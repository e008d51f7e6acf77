#include "traps_flow/BackgroundTrap.h"

#include "app/Log.h"
#include "app/SimMath.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"
#include "app/XmlUtil.h"
#include "game/GameController.h"
#include "gui/Primitive.h"
#include "levelmodel/EditorPicking.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "media/ImageCache.h"
#include "media/SpriteDepth.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "traps/TrapKindXml.h"
#include "world/ConsoleValues.h"
#include "world/Landscape.h"
#include "world/StateHash.h"
#include "world/TrapDraw.h"
#include "world/ViewServices.h"
#include "world/WorldClock.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

const TrapKindRegistration kRegistration(BackgroundTrap::kKind,
                                         [] { return std::unique_ptr<Trap>(new BackgroundTrap); });

constexpr float kPi = 3.1415927f;
constexpr const char* kDefaultImage = "Graphics\\default.png";
constexpr uint32_t kNeutralTint = 0x808080u;

float Radians(float degrees)
{
    return degrees * kPi / 180.0f;
}

bool Meets(const gfx::RECT& a, const gfx::RECT& b)
{
    gfx::RECT ignored;
    return gfx::IntersectRect(&ignored, &a, &b);
}

// A tile count from a file: at least 1; more than 20 are refused with a log line.
int32_t TileCount(int32_t count, const char* name)
{
    if (count > BackgroundTrap::kMostTiles) {
        WriteLog("Background trap: %s %d is more than %d tiles, taken as %d\n", name, count,
                 BackgroundTrap::kMostTiles, BackgroundTrap::kMostTiles);
        return BackgroundTrap::kMostTiles;
    }
    return std::max(count, 1);
}

} // namespace

BackgroundTrap::BackgroundTrap() : Trap(kKind)
{
    animating = 0; // the "animated" setting
    zorder = flimborder = renderUnderShadow = 1;
}

void BackgroundTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const BackgroundTrap&>(source);
    z_dist = other.z_dist;
    tile_x = other.tile_x;
    tile_y = other.tile_y;
    back_image = other.back_image;
    frame_x = other.frame_x;
    frame_y = other.frame_y;
    fps = other.fps;
    lastFrameTime = other.lastFrameTime;
    play_on_load = other.play_on_load;
    blur_sigma = other.blur_sigma;
    blur_bleed = other.blur_bleed;
    hint = other.hint;
    always_render = other.always_render;
    minimap = other.minimap;
    start_frame = other.start_frame;
    playing = other.playing;
    circle_rotate = other.circle_rotate;
    halfFrameW = other.halfFrameW;
    halfFrameH = other.halfFrameH;
    margin_left = other.margin_left;
    margin_top = other.margin_top;
    margin_right = other.margin_right;
    margin_bottom = other.margin_bottom;
}

void BackgroundTrap::LoadGraphics()
{
    if (!sprite && !back_image.empty())
        SetImage(nullptr);
}

void BackgroundTrap::SetImage(const char* name)
{
    if (name)
        back_image = name;
    std::string path = back_image;
    if (!path.empty() && !IsConfinedRelativePath(path)) {
        WriteLog("Background trap: image [%s] is outside the game folder; the default image is shown\n",
                 path.c_str());
        path = kDefaultImage;
    }
    AnimSurface* image = ImageCache::GetBlurredImage(path.empty() ? kDefaultImage : path, blur_sigma, blur_bleed != 0);
    if (sprite)
        ImageCache::ReleaseImage(sprite);
    sprite = image;
    ApplyFrameSize();
}

void BackgroundTrap::ApplyFrameSize() const
{
    if (!sprite)
        return;
    if (animating && frame_x > 0 && frame_y > 0)
        sprite->SetFrameSize(frame_x, frame_y);
    else
        sprite->SetFrameSize(sprite->imageWidth, sprite->imageHeight);
    halfFrameW = sprite->frameWidth / 2;
    halfFrameH = sprite->frameHeight / 2;
}

gfx::RECT BackgroundTrap::Bounds(bool single, float depth) const
{
    if (!sprite || sprite->frameWidth <= 0 || sprite->frameHeight <= 0)
        return Trap::GetBounds();
    ApplyFrameSize();
    float sx = scale_x, sy = scale_y;
    if (!single && circle_rotate) {
        sx *= static_cast<float>(tile_x);
        sy *= static_cast<float>(tile_y);
    }
    const float w = std::fabs(static_cast<float>(sprite->frameWidth) * sx);
    const float h = std::fabs(static_cast<float>(sprite->frameHeight) * sy);
    const FloatRect box = ProjectRectOntoLandscape(x, y, depth, w / 2.0f, h / 2.0f, Radians(rotation));
    // Whole pixels: the box's first pixel and its rounded extent (so that one tile of the
    // landscape plane is exactly its scaled frame wide).
    gfx::RECT r;
    r.left = RoundToInt(box.left);
    r.top = RoundToInt(box.top);
    r.right = r.left + std::max(1, RoundToInt(box.right - box.left)) - 1;
    r.bottom = r.top + std::max(1, RoundToInt(box.bottom - box.top)) - 1;
    if (!single && !circle_rotate) {
        r.right += (r.right - r.left + 1) * (tile_x - 1);
        r.bottom += (r.bottom - r.top + 1) * (tile_y - 1);
    }
    return r;
}

gfx::RECT BackgroundTrap::GetBounds() const
{
    return Bounds(false, static_cast<float>(-z_dist));
}

std::vector<BackgroundTrap::TilePoint> BackgroundTrap::TilePoints(float px, float py) const
{
    std::vector<TilePoint> tiles;
    const gfx::RECT b = Bounds(true, static_cast<float>(-z_dist));
    const int32_t w = b.right - b.left + 1, h = b.bottom - b.top + 1;
    const int32_t cx = b.left + w / 2 - RoundToInt(x), cy = b.top + h / 2 - RoundToInt(y);
    if (!circle_rotate) {
        const gfx::RECT b0 = Bounds(true, 0.0f);
        const float w0 = static_cast<float>(b0.right - b0.left + 1), h0 = static_cast<float>(b0.bottom - b0.top + 1);
        for (int32_t i = 0; i < tile_y; ++i)
            for (int32_t j = 0; j < tile_x; ++j) {
                TilePoint tile;
                tile.x = px + static_cast<float>(j) * w0;
                tile.y = py + static_cast<float>(i) * h0;
                tile.clip = {b.left + j * w, b.top + i * h, b.right + j * w, b.bottom + i * h};
                tiles.push_back(tile);
            }
        return tiles;
    }
    const float sw = sprite ? std::fabs(static_cast<float>(sprite->frameWidth) * scale_x) : 32.0f;
    const float sh = sprite ? std::fabs(static_cast<float>(sprite->frameHeight) * scale_y) : 32.0f;
    const float x0 = px - static_cast<float>(tile_x - 1) * sw / 2.0f;
    const float y0 = py - static_cast<float>(tile_y - 1) * sh / 2.0f;
    const float turn = Radians(rotation);
    for (int32_t i = 0; i < tile_y; ++i)
        for (int32_t j = 0; j < tile_x; ++j) {
            // The grid turned as a whole about the layer's centre (drawing only).
            const float dx = x0 + static_cast<float>(j) * sw - px;
            const float dy = py - (y0 + static_cast<float>(i) * sh);
            const float r = std::sqrt(dx * dx + dy * dy);
            const float a = std::atan2(dy, dx) + turn;
            TilePoint tile;
            tile.x = px + r * std::cos(a);
            tile.y = py - r * std::sin(a);
            const float centreX = tile.x + static_cast<float>(cx), centreY = tile.y + static_cast<float>(cy);
            tile.clip = {TruncToInt(centreX - static_cast<float>(w) / 2.0f),
                         TruncToInt(centreY - static_cast<float>(h) / 2.0f),
                         TruncToInt(centreX + static_cast<float>(w) / 2.0f),
                         TruncToInt(centreY + static_cast<float>(h) / 2.0f)};
            tiles.push_back(tile);
        }
    return tiles;
}

bool BackgroundTrap::Shown() const
{
    const bool editor = LevelEditorOpen();
    if (hint)
        return Controller().hintsShown || editor;
    return always_render || ConsoleIntOr("showback", 1) != 0 || editor;
}

void BackgroundTrap::Draw()
{
    if (Shown())
        DrawLayer(true, true, static_cast<float>(RoundToInt(x)), static_cast<float>(RoundToInt(y)));
}

void BackgroundTrap::DrawLayer(bool clip, bool inWorld, float px, float py, const LayerPlacement& placement)
{
    if (!sprite || !sprite->bitmap || !sprite->bitmap->texture)
        return;
    if (!inWorld)
        clip = false;
    const SpriteDepthScope depth(static_cast<float>(-z_dist));
    ApplyFrameSize();
    sprite->SetFrame(frame);
    const gfx::RECT visible = VisibleWorldRect();
    // Outside the game view the tiles are laid out from the layer's own origin and placed on
    // the screen point with the placement's scale and turn.
    const std::vector<TilePoint> tiles = TilePoints(inWorld ? px : 0.0f, inWorld ? py : 0.0f);
    for (const TilePoint& tile : tiles)
        DrawTile(tile, clip, inWorld, visible, px, py, placement);
}

void BackgroundTrap::DrawTile(const TilePoint& tile, bool clip, bool inWorld, const gfx::RECT& visible, float screenX,
                              float screenY, const LayerPlacement& placement)
{
    if (clip && !Meets(tile.clip, visible))
        return;
    ++BackgroundTilesDrawn();
    gfx::RECT source = sprite->sourceRect;
    float centreX = static_cast<float>(halfFrameW), centreY = static_cast<float>(halfFrameH);
    float sx = scale_x, sy = scale_y, turn = Radians(rotation);
    uint8_t opacity = alpha;
    if (inWorld) {
        // Clip margins trim each edge of the frame; what stays is drawn where it was.
        const int32_t left = std::clamp(margin_left, 0, kMostMargin), top = std::clamp(margin_top, 0, kMostMargin);
        const int32_t right = std::clamp(margin_right, 0, kMostMargin);
        const int32_t bottom = std::clamp(margin_bottom, 0, kMostMargin);
        if (source.left + left >= source.right - right || source.top + top >= source.bottom - bottom)
            return;
        source = {source.left + left, source.top + top, source.right - right, source.bottom - bottom};
        centreX -= static_cast<float>(left);
        centreY -= static_cast<float>(top);
        screenX = static_cast<float>(TruncToInt(tile.x));
        screenY = static_cast<float>(TruncToInt(tile.y));
        WorldToScreen(screenX, screenY);
        const float viewScale = CurrentViewScale();
        sx *= viewScale;
        sy *= viewScale;
        turn += 3.0f * kPi / 2.0f - GameViewRotation();
    } else {
        const float c = std::cos(Radians(placement.turnDegrees)), s = std::sin(Radians(placement.turnDegrees));
        const float ox = tile.x * placement.scale, oy = tile.y * placement.scale;
        screenX += ox * c - oy * s;
        screenY += ox * s + oy * c;
        sx *= placement.scale;
        sy *= placement.scale;
        turn += Radians(placement.turnDegrees);
        if (placement.alpha >= 0)
            opacity = static_cast<uint8_t>(std::min<int16_t>(placement.alpha, 255));
    }
    // The tint adds to the image (0x808080 leaves it as it is); a neutral tint at full alpha
    // draws the image itself, the cheaper way to the same pixels.
    const bool plain = (tint & 0xFFFFFFu) == kNeutralTint && opacity == 255;
    std::optional<Draw2D::SignedAddScope> signedAdd;
    if (!plain)
        signedAdd.emplace();
    const gfx::D3DCOLOR colour = plain ? 0xFFFFFFFFu : (gfx::D3DCOLOR(opacity) << 24) | (tint & 0xFFFFFFu);
    Draw2D::DrawTexturedQuad(sprite->bitmap->texture, &source, screenX, screenY, sx, sy, centreX, centreY, turn,
                             colour);
}

void BackgroundTrap::Activate(Flimb* /*by*/)
{
    frame = static_cast<uint8_t>(std::clamp(start_frame, 0, 255));
    playing = 1;
}

void BackgroundTrap::Deactivate()
{
    frame = static_cast<uint8_t>(std::clamp(start_frame, 0, 255));
    playing = 0;
}

void BackgroundTrap::StepFrame()
{
    if (!playing || fps == 0)
        return;
    const uint32_t now = CurrentGameTime();
    const uint32_t elapsed = now - lastFrameTime;
    if (static_cast<float>(elapsed) <= 1000.0f / static_cast<float>(fps))
        return;
    int32_t next = frame + 1;
    if (!sprite || next >= sprite->frameCount || next > 255)
        next = 0;
    frame = static_cast<uint8_t>(next);
    lastFrameTime = now;
}

void BackgroundTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    if (!node)
        return;
    AppendKindChild(node, "z_dist", z_dist);
    XmlAddChildFloat(node, "blur_sigma", blur_sigma);
    AppendKindChild(node, "blur_bleed", blur_bleed);
    AppendKindChild(node, "tile_x", tile_x);
    AppendKindChild(node, "tile_y", tile_y);
    AppendKindChild(node, "frame_x", frame_x);
    AppendKindChild(node, "frame_y", frame_y);
    AppendKindChild(node, "animated", animating);
    AppendKindChild(node, "fps", fps);
    AppendKindChild(node, "play_on_load", play_on_load);
    AppendKindChild(node, "circle_rotate", circle_rotate);
    AppendKindChild(node, "margin_left", margin_left);
    AppendKindChild(node, "margin_right", margin_right);
    AppendKindChild(node, "margin_top", margin_top);
    AppendKindChild(node, "margin_bottom", margin_bottom);
    xmlNewTextChild(node, nullptr, BAD_CAST "back_image", BAD_CAST back_image.c_str());
    AppendKindChild(node, "start_frame", start_frame);
    AppendKindChild(node, "hint", hint);
    AppendKindChild(node, "always_render", always_render);
    AppendKindChild(node, "minimap", minimap);
}

void BackgroundTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    if (!node)
        return;
    const auto flag = [&](const char* name) -> uint8_t { return XmlGetTagBool(node, name, defaults) ? 1 : 0; };
    z_dist = XmlGetTagInt(node, "z_dist", defaults, z_dist);
    blur_sigma = XmlGetTagFloat(node, "blur_sigma", defaults, blur_sigma);
    blur_bleed = flag("blur_bleed");
    tile_x = TileCount(XmlGetTagInt(node, "tile_x", defaults, tile_x), "tile_x");
    tile_y = TileCount(XmlGetTagInt(node, "tile_y", defaults, tile_y), "tile_y");
    frame_x = XmlGetTagInt(node, "frame_x", defaults, frame_x);
    frame_y = XmlGetTagInt(node, "frame_y", defaults, frame_y);
    margin_left = XmlGetTagInt(node, "margin_left", defaults, margin_left);
    margin_right = XmlGetTagInt(node, "margin_right", defaults, margin_right);
    margin_top = XmlGetTagInt(node, "margin_top", defaults, margin_top);
    margin_bottom = XmlGetTagInt(node, "margin_bottom", defaults, margin_bottom);
    animating = flag("animated");
    fps = static_cast<uint8_t>(XmlGetTagInt(node, "fps", defaults, fps));
    play_on_load = flag("play_on_load");
    const std::string image = ReplaceAll(XmlGetTagText(node, "back_image", defaults), "\\\\", "\\");
    circle_rotate = flag("circle_rotate");
    start_frame = XmlGetTagInt(node, "start_frame", defaults, start_frame);
    hint = flag("hint");
    always_render = flag("always_render");
    minimap = flag("minimap");
    if (!image.empty())
        SetImage(image.c_str());
    else
        back_image.clear();
    playing = animating && play_on_load ? 1 : 0;
}

void BackgroundTrap::StampIntoLandscape(Landscape& landscape, float factor)
{
    if (!visible || hint || !sprite)
        return;
    const gfx::RECT b0 = Bounds(true, 0.0f);
    const int32_t dx = b0.right - b0.left, dy = b0.bottom - b0.top;
    const int32_t px = RoundToInt(x), py = RoundToInt(y);
    const int material = zorder ? 6 : 5;
    const uint32_t affected = zorder ? static_cast<uint32_t>(-39) : static_cast<uint32_t>(-1);
    const BashOptions options{0, 0, 112};
    const uint32_t colour = (uint32_t(alpha) << 24) | (tint & 0xFFFFFFu);
    // The shared image is stamped about the centre of its frame.
    ApplyFrameSize();
    sprite->SetFrame(frame);
    const int32_t keptX = sprite->hotspotX, keptY = sprite->hotspotY;
    sprite->SetHotspot(halfFrameW, halfFrameH);
    for (int32_t i = 0; i < tile_y; ++i)
        for (int32_t j = 0; j < tile_x; ++j) {
            const float sx = static_cast<float>(px + j * dx) * factor, sy = static_cast<float>(py + i * dy) * factor;
            if (animating)
                landscape.BashPrimitive(sprite, material, factor * scale_x, factor * scale_y, rotation, affected,
                                        options, colour, false, nullptr, sx, sy);
            else
                landscape.BashPrimitiveFile(material, back_image, options, affected, factor * scale_x,
                                            factor * scale_y, rotation, true, nullptr, colour, 0, false, nullptr,
                                            false, nullptr, false, sx, sy);
        }
    sprite->SetHotspot(keptX, keptY);
}

void BackgroundTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(z_dist);
    hasher.Add(tile_x);
    hasher.Add(tile_y);
    hasher.Add(playing);
    hasher.Add(circle_rotate);
    hasher.Add(start_frame);
}
