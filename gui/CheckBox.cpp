#include "gui/CheckBox.h"

#include "app/LanguageTexts.h"
#include "gui/ScreenImage.h"
#include "gui/UiScale.h"
#include "gui/WindowList.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "media/Font.h"
#include "media/ImageCache.h"
#include "media/SoundManager.h"
#include "platform/input/ScanCodes.h"

#include <algorithm>

namespace {

constexpr int kSoundChecked = 15;
constexpr int kSoundCleared = 16;

} // namespace

CheckBox::CheckBox(const std::string& text, int font) : caption(text), fontId(font), textScale(GetUiScale())
{
}

void CheckBox::SetChecked(bool state, bool markChanged, bool notify)
{
    checked = state ? 1 : 0;
    if (markChanged)
        pressed = 1;
    if (notify && onChange)
        onChange(parent, this);
}

void CheckBox::Toggle()
{
    if (playSounds)
        soundManager.PlayEffect(checked ? kSoundCleared : kSoundChecked);
    SetChecked(!checked, true, notifyOnToggle != 0);
}

Primitive* CheckBox::OnLeftButton(int x, int y, int phase)
{
    if (!enabled || !visible)
        return nullptr;
    const bool inside = PointInRect(x, y);
    if (phase == kPhaseDown) {
        if (!inside)
            return nullptr;
        lookState_ = 2;
        return this;
    }
    if (phase == kPhaseHeld)
        return this;
    // Release: toggles only when the press was ours and the pointer is still on the box.
    const bool wasHeld = lookState_ == 2;
    lookState_ = inside ? 1 : 0;
    if (wasHeld && inside)
        Toggle();
    return inside ? this : nullptr;
}

Primitive* CheckBox::HitTest(int x, int y)
{
    if (!PointInRect(x, y))
        return nullptr;
    if (lookState_ == 0)
        lookState_ = 1;
    return this;
}

bool CheckBox::OnPointerLeft(Primitive* nowUnder)
{
    lookState_ = 0;
    return Primitive::OnPointerLeft(nowUnder);
}

int CheckBox::OnKey(int value, int code, bool, IInputDevice&)
{
    if (code != kKeySpace || GetKeyboardFocus() != this || !enabled)
        return 0;
    if (value != 0 && value != 2)
        Toggle();
    return 1;
}

float CheckBox::MarkSide() const
{
    return std::max(0.0f, (rect.bottom - rect.top) - margins.top - margins.bottom);
}

bool CheckBox::GetSize(float* width, float* height)
{
    const float line = WidgetLineHeight(fontId, textScale);
    const float side = std::max(MarkSide(), line);
    const std::string shown = ConvertCaptionText(fontId, caption);
    const float text = shown.empty() ? 0.0f : side / 2.0f + WidgetTextWidth(fontId, shown, textScale);
    if (width)
        *width = ToVirtualX(side + text + margins.left + margins.right);
    if (height)
        *height = ToVirtualY(side + margins.top + margins.bottom);
    return true;
}

void CheckBox::DrawCaption(float x)
{
    if (caption.empty())
        return;
    const float y = (rect.top + rect.bottom) / 2.0f;
    const uint32_t colour = WithAlpha(textColour, uint8_t(((textColour >> 24) * alpha) / 255));
    DrawWidgetText(fontId, x, y, textScale, colour, ConvertCaptionText(fontId, caption),
                   kTextVCentre | (lookState_ == 1 ? kTextHighlight : 0));
}

void CheckBox::Draw()
{
    if (!visible || !highlight)
        return;
    const float side = MarkSide();
    const float left = rect.left + margins.left;
    const float top = rect.top + margins.top;
    const uint32_t frame = WithAlpha(lookState_ ? 0xFFFFFFFF : boxColour, alpha);
    Draw2D::DrawRectOutline(left, top, left + side, top + side, frame);
    if (checked) {
        const float inset = std::max(2.0f, side / 4.0f);
        Draw2D::DrawFilledRect(left + inset, top + inset, left + side - inset, top + side - inset,
                               WithAlpha(markColour, alpha));
    }
    DrawCaption(left + side * 1.5f);
}

GraphicCheckBox::GraphicCheckBox(const std::string& imagePath, int frames)
{
    SetImage(imagePath, frames);
}

GraphicCheckBox::~GraphicCheckBox()
{
    ImageCache::ReleaseImage(image_);
}

void GraphicCheckBox::SetImage(const std::string& imagePath, int frames)
{
    AnimSurface* next = ImageCache::GetImage(imagePath);
    ImageCache::ReleaseImage(image_);
    image_ = next;
    frames_ = std::max(1, frames);
    float width = 0.0f;
    float height = 0.0f;
    if (GetSize(&width, &height) && (rect.right <= rect.left || rect.bottom <= rect.top))
        SetSize(width, height);
}

int GraphicCheckBox::CurrentFrame() const
{
    int frame;
    if (frames_ == 2 || frames_ == 4)
        frame = (checked ? 1 : 0) + (frames_ == 4 && lookState_ != 0 ? 2 : 0);
    else
        frame = lookState_;
    return std::clamp(frame, 0, frames_ - 1);
}

bool GraphicCheckBox::GetSize(float* width, float* height)
{
    if (!image_)
        return CheckBox::GetSize(width, height);
    const float scale = ScreenImageScale();
    const float frameWidth = float(image_->imageWidth / frames_) * scale;
    const float frameHeight = float(image_->imageHeight) * scale;
    const std::string shown = ConvertCaptionText(fontId, caption);
    const float text = shown.empty() ? 0.0f : frameWidth / 2.0f + WidgetTextWidth(fontId, shown, textScale);
    if (width)
        *width = ToVirtualX(frameWidth + text);
    if (height)
        *height = ToVirtualY(frameHeight);
    return true;
}

void GraphicCheckBox::Draw()
{
    if (!visible || !highlight)
        return;
    if (!image_) {
        CheckBox::Draw();
        return;
    }
    const int frameWidth = std::max(1, image_->imageWidth / frames_);
    const float scale = ScreenImageScale();
    const float side = float(frameWidth) * scale;
    const FloatRect dest{rect.left, rect.top, rect.left + side, rect.top + float(image_->imageHeight) * scale};
    DrawImageFrame(image_, frameWidth, image_->imageHeight, CurrentFrame(), dest, WithAlpha(0xFFFFFFFF, alpha));
    DrawCaption(rect.left + side * 1.5f);
}
