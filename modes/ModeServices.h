#pragma once
// What the rest of the game asks of the game modes: the bonus items a player can earn
// (modes/BonusItems.h) and the current game mode's operations (each gives the answer of
// "no game mode" while none is made).

// Start-up step "loading items": installs the FlimbMaster level list as the bonus items'
// boss-level lookup, then BonusItemList::Load (throws GameException).
void LoadBonusItems();

// Set by the lobby: every group takes part in the match even when nobody plays it. Off at
// program start; read by the game modes.
extern bool allGroupsActive;

// ---- The current game mode and the operations other subsystems call on it ----------
// Each forwards to the current mode, or gives the no-mode answer when none is made.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

typedef struct _xmlNode xmlNode;
class GameMode;
class IInputDevice;

// The current game mode (null outside a level) and its replacement (the old one is
// deleted). The game controller and the level reader install what GameMode::Create made.
GameMode* CurrentGameMode();
void SetCurrentGameMode(std::unique_ptr<GameMode> mode);
// GameMode::Create(index) made current; null (and no mode) for an index outside 0 .. 6.
GameMode* CreateCurrentGameMode(int index);
void ClearCurrentGameMode();
// The current mode's index; 7 (no mode) without one.
int CurrentGameModeIndex();

// The mode table: key name and level-file prefix of an index ("" outside 0 .. 6), and the
// rescue rule: an unknown name or prefix gives 0, the rescue mode.
const char* GameModeKeyName(int index);
const char* GameModeShortCode(int index);
int GameModeIndexFromName(const std::string& name);
int GameModeIndexFromPrefix(const std::string& prefix);

// Set by every match start; nothing clears it (the particles and the game client test it).
bool IsMatchStarted();
void MarkMatchStarted();

void ModeStartMatch();
void ModeUpdate();
bool ModeIsMatchOver();
// Runs the mode's GameOver (nothing without a mode).
void ModeGameOver();
// Whether the local player may command the flimb (no mode: yes).
bool ModeAcceptsCommand(int32_t flimbId);
// Whether the local player may select the flimb (no mode: yes).
bool ModeMaySelect(int32_t flimbId);
// The group filter of the selection pick (no mode: 255, all groups).
int ModeSelectionFilter();
void ModeFlimbCreated(int32_t flimbId);
void ModeFlimbDied(int32_t flimbId);
void ModeFlimbTypeChange(int32_t flimbId, int newType, int oldType);
// A flimb entered an exit. False without a mode (the caller retires the flimb itself).
bool ModeFlimbSaved(int32_t flimbId, int32_t exitTrapId);
// The id for a new flimb (no mode: the world's flimb-id counter).
uint32_t ModeNextFlimbId(int localFlag, int group, int originTrapId, int count);
void ModeSetResult(int32_t code, int32_t group);
void ModeOnPickup(int32_t trapId, int32_t flimbId);
void ModeOnObjectLost(int32_t trapId);
// A blast of a source kind (the particle or missile kind; 4 .. 11: a lopper) at a point.
void ModeOnBlast(int32_t sourceFlimbId, float x, float y, int kind = 0);
// Whether the Qdot completed the group's set (no mode: false).
bool ModeQdotCollected(int32_t flimbId);
// Key hook: true when a mode command ran.
bool ModeOnKey(int code, int state, const IInputDevice* device);
// FREEZETIME on every client: the new freeze count (no mode: 0).
int ModeCountFreeze();
int ModeFreezePenaltySeconds();
void ModeReadOptions(xmlNode* node, xmlNode* defaults);
void ModeWriteOptions(xmlNode* node);
// The GAME_MODE_OPTIONS document of the current mode ("" without one) and its reading.
std::string ModeStateDocument();
bool ModeReadStateDocument(const std::string& xml);
// Reloads the translated texts after a language change.
void ModeRefreshTexts();
// Each update command: the mode's NotifyModifiers and AllModifiersReady.
void ModeNotifyModifiers();
// The current mode's result code (no mode: 0, running).
int ModeResultCode();
// Whether a client records the executed command (no mode: yes).
bool ModeAcceptCommand(const uint8_t* record, size_t length);
// The current mode's part of the world state hash; 0 with no mode.
uint64_t ModeStateHash();
// Whether a Multiverse load copies the level's sabotage flimbs into the other universes
// (no mode: no).
bool ModeCopiesFlimbsAcrossUniverses();

// Records the command executor hands to the current mode, checked before they are read:
// UPATE_MODIFIER (byte 6 the modifier id, u16 at 8 the flimb) has the modifier act on the
// flimb; BATTLESKILL (u32 at 8) sets the Multiverse difficulty. A short record, an unknown
// modifier, a vanished flimb, a difficulty outside 0 .. 2 or a mode without one is
// ignored with a log line; false then.
bool ModeApplyModifierRecord(const uint8_t* record, size_t length);
bool ModeApplyBattleSkill(const uint8_t* record, size_t length);

// The result the current mode's end of match would publish, without the end itself (no
// statistics, music or screens): a result code the mode was given (a win-lose trap), turned
// for the local group; else, in a single-player match, the rescue rule: 5 (lost) when an
// exit that is enabled and on holds fewer flimbs than it wants, else 6 (won). 0 while
// the match is not over, and without a mode.
int ModeSettledResult();
