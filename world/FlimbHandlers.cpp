#include "world/FlimbHandlers.h"

const std::array<FlimbTypeHandler, kFlimbTypeCount>& DefaultFlimbTypeHandlers()
{
    static const std::array<FlimbTypeHandler, kFlimbTypeCount> handlers = {
        ClobHandler,  MoldHandler,  NovaHandler,     DrillHandler,    GulpHandler,     DoppelHandler,
        PuffHandler,  SpinHandler,  AtomizeHandler,  LopHandler,      WalkHandler,     SquishHandler,
        DrownHandler, FallHandler,  ShockHandler,    StunHandler,     SplatHandler,    GraviturnHandler,
        SpawnHandler, BurnHandler,  EntangleHandler, CopySpawnHandler,
    };
    return handlers;
}
