#pragma once
// The 17 predefined brush masks: their files below "Graphics\", their hot spots, and the
// shape of a mask built from one at a brush scale, direction and flip.
//
// Mask numbers: 0 house protection, 1 start protection, 2 the Doppel's left half-block,
// 3 the Drill, 4 + group the Mold bricks of group 0-7, 12 the Nova crater (and the landscape
// generator), 13 the Clob tunnel face, 14 and 15 the Gulp (up, down), 16 the Lop crater.
#include <cstdint>

constexpr int kPredefinedMaskFiles = 17;
constexpr int kNovaMask = 12;

// "Masks\mask_house_prot.png" ... (below "Graphics\"); null out of range.
const char* PredefinedMaskFile(int mask);

// What LoadPredefinedMask builds: the mask's size and hot spot, and the transform that draws
// the file into it (rotation 0, 180, 270 or 90 degrees for directions 0-3; a flip mirrors
// the file through a negative scale x).
struct PredefinedMaskShape {
    int32_t width = 0;
    int32_t height = 0;
    int32_t hotspotX = 0;
    int32_t hotspotY = 0;
    float rotation = 0.0f;
    float scaleX = 1.0f;
    float scaleY = 1.0f;
};
// False for a mask, direction or flip out of range, a scale that is not a positive number,
// or a size outside 1..16,384.
bool PredefinedMaskShapeFor(int mask, int imageWidth, int imageHeight, float scale, int direction, int flip,
                            PredefinedMaskShape& out);
