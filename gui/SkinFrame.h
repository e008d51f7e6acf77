#pragma once
// A nine-piece frame whose pieces are skin images of one folder, owned (released with the
// frame) and drawn at the skin scale (ScreenImageScale). Corners keep their size, edges and
// fill stretch; a piece without a file is left out.
#include "gui/SkinImage.h"
#include "media/NinePieceFrame.h"

#include <initializer_list>
#include <string>

struct SkinFramePiece {
    int piece;        // FramePieceIndex
    const char* file; // inside the folder
};

class SkinFrame {
public:
    SkinFrame() = default;
    SkinFrame(const std::string& folder, std::initializer_list<SkinFramePiece> pieces);

    // Draws into the rectangle (screen pixels) with white whose alpha is `alpha`.
    void Draw(const FrameRect& rect, uint8_t alpha);
    const SkinImage& Image(int piece) const { return images_[piece]; }
    const NinePieceFrame& Frame() const { return frame_; }
    // Border thickness in pixels at the current screen: the widest (tallest) piece of the side.
    float LeftWidth() const;
    float RightWidth() const;
    float TopHeight() const;
    float BottomHeight() const;

private:
    SkinImage images_[kFramePieceCount];
    NinePieceFrame frame_;
};
