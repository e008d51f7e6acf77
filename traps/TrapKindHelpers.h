#pragma once
// Small helpers the trap kinds share: safe truncation, the gravity direction of a trap's
// rotation, the kinds' XML children and drawing one frame of a sheet with its own settings.
#include "platform/gfx/D3DTypes.h"

#include <cstdint>
#include <string>

class AnimSurface;
class Trap;
typedef struct _xmlNode xmlNode;

// Truncation toward zero that stays inside the integer range for any float (NaN gives 0).
int32_t TruncToInt(float v);
// The gravity direction (0 down, 1 up, 2 left, 3 right) of the trap's rotation, truncated.
uint8_t TrapGravityDirection(const Trap& trap);

// Appends a child element with the text (Save of the kinds).
void AppendTrapChild(xmlNode* node, const char* name, const std::string& text);
void AppendTrapInt(xmlNode* node, const char* name, int64_t value);

// How a sheet frame is drawn; the sheet's own settings are restored afterwards.
struct SheetDraw {
    int frame = 0;
    float scaleX = 1.0f;
    float scaleY = 1.0f;
    float radians = 0.0f;
    uint32_t colour = 0x808080; // signed-add tint inside a SignedAddScope
    uint8_t alpha = 255;
    // A part of the frame (offsets inside the frame: left, top, right, bottom); null for all.
    const gfx::RECT* part = nullptr;
};
// The trap's own look: its scales, turn, tint and alpha, frame 0.
SheetDraw TrapSheetLook(const Trap& trap);
// Draws the frame with the sheet's hot spot on the world point (x, y), through the game view;
// nothing without a sheet or bitmap.
void DrawSheet(AnimSurface* sheet, float x, float y, const SheetDraw& how);
// The paired-frame rule of drawing: with the alternate-frame switch on and a paired sheet,
// an even frame shows its odd partner. The frame given is not changed.
int PairedDisplayFrame(const AnimSurface* sheet, int frame);
// Releases a sheet through the image cache and clears the pointer.
void ReleaseSheet(AnimSurface*& sheet);
