#pragma once
// Drawing of the manned devices in the world: sprite-sheet frames and numbers placed at
// world points through the game view (its position, zoom and turn), tinted additively.
#include <cstdint>
#include <string>

class AnimSurface;

struct WorldSheetDraw {
    int frame = 0;
    float degrees = 0.0f; // clockwise on the screen of an untouched view
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    uint32_t tint = 0x808080; // added as a signed colour
    uint8_t alpha = 255;
};

// The frame with the sheet's hot spot on the world point; nothing without a sheet.
void DrawWorldSheet(AnimSurface* sheet, float worldX, float worldY, const WorldSheetDraw& how);
// A line of text centred on the world point, in the colour, with the numbers font.
void DrawWorldNumber(const std::string& text, float worldX, float worldY, uint32_t colour);
// A rectangle of the world (left, top, right, bottom) filled with the colour.
void DrawWorldBox(float left, float top, float right, float bottom, uint32_t colour);
