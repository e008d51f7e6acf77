#pragma once
// What the match rules read of the world (match globals, players, tallies, statistics
// blocks, traps, particles) and the few simulation changes they make on it. Flimbs and
// traps are named by their ids. The game's adapter reads the live world; tests install a
// table of their own (SetMatchWorld).
#include "world/Groups.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr int kAllGroups = 255;
// Trap kinds the rules look at.
constexpr int kTrapKindActions = 14;
constexpr int kTrapKindFrozenFlimb = 17;
constexpr int kTrapKindSlug = 18;
constexpr int kTrapKindStart = 21;
constexpr int kTrapKindExit = 22;
constexpr int kTrapKindCopier = 46;
constexpr int kTrapKindQdot = 49;

struct MatchPlayer {
    int number = 0; // 0 .. 15
    int group = 0;
    std::string name;
    bool spectator = false;
};

// Per-group tallies of the flimbs in play.
struct GroupTally {
    int32_t total = 0;    // flimbs in play
    int32_t live = 0;
    int32_t flag4 = 0;
    int32_t flag16 = 0;
    int32_t doppeled = 0;
    int32_t points = 0;   // summed point value
};

// Counters kept per group by the game state. The eleven action counters are indexed by
// flimb type (0 Clob, 1 Mold, 2 Nova ... 9 Lop, 10 Walk); their sum is the morphs used.
struct GroupStatsBlock {
    bool enabled = false;
    int32_t score = 0;
    int16_t lost = 0;
    int32_t stolen = 0;
    std::array<int32_t, 11> actions{};
    // The group whose flimb each save counted, in the order of the saves.
    std::vector<uint8_t> savedFrom;
};

struct ExitInfo {
    int32_t id = 0;
    int group = 0;
    bool enabled = true;            // not disabled
    bool active = true;
    bool countsTowardGoal = true;
    bool groupOnly = true;          // clear: accepts flimbs of every group
    int32_t saved = 0;              // flimbs received
    int32_t required = 0;
    float x = 0.0f, y = 0.0f;
    float scaleX = 1.0f, scaleY = 1.0f;
    int direction = 0;              // facing: 0 .. 3
};

struct ActionsTrapInfo {
    int action = 0;
    int32_t amount = 0;
};

struct FrozenFlimbTrapInfo {
    int group = 0;
    bool hold = false;
};

struct SlugTrapInfo {
    int32_t id = 0;
    float x = 0.0f, y = 0.0f;
    bool active = true;
};

// Bits of the flimb record the rules read and set.
constexpr uint8_t kFlimbFlagLive = 4;
constexpr uint8_t kFlimbFlagOrderable = 8;
constexpr uint8_t kFlimbFlagCarrier = 128; // carries a particle (or a blast)
constexpr uint8_t kFlimbMarkSpecial = 4;   // capturable: the special flimbs
constexpr uint8_t kFlimbMarkBig = 64;
constexpr uint8_t kFlimbTypeNova = 2;      // the exploding type
constexpr uint8_t kFlimbTypeStunned = 15;
constexpr uint8_t kFlimbTypeSplat = 16;

struct FlimbInfo {
    int32_t id = 0;
    int group = 0;
    uint8_t flags = 0;        // first flag byte: 1 free, 4 live, 8 may be ordered, 128 carrier
    uint8_t flags2 = 0;       // second flag byte; bit 0: left out of the sabotage notice
    uint8_t status = 0;       // status byte; bit 3 (8): not counted at an exit; bit 7 (128)
    uint8_t marks = 0;        // sixth flag byte: 4 capturable, 64 big
    uint8_t type = 10;        // the action type (2 exploding, 15 stunned, 16 splat)
    float x = 0.0f, y = 0.0f; // the feet
    float height = 0.0f;      // sprite height x size factor
    float sizeFactor = 1.0f;
    int direction = 0;        // the side it stands on: 0 floor, 1 ceiling, 2 left wall, 3 right wall
    // The bounding box in world pixels (the sprite rectangle).
    float left = 0.0f, top = 0.0f, right = 0.0f, bottom = 0.0f;
    int32_t points = 0;       // point value; the health in the quarrel mode
    int passCooldown = 0;     // updates before it may take a particle over
    bool exited = false;
};

// The point half a flimb's height away from the surface it stands on (up on the floor,
// down from the ceiling, right of the left wall, left of the right wall).
void FlimbCentre(const FlimbInfo& flimb, float& x, float& y);

struct StartTrapInfo {
    int32_t id = 0;
    int group = 0;
    float spawnX = 0.0f, spawnY = 0.0f;
};

struct ParticleInfo {
    int32_t id = 0;
    int32_t carrierId = -1; // -1: nobody carries it
    float homeX = 0.0f, homeY = 0.0f;
    float x = 0.0f, y = 0.0f;
    bool active = true;
    int group = kAllGroups; // 255: any group's
};

class MatchWorld {
public:
    virtual ~MatchWorld() = default;

    // Clock.
    virtual uint32_t UpdateCounter() const = 0;
    virtual uint32_t GameClockMs() const = 0;
    virtual uint32_t LevelStartMs() const = 0;

    // Match globals.
    virtual bool IsMultiplayerMatch() const = 0; // several human players
    virtual int MatchState() const = 0;          // 1 = playing
    virtual int LocalGroup() const = 0;
    virtual bool LocalIsSpectator() const = 0;
    virtual std::string LocalPlayerName() const = 0;
    virtual bool PlaybackRunning() const = 0;
    virtual bool ClientHold() const = 0;         // the game client holds its updates
    virtual bool GroupDone(int group) const = 0;
    virtual bool EditorTestPlay() const = 0;
    virtual std::string LevelPath() const = 0;
    // The level's title (its puzzle is unlocked under it).
    virtual std::string LevelTitle() const { return {}; }
    virtual int GameType() const = 0;
    virtual std::vector<MatchPlayer> Players() const = 0;
    // Every group takes part even without players (set by the lobby).
    virtual bool AllGroupsActive() const = 0;
    // The global match result (0 until published) and end status (-1 until set).
    virtual int MatchResult() const = 0;
    virtual void SetMatchResult(int result) = 0;
    virtual int EndStatus() const = 0;
    virtual void SetEndStatus(int status) = 0;

    // Figures.
    virtual GroupTally Tally(int group) const = 0;
    // Flimbs the start traps (and with `copiers` the copier traps) of the group (255: of
    // all groups) have still to release.
    virtual int32_t CountUnreleased(int group, bool copiers) const = 0;
    virtual GroupStatsBlock GroupStats(int group) const = 0;
    virtual std::vector<ExitInfo> Exits() const = 0;
    virtual std::vector<ActionsTrapInfo> ActionsTraps() const = 0;
    virtual std::vector<FrozenFlimbTrapInfo> FrozenFlimbTraps() const = 0;
    virtual std::vector<SlugTrapInfo> SlugTraps() const = 0;
    virtual int CountTrapsOfKind(int kind) const = 0;
    virtual int ParticleCount() const = 0;
    virtual int CountEnabledGroups() const = 0;
    virtual std::string GroupLabel(int group) const = 0;
    virtual uint32_t GroupColour(int group) const = 0;
    virtual bool FindFlimb(int32_t id, FlimbInfo& flimb) const = 0;
    // The flimb's record while it is in the table, live or dying (a flimb whose death is
    // being reported); false once it is freed.
    virtual bool FindRecord(int32_t id, FlimbInfo& flimb) const = 0;
    // Live capturable flimbs of a group (255: any).
    virtual std::vector<FlimbInfo> SpecialFlimbs(int group) const = 0;

    // The game server runs in this process.
    virtual bool IsHost() const = 0;
    // A recorded match is being played back (a playback session, not the ghost slots).
    virtual bool RecordedPlayback() const = 0;
    // The highest point value of a flimb in the level.
    virtual int32_t HighestFlimbValue() const = 0;
    // The landscape's width in pixels.
    virtual int32_t WorldWidth() const = 0;
    // The flimb the local player has highlighted; -1 for none.
    virtual int32_t HighlightedFlimb() const = 0;
    // The debugging switches that let carriers be ordered in the particle mode.
    virtual bool CarrierControlOverride() const = 0;
    // The group that loses when two scores are equal.
    virtual int TieBreakGroup() const = 0;
    // The game state's FlimbMaster group ("fm_group").
    virtual void SetFlimbMasterGroup(int group) = 0;
    // The Multiverse result detail (0 or 2 close or clear win, 130 or 129 close or clear loss).
    virtual void SetMatchResultDetail(int detail) = 0;
    // Live flimbs in flimb-array order.
    virtual std::vector<FlimbInfo> Flimbs() const = 0;
    // Live flimbs near a point (the neighbourhood grid), of one group or of all (255).
    virtual std::vector<FlimbInfo> FlimbsNear(float x, float y, int group) const = 0;
    // Live flimbs of every group whose box overlaps the rectangle, in array order.
    virtual std::vector<FlimbInfo> FlimbsInArea(float left, float top, float right, float bottom) const = 0;
    // The flimbs at a world point (the objects a click finds), the first on top.
    virtual std::vector<int32_t> ObjectsAt(float x, float y) const = 0;
    // Start traps (kind 21) in list order, and the ids of the Copier traps (kind 46).
    virtual std::vector<StartTrapInfo> StartTraps() const = 0;
    virtual std::vector<int32_t> CopierTrapIds() const = 0;
    // Particle traps (kind 19) in list order.
    virtual std::vector<ParticleInfo> ParticleTraps() const = 0;

    // Flimb changes. The flags, the cool-down, the size and the points change on any record
    // in the table; the rest only on a live flimb. Other ids are ignored.
    // Sets (or clears) bits of the first flag byte.
    virtual void SetFlimbFlags(int32_t id, uint8_t bits, bool on) = 0;
    virtual void SetPassCooldown(int32_t id, int updates) = 0;
    virtual void SetSizeFactor(int32_t id, float factor) = 0;
    // Takes the flimb out of play (its live flag cleared, out of the tallies).
    virtual void TakeOutOfPlay(int32_t id) = 0;
    virtual void SetFlimbPoints(int32_t id, int32_t points) = 0;
    // The flimb's death (its type set to the dying type).
    virtual void KillFlimb(int32_t id) = 0;
    virtual void MoveFlimbX(int32_t id, int32_t x) = 0;
    // A copy of the flimb at that x; the copy's id, or -1 when none could be made.
    virtual int32_t CopyFlimb(int32_t id, int32_t x) = 0;
    // Particle trap changes; an unknown trap id is ignored.
    virtual void SetParticleCarrier(int32_t trapId, int32_t flimbId) = 0;
    virtual void PlaceParticle(int32_t trapId, float x, float y) = 0;
    virtual void SetParticleActive(int32_t trapId, bool active) = 0;

    // Simulation changes.
    // The flimb-id counter's value; the counter then goes up by one.
    virtual uint32_t TakeFlimbId() = 0;
    // Credits a saved flimb to the exit's group (scores, saved history, stolen counts).
    virtual void CreditFlimb(int exitGroup, int32_t flimbId) = 0;
    // Sets the flimb's exited flag and takes it out of the tallies.
    virtual void RetireExitedFlimb(int32_t flimbId) = 0;
    // The beam-up area effect; its particles are drawn from the simulation generator.
    virtual void SpawnBeamUp(float x, float y) = 0;
    // Turns a Slug trap into particles from its image and clears its active flag.
    virtual void ShatterSlug(int32_t trapId) = 0;
};

// The world the rules read: the installed one, else the game's adapter.
MatchWorld& CurrentMatchWorld();
// Tests install their own; null goes back to the game's adapter. Not owned.
void SetMatchWorld(MatchWorld* world);

// Figures every mode shares, read through the world.
namespace MatchFigures {
// Flimbs saved at the group's exits.
int32_t Saved(const MatchWorld& world, int group);
// Required counts of the group's exits (255: of all exits).
int32_t Required(const MatchWorld& world, int group);
// Start and copier traps' flimbs still to come (255: all groups).
int32_t Waiting(const MatchWorld& world, int group);
// Tallied flimbs of the group (255: all groups).
int32_t Present(const MatchWorld& world, int group);
// The group has at least one player (spectators left out), or every group is active and
// this one is enabled in the level.
bool HasPlayers(const MatchWorld& world, int group);
// The sum of the group's action counters.
int32_t MorphsUsed(const MatchWorld& world, int group);
// The groups enabled in the level, in group order: one universe strip each.
std::vector<int> EnabledGroups(const MatchWorld& world);
// The universe strips: strip k of n spans [k * width / n, (k + 1) * width / n) in integer
// arithmetic. StripOf gives the strip a world x lies in (outside the world the nearest
// one; -1 without strips).
int StripOf(int32_t x, int32_t width, int strips);
int32_t StripLeft(int strip, int32_t width, int strips);
// The particle trap the flimb carries: false when none does.
bool FindParticleOf(const MatchWorld& world, int32_t carrierId, ParticleInfo& particle);
} // namespace MatchFigures

