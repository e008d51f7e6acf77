#include "gui/FlimbsWindow.h"

#include "gui/UiScale.h"

namespace {

FrameRect PixelRect(const FloatRect& rect) { return {rect.left, rect.top, rect.right, rect.bottom}; }

} // namespace

FlimbsWindow::FlimbsWindow()
    : border_(kFolder, {{kFrameTopLeft, "window-top-left.png"},
                        {kFrameTop, "window-top-mid.png"},
                        {kFrameTopRight, "window-top-right.png"},
                        {kFrameBottomLeft, "window-bottom-left.png"},
                        {kFrameBottom, "window-bottom-mid.png"},
                        {kFrameBottomRight, "window-bottom-right.png"},
                        {kFrameLeft, "window-left.png"},
                        {kFrameRight, "window-right.png"}}),
      grid_(kFolder, "window-grid.png")
{
    containerFlags = kContainerWindow;
}

void FlimbsWindow::Draw()
{
    if (drawBackground && grid_) {
        // The grid is tiled at its own scaled size over the inside of the border.
        NinePieceFrame background = border_.Frame();
        for (FramePiece& piece : background.pieces)
            piece.image = nullptr; // keeps the cells, so the inside is the same
        SetFrameCell(background, kFrameFill, grid_.get(), nullptr);
        background.scale = ScreenImageScale();
        background.tileEdges = true;
        DrawNinePieceFrame(background, PixelRect(rect), 0xFFFFFFFFu, alpha);
    }
    border_.Draw(PixelRect(rect), alpha);
    PrimContainer::Draw();
}

FlimbsWindow2::FlimbsWindow2()
    : border_(kFolder, {{kFrameTopLeft, "window2-top-left.png"},
                        {kFrameTop, "window2-top.png"},
                        {kFrameTopRight, "window2-top-right.png"},
                        {kFrameBottomLeft, "window2-bottom-left.png"},
                        {kFrameBottom, "window2-bottom.png"},
                        {kFrameBottomRight, "window2-bottom-right.png"},
                        {kFrameLeft, "window2-left.png"},
                        {kFrameRight, "window2-right.png"},
                        {kFrameFill, "window2-fill.png"}})
{
}

void FlimbsWindow2::Draw()
{
    border_.Draw(PixelRect(rect), alpha);
    PrimContainer::Draw();
}
