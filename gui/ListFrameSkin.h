#pragma once
// The frame of the skinned list and many-line edit boxes: seven pieces from
// "Graphics\Menu\ListBox\" (four corners, the top edge, the left and right sides; the
// bottom is the two corners alone), drawn at the skin scale around a rectangle.
#include "gui/Primitive.h"
#include "gui/SkinImage.h"

#include <cstdint>

class ListFrameSkin {
public:
    static constexpr const char* kFolder = "Graphics\\Menu\\ListBox\\";

    ListFrameSkin();

    // Corners keep their size (shrunk in proportion in a smaller rectangle); the top edge
    // stretches between the top corners, the sides between the top and bottom corners.
    void Draw(const FloatRect& area, float scale, uint32_t argb) const;
    // The drawn thickness of the frame's sides (pixels).
    float LeftWidth(float scale) const { return left_.DrawnWidth(scale); }
    float RightWidth(float scale) const { return right_.DrawnWidth(scale); }
    float TopHeight(float scale) const { return top_.DrawnHeight(scale); }
    float BottomHeight(float scale) const { return bottomLeft_.DrawnHeight(scale); }

private:
    SkinImage topLeft_;
    SkinImage top_;
    SkinImage topRight_;
    SkinImage bottomRight_;
    SkinImage bottomLeft_;
    SkinImage left_;
    SkinImage right_;
};
