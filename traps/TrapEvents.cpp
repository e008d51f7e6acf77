#include "traps/TrapEvents.h"

#include "world/TrapKinds.h"

namespace {

struct KindEvents {
    const char* names[3];
};

constexpr KindEvents kEvents[kTrapKindTableSize] = {
    {{"", "", ""}},                         // 0 Undefined
    {{"Teleport", "", ""}},                 // 1
    {{"Swap", "", ""}},                     // 2
    {{"Appear", "Close", ""}},              // 3 Annotation
    {{"Drown", "", ""}},                    // 4 Water
    {{"GrabFlimb", "Entangle", ""}},        // 5 Entanglement
    {{"Resized", "", ""}},                  // 6 Size
    {{"Squish", "", ""}},                   // 7
    {{"Shock", "", ""}},                    // 8
    {{"Gravitied", "", ""}},                // 9 AntiGrav
    {{"Opening", "Closing", ""}},           // 10 Bridge
    {{"", "", ""}},                         // 11 AcidRain
    {{"Sling", "", ""}},                    // 12 SlingShot
    {{"Explode", "", ""}},                  // 13 Mushbomb
    {{"Grabbed", "", ""}},                  // 14 Actions
    {{"Grabbed", "", ""}},                  // 15 Speed
    {{"", "", ""}},                         // 16 OneWayBlock
    {{"Thawing", "Shatter", ""}},           // 17 FrozenFlimb
    {{"MeltFlimb", "", ""}},                // 18 Slug
    {{"Grabbed", "Dropped", ""}},           // 19 Particle
    {{"Triggered", "", ""}},                // 20 Camera
    {{"Spawn", "Empty", ""}},               // 21 Start
    {{"Beamed", "Crushed", "Max"}},         // 22 Exit
    {{"MeltFlimb", "", ""}},                // 23 Follower
    {{"", "", ""}},                         // 24 Proximity
    {{"", "", ""}},                         // 25 WinLose
    {{"MeltFlimb", "", ""}},                // 26 WalkBug
    {{"Success", "Failure", ""}},           // 27 Path
    {{"FlimbIn", "Blast", "Eject"}},        // 28 Blaster
    {{"FlimbIn", "Eject", ""}},             // 29 Hover
    {{"", "", ""}},                         // 30 Bash-DEPRECATED
    {{"", "", ""}},                         // 31 Gravitize
    {{"MeltFlimb", "", ""}},                // 32 Blackhole
    {{"Change", "", ""}},                   // 33 LandWatch
    {{"", "", ""}},                         // 34 Background
    {{"", "", ""}},                         // 35 Sky
    {{"", "", ""}},                         // 36 Level
    {{"", "", ""}},                         // 37 FlimbMaster
    {{"FlimbIn", "Blast", ""}},             // 38 GooGun
    {{"Modify Done", "", ""}},              // 39 Modifytrap
    {{"", "", ""}},                         // 40 AIFlimb
    {{"Animate Done", "", ""}},             // 41 ModifyFrame
    {{"", "", ""}},                         // 42 Sound
    {{"", "", ""}},                         // 43 Chat
    {{"", "", ""}},                         // 44 ModifyRot-DEPRECATED
    {{"", "", ""}},                         // 45 Updater
    {{"GrabFlimb", "Copy", ""}},            // 46 Copier
    {{"Grabbed", "Awarded", ""}},           // 47 Bonus
    {{"Success", "Failed", ""}},            // 48 Unlock
    {{"Grabbed", "", ""}},                  // 49 Qdot
    {{"Modify Done", "Crush Flimb", ""}},   // 50 ModifyLand
    {{"Powered", "", ""}},                  // 51 Receptacle
    {{"Triggered", "", ""}},                // 52 CameraWatch
    {{"", "", ""}},                         // 53 ModifyFlimb
    {{"Triggered", "", ""}},                // 54 Checkpoint
};

} // namespace

const char* TrapEventName(int32_t kind, uint32_t eventId)
{
    if (kind < 0 || kind >= kTrapKindTableSize || eventId > 2)
        return "";
    return kEvents[kind].names[eventId];
}

bool TrapKindHasEvents(int32_t kind)
{
    for (uint32_t event = 0; event < 3; ++event)
        if (*TrapEventName(kind, event))
            return true;
    return false;
}
