#include "gui/DecoratedPrimContainer.h"

#include "gui/UiScale.h"
#include "media/ImageCache.h"

#include <algorithm>

namespace {

struct PieceFile {
    int piece;
    const char* file;
};

constexpr PieceFile kPieceFiles[] = {
    {kFrameTopLeft, "top-left.png"},       {kFrameTop, "top.png"},       {kFrameTopRight, "top-right.png"},
    {kFrameBottomLeft, "bottom-left.png"}, {kFrameBottom, "bottom.png"}, {kFrameBottomRight, "bottom-right.png"},
};

float CellHeight(const FramePiece& piece) { return float(piece.cell.bottom - piece.cell.top); }

} // namespace

DecoratedPrimContainer::DecoratedPrimContainer(const std::string& folder, bool withFill) : folder_(folder)
{
    while (!folder_.empty() && (folder_.back() == '\\' || folder_.back() == '/'))
        folder_.pop_back();
    for (const PieceFile& entry : kPieceFiles)
        SetFrameCell(frame_, entry.piece, ImageCache::GetImageFromParts(folder_, entry.file), nullptr);
    if (withFill)
        SetFrameCell(fill_, kFrameFill, ImageCache::GetImageFromParts(folder_, "fill.png"), nullptr);
}

DecoratedPrimContainer::~DecoratedPrimContainer()
{
    for (const PieceFile& entry : kPieceFiles)
        ImageCache::ReleaseImage(frame_.pieces[entry.piece].image);
    ImageCache::ReleaseImage(fill_.pieces[kFrameFill].image);
}

float DecoratedPrimContainer::TopHeight() const
{
    return std::max({CellHeight(frame_.pieces[kFrameTopLeft]), CellHeight(frame_.pieces[kFrameTop]),
                     CellHeight(frame_.pieces[kFrameTopRight])})
           * ScreenImageScale();
}

float DecoratedPrimContainer::BottomHeight() const
{
    return std::max({CellHeight(frame_.pieces[kFrameBottomLeft]), CellHeight(frame_.pieces[kFrameBottom]),
                     CellHeight(frame_.pieces[kFrameBottomRight])})
           * ScreenImageScale();
}

void DecoratedPrimContainer::Draw()
{
    frame_.scale = fill_.scale = ScreenImageScale();
    // The fill spans the band between the strips; the strips are drawn over its ends.
    const float top = std::min(rect.top + TopHeight(), rect.bottom);
    const float bottom = std::max(rect.bottom - BottomHeight(), top);
    DrawNinePieceFrame(fill_, {rect.left, top, rect.right, bottom}, frameColour, alpha);
    DrawNinePieceFrame(frame_, {rect.left, rect.top, rect.right, rect.bottom}, frameColour, alpha);
    PrimContainer::Draw();
}
