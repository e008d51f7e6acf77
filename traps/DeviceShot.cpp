#include "traps/DeviceShot.h"

#include "app/Random.h"
#include "world/ParticleKinds.h"
#include "world/ParticleManager.h"

float IceMissileSpin()
{
    return static_cast<float>(SimRand() % 30 - 60);
}

bool DeviceShotHasRoom()
{
    ParticleManager* manager = Particles();
    return manager && manager->HasRoom(true, ParticleRole::Simulation);
}

Particle* FireDeviceShot(const DeviceShot& shot)
{
    ParticleManager* manager = Particles();
    Particle* p = manager ? manager->AllocParticle(true, ParticleRole::Simulation) : nullptr;
    if (!p)
        return nullptr;
    p->behaviour = shot.behaviour;
    p->kind = shot.behaviour == ParticleBehaviour::Fireball ? kParticleFireball : kParticleIce;
    p->flags |= kParticleFalls | kParticlePhysical;
    p->flags2 &= static_cast<uint8_t>(~kParticle2NoExplosion);
    p->bounces = shot.bounces;
    p->owner = shot.shooter;
    p->gravity = shot.gravity;
    p->spin = shot.spin;
    p->SetPosition(static_cast<float>(shot.x), static_cast<float>(shot.y), 1.0f);
    p->vx = shot.vx;
    p->vy = shot.vy;
    manager->CountParticle(*p);
    return p->alive ? p : nullptr;
}
