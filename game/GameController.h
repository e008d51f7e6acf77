#pragma once
// The game controller: the state of the level being played that the session, the world,
// the HUD and the modes read: run state, players, group budgets and statistics, the
// message log, the level's names, the session kind and the view rectangle sounds are
// placed by. One global object (Controller()); main thread only.
//
// Its operations live by purpose: players (ControllerPlayers.cpp), groups and statistics
// (ControllerGroups.cpp), level names and checkpoints (ControllerLevel.cpp), level
// configurations (LevelConfig.h), completion records (LevelCompletion.h), loading and
// starting a level (LevelForPlay.h).
#include "game/MessageLog.h"
#include "levelmodel/LevelChooserEntry.h"
#include "platform/gfx/D3DTypes.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class AnimSurface;
class Trap;
struct Flimb;

constexpr int kActionCount = 11;        // the order types 0..10 ("Clob" ... "Walk")
constexpr uint8_t kUnlimitedUses = 199; // remaining uses of 199 or more never run out
constexpr int kControllerGroups = 8;
// Samples kept per group by RecordGroupSample; later ones are only counted.
constexpr uint32_t kGroupSampleLimit = 4096;
// A group's gravity setting that lets the view keep its direction.
constexpr uint8_t kAnyGravity = 4;

enum RunState : int32_t { kRunNone = 0, kRunRunning = 1, kRunPaused = 2 };
enum SessionKind : int32_t { kSessionLocal = 0, kSessionNetworked = 1 };

// One group of the level, as the level's group record gives it.
struct GroupEntry {
    uint8_t inUse = 0;
    uint8_t listed = 0; // open to players; written to the level configuration
    std::array<uint8_t, kActionCount> uses{}; // remaining uses of each action
    uint8_t team = 0;   // whose players control the group
    uint8_t reserved = 0;
    uint8_t gravity = 0; // 0..3, kAnyGravity
};

struct GroupStatistics {
    int16_t score = 0;
    std::array<uint8_t, kActionCount> actionCounts{};
    uint16_t lost = 0; // flimbs that left the world without being saved
    std::vector<uint8_t> savedFrom; // the group of each flimb an exit of this group saved
};

struct PlayerRecord {
    std::string name;
    std::string accountName;     // the player's site account (statistics reports)
    std::string accountPassword; // its password digest
    uint8_t id = 255;
    uint8_t ready = 0;
    std::array<uint8_t, 8> control{}; // the groups the player commands
    uint8_t team = 0;
    uint8_t spectator = 0;
    uint8_t admin = 0;
    uint32_t ownFlimbId = 0; // the flimb the player is, in modes that give each player one
    AnimSurface* avatar = nullptr; // cached; one image-cache reference while set

    // What the game session keeps of the player.
    uint8_t group = 0;     // kSpectatorGroup while watching
    uint8_t active = 0;
    uint8_t loaded = 0;    // has loaded the level
    uint8_t finished = 0;
    uint8_t reported = 0;  // the statistics account was confirmed
    uint8_t typing = 0;
    int32_t highlightedFlimb = -1;
    uint32_t checksum = 0;
    uint32_t checksumUpdate = 0;
    uint8_t checksumReceived = 0;
    uint16_t ping = 0;
    std::array<uint8_t, 16> profileId{};
};

// A group's sample history (RecordGroupSample): the stored samples, how many were taken,
// and where each run of equal samples starts.
struct GroupSamples {
    std::vector<uint8_t> values;
    uint32_t count = 0;
    std::vector<uint32_t> runStarts;
};

// What a level start resets.
struct LevelCounters {
    uint8_t exitsFilled = 0; // CheckExitsFilled has fired
    std::array<GroupSamples, kControllerGroups> samples{};
};

class GameController {
public:
    int32_t runState = kRunNone;
    int32_t modeIndex = 0; // 3 Quantum quarrel, 4 Multiverse match ...
    PlayerRecord* localPlayer = nullptr;
    // Owned; a slot may be empty (null).
    std::vector<std::unique_ptr<PlayerRecord>> players;
    std::string levelFile; // the level's path without its first folder ("s_dm_x.flevel")
    std::string levelTitle;
    std::array<GroupEntry, kControllerGroups> groups{};
    std::array<GroupStatistics, kControllerGroups> stats{};
    MessageLog messages{100};
    gfx::RECT visibleRect{}; // the game view's world rectangle, for placing sounds
    int32_t sessionKind = kSessionLocal;
    int32_t matchResult = -1;
    // How the single-player Multiverse match ended: 0 or 2 a close or clear win, 130 or 129 a
    // close or clear loss.
    int32_t matchResultDetail = 0;
    // The game view shows another universe than the local player's (Multiverse matches):
    // the universe it shows, counted on from the player's own (0).
    int32_t otherViewSwitch = 0;
    // Set by the front end: a level start then neither saves the last level in the
    // profile nor shows "Lonely Match" nor reports the game start.
    uint8_t frontEndFlag = 0;
    // Every group whose team equals a player's team is that player's.
    uint8_t teamControl = 0;
    std::array<uint8_t, 8> detonation{};
    // Sheets whose frames come in pairs show the odd partner of an even frame while set.
    uint8_t alternateFrame = 0;
    // The game time (ms) at which the level started.
    uint32_t levelStartTime = 0;
    LevelCounters counters;
    // The settings of the level loaded for play.
    LevelChooserEntry currentLevel;

    // ---- Level names and checkpoints -------------------------------------------------------
    // The level file name; without keepExtension the first ".flevel" is cut out.
    std::string GetLevelName(bool keepExtension) const;
    // The level's checkpoint recordings in the profile's order: with byNumber false the
    // automatic one ("\auto-"), else the one whose name has "-<number>" 9 characters before
    // its end. Nothing happens when there is none.
    void LoadCheckpoint(bool byNumber, int32_t number);
    // Restarts the level from a checkpoint recording (a bare file name lies in the
    // profile's Checkpoints folder); a missing, damaged or cut-short file, or another
    // level's, shows "There is no checkpoint available for this level" and leaves the
    // running level untouched. False when nothing was played.
    bool PlayCheckpointFile(const std::string& path);

    // ---- Players ---------------------------------------------------------------------------
    PlayerRecord* FindPlayer(uint8_t playerId) const;
    // Players of the team (any team for -1); spectators only when asked.
    int32_t CountPlayers(int32_t team, bool withSpectators) const;
    // True when every player is ready (true for none).
    bool AreAllPlayersReady() const;
    void ClearPlayers();
    // Makes the player the match admin, tells the message log and refreshes the HUD and
    // the multiplayer screens that are open.
    void SetAdmin(PlayerRecord& player);
    // The avatar, loaded on first use from "Cache\Avatars\<name>.jpg" when that file exists,
    // else "User\Avatars\loading.png"; hot spot at its centre. A name that could leave the
    // folder gets the loading picture.
    AnimSurface* GetPlayerAvatar(PlayerRecord& player);

    // Plays a sound for an event at a world point: at the listener inside the visible
    // rectangle (or without a view), else placed left or right and up or down of it.
    void PlayEffectAt(int soundId, int32_t x, int32_t y) const;
    // The view's reading of the match: game state 2 keeps the belt and the action shortcuts
    // closed; matchKind 1 (a multiplayer match) with matchRunning non-zero limits the zoom;
    // a recorded match is being played back; the game server's state on the match host
    // (4: pending types are shown over the flimbs). Set by the session.
    int32_t gameState = 0;
    int32_t matchKind = 0;
    int32_t matchRunning = 0;
    uint8_t playbackRunning = 0;
    int32_t hostServerState = 0;
    // The minimap shows the exits while this is 1.
    int32_t exitDisplay = 1;
    // Puzzle hints (the hint background layers) shown; switched by the "ShowHint" action.
    uint8_t hintsShown = 0;
};

// The one controller.
GameController& Controller();

// "Level\Solutions\<level>.flimbs" when the level's solution recording exists; else "".
std::string GetSolutionPath();

// ---- Start-up and reset ---------------------------------------------------------------------
// Run state 0; the current game mode destroyed; the group entries, the visible rectangle and
// the per-level counters zeroed; the system messages removed from the message log.
void ResetGameController();

// Tests: told of every PlayEffectAt with its world point, before it plays; null: none.
using EffectAtObserver = void (*)(int soundId, int32_t x, int32_t y, void* context);
void SetEffectAtObserver(EffectAtObserver observer, void* context);

// Told of every PlayEffectAt before it plays (tests count the effects); null for none.
using EffectAtListener = void (*)(int soundId, int32_t x, int32_t y);
void SetEffectAtListener(EffectAtListener listener);

// ---- Players (ControllerPlayers.cpp) --------------------------------------------------------
// The first player whose own flimb has that id, or null.
PlayerRecord* FindPlayerByFlimb(uint32_t flimbId);
// True when the local player commands the group.
bool LocalPlayerControls(uint8_t group);
// The local player's spectator flag (false without a local player).
bool LocalPlayerIsSpectator();
// One log line per player.
void DumpPlayers();
// Finds the player with the record's id or appends one, copies the record in (keeping the
// cached avatar), makes it the local player when asked, then AssignControl and
// RebalanceTeams. Returns the stored record.
PlayerRecord& AddOrUpdatePlayer(const PlayerRecord& record, bool local);
// Adds a local player named "local" when the list is empty.
void AddLocalPlayerIfNone();
// Every player's control flags from its team (or, under team control, from the groups'
// teams); spectators control nothing.
void AssignControl();
// The group in use with the fewest non-spectator players (the lowest on a tie); -1 when
// no group is in use.
int32_t PickGroupForNewPlayer();
// Networked match: players on a group not in use (outside mode 4: every player) get the
// group PickGroupForNewPlayer chooses (0 when none), and the server is told.
void RebalanceTeams();
void RemovePlayer(uint8_t playerId);
int32_t CountTeamsWithPlayers();
// The team of the n-th team (0..7 order) with non-spectator players; when there are fewer,
// the first group in use, or -1.
int32_t GetNthTeamWithPlayers(int8_t n);
void ClearReadyFlags();
void ReleasePlayerAvatars();

// ---- Groups and statistics (ControllerGroups.cpp) -------------------------------------------
// Spends one use of the action for the flimb's group (a budget between 1 and 198 goes
// down by one; 0 and unlimited budgets stay) and counts the use. An action or group outside
// its table is refused with a log line.
void UseGroupAction(uint8_t action, const Flimb& flimb);
int32_t SumGroupStat(uint8_t group);
// The group's score; for 255 the sum over the groups in use.
int32_t GetGroupScore(uint8_t group);
// The group's alive flimbs; for 255 the sum over all groups.
int32_t CountGroupFlimbs(uint8_t group);
Trap* FindStartTrapOfGroup(uint8_t group);
Trap* FindExitTrapOfGroup(uint8_t group);
Trap* FindCameraTrapOfGroup(uint8_t group);
// Flimbs still to be released by the group's enabled and activated Start traps (every
// group for -1); with copiers the Copier traps' copies too.
int32_t CountFlimbsToCome(int8_t group, bool withCopiers);
int32_t CountStartTraps(int32_t group);
// The controller's action order for the selected flimb (belt, action keys, held keys).
void NoteFlimbSelected(uint8_t action, uint8_t flag, Flimb* flimb);
// The group's Start traps release nothing more; in a local match no Copier copies again.
void StopGroupSupply(uint8_t group);
// The group order (the group goes SuperNova): its detonation flag raised, its supply stopped
// and the fuses of its flimbs lit one after another. A group outside 0 .. 7 is ignored.
void DetonateGroup(uint8_t group);
// The message log's system line with sound effect 12 (37 with the flag).
void AnnounceMessage(const std::string& text, bool alternativeSound);
// The flimb-type captions (read by the belt and the profile), then the mode's texts.
void RefreshFlimbTypeCaptions();
const std::string& FlimbTypeCaption(int type);
// Every group not in use: its Start and Exit traps disabled and hidden.
void DisableUnusedGroupTraps();
// Over the group's Exit traps: flimbs taken in, and the number wanted.
void SumExitCounters(uint8_t group, int32_t& takenIn, int32_t& wanted);
void RecordGroupSample(uint8_t group, uint8_t value);
// Samples in runs whose value is not the group itself.
uint32_t CountSamplesNotOwn(uint8_t group);
// Local Corral match, once per level: sound 65 when no Exit of the local player's group
// still wants flimbs.
void CheckExitsFilled();
// "s", "m", "f" give 0, 1, 2; anything else 0.
int32_t LevelPrefixIndex(const std::string& prefix);
// Logs "CHEAT MODE ACTIVATED!" for "quelp".
void CheckCheatWord(const std::string& typed);
// Starts the level's music, looped, at 1.0 (0.6 in a networked match).
void PlayLevelMusic();

// Plays a sound for an event at a world point (GameController::PlayEffectAt).
inline void PlayEffectAt(int soundId, int32_t x, int32_t y)
{
    Controller().PlayEffectAt(soundId, x, y);
}
