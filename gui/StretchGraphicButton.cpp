#include "gui/StretchGraphicButton.h"

#include "media/Draw2D.h"

#include "gui/UiScale.h"
#include "gui/WidgetText.h"

#include <algorithm>

namespace {
const char* const kButtonFolder = "Graphics\\Menu\\FlimbsButton\\";
const char* const kVoiceBubbleFolder = "Graphics\\Menu\\VoiceBubbleButton\\";
constexpr float kCaptionSideMargin = 15.0f; // design pixels
constexpr float kCaptionTopMargin = 3.5f;
constexpr float kCaptionBottomMargin = 4.0f;
constexpr float kIconCaptionGap = 5.0f;
} // namespace

StretchGraphicButton::StretchGraphicButton() : imageScale_(ScreenImageScale())
{
    const float ui = GetUiScale();
    captionLeftMargin_ = kCaptionSideMargin * ui;
    margins = FloatRect{captionLeftMargin_, kCaptionTopMargin * ui, kCaptionSideMargin * ui, kCaptionBottomMargin * ui};
}

void StretchGraphicButton::SetSkin(const std::string& folder, const std::string& left, const std::string& middle,
                                   const std::string& right)
{
    left_.Load(folder, left);
    middle_.Load(folder, middle);
    right_.Load(folder, right);
    left_.SetFrameSize(kCapFrameWidth, kFrameHeight);
    middle_.SetFrameSize(kMiddleFrameWidth, kFrameHeight);
    right_.SetFrameSize(kCapFrameWidth, kFrameHeight);
    imageScale_ = ScreenImageScale();
    SetSize(kKeepCoordinate, kKeepCoordinate);
}

void StretchGraphicButton::SetIcon(const std::string& path, float offsetPixels, float scale)
{
    if (path.empty())
        icon_.Reset();
    else
        icon_.Load(std::string(), path);
    iconOffset_ = offsetPixels;
    iconScale_ = std::max(0.0f, scale);
    UpdateIconMargin();
}

void StretchGraphicButton::UpdateIconMargin()
{
    const float ui = GetUiScale();
    margins.left = captionLeftMargin_;
    if (icon_)
        margins.left = std::max(captionLeftMargin_, iconOffset_ * ui +
                                                        icon_.DrawnWidth(ScreenImageScale() * iconScale_) +
                                                        kIconCaptionGap * ui);
}

float StretchGraphicButton::ImagesHeight() const
{
    return left_.DrawnHeight(imageScale_);
}

int StretchGraphicButton::FrameForState() const
{
    if (!enabled)
        return kStretchFrameDisabled;
    if (state == kButtonPressed)
        return kStretchFramePressed;
    if (state == kButtonHover)
        return kStretchFrameHover;
    return kStretchFrameNormal;
}

void StretchGraphicButton::SetSize(float width, float height)
{
    const float widthPixels = width <= kKeepCoordinate ? rect.right - rect.left : ToPixelsX(width);
    float heightPixels = 0.0f;
    if (height <= kKeepCoordinate) {
        heightPixels = ImagesHeight();
    } else {
        heightPixels = std::max(0.0f, ToPixelsY(height));
        if (left_.FrameHeight() > 0)
            imageScale_ = heightPixels / float(left_.FrameHeight());
    }
    middleWidth_ = ThreeSliceMiddleWidth(left_, right_, widthPixels, imageScale_);
    TextButton::SetSize(width, ToVirtualY(heightPixels));
}

bool StretchGraphicButton::GetSize(float* width, float* height)
{
    float w = 0.0f;
    float h = 0.0f;
    TextButton::GetSize(&w, &h);
    if (width)
        *width = w;
    if (height)
        *height = std::max(h, ToVirtualY(ImagesHeight()));
    return true;
}

void StretchGraphicButton::Draw()
{
    const uint8_t drawAlpha =
        enabled && PulseRuns() ? uint8_t(std::clamp(pulseAlpha, 0.0f, 255.0f)) : alpha;
    const uint32_t colour = WithAlpha(tint, uint8_t(((tint >> 24) * drawAlpha) / 255u));
    const float width = rect.right - rect.left;
    middleWidth_ = ThreeSliceMiddleWidth(left_, right_, width, imageScale_);
    {
        const Draw2D::TintScope tinted;
        DrawThreeSlice(left_, middle_, right_, rect.left, rect.top, width, imageScale_, colour, FrameForState());
    }
    if (icon_) {
        const float iconScale = ScreenImageScale() * iconScale_;
        const float centreY = (rect.top + rect.bottom) / 2.0f;
        icon_.Draw(rect.left + iconOffset_ * GetUiScale(), centreY - icon_.DrawnHeight(iconScale) / 2.0f, iconScale,
                   WithAlpha(0xFFFFFFFFu, drawAlpha));
    }
    TextButton::Draw();
}

FlimbsButton::FlimbsButton(const std::string& caption)
{
    SetSkin(kButtonFolder, "button-left.png", "button-mid.png", "button-right.png");
    SetCaption(caption.c_str());
}

FlimbsButton2::FlimbsButton2(const std::string& caption)
{
    SetSkin(kButtonFolder, "button2-left.png", "button2-mid.png", "button2-right.png");
    SetCaption(caption.c_str());
}

FlimbsButton3::FlimbsButton3(const std::string& caption)
{
    SetSkin(kButtonFolder, "button3-left.png", "button3-mid.png", "button3-right.png");
    SetCaption(caption.c_str());
}

VoiceBubbleButton::VoiceBubbleButton(const std::string& caption)
{
    SetSkin(kVoiceBubbleFolder, "left.png", "mid.png", "right.png");
    SetCaption(caption.c_str());
}
