#include "world/ParticleQuads.h"

#include "world/ParticleKinds.h"

#include <algorithm>
#include <cmath>
#include <utility>

void WriteParticleQuad(const Particle& p, float worldX, float worldY, float textureWidth, float textureHeight,
                       ParticleVertex* out)
{
    const uint32_t colour = (uint32_t(p.alpha) << 24) | (p.colour & 0x00FFFFFFu);
    float left = -2.0f, top = -2.0f, right = 2.0f, bottom = 2.0f;
    float u0 = 0.0f, v0 = 0.0f, u1 = 1.0f, v1 = 1.0f;
    bool turn = false;
    if (p.kind != kParticleDot) {
        const ParticleKindInfo& info = ParticleKindOf(p.kind);
        const int frame = std::min<int>(p.frame, info.sheetFrames - 1);
        const float s = p.z;
        left = -float(info.hotX) * s;
        right = float(info.frameWidth - info.hotX) * s;
        top = -float(info.hotY) * s;
        bottom = float(info.frameHeight - info.hotY) * s;
        const float tw = textureWidth > 0.0f ? textureWidth : float(info.frameWidth * info.sheetFrames);
        const float th = textureHeight > 0.0f ? textureHeight : float(info.frameHeight);
        u0 = float(frame * info.frameWidth) / tw;
        u1 = float((frame + 1) * info.frameWidth) / tw;
        v1 = float(info.frameHeight) / th;
        if (p.flags & kParticleMirrorX) {
            std::swap(left, right);
            left = -left, right = -right;
            std::swap(u0, u1);
        }
        if (p.flags & kParticleFlipY) {
            std::swap(top, bottom);
            top = -top, bottom = -bottom;
            std::swap(v0, v1);
        }
        turn = p.angle != 0.0f;
    }
    struct Corner {
        float x, y, u, v;
    };
    Corner corners[4] = {{left, top, u0, v0}, {right, top, u1, v0}, {right, bottom, u1, v1}, {left, bottom, u0, v1}};
    if (turn) {
        // Drawing only: the turn may use the C library.
        const float radians = p.angle * 3.14159265358979f / 180.0f;
        const float c = std::cos(radians), s = std::sin(radians);
        for (Corner& corner : corners) {
            const float cx = corner.x, cy = corner.y;
            corner.x = cx * c - cy * s;
            corner.y = cx * s + cy * c;
        }
    }
    static constexpr int kOrder[6] = {0, 1, 2, 3, 0, 2};
    for (int i = 0; i < 6; ++i) {
        const Corner& corner = corners[kOrder[i]];
        out[i] = ParticleVertex{worldX + corner.x, worldY + corner.y, 0.0f, colour, corner.u, corner.v};
    }
}
