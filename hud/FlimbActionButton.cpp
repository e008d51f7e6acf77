#include "hud/FlimbActionButton.h"

#include "app/StringUtil.h"
#include "gui/GuiClock.h"
#include "gui/ScreenImage.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"
#include "hud/BeltWorld.h"
#include "media/Draw2D.h"
#include "media/Font.h"
#include "media/ImageCache.h"
#include "world/Groups.h"

#include <algorithm>

namespace {

IBeltWorld* g_beltWorld = nullptr;

constexpr float kPi = 3.14159265358979f;
constexpr int kTypeCount = 12;
constexpr uint32_t kSpriteHoverInterval = 40;
constexpr uint8_t kUnavailableAlpha = 50;

// Draws the whole image (its first frame of frameW x frameH) scaled by s with its top-left
// at (x, y).
void DrawAt(const AnimSurface* image, float x, float y, float s, uint32_t colour)
{
    if (!image)
        return;
    const float w = float(image->imageWidth) * s, h = float(image->imageHeight) * s;
    DrawImageFrame(image, image->imageWidth, image->imageHeight, 0, FloatRect{x, y, x + w, y + h}, colour);
}

// The texture region of a frame of an image cut into frameW x frameH frames.
gfx::RECT FrameRect(const AnimSurface* image, int frameW, int frameH, int frame)
{
    const int columns = std::max(1, image->imageWidth / std::max(1, frameW));
    const int x = (frame % columns) * frameW, y = (frame / columns) * frameH;
    return gfx::RECT{x, y, x + frameW, y + frameH};
}

} // namespace

void SetBeltWorld(IBeltWorld* world)
{
    g_beltWorld = world;
}

IBeltWorld* GetBeltWorld()
{
    return g_beltWorld;
}

FlimbActionButton::FlimbActionButton(int group, int type, bool alternateLook)
    : GraphicButton(kFolder, "morph_button_base.png", 3), faceColour((type & 0x7F) == kWalk ? 0xFFAF6060u : 0xFF808080u),
      type_(type & 0x7F), alternate_(alternateLook), group_(group)
{
    const float s = GetUiScale();
    if (image && image->imageWidth > 0)
        SetSize(ToVirtualX(float(image->imageWidth / frames) * s), ToVirtualY(float(image->imageHeight) * s));
    flip_ = ImageCache::GetImageFromParts(kFolder, "morph_button_flip.png");
    if (flip_ && flip_->imageWidth > 0 && flip_->imageHeight > 0) {
        flipWidth_ = std::min(kFlipMaxWidth, flip_->imageWidth);
        flipHeight_ = std::min(kFlipMaxHeight, flip_->imageHeight);
        flipFrames_ = std::max(1, (flip_->imageHeight / flipHeight_) * (flip_->imageWidth / flipWidth_));
    }
    overlay_ = ImageCache::GetImageFromParts(kFolder, "morph_button_overlay.png");
    unavailableUnder_ = ImageCache::GetImageFromParts(kFolder, "morph-button-not-aval-underlay.png");
    unavailableOver_ = ImageCache::GetImageFromParts(kFolder, "morph-button-not-aval-overlay.png");
    if (type_ == kGulp)
        glyph_ = ImageCache::GetImageFromParts(kFolder, "glup-glyph.png");
}

FlimbActionButton::~FlimbActionButton()
{
    ReleasePicture();
    for (AnimSurface* held : {flip_, overlay_, unavailableUnder_, unavailableOver_, glyph_})
        ImageCache::ReleaseImage(held);
}

void FlimbActionButton::SetGroup(int newGroup)
{
    group_ = newGroup;
    ReleasePicture();
}

void FlimbActionButton::ReleasePicture()
{
    if (picture_ && !pictureIsSprite_)
        ImageCache::ReleaseImage(picture_);
    picture_ = nullptr;
    pictureIsSprite_ = false;
    spriteWorld_ = nullptr;
}

Primitive* FlimbActionButton::OnLeftButton(int x, int y, int phase)
{
    if (show_ != Show::Opening && show_ != Show::Shown) {
        state = kButtonNormal;
        return nullptr;
    }
    return GraphicButton::OnLeftButton(x, y, phase);
}

FlimbActionButton::Show FlimbActionButton::WantedState() const
{
    const IBeltWorld* world = GetBeltWorld();
    if (!counting || !world)
        return Show::Hidden;
    const int count = world->MorphCount(group_, type_);
    Show wanted = count == kMorphCountNone || count <= 0 ? Show::Hidden : Show::Shown;
    if (type_ == kGulp)
        if (const std::optional<SelectedFlimb> selected = world->Selected(); selected && selected->type == kGulp)
            wanted = Show::Shown;
    return wanted;
}

bool FlimbActionButton::WorkOutNotAllowed() const
{
    const IBeltWorld* world = GetBeltWorld();
    const std::optional<SelectedFlimb> selected = world ? world->Selected() : std::nullopt;
    if (!selected)
        return false;
    if (!world->ModeLetsSelectedAct())
        return true;
    const int type = selected->type == 20 && (selected->flags & 0x80) ? kWalk : selected->type;
    const uint8_t* row = world->MorphPermissionRow(type);
    if (!row || row[0] == 0 || row[2] != 0 || type_ < 0 || 4 + type_ >= kMorphPermissionRowBytes)
        return true;
    return row[4 + type_] == 0;
}

void FlimbActionButton::Update()
{
    GraphicButton::Update();
    target_ = WantedState();
    if (show_ == Show::Shown)
        notAllowed_ = WorkOutNotAllowed();
    StepFlip();
}

void FlimbActionButton::StepFlip()
{
    const uint32_t now = GuiNow();
    // A short sheet turns Shown at its last frame, never beyond it.
    const int openFrame = std::min(kOpenFrame, flipFrames_ - 1);
    switch (show_) {
    case Show::Hidden:
        if (target_ == Show::Shown) {
            show_ = Show::Opening;
            frame_ = 0;
            timer_ = now;
            interval_ = kFlipInterval;
        }
        break;
    case Show::Shown:
        if (target_ == Show::Hidden) {
            show_ = Show::Closing;
            frame_ = flipFrames_ - 1;
            timer_ = now;
            interval_ = kFlipInterval;
        }
        break;
    case Show::Opening: // turned round from the present frame
        if (target_ == Show::Hidden)
            show_ = Show::Closing;
        break;
    case Show::Closing:
        if (target_ == Show::Shown)
            show_ = Show::Opening;
        break;
    }
    while ((show_ == Show::Opening || show_ == Show::Closing) && now - timer_ >= interval_) {
        timer_ += interval_;
        if (show_ == Show::Opening) {
            frame_ = std::min(frame_ + 1, openFrame);
            if (frame_ >= openFrame) {
                show_ = Show::Shown;
                frame_ = idleFrame_;
            }
        } else if (--frame_ < 0) {
            show_ = Show::Hidden;
            frame_ = 0;
        }
    }
}

void FlimbActionButton::MakePicture()
{
    IBeltWorld* world = GetBeltWorld();
    if (!world || type_ < 0 || type_ >= kTypeCount)
        return;
    const FlimbDisplayRow row = world->DisplayRow(type_, alternate_);
    offsetX_ = row.xOffset;
    offsetY_ = row.yOffset;
    angle_ = row.angle;
    if (row.beltPicture) {
        picture_ = ImageCache::GetImage(StringPrintf("Graphics\\Belt\\belt_%s_on.png", world->TypeName(type_).c_str()));
        pictureIsSprite_ = false;
        idleFrame_ = 0;
    } else {
        picture_ = world->FlimbSprite(type_, group_, alternate_);
        pictureIsSprite_ = picture_ != nullptr;
        spriteWorld_ = world;
        idleFrame_ = picture_ ? std::clamp(row.idleFrame, 0, std::max(0, picture_->frameCount - 1)) : 0;
        frame_ = idleFrame_;
        timer_ = GuiNow();
    }
}

void FlimbActionButton::StepSprite()
{
    const int frames = std::max(1, picture_->frameCount);
    const bool hover = state == kButtonHover;
    // It plays back to its idle frame, and plays on while hovered over an allowed morph.
    const auto playing = [&] { return frame_ != idleFrame_ || (hover && !notAllowed_); };
    const uint32_t interval = hover ? kSpriteHoverInterval : kFlipInterval;
    const uint32_t now = GuiNow();
    for (int steps = 0; playing() && now - timer_ >= interval && steps <= frames; ++steps) {
        timer_ += interval;
        frame_ = frame_ + 1 >= frames ? 0 : frame_ + 1;
    }
    if (!playing() || now - timer_ >= interval)
        timer_ = now;
}

void FlimbActionButton::Draw()
{
    if (!visible || !highlight)
        return;
    const float s = GetUiScale();
    const uint32_t white = WithAlpha(0xFFFFFFFFu, alpha);
    if (show_ != Show::Shown) {
        if (flip_ && flipWidth_ > 0) {
            const float x = rect.left - s, y = rect.top - 4.0f * s;
            DrawImageFrame(flip_, flipWidth_, flipHeight_, frame_,
                           FloatRect{x, y, x + float(flipWidth_) * s, y + float(flipHeight_) * s}, white);
        }
        return;
    }
    if (pictureIsSprite_ && spriteWorld_ != GetBeltWorld())
        ReleasePicture(); // its owner went away
    if (!picture_)
        MakePicture();

    tint = faceColour;
    GraphicButton::Draw();
    if (notAllowed_)
        DrawAt(unavailableUnder_, rect.left, rect.top, s, WithAlpha(0xFFFFFFFFu, kUnavailableAlpha));
    const float cx = (rect.left + rect.right) / 2.0f, cy = (rect.top + rect.bottom) / 2.0f;

    if (picture_ && pictureIsSprite_)
        StepSprite();
    if (glyph_ && glyph_->bitmap) {
        const uint32_t tintColour = group_ >= 0 && group_ < kGroupCount ? kGroupColours[size_t(group_)] : 0xFFFFFFFFu;
        const gfx::RECT whole{0, 0, glyph_->imageWidth, glyph_->imageHeight};
        Draw2D::DrawTexturedQuad(glyph_->bitmap->texture, &whole, cx, rect.bottom - 7.0f * s, s,
                                 alternate_ ? -s : s, float(glyph_->imageWidth) / 2.0f,
                                 float(glyph_->imageHeight) / 2.0f, 0.0f, WithAlpha(tintColour, alpha));
    }
    if (picture_ && picture_->bitmap && picture_->bitmap->texture) {
        const uint8_t pictureAlpha = uint8_t((uint32_t(state != kButtonNormal ? 255 : 245) * alpha) / 255);
        const float radians = angle_ * kPi / 180.0f;
        if (pictureIsSprite_) {
            const gfx::RECT source = FrameRect(picture_, picture_->frameWidth, picture_->frameHeight, frame_);
            const float scale = 0.75f * s * ScreenImageScale();
            Draw2D::DrawTexturedQuad(picture_->bitmap->texture, &source, cx + s * (offsetX_ + 19.0f),
                                     cy + s * offsetY_, scale, scale, float(picture_->hotspotX),
                                     float(picture_->hotspotY), radians, WithAlpha(0xFFFFFFFFu, pictureAlpha));
        } else {
            const gfx::RECT whole{0, 0, picture_->imageWidth, picture_->imageHeight};
            Draw2D::DrawTexturedQuad(picture_->bitmap->texture, &whole, cx, cy, 0.75f * s, 0.75f * s,
                                     float(picture_->imageWidth) / 2.0f, float(picture_->imageHeight) / 2.0f, radians,
                                     WithAlpha(0xFFFFFFFFu, pictureAlpha));
        }
    }
    if (const IBeltWorld* world = GetBeltWorld()) {
        const int count = world->MorphCount(group_, type_);
        if (count < kMorphCountUnshown) {
            const float scale = 0.8f * s;
            DrawWidgetText(0, rect.right - 3.0f * s, rect.bottom - 2.0f * s - WidgetLineHeight(0, scale), scale, white,
                           StringPrintf("%d", count), kTextRight);
        }
    }
    if (notAllowed_ && state != kButtonNormal && unavailableOver_) {
        const float w = float(unavailableOver_->imageWidth) * 1.5f * s, h = float(unavailableOver_->imageHeight) * 1.5f * s;
        DrawImageFrame(unavailableOver_, unavailableOver_->imageWidth, unavailableOver_->imageHeight, 0,
                       FloatRect{cx - w / 2, cy - h / 2, cx + w / 2, cy + h / 2}, white);
    }
    if (state != kButtonPressed)
        DrawAt(overlay_, rect.left, rect.top, s, white);
}
