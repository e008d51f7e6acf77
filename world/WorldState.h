#pragma once
// The world state: everything the simulation of a level holds besides the terrain, in one
// object. The world's free functions act on the current world: the game's own one unless
// a caller (a test, a preview) makes another current for a while.
#include "platform/gfx/D3DTypes.h"
#include "world/Flimb.h"
#include "world/Groups.h"

#include <array>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

class Trap;

constexpr int kMaxFlimbs = 8000;
constexpr int kTrapKindCount = 55;
// Milliseconds of game time one world update stands for.
constexpr uint32_t kUpdateMilliseconds = 71;

// Columns of a group's tally row.
enum TallyColumn : int {
    kTallyAlive = 0,
    kTallyInWorld = 1,
    kTallyFalling = 2, // attribute 16
    kTallyMarked = 3,  // attribute 4
    kTallyDoppels = 4,
    kTallyEnergy = 5,
    kTallyColumns = 6,
};
using GroupTallies = std::array<std::array<int32_t, kTallyColumns>, kGroupCount>;

struct WorldClock {
    uint32_t updateCounter = 0; // one per world update; commands are stamped with it
    uint32_t gameTime = 0;      // milliseconds: the "now" of timers and messages
    uint32_t elapsed = 0;       // milliseconds of this update
    int32_t flimbsInPlay = 0;
};

// The Quantum Time preview: a copy of the selected flimb stepped ahead of time.
struct QuantumPreview {
    uint8_t state = 0; // 0 off, 1 growing, 2 at its full length
    uint8_t steps = 1; // 1..150
    bool soundPlayed = false;
    Flimb* source = nullptr;
    bool running = false; // while the copy is being stepped
    Flimb copy{};
};

struct TrapRegistries {
    // Owns every registered trap, in registration order.
    std::vector<std::unique_ptr<Trap>> all;
    std::unordered_map<uint32_t, Trap*> byId; // look-ups only, never walked
    std::array<std::vector<Trap*>, kTrapKindCount> byKind;
    std::vector<std::unique_ptr<Trap>> saved;
    bool snapshotTaken = false;
    std::vector<std::pair<Trap*, Flimb*>> pendingActivations;
    // Queued deletions in queue order; each id once.
    std::vector<Trap*> pendingDeletions;
    std::unordered_set<uint32_t> pendingDeletionIds;
    std::vector<Trap*> drawList;
    std::unordered_map<uint32_t, Trap*> drawMap;
    gfx::RECT visibleRect{-1, -1, -1, -1};
    bool drawListDirty = false;
    uint32_t registrationCounter = 0;
    // Two bytes per kind: the trap pass sets the second to the negation of the first for
    // every kind it visits (a start trap does the same for its kind when it releases).
    std::array<std::array<uint8_t, 2>, kTrapKindCount> passFlags{};
    uint32_t nextTrapId = 1;
    int32_t highlightedTrapId = -1;
};

class WorldState {
public:
    WorldState();
    ~WorldState();
    WorldState(const WorldState&) = delete;
    WorldState& operator=(const WorldState&) = delete;

    WorldClock clock;

    // The flimb table: room for kMaxFlimbs records that never move while the world runs.
    std::unique_ptr<Flimb[]> flimbs;
    int32_t flimbCount = 0;
    GroupTallies tallies{};
    bool countingSuspended = false;
    int32_t nextIdLow = 0;  // the next flimb id below 10000
    int32_t nextIdHigh = 0; // the next flimb id from 10000
    std::vector<Flimb> savedFlimbs;
    bool keepSavedFlimbs = false;
    int32_t savedSelectedId = -1;
    Flimb* selected = nullptr;
    QuantumPreview preview;

    // Play-key state.
    uint32_t actionKeyStamp = 0; // application clock of the last action key, 0 for none
    std::array<uint8_t, 2> overlaySwitches{1, 1};
    uint8_t hideOverlays = 0;
    // The two walking-direction selection requests (left, right): 0 off, 2 on, 1 on for one
    // pick or order only.
    std::array<uint8_t, 2> selectRequests{0, 0};
    uint8_t quickState = 0;
    bool quickRedraw = false;
    std::array<int32_t, 3> quickCounters{};
    int32_t healthScale = 0;

    // Drawing and view state (never part of the simulation): the flimb marked as the next
    // pick, the highest splat alert announced (0, 5 or 15), and the byte the game view sets
    // whenever it moved or opened the belt.
    Flimb* preselected = nullptr;
    uint8_t splatAlertLevel = 0;
    uint8_t viewChanged = 0;

    TrapRegistries traps;

    // The used records in table order.
    Flimb* begin() { return flimbs.get(); }
    Flimb* end() { return flimbs.get() + flimbCount; }
};

// The current world (of this thread: the game's own unless the thread made another current).
WorldState& World();
// Makes `world` current on this thread (null: the game's own world again).
void SetCurrentWorld(WorldState* world);

// Makes a world current for the life of the object, then the one before it again.
class ScopedWorld {
public:
    explicit ScopedWorld(WorldState& world);
    ~ScopedWorld();
    ScopedWorld(const ScopedWorld&) = delete;
    ScopedWorld& operator=(const ScopedWorld&) = delete;

private:
    WorldState* previous_;
};

// The world's flimb iterator: from the cursor (an index, advanced past the result), the
// next record in use, or null at the end of the table.
Flimb* FindNextClearFlag(int32_t& cursor);

// True while the Quantum Time preview steps its copy: what the copy does must change no
// simulation state (no bash, particle, missile or request to the server).
bool PreviewRunning();
// True for the Quantum Time preview's copy of the selected flimb.
bool IsPreviewFlimb(const Flimb* flimb);
