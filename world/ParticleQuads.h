#pragma once
// The quad of one particle: six vertices, two triangles (top-left, top-right, bottom-right)
// and (bottom-left, top-left, bottom-right).
#include "world/ParticleManager.h"

// Kinds 1..13: the kind's frame (the frame counter clamped to the sheet) placed around the
// point by its hot spot, scaled by z, mirrored about the point by flags bit 5 and flipped
// by bit 6, turned by angle degrees; texture coordinates of the frame in a texture of
// textureWidth x textureHeight pixels. Kind 0: a 4-pixel quad around the point over the
// whole texture. Every vertex carries the colour's RGB and the alpha field.
void WriteParticleQuad(const Particle& p, float worldX, float worldY, float textureWidth, float textureHeight,
                       ParticleVertex* out);

// A kind's quad at scale 1, worked out once per texture: its edges around the point, the
// width of a frame in texture coordinates, the bottom coordinate and the last frame.
struct ParticleQuadShape {
    bool fixed = true; // kind 0: 4 pixels, the whole texture, never scaled or turned
    float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;
    float frameU = 1.0f, v1 = 1.0f;
    int lastFrame = 0;
};
ParticleQuadShape QuadShapeOf(int kind, float textureWidth, float textureHeight);
void WriteParticleQuad(const Particle& p, float worldX, float worldY, const ParticleQuadShape& shape,
                       ParticleVertex* out);
