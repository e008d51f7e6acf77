#include "gui/ListFrameSkin.h"

#include "media/NinePieceFrame.h"

ListFrameSkin::ListFrameSkin()
    : topLeft_(kFolder, "list-top-left.png"), top_(kFolder, "list-top-mid.png"),
      topRight_(kFolder, "list-top-right.png"), bottomRight_(kFolder, "list-bottom-right.png"),
      bottomLeft_(kFolder, "list-bottom-left.png"), left_(kFolder, "list-left.png"), right_(kFolder, "list-right.png")
{
}

void ListFrameSkin::Draw(const FloatRect& area, float scale, uint32_t argb) const
{
    NinePieceFrame frame;
    frame.scale = scale;
    const struct {
        int index;
        const SkinImage& image;
    } pieces[] = {{kFrameTopLeft, topLeft_},   {kFrameTop, top_},        {kFrameTopRight, topRight_},
                  {kFrameLeft, left_},         {kFrameRight, right_},    {kFrameBottomLeft, bottomLeft_},
                  {kFrameBottomRight, bottomRight_}};
    for (const auto& piece : pieces) {
        if (!piece.image)
            continue;
        const gfx::RECT cell = piece.image.FrameRect(0);
        SetFrameCell(frame, piece.index, piece.image.get(), &cell);
    }
    DrawNinePieceFrame(frame, FrameRect{area.left, area.top, area.right, area.bottom}, argb, 255);
}
