#include "gui/FlimbsToolTip.h"

#include "app/LanguageTexts.h"
#include "gui/UiScale.h"
#include "gui/WidgetText.h"
#include "media/Draw2D.h"
#include "media/NinePieceFrame.h"

#include <algorithm>

FlimbsToolTip::FlimbsToolTip(float width, const std::string& text, uint32_t delayMs)
    : ToolTip(delayMs, text), bottom_(kFolder, "border_bottom.png"), top_(kFolder, "border_top.png"),
      left_(kFolder, "border_left.png"), right_(kFolder, "border_right.png"),
      topLeft_(kFolder, "corner_top_left.png"), topRight_(kFolder, "corner_top_right.png"),
      bottomLeft_(kFolder, "corner_bottom_left.png"), bottomRight_(kFolder, "corner_bottom_right.png")
{
    padding = 0.0f; // the border images hold the text off the edge
    widthLimit = width > 0.0f ? width * GetUiScale() : 0.0f;
}

FlimbsToolTip::~FlimbsToolTip() = default;

float FlimbsToolTip::LeftBorder() const { return left_.DrawnWidth(ScreenImageScale()); }
float FlimbsToolTip::RightBorder() const { return right_.DrawnWidth(ScreenImageScale()); }
float FlimbsToolTip::TopBorder() const { return top_.DrawnHeight(ScreenImageScale()); }
float FlimbsToolTip::BottomBorder() const { return bottom_.DrawnHeight(ScreenImageScale()); }

bool FlimbsToolTip::GetSize(float* width, float* height)
{
    const std::string shown = ConvertCaptionText(fontId, ShownText());
    float w = WidgetTextWidth(fontId, shown, textScale);
    float lines = float(1 + std::count(shown.begin(), shown.end(), '\n'));
    if (widthLimit > 0.0f && w > widthLimit) {
        w = widthLimit;
        lines = float(WidgetWrappedLineCount(fontId, shown, textScale, widthLimit));
    }
    const float h = WidgetLineHeight(fontId, textScale) * lines;
    if (width)
        *width = ToVirtualX(w + 2.0f * padding + LeftBorder() + RightBorder());
    if (height)
        *height = ToVirtualY(h + 2.0f * padding + TopBorder() + BottomBorder());
    return true;
}

void FlimbsToolTip::Draw()
{
    if (!IsShowing())
        return;
    Draw2D::DrawFilledRect(rect.left + LeftBorder() / 2.0f, rect.top + TopBorder() / 2.0f,
                           rect.right - RightBorder() / 2.0f, rect.bottom - BottomBorder() / 2.0f,
                           WithAlpha(fillColour, uint8_t(((fillColour >> 24) * alpha) / 255)));
    NinePieceFrame frame;
    frame.scale = ScreenImageScale();
    const struct {
        int index;
        const SkinImage& image;
    } pieces[] = {{kFrameTopLeft, topLeft_},       {kFrameTop, top_},       {kFrameTopRight, topRight_},
                  {kFrameLeft, left_},             {kFrameRight, right_},   {kFrameBottomLeft, bottomLeft_},
                  {kFrameBottom, bottom_},         {kFrameBottomRight, bottomRight_}};
    for (const auto& piece : pieces) {
        if (!piece.image)
            continue;
        const gfx::RECT cell = piece.image.FrameRect(0);
        SetFrameCell(frame, piece.index, piece.image.get(), &cell);
    }
    DrawNinePieceFrame(frame, FrameRect{rect.left, rect.top, rect.right, rect.bottom}, WithAlpha(0xFFFFFFFF, alpha),
                       255);
    DrawTipText();
}
