#include "gui/SkinFrame.h"

#include "gui/UiScale.h"

#include <algorithm>

SkinFrame::SkinFrame(const std::string& folder, std::initializer_list<SkinFramePiece> pieces)
{
    for (const SkinFramePiece& entry : pieces) {
        if (entry.piece < 0 || entry.piece >= kFramePieceCount)
            continue;
        images_[entry.piece].Load(folder, entry.file);
        SetFrameCell(frame_, entry.piece, images_[entry.piece].get(), nullptr);
    }
}

void SkinFrame::Draw(const FrameRect& rect, uint8_t alpha)
{
    frame_.scale = ScreenImageScale();
    DrawNinePieceFrame(frame_, rect, 0xFFFFFFFFu, alpha);
}

float SkinFrame::LeftWidth() const
{
    return std::max({images_[kFrameTopLeft].DrawnWidth(1.0f), images_[kFrameLeft].DrawnWidth(1.0f),
                     images_[kFrameBottomLeft].DrawnWidth(1.0f)})
           * ScreenImageScale();
}

float SkinFrame::RightWidth() const
{
    return std::max({images_[kFrameTopRight].DrawnWidth(1.0f), images_[kFrameRight].DrawnWidth(1.0f),
                     images_[kFrameBottomRight].DrawnWidth(1.0f)})
           * ScreenImageScale();
}

float SkinFrame::TopHeight() const
{
    return std::max({images_[kFrameTopLeft].DrawnHeight(1.0f), images_[kFrameTop].DrawnHeight(1.0f),
                     images_[kFrameTopRight].DrawnHeight(1.0f)})
           * ScreenImageScale();
}

float SkinFrame::BottomHeight() const
{
    return std::max({images_[kFrameBottomLeft].DrawnHeight(1.0f), images_[kFrameBottom].DrawnHeight(1.0f),
                     images_[kFrameBottomRight].DrawnHeight(1.0f)})
           * ScreenImageScale();
}
