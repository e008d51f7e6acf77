#include "media/SpriteDepth.h"

namespace {
float g_spriteDepth = 0.0f;
}

float SpriteDepth()
{
    return g_spriteDepth;
}

void SetSpriteDepth(float depth)
{
    g_spriteDepth = depth;
}

SpriteDepthScope::SpriteDepthScope(float depth) : previous_(g_spriteDepth)
{
    g_spriteDepth = depth;
}

SpriteDepthScope::~SpriteDepthScope()
{
    g_spriteDepth = previous_;
}
