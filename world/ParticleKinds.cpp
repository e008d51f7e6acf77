#include "world/ParticleKinds.h"

uint8_t LopHeadKind(int group)
{
    return static_cast<uint8_t>(kParticleLopHead + (group >= 0 && group < 8 ? group : 0));
}
