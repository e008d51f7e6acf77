#include "hud/BubbleWidgets.h"

#include "gui/VoiceBubble.h"
#include "gui/WidgetText.h"
#include "media/Draw2D.h"

void SeparatorLine::Draw()
{
    if (!visible || !highlight)
        return;
    const float middle = (rect.top + rect.bottom) / 2.0f;
    Draw2D::DrawFilledRect(rect.left, rect.top, rect.right, middle, WithAlpha(upper_, alpha));
    Draw2D::DrawFilledRect(rect.left, middle, rect.right, rect.bottom, WithAlpha(lower_, alpha));
}

bool SeparatorLine::GetSize(float* width, float* height)
{
    if (width)
        *width = GetSizeVirtual().x;
    if (height)
        *height = 3.0f;
    return true;
}

std::unique_ptr<VoiceBubbleButton> MakeBubbleButton(const std::string& caption, const std::string& icon,
                                                    float growWidth, float growHeight, ButtonCallback action)
{
    auto button = std::make_unique<VoiceBubbleButton>(caption);
    if (!icon.empty())
        button->SetIcon(icon, 6.0f, 1.0f);
    float width = 0.0f, height = 0.0f;
    button->GetSize(&width, &height);
    button->SetSize(width + DesignUnitsX(growWidth), height + growHeight);
    button->onClick = std::move(action);
    button->tabStop = 1;
    return button;
}
