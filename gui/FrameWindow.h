#pragma once
// The frame round a full screen: eight images from "Graphics\Menu\FrameWindow" (four
// corners and four stretched edges). The bottom pieces are anchored at their bottom edge
// and the right-hand pieces at their right edge, so a position of 1000 puts their far edge
// on the parent's edge. The menu backdrop, the in-game HUD and other full screens use it.
class ScreenImage;
template <class Base>
class Container;
class Primitive;

struct FramePieces {
    ScreenImage* top = nullptr;
    ScreenImage* bottom = nullptr;
    ScreenImage* left = nullptr;
    ScreenImage* right = nullptr;
    ScreenImage* topRight = nullptr;
    ScreenImage* topLeft = nullptr;
    ScreenImage* bottomRight = nullptr;
    ScreenImage* bottomLeft = nullptr;
};

namespace FrameWindow {

constexpr const char* kFolder = "Graphics\\Menu\\FrameWindow";

// Makes the eight pieces at the UI scale and lays them out on a full screen (1/1000
// units): the corners in the corners, the edges stretched between them.
void Build(FramePieces& pieces);
// Adds the pieces to the container (which then owns them) in the order top-left, top,
// top-right, left, right, bottom-left, bottom, bottom-right.
void ApplyPieces(FramePieces& pieces, Container<Primitive>* container);

} // namespace FrameWindow
