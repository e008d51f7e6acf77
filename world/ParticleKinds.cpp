#include "world/ParticleKinds.h"

namespace {

constexpr ParticleKindInfo kKinds[kParticleKindCount] = {
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

} // namespace

const ParticleKindInfo& ParticleKindOf(int kind)
{
    return kKinds[kind >= 0 && kind < kParticleKindCount ? kind : 0];
}

uint8_t LopHeadKind(int group)
{
    return static_cast<uint8_t>(kParticleLopHead + (group >= 0 && group < 8 ? group : 0));
}
