#include "frontend/menus/MenuButtons.h"

#include "gui/ScreenImage.h"
#include "gui/UiScale.h"
#include "media/AnimSurface.h"
#include "media/Font.h"
#include "media/FontManager.h"

void SizeToUiScale(GraphicButton* button)
{
    if (!button || !button->image)
        return;
    const float scale = GetUiScale();
    button->SetSize(Primitive::ToVirtualX(float(button->image->frameWidth) * scale),
                    Primitive::ToVirtualY(float(button->image->frameHeight) * scale));
}

MenuIconButton::MenuIconButton(const std::string& folder, const std::string& file) : GraphicButton(folder, file, 1)
{
    SizeToUiScale(this);
}

namespace {

// A neutral tint (0x80 doubled) shows the frame as it is: drawn in plain white it takes the
// renderer's fast path.
bool DrawUntinted(GraphicButton& button, uint32_t tint)
{
    if ((tint & 0xFFFFFFu) != 0x808080u || !button.image || !button.image->bitmap)
        return false;
    const uint32_t alpha = (tint >> 24) * button.DrawAlpha() / 255u;
    DrawImageFrame(button.image, button.image->frameWidth, button.image->frameHeight, button.FrameForState(),
                   button.rect, alpha << 24 | 0xFFFFFFu);
    return true;
}

} // namespace

void MenuIconButton::Draw()
{
    tint = state == kButtonNormal ? normalTint : hoverTint;
    if (!DrawUntinted(*this, tint))
        GraphicButton::Draw();
}

MenuCaptionButton::MenuCaptionButton(const std::string& folder, const std::string& file, const std::string& caption)
    : GraphicButton(folder, file, 3)
{
    text = caption;
    SizeToUiScale(this);
}

void MenuCaptionButton::SetCaption(const char* caption)
{
    text = caption ? caption : "";
}

void MenuCaptionButton::Draw()
{
    if (!DrawUntinted(*this, tint))
        GraphicButton::Draw();
    Font* font = FontManager::GetFont(fontId);
    if (!font || text.empty())
        return;
    const float scale = textScale * GetUiScale();
    const float x = (rect.left + rect.right) * 0.5f;
    const float y = (rect.top + rect.bottom) * 0.5f + (state == kButtonPressed ? 1.0f : 0.0f);
    const uint32_t shown = (uint32_t((textColour >> 24) * DrawAlpha() / 255u) << 24) | (textColour & 0xFFFFFFu);
    font->DrawTextLines(x, y, scale, scale, shown, text, kTextCentre | kTextVCentre);
}
