#include "world/ParticleQuads.h"

#include "world/ParticleKinds.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace {

// The sine of 1024 steps of a turn, for turning quads (drawing only).
constexpr int kTurnSteps = 1024;
const std::array<float, kTurnSteps + 1>& TurnTable()
{
    static const std::array<float, kTurnSteps + 1> table = [] {
        std::array<float, kTurnSteps + 1> t{};
        for (int i = 0; i <= kTurnSteps; ++i)
            t[size_t(i)] = float(std::sin(double(i) * 2.0 * 3.14159265358979323846 / kTurnSteps));
        return t;
    }();
    return table;
}

// Cosine and sine of an angle in degrees, interpolated in the table. Particles keep their
// angle within -360 .. 360; others are brought there first.
void TurnOf(float degrees, float& c, float& s)
{
    const auto& table = TurnTable();
    if (!(degrees > -720.0f && degrees < 720.0f))
        degrees = std::isfinite(degrees) ? std::fmod(degrees, 360.0f) : 0.0f;
    const float position = (degrees + 720.0f) * (float(kTurnSteps) / 360.0f);
    const int whole = int(position);
    const float f = position - float(whole);
    const int i = whole & (kTurnSteps - 1);
    const int j = (whole + kTurnSteps / 4) & (kTurnSteps - 1);
    s = table[size_t(i)] + (table[size_t(i + 1)] - table[size_t(i)]) * f;
    c = table[size_t(j)] + (table[size_t(j + 1)] - table[size_t(j)]) * f;
}

} // namespace

ParticleQuadShape QuadShapeOf(int kind, float textureWidth, float textureHeight)
{
    ParticleQuadShape shape;
    if (kind == kParticleDot)
        return shape;
    const ParticleKindInfo& info = ParticleKindOf(kind);
    shape.fixed = false;
    shape.left = -float(info.hotX);
    shape.right = float(info.frameWidth - info.hotX);
    shape.top = -float(info.hotY);
    shape.bottom = float(info.frameHeight - info.hotY);
    const float tw = textureWidth > 0.0f ? textureWidth : float(info.frameWidth * info.sheetFrames);
    const float th = textureHeight > 0.0f ? textureHeight : float(info.frameHeight);
    shape.frameU = float(info.frameWidth) / tw;
    shape.v1 = float(info.frameHeight) / th;
    shape.lastFrame = info.sheetFrames - 1;
    return shape;
}

void WriteParticleQuad(const Particle& p, float worldX, float worldY, const ParticleQuadShape& shape,
                       ParticleVertex* out)
{
    const uint32_t colour = (uint32_t(p.alpha) << 24) | (p.colour & 0x00FFFFFFu);
    float left = -2.0f, top = -2.0f, right = 2.0f, bottom = 2.0f;
    float u0 = 0.0f, v0 = 0.0f, u1 = 1.0f, v1 = 1.0f;
    bool turn = false;
    if (!shape.fixed) {
        const int frame = std::min<int>(p.frame, shape.lastFrame);
        const float s = p.z;
        left = shape.left * s;
        right = shape.right * s;
        top = shape.top * s;
        bottom = shape.bottom * s;
        u0 = float(frame) * shape.frameU;
        u1 = float(frame + 1) * shape.frameU;
        v1 = shape.v1;
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
    if (!turn) {
        out[0] = ParticleVertex{worldX + left, worldY + top, 0.0f, colour, u0, v0};
        out[1] = ParticleVertex{worldX + right, worldY + top, 0.0f, colour, u1, v0};
        out[2] = ParticleVertex{worldX + right, worldY + bottom, 0.0f, colour, u1, v1};
        out[3] = ParticleVertex{worldX + left, worldY + bottom, 0.0f, colour, u0, v1};
    } else {
        float c = 1.0f, s = 0.0f;
        TurnOf(p.angle, c, s);
        auto corner = [&](float x, float y, float u, float v) {
            return ParticleVertex{worldX + x * c - y * s, worldY + x * s + y * c, 0.0f, colour, u, v};
        };
        out[0] = corner(left, top, u0, v0);
        out[1] = corner(right, top, u1, v0);
        out[2] = corner(right, bottom, u1, v1);
        out[3] = corner(left, bottom, u0, v1);
    }
    out[4] = out[0];
    out[5] = out[2];
}

void WriteParticleQuad(const Particle& p, float worldX, float worldY, float textureWidth, float textureHeight,
                       ParticleVertex* out)
{
    WriteParticleQuad(p, worldX, worldY, QuadShapeOf(p.kind, textureWidth, textureHeight), out);
}
