#pragma once
// The geometry of a transformed mask: whole-degree angles, the cache keys of transformed
// masks and images, the size and placement of an image scaled and turned, and the choice of
// the reader that draws it (ComputeMaskTransform).
//
// A transform scales a w x h image by (scaleX, scaleY), then turns it by `angle` degrees the
// way the fixed-orientation readers turn it (90 takes the image's right edge to the top).
// Everything here is simulation data: sizes and pixels come from table trigonometry and
// float arithmetic only, the same bits on every machine.
#include "world/BashTypes.h"

#include <string>

// A rotation as the masks use it: truncated to whole degrees, taken modulo 360 (0..359).
// Callers refuse non-finite rotations first (0 for them here).
int NormaliseMaskAngle(float rotation);

// "R<angle>X<scale x>Y<scale y>" ("%d", "%.2f", "%.2f"), an options block when one is given,
// then the name written backwards: a.png unscaled and unturned is "R0X1.00Y1.00gnp.a".
// A scale that "%.2f" does not write exactly is followed by "~" and its exact value, so two
// transforms never share a key. `options` (the reader, the source rectangle and hot spot)
// is written as "{...}" between the scales and the name; empty writes nothing.
std::string MaskCacheKey(int angle, float scaleX, float scaleY, const std::string& name,
                         const std::string& options = {});

// The size of the transformed image and where its top-left pixel lies relative to the
// point it is stamped at: the image's top-left corner (centred false) or its centre
// (centred true). The size never depends on centring, so one drawn copy serves both.
struct MaskGeometry {
    int32_t width = 0;
    int32_t height = 0;
    int32_t left = 0; // offset of pixel (0, 0) from the stamp point
    int32_t top = 0;
    // The offset without centring; the transform draws pixel (0, 0) there.
    int32_t originLeft = 0;
    int32_t originTop = 0;
};
// False (logged) for non-finite scales, an empty image, or a result that is empty or larger
// than 16,384 on a side.
bool ComputeMaskGeometry(float scaleX, float scaleY, int angle, int width, int height, bool centred,
                         MaskGeometry& out);

// The mask pixel that source pixel (x, y) lands on (centre to centre, rounded by
// RoundToInt), for a geometry made without centring.
void TransformMaskPoint(float scaleX, float scaleY, int angle, const MaskGeometry& geometry, int x, int y,
                        int32_t& outX, int32_t& outY);

// The reader that draws a width x height image transformed into a mask of the geometry's
// size, pixel centre by pixel centre:
//   - a fixed-orientation reader (scale table 0-3) when |scaleX| = |scaleY| is 1, 2, 1/2 or
//     1/4 and the angle is 0, 90, 180 or 270;
//   - else the nearest free reader when `nearest` is set, or when "loadquick" is on outside
//     a networked match;
//   - else the area reader when either scale is not exactly 1, else the bilinear reader.
// `transform` receives the output-to-source matrix of the free readers (always filled) and
// must outlive every read through the returned reader. False (logged) as ComputeMaskGeometry.
bool ComputeMaskTransform(float scaleX, float scaleY, int angle, bool nearest, int width, int height,
                          MaskTransform& transform, MaskReader& reader);

// True when "loadquick" asks for the nearest reader: never in a networked match, where
// stamped terrain must depend on level data alone.
bool QuickLoadNearest();
