#include "gui/FlimbsCheckBox.h"

#include "app/LanguageTexts.h"
#include "gui/UiScale.h"

#include <algorithm>

FlimbsCheckBox::FlimbsCheckBox(const std::string& text, int font)
    : CheckBox(text, font), on_(kFolder, "checkbox_on.png"), off_(kFolder, "checkbox_off.png")
{
    const float scale = ScreenImageScale();
    rect.right = rect.left + off_.DrawnWidth(scale);
    rect.bottom = rect.top + off_.DrawnHeight(scale);
}

FlimbsCheckBox::~FlimbsCheckBox() = default;

void FlimbsCheckBox::UpdateAbsolutePosition()
{
    CheckBox::UpdateAbsolutePosition();
    const float imageHeight = off_.DrawnHeight(ScreenImageScale());
    if (rect.bottom - rect.top < imageHeight)
        rect.bottom = rect.top + imageHeight;
}

bool FlimbsCheckBox::GetSize(float* width, float* height)
{
    const float scale = ScreenImageScale();
    const float imageWidth = off_.DrawnWidth(scale);
    const float imageHeight = off_.DrawnHeight(scale);
    const std::string shown = ConvertCaptionText(fontId, caption);
    const float text = shown.empty() ? 0.0f : imageWidth / 2.0f + WidgetTextWidth(fontId, shown, textScale);
    if (width)
        *width = ToVirtualX(imageWidth + text);
    if (height)
        *height = ToVirtualY(std::max(imageHeight, WidgetLineHeight(fontId, textScale)));
    return true;
}

void FlimbsCheckBox::Draw()
{
    if (!visible || !highlight)
        return;
    const float scale = ScreenImageScale();
    const SkinImage& image = checked ? on_ : off_;
    const float top = (rect.top + rect.bottom) / 2.0f - image.DrawnHeight(scale) / 2.0f;
    const uint8_t shade = enabled ? alpha : uint8_t(alpha / 2);
    image.Draw(rect.left, top, scale, WithAlpha(0xFFFFFFFF, shade));
    DrawCaption(rect.left + image.DrawnWidth(scale) * 1.5f);
}

CollapseCheckBox::CollapseCheckBox() : GraphicCheckBox(kCollapsedImage, kFrames), imageName_(kCollapsedImage) {}

void CollapseCheckBox::SetChecked(bool state, bool markChanged, bool notify)
{
    checked = state ? 1 : 0;
    if (markChanged)
        pressed = 1;
    if (notify && onChange)
        onChange(parent, this);
    const char* next = checked ? kExpandedImage : kCollapsedImage;
    if (imageName_ != next) {
        imageName_ = next;
        SetImage(imageName_, kFrames);
    }
}
