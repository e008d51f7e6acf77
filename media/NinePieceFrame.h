#pragma once
// Boxes drawn from nine pieces: four corners at their own (scaled) size, the top and bottom
// edges along the width between the corners, the left and right edges along the height
// between them and the fill over the inside. Edges and fill are stretched, or tiled at
// their own size with the last tile cut short. A box smaller than its corners shrinks the
// corners in proportion; no piece is ever given a negative size.
#include "media/AnimSurface.h"

#include <cstdint>
#include <vector>

enum FramePieceIndex : int {
    kFrameTopLeft = 0,
    kFrameTop,
    kFrameTopRight,
    kFrameLeft,
    kFrameRight,
    kFrameBottomLeft,
    kFrameBottom,
    kFrameBottomRight,
    kFrameFill,
    kFramePieceCount
};

// Screen pixels; right and bottom exclusive.
struct FrameRect {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
    bool operator==(const FrameRect&) const = default;
};

// One piece: an image (not owned) and the cell of it that is drawn.
struct FramePiece {
    AnimSurface* image = nullptr;
    gfx::RECT cell{};
};

struct NinePieceFrame {
    FramePiece pieces[kFramePieceCount];
    float scale = 1.0f;      // the drawn size of a piece is its cell size times this
    bool tileEdges = false;  // false: edges and fill are stretched
    uint8_t fillAlpha = 255; // the fill's opacity, on top of the frame's own
};

// Sets one piece to a cell of an image; cell null: the image's current frame. The cell is
// clipped to the image; an index out of range is ignored.
void SetFrameCell(NinePieceFrame& frame, int index, AnimSurface* image, const gfx::RECT* cell);
// Sets all nine pieces from one image cut by two vertical and two horizontal lines: the
// corner cells are `left` wide (`right` for the right column) and `top` high (`bottom`),
// the rest of the image is the middle row and column. Borders larger than the image are
// cut down to fit.
void SetFrameFromImage(NinePieceFrame& frame, AnimSurface* image, int left, int top, int right, int bottom);
// The same with the image cut in equal thirds.
void SetFrameFromImage(NinePieceFrame& frame, AnimSurface* image);

// One quad of a frame: the piece, the part of its cell and where it goes.
struct FrameQuad {
    int piece = 0;
    gfx::RECT source{};
    FrameRect dest;
};
// The quads that draw the frame into the rectangle, in drawing order (fill first). Pieces
// without an image and pieces of zero size are left out.
std::vector<FrameQuad> LayoutNinePieceFrame(const NinePieceFrame& frame, const FrameRect& rect);

// Draws the frame with the colour (ARGB) whose alpha is multiplied by the opacity.
void DrawNinePieceFrame(const NinePieceFrame& frame, const FrameRect& rect, uint32_t colour, uint8_t opacity);
// A frame cut in thirds from one image: the fill drawn with fillAlpha, everything with
// alpha and colour (low 24 bits). Nothing without an image.
void DrawImageFrame(AnimSurface* image, const FrameRect& rect, uint8_t fillAlpha, uint8_t alpha, uint32_t colour);
