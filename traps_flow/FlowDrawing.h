#pragma once
// Drawing helpers the level-flow traps share: an image's frame at a world point with its own
// scale, rotation, alpha and tint (the image's draw state put back afterwards), and a number
// in a font, turned with the trap; both placed through the current view.
#include <cstdint>
#include <string>

class AnimSurface;

struct ImageDraw {
    int32_t frame = 0;
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    float radians = 0.0f;
    uint8_t alpha = 255;
    uint32_t tint = 0x808080; // signed-add tint; 0x808080 leaves the image as it is
};
void DrawImageAt(AnimSurface* image, float x, float y, const ImageDraw& how);
// Text centred on (x, y) in font `font`, turned by `radians`.
void DrawTextAt(int font, float x, float y, uint32_t colour, const std::string& text, float radians);
// Degrees to radians with the single-precision pi.
inline float DegreesToRadians(float degrees)
{
    return degrees * 3.1415927f / 180.0f;
}
