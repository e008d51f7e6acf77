#include "world/TrapKinds.h"

namespace {

struct KindRow {
    const char* name;
    TrapKindTraits traits;
};

// id, type name; updated, contact, notified_of_removal, layered, rotatable, scalable, tintable,
// audible_option, can_fall, pickup_capable, match_editable, extra_pass
constexpr KindRow kKinds[kTrapKindTableSize] = {
    {"Undefined", {0, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}}, // 0
    {"Teleport", {1, 1, 0, 1, 1, 1, 1, 1, 1, 1, 0, 0}}, // 1
    {"Swap", {1, 0, 0, 1, 1, 1, 1, 1, 0, 1, 0, 0}}, // 2
    {"Annotation", {1, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}}, // 3
    {"Water", {1, 1, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}}, // 4
    {"Entanglement", {1, 1, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}}, // 5
    {"Size", {1, 1, 0, 1, 1, 1, 1, 1, 0, 1, 0, 0}}, // 6
    {"Squish", {1, 1, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}}, // 7
    {"Shock", {1, 1, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}}, // 8
    {"AntiGrav", {1, 1, 0, 1, 1, 1, 1, 1, 0, 1, 0, 0}}, // 9
    {"Bridge", {1, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}}, // 10
    {"AcidRain", {1, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}}, // 11
    {"SlingShot", {1, 1, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}}, // 12
    {"Mushbomb", {1, 1, 0, 1, 1, 1, 1, 0, 0, 0, 0, 1}}, // 13
    {"Actions", {1, 0, 0, 1, 1, 1, 1, 1, 0, 1, 0, 0}}, // 14
    {"Speed", {1, 1, 0, 1, 1, 1, 1, 1, 0, 1, 0, 0}}, // 15
    {"OneWayBlock", {1, 0, 0, 1, 1, 1, 0, 1, 0, 0, 0, 0}}, // 16
    {"FrozenFlimb", {1, 0, 0, 1, 1, 1, 0, 0, 1, 0, 0, 0}}, // 17
    {"Slug", {1, 1, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0}}, // 18
    {"Particle", {1, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}}, // 19
    {"Camera", {1, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0}}, // 20
    {"Start", {1, 0, 0, 1, 1, 0, 1, 1, 0, 0, 1, 0}}, // 21
    {"Exit", {1, 1, 0, 1, 1, 0, 1, 1, 0, 0, 1, 0}}, // 22
    {"Follower", {1, 1, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}}, // 23
    {"Proximity", {1, 0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 0}}, // 24
    {"WinLose", {1, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0}}, // 25
    {"WalkBug", {1, 1, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}}, // 26
    {"Path", {1, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}}, // 27
    {"Blaster", {1, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}}, // 28
    {"Hover", {1, 0, 0, 1, 1, 1, 0, 1, 0, 0, 0, 0}}, // 29
    {"Bash-DEPRECATED", {1, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}}, // 30
    {"Gravitize", {1, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0}}, // 31
    {"Blackhole", {1, 1, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}}, // 32
    {"LandWatch", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0}}, // 33
    {"Background", {0, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0}}, // 34
    {"Sky", {1, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0}}, // 35
    {"Level", {1, 0, 1, 0, 1, 1, 1, 0, 0, 0, 0, 0}}, // 36
    {"FlimbMaster", {1, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0}}, // 37
    {"GooGun", {1, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}}, // 38
    {"Modifytrap", {1, 0, 1, 0, 1, 1, 0, 0, 0, 0, 0, 0}}, // 39
    {"AIFlimb", {1, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}}, // 40
    {"ModifyFrame", {1, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0}}, // 41
    {"Sound", {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}, // 42
    {"Chat", {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}, // 43
    {"ModifyRot-DEPRECATED", {1, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}}, // 44
    {"Updater", {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0}}, // 45
    {"Copier", {1, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}}, // 46
    {"Bonus", {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}}, // 47
    {"Unlock", {1, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0}}, // 48
    {"Qdot", {1, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}}, // 49
    {"ModifyLand", {1, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0}}, // 50
    {"Receptacle", {1, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}}, // 51
    {"CameraWatch", {1, 0, 0, 1, 1, 1, 1, 1, 0, 0, 0, 0}}, // 52
    {"ModifyFlimb", {1, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0}}, // 53
    {"Checkpoint", {1, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0}}, // 54
};

constexpr TrapKindTraits kNoTraits{};

} // namespace

const TrapKindTraits& KindTraits(int32_t kind)
{
    return kind >= 0 && kind < kTrapKindTableSize ? kKinds[kind].traits : kNoTraits;
}

const char* TrapTypeName(int32_t kind)
{
    return kind >= 0 && kind < kTrapKindTableSize ? kKinds[kind].name : "";
}
