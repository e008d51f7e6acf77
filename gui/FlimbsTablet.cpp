#include "gui/FlimbsTablet.h"

#include "app/LanguageTexts.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"
#include "media/Font.h"

#include <algorithm>

FlimbsTablet::FlimbsTablet()
    : scale(GetUiScale()), left_(kFolder, "tablet-left.png"), middle_(kFolder, "tablet-mid.png"),
      right_(kFolder, "tablet-right.png")
{
}

Primitive* FlimbsTablet::HitTest(int x, int y) { return Primitive::HitTest(x, y); }

float FlimbsTablet::ImageHeight() const
{
    const float imageScale = ScreenImageScale();
    return std::max({left_.DrawnHeight(imageScale), middle_.DrawnHeight(imageScale), right_.DrawnHeight(imageScale)});
}

void FlimbsTablet::Draw()
{
    DrawThreeSlice(left_, middle_, right_, rect.left, rect.top, rect.right - rect.left, ScreenImageScale(),
                   WithAlpha(0xFFFFFFFFu, alpha));
}

bool FlimbsTablet::GetSize(float* width, float* height)
{
    if (width)
        *width = ToVirtualX(rect.right - rect.left);
    if (height)
        *height = ToVirtualY(ImageHeight());
    return true;
}

FlimbsWindow3Title::FlimbsWindow3Title() { name = "flimbs_title"; }

void FlimbsWindow3Title::Draw()
{
    FlimbsTablet::Draw();
    if (title.empty())
        return;
    const float centreX = (rect.left + rect.right) * 0.5f;
    const float centreY = rect.top + ImageHeight() * 0.5f;
    DrawWidgetText(fontId, centreX, centreY, scale, WithAlpha(textColour, alpha), ConvertCaptionText(fontId, title),
                   kTextCentre | kTextVCentre);
}
