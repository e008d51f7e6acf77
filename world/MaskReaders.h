#pragma once
// The mask readers: functions that turn a source image into a mask pixel at an orientation and
// a scale, and BlitImage, which draws a source into an image through one of them.
//
// Fixed-orientation tables (scale 1, 2, 1/2 and 1/4) have eight entries, one per orientation;
// with w, h the (scaled) source size, output (x, y) reads:
//   0 (x, y)  1 (w-1-x, y)  2 (x, h-1-y)  3 (w-1-x, h-1-y)
//   4 (w-1-y, x)  5 (y, x)  6 (w-1-y, h-1-x)  7 (y, h-1-x)
// The scaled image of the half and quarter tables is rounded up (w / 2 and w / 4 rounded up);
// its last block reaches past the source, and those pixels count as transparent.
//
// The free readers read through a MaskTransform given as the reader's context:
//   nearest:  the transformed point, each coordinate through RoundToInt;
//   bilinear: the four pixels around it, transparent ones weighted 0 and the rest renormalised;
//   area:     the average of the source pixels whose coordinates lie in [u - r, u + r) across
//             and [v - r, v + r) down, r = max(0.5, 0.5 / scale) on each axis.
#include "world/BashTypes.h"

enum MaskScaleTable : int { kMaskScalePlain = 0, kMaskScaleDouble = 1, kMaskScaleHalf = 2, kMaskScaleQuarter = 3 };

// Table 0-3 (above), orientation 0-7; anything else gives the plain reader.
MaskReader OrientationReader(int table, int orientation);
// The transform must outlive every read through the reader.
MaskReader NearestReader(const MaskTransform& transform);
MaskReader BilinearReader(const MaskTransform& transform);
MaskReader AreaReader(const MaskTransform& transform);

// Source pixel (x, y); 0 outside.
uint32_t ReadPlain(const BashMask& source, int x, int y);
// Through the reader (none: ReadPlain).
inline uint32_t ReadMask(const MaskReader& reader, const BashMask& source, int x, int y)
{
    return reader.read ? reader.read(source, x, y, reader.context) : ReadPlain(source, x, y);
}

// The averages the scaled readers use (exposed for tests):
// a 2 x 2 up-sample sample set of 1, 2 or 4 pixels, and a block of side pixels at (x, y).
uint32_t AverageSamples(const uint32_t* samples, int count);
uint32_t BlockAverage(const BashMask& source, int x, int y, int side);

// Draws the source into dest at (x, y) over the destination's size minus x and y, each pixel
// read through the reader (none: the source pixel; 0 past the source). Nothing outside dest.
void BlitImage(BashMask& dest, int x, int y, const BashMask& source, const MaskReader* reader);
