#include "gui/FrameWindow.h"

#include "gui/Container.h"
#include "gui/ScreenImage.h"

namespace {

ScreenImage* MakePiece(const char* file, int hAlign, int vAlign)
{
    auto* piece = new ScreenImage(FrameWindow::kFolder, file);
    piece->SetScale(1.0f, 1.0f); // design pixels: the frame follows the UI scale
    piece->hAlign = hAlign;
    piece->vAlign = vAlign;
    return piece;
}

FloatPoint Size(ScreenImage* piece)
{
    return piece->GetSizeVirtual();
}

} // namespace

namespace FrameWindow {

void Build(FramePieces& p)
{
    p.top = MakePiece("top.png", kAlignLeft, kAlignTop);
    p.bottom = MakePiece("bottom.png", kAlignLeft, kAlignBottom);
    p.left = MakePiece("left.png", kAlignLeft, kAlignTop);
    p.right = MakePiece("right.png", kAlignRight, kAlignTop);
    p.topRight = MakePiece("top-right.png", kAlignRight, kAlignTop);
    p.topLeft = MakePiece("top-left.png", kAlignLeft, kAlignTop);
    p.bottomRight = MakePiece("bottom-right.png", kAlignRight, kAlignBottom);
    p.bottomLeft = MakePiece("bottom-left.png", kAlignLeft, kAlignBottom);

    const FloatPoint topLeft = Size(p.topLeft), topRight = Size(p.topRight);
    const FloatPoint bottomLeft = Size(p.bottomLeft), bottomRight = Size(p.bottomRight);
    p.topLeft->SetPosition(0.0f, 0.0f);
    p.top->SetPosition(topLeft.x, 0.0f);
    p.top->SetSize(1000.0f - topLeft.x - topRight.x, kKeepCoordinate);
    p.topRight->SetPosition(1000.0f, 0.0f);
    p.bottomLeft->SetPosition(0.0f, 1000.0f);
    p.bottom->SetPosition(bottomLeft.x, 1000.0f);
    p.bottom->SetSize(1000.0f - bottomLeft.x - bottomRight.x, kKeepCoordinate);
    p.bottomRight->SetPosition(1000.0f, 1000.0f);
    p.left->SetPosition(0.0f, topLeft.y);
    p.left->SetSize(kKeepCoordinate, (1000.0f - bottomLeft.y) - topLeft.y);
    p.right->SetPosition(1000.0f, topRight.y);
    p.right->SetSize(kKeepCoordinate, (1000.0f - bottomRight.y) - topRight.y);
}

void ApplyPieces(FramePieces& p, Container<Primitive>* container)
{
    if (!container)
        return;
    for (ScreenImage* piece : {p.topLeft, p.top, p.topRight, p.left, p.right, p.bottomLeft, p.bottom, p.bottomRight})
        if (piece)
            container->AddChild(piece);
}

} // namespace FrameWindow
