// The controller's flimb spawning and exits-filled check as the traps call them.
#include "game/GameController.h"
#include "game/GameServices.h"
#include "media/SoundManager.h"
#include "modes/ModeServices.h"
#include "traps/Trap.h"
#include "world/Flimb.h"
#include "world/FlimbTable.h"
#include "world/TrapKinds.h"
#include "world/TrapRegistry.h"

#include <cstdlib>

bool MatchFlagSet()
{
    return Controller().sessionKind == kSessionNetworked;
}

Flimb* SpawnFlimb(const FlimbSpawnArgs& args)
{
    GameController& controller = Controller();
    const PlayerRecord* local = controller.localPlayer;
    const bool localFlimb = !MatchFlagSet() && controller.modeIndex == 4 && local && local->team == args.group;
    const uint32_t id = ModeNextFlimbId(localFlimb ? 1 : 0, args.group, int(args.originTrap), args.count);
    Flimb* flimb = AddFlimb(int16_t(args.x), int16_t(args.y), int16_t(id), args.group, args.type, args.gravity,
                            args.energy, args.ai, args.facing);
    if (!flimb)
        return nullptr;
    if (args.attributes)
        flimb->SetAttribute(uint8_t(args.attributes));
    flimb->scale = args.size == 0 ? 0.5f : float(std::abs(int(args.size)));
    if (localFlimb && controller.localPlayer)
        controller.localPlayer->ownFlimbId = uint32_t(flimb->id);
    ModeFlimbCreated(flimb->id);
    return flimb;
}

void ResetExitsFilled()
{
    Controller().counters.exitsFilled = 0;
}

bool IsPlaybackRunning()
{
    return Controller().playbackRunning != 0;
}
