#pragma once
// The particle kinds: the sprite each kind is drawn with (under "Graphics\"), its frame and
// hot spot, and the wrap of the particle's frame counter. Sprite sheets hold their frames in
// one row, left to right; every sheet but the fireball's is one frame, and the drawn frame
// is the counter clamped to the sheet.
#include <cstdint>

constexpr int kParticleKindCount = 14;
// Kind numbers with a meaning of their own.
enum ParticleKind : uint8_t {
    kParticleDot = 0,
    kParticleIce = 1,
    kParticleAcidDrop = 2,
    kParticleGlib = 3,
    kParticleLopHead = 4, // + group (4 .. 11)
    kParticlePixel = 12,
    kParticleFireball = 13,
};

struct ParticleKindInfo {
    const char* sprite; // below "Graphics\"
    int32_t frameWidth;
    int32_t frameHeight;
    int32_t frameWrap;   // the frame counter runs 0 .. frameWrap - 1
    int32_t sheetFrames; // frames drawn on the sheet
    int32_t hotX;
    int32_t hotY;
};

inline constexpr ParticleKindInfo kParticleKinds[kParticleKindCount] = {
    {"Particles\\part_dot.png", 4, 4, 100, 1, 2, 2},
    {"Particles\\ice.png", 24, 24, 100, 1, 11, 11},
    {"Particles\\acidrain_drop.png", 16, 16, 100, 1, 7, 7},
    {"Particles\\part_glib.png", 8, 8, 100, 1, 4, 4},
    {"Actions\\Lop\\lop-head-blue.png", 25, 32, 100, 1, 11, 24},
    {"Actions\\Lop\\lop-head-green.png", 25, 32, 100, 1, 11, 24},
    {"Actions\\Lop\\lop-head-red.png", 25, 32, 100, 1, 11, 24},
    {"Actions\\Lop\\lop-head-grey.png", 25, 32, 100, 1, 11, 24},
    {"Actions\\Lop\\lop-head-white.png", 25, 32, 100, 1, 11, 24},
    {"Actions\\Lop\\lop-head-yellow.png", 25, 32, 100, 1, 11, 24},
    {"Actions\\Lop\\lop-head-orange.png", 25, 32, 100, 1, 11, 24},
    {"Actions\\Lop\\lop-head-purple.png", 25, 32, 100, 1, 11, 24},
    {"Particles\\part_px.png", 3, 3, 100, 1, 1, 1},
    {"Particles\\fireball.png", 27, 27, 26, 26, 14, 14},
};

// The kind's row; kinds past the table read as kind 0.
inline const ParticleKindInfo& ParticleKindOf(int kind)
{
    return kParticleKinds[kind >= 0 && kind < kParticleKindCount ? kind : 0];
}
// The Lop head kind of a group (4 + group; 4 for a group past 7).
uint8_t LopHeadKind(int group);
// Ice, Lop heads and fireballs: the missiles.
constexpr bool IsMissileKind(int kind)
{
    return kind == kParticleIce || (kind >= kParticleLopHead && kind <= kParticleLopHead + 7) ||
           kind == kParticleFireball;
}
