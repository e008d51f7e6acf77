#include "media/NinePieceFrame.h"

#include "media/Draw2D.h"

#include <algorithm>
#include <cmath>

namespace {

// More tiles than this along one side are drawn stretched instead.
constexpr int kMaxTiles = 1024;

int CellWidth(const FramePiece& piece) { return piece.image ? int(piece.cell.right - piece.cell.left) : 0; }
int CellHeight(const FramePiece& piece) { return piece.image ? int(piece.cell.bottom - piece.cell.top) : 0; }

uint32_t ScaleAlpha(uint32_t colour, uint32_t factor)
{
    const uint32_t alpha = ((colour >> 24) * factor + 127) / 255;
    return (alpha << 24) | (colour & 0xFFFFFFu);
}

// Adds the quads covering dest with one piece: stretched, or tiled at the tile size with the
// last tile on each axis cut short (and its source cut in proportion).
void AddPiece(std::vector<FrameQuad>& out, const NinePieceFrame& frame, int index, FrameRect dest, bool tileX,
              bool tileY)
{
    const FramePiece& piece = frame.pieces[index];
    if (!piece.image || dest.right - dest.left <= 0.0f || dest.bottom - dest.top <= 0.0f)
        return;
    const int cellW = CellWidth(piece), cellH = CellHeight(piece);
    if (cellW <= 0 || cellH <= 0)
        return;
    const float tileW = float(cellW) * frame.scale, tileH = float(cellH) * frame.scale;
    const float width = dest.right - dest.left, height = dest.bottom - dest.top;
    if (!(tileW >= 1.0f) || width / tileW > kMaxTiles)
        tileX = false;
    if (!(tileH >= 1.0f) || height / tileH > kMaxTiles)
        tileY = false;
    const float stepX = tileX ? tileW : width, stepY = tileY ? tileH : height;
    for (float y = dest.top; y < dest.bottom; y += stepY) {
        const float y2 = std::min(y + stepY, dest.bottom);
        const int32_t srcH = tileY ? int32_t(std::lround(float(cellH) * (y2 - y) / tileH)) : cellH;
        for (float x = dest.left; x < dest.right; x += stepX) {
            const float x2 = std::min(x + stepX, dest.right);
            const int32_t srcW = tileX ? int32_t(std::lround(float(cellW) * (x2 - x) / tileW)) : cellW;
            if (srcW <= 0 || srcH <= 0)
                continue;
            FrameQuad quad;
            quad.piece = index;
            quad.source = {piece.cell.left, piece.cell.top, piece.cell.left + srcW, piece.cell.top + srcH};
            quad.dest = {x, y, x2, y2};
            out.push_back(quad);
        }
    }
}

} // namespace

void SetFrameCell(NinePieceFrame& frame, int index, AnimSurface* image, const gfx::RECT* cell)
{
    if (index < 0 || index >= kFramePieceCount)
        return;
    FramePiece& piece = frame.pieces[index];
    piece.image = image;
    piece.cell = {};
    if (!image)
        return;
    const gfx::RECT whole = image->sourceRect;
    const gfx::RECT wanted = cell ? *cell : whole;
    const int32_t imageW = std::max(0, image->imageWidth), imageH = std::max(0, image->imageHeight);
    piece.cell.left = std::clamp<int32_t>(wanted.left, 0, imageW);
    piece.cell.top = std::clamp<int32_t>(wanted.top, 0, imageH);
    piece.cell.right = std::clamp<int32_t>(wanted.right, piece.cell.left, imageW);
    piece.cell.bottom = std::clamp<int32_t>(wanted.bottom, piece.cell.top, imageH);
}

void SetFrameFromImage(NinePieceFrame& frame, AnimSurface* image, int left, int top, int right, int bottom)
{
    if (!image) {
        for (int i = 0; i < kFramePieceCount; ++i)
            SetFrameCell(frame, i, nullptr, nullptr);
        return;
    }
    const gfx::RECT area = image->sourceRect;
    const int32_t w = std::max(0, area.right - area.left), h = std::max(0, area.bottom - area.top);
    int32_t l = std::clamp<int32_t>(left, 0, w), r = std::clamp<int32_t>(right, 0, w);
    int32_t t = std::clamp<int32_t>(top, 0, h), b = std::clamp<int32_t>(bottom, 0, h);
    if (l + r > w)
        l = w / 2, r = w - l;
    if (t + b > h)
        t = h / 2, b = h - t;
    const int32_t xs[4] = {area.left, area.left + l, area.right - r, area.right};
    const int32_t ys[4] = {area.top, area.top + t, area.bottom - b, area.bottom};
    // Column and row of each piece in the 3 x 3 grid.
    static constexpr int kColumn[kFramePieceCount] = {0, 1, 2, 0, 2, 0, 1, 2, 1};
    static constexpr int kRow[kFramePieceCount] = {0, 0, 0, 1, 1, 2, 2, 2, 1};
    for (int i = 0; i < kFramePieceCount; ++i) {
        const gfx::RECT cell{xs[kColumn[i]], ys[kRow[i]], xs[kColumn[i] + 1], ys[kRow[i] + 1]};
        SetFrameCell(frame, i, image, &cell);
    }
}

void SetFrameFromImage(NinePieceFrame& frame, AnimSurface* image)
{
    if (!image) {
        SetFrameFromImage(frame, nullptr, 0, 0, 0, 0);
        return;
    }
    const gfx::RECT area = image->sourceRect;
    const int w = int(area.right - area.left), h = int(area.bottom - area.top);
    SetFrameFromImage(frame, image, w / 3, h / 3, w / 3, h / 3);
}

std::vector<FrameQuad> LayoutNinePieceFrame(const NinePieceFrame& frame, const FrameRect& rect)
{
    std::vector<FrameQuad> quads;
    const float scale = std::isfinite(frame.scale) && frame.scale > 0.0f ? frame.scale : 0.0f;
    if (scale == 0.0f || !std::isfinite(rect.left) || !std::isfinite(rect.top) || !std::isfinite(rect.right)
        || !std::isfinite(rect.bottom))
        return quads;
    const auto w = [&](int i) { return float(CellWidth(frame.pieces[i])) * scale; };
    const auto h = [&](int i) { return float(CellHeight(frame.pieces[i])) * scale; };
    const float width = std::max(0.0f, rect.right - rect.left), height = std::max(0.0f, rect.bottom - rect.top);
    float left = std::max({w(kFrameTopLeft), w(kFrameLeft), w(kFrameBottomLeft)});
    float right = std::max({w(kFrameTopRight), w(kFrameRight), w(kFrameBottomRight)});
    float top = std::max({h(kFrameTopLeft), h(kFrameTop), h(kFrameTopRight)});
    float bottom = std::max({h(kFrameBottomLeft), h(kFrameBottom), h(kFrameBottomRight)});
    // A box smaller than its borders shrinks them in proportion.
    const float fx = left + right > width ? width / (left + right) : 1.0f;
    const float fy = top + bottom > height ? height / (top + bottom) : 1.0f;
    left *= fx, right *= fx, top *= fy, bottom *= fy;
    const float x0 = rect.left, x1 = rect.left + left, x2 = rect.left + width - right, x3 = rect.left + width;
    const float y0 = rect.top, y1 = rect.top + top, y2 = rect.top + height - bottom, y3 = rect.top + height;
    const bool tile = frame.tileEdges;
    AddPiece(quads, frame, kFrameFill, {x1, y1, x2, y2}, tile, tile);
    AddPiece(quads, frame, kFrameTop, {x1, y0, x2, y0 + h(kFrameTop) * fy}, tile, false);
    AddPiece(quads, frame, kFrameBottom, {x1, y3 - h(kFrameBottom) * fy, x2, y3}, tile, false);
    AddPiece(quads, frame, kFrameLeft, {x0, y1, x0 + w(kFrameLeft) * fx, y2}, false, tile);
    AddPiece(quads, frame, kFrameRight, {x3 - w(kFrameRight) * fx, y1, x3, y2}, false, tile);
    AddPiece(quads, frame, kFrameTopLeft, {x0, y0, x0 + w(kFrameTopLeft) * fx, y0 + h(kFrameTopLeft) * fy}, false,
             false);
    AddPiece(quads, frame, kFrameTopRight, {x3 - w(kFrameTopRight) * fx, y0, x3, y0 + h(kFrameTopRight) * fy},
             false, false);
    AddPiece(quads, frame, kFrameBottomLeft,
             {x0, y3 - h(kFrameBottomLeft) * fy, x0 + w(kFrameBottomLeft) * fx, y3}, false, false);
    AddPiece(quads, frame, kFrameBottomRight,
             {x3 - w(kFrameBottomRight) * fx, y3 - h(kFrameBottomRight) * fy, x3, y3}, false, false);
    return quads;
}

void DrawNinePieceFrame(const NinePieceFrame& frame, const FrameRect& rect, uint32_t colour, uint8_t opacity)
{
    const uint32_t edgeColour = ScaleAlpha(colour, opacity);
    const uint32_t fillColour = ScaleAlpha(edgeColour, frame.fillAlpha);
    for (const FrameQuad& quad : LayoutNinePieceFrame(frame, rect)) {
        AnimSurface* image = frame.pieces[quad.piece].image;
        if (!image->bitmap || !image->bitmap->texture)
            continue;
        const uint32_t c = quad.piece == kFrameFill ? fillColour : edgeColour;
        const gfx::D3DCOLOR colours[4] = {c, c, c, c};
        Draw2D::DrawTexturedRect(image->bitmap->texture, &quad.source, quad.dest.left, quad.dest.top,
                                 quad.dest.right, quad.dest.bottom, colours);
    }
}

void DrawImageFrame(AnimSurface* image, const FrameRect& rect, uint8_t fillAlpha, uint8_t alpha, uint32_t colour)
{
    if (!image)
        return;
    NinePieceFrame frame;
    SetFrameFromImage(frame, image);
    frame.fillAlpha = fillAlpha;
    DrawNinePieceFrame(frame, rect, 0xFF000000u | (colour & 0xFFFFFFu), alpha);
}
