#pragma once
// What the belt's morph buttons read of the running game: the groups' morph counts, the
// selected flimb and whether the mode lets it act, the morph permission table and the flimb
// types' display rows, names and sprites. The game state implements it and installs it
// while a level runs; without one the belt has nothing to show (every count is "none").
#include <cstdint>
#include <optional>
#include <string>

class AnimSurface;

struct FlimbDisplayRow {
    int idleFrame = 0;
    float xOffset = 0.0f;
    float yOffset = 0.0f;
    bool beltPicture = true; // the type is shown by its belt picture, not its sprite
    float scale = 1.0f;
    float angle = 0.0f; // degrees
};

struct SelectedFlimb {
    int type = 0;
    uint8_t flags = 0; // bit 7: a type 20 flimb with it set counts as type 10
};

// Morph counts: 200 means the group has none of a type; 199 and above are not shown.
constexpr int kMorphCountNone = 200;
constexpr int kMorphCountUnshown = 199;
// A row of the morph permission table: byte 0 enabled, byte 2 locked, from byte 4 one byte
// per target type.
constexpr int kMorphPermissionRowBytes = 26;

class IBeltWorld {
public:
    virtual ~IBeltWorld() = default;
    virtual int MorphCount(int group, int type) const = 0;
    virtual std::optional<SelectedFlimb> Selected() const = 0;
    // The running mode's answer whether the selected flimb may act.
    virtual bool ModeLetsSelectedAct() const = 0;
    // The permission row of a flimb type, or null.
    virtual const uint8_t* MorphPermissionRow(int flimbType) const = 0;
    virtual FlimbDisplayRow DisplayRow(int type, bool alternateLook) const = 0;
    virtual std::string TypeName(int type) const = 0;
    // The animated sprite of a type for a group and look, owned by the game's sprite sets
    // and valid while this world stays installed; null when there is none.
    virtual AnimSurface* FlimbSprite(int type, int group, bool alternateLook) = 0;
};

// Main thread. Null uninstalls.
void SetBeltWorld(IBeltWorld* world);
IBeltWorld* GetBeltWorld();
