#pragma once
// The rule set of one match. `GameMode` gives a default for every operation but the
// per-group result rows; each of the seven modes overrides what differs. One mode object
// is current at a time (ModeServices.h). Flimbs and traps are named by their ids; what the
// rules read of the world and what they do beyond it go through MatchWorld and
// MatchEffects.
#include "modes/GameStat.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

typedef struct _xmlNode xmlNode;
class FlimbsWindow5;
class GameModeStatsWidget;
class GameModifier;
class IInputDevice;
class LayoutEngine;
class MatchEffects;
class MatchWorld;
class PrimContainer;
class Primitive;
class ModeStateHasher;
struct ModeOptionsPanel;

// Result codes. Multiplayer: 1 won, 2 lost, 3 tie, 4 nobody scored; single player and
// co-operative: 5 lost, 6 won.
enum MatchResultCode : int32_t {
    kResultRunning = 0,
    kResultWon = 1,
    kResultLost = 2,
    kResultTie = 3,
    kResultNobodyScored = 4,
    kResultSingleLost = 5,
    kResultSingleWon = 6,
};

constexpr int kModeCount = 7;
constexpr int kNoModeIndex = 7;
constexpr int kNoGroup = 255;

// One row of the mode table.
struct GameModeInfo {
    const char* keyName;      // "CorralTheFlimb" ...
    const char* displayTitle; // English; shown through the language lookup
    const char* prefix;       // level-file prefix ("dm" ...)
};

// A player command of the mode's command list.
struct ModeCommand {
    std::string name;
    std::function<void(int pressed)> handler;
    std::string category;
    std::string help;
};

class GameMode {
public:
    // The eight rows of the mode table (index 7: no mode, all null).
    static const GameModeInfo& Info(int index);
    // Index 0 .. 6 makes that mode; anything else gives null.
    static std::unique_ptr<GameMode> Create(int index);
    // The first row whose key name equals the name (case-sensitive); 0 when none.
    static int IndexFromName(const std::string& name);
    // The same over the prefixes.
    static int IndexFromPrefix(const std::string& prefix);

    GameMode();
    GameMode(const GameMode&) = delete;
    GameMode& operator=(const GameMode&) = delete;

    // Virtual operations, in slot order.
    virtual ~GameMode();                                                      // 1
    virtual void ResetStatLabels();                                           // 2
    virtual void StartMatch();                                                // 3
    virtual bool IsMatchOver();                                               // 4
    virtual void UpdateMessages();                                            // 5
    virtual void NotifyModifiers();                                           // 6
    virtual void SaveProgress();                                              // 7
    virtual std::unique_ptr<FlimbsWindow5> CreateScorePanel();                // 8
    virtual void GameOver();                                                  // 9
    virtual void ReservedHookA() {}                                           // 10
    virtual void CreateStatsWidget(xmlNode* level);                           // 11
    virtual void OnGoalReached(int group, int32_t flimbId);                   // 12
    virtual void OnFlimbDied(int32_t flimbId);                                // 13
    virtual void ReservedHookB(int value);                                    // 14
    virtual void OnPickup(int32_t trapId, int32_t flimbId);                   // 15
    virtual void OnFlimbExited(int32_t flimbId, int32_t exitTrapId);          // 16
    virtual void OnObjectLost(int32_t trapId);                                // 17
    virtual void OnFlimbEvent(int32_t flimbId, int flag, int value);          // 18
    virtual void OnBlast(int32_t sourceFlimbId, float x, float y, int kind); // 19
    virtual bool OnKey(int code, int state, const IInputDevice* device);      // 20
    virtual void SetResult(int32_t code, int32_t group);                      // 21
    virtual void DecideResult();                                              // 22
    virtual int32_t GetTrackedGroup();                                        // 23
    virtual void AddHudStatIcons(std::vector<GameModeStatsWidget*>& list);    // 24
    virtual bool AcceptsFlimb(int32_t flimbId);                               // 25
    virtual GroupStats AddEndOfMatchStats(int group) = 0;                     // 26
    virtual bool IsFlimbControllable(int32_t flimbId);                        // 27
    virtual bool MayIssueMorph(int32_t flimbId, int morph);                   // 28
    virtual bool OnQdotCollected(int32_t flimbId);                            // 29
    virtual uint32_t NextFlimbId(int a, int b, int c, int d);                 // 30
    virtual void BuildPreGamePanel(PrimContainer* parent);                    // 31
    virtual bool AcceptCommand(const uint8_t* record, size_t length);         // 32
    virtual void CheckLose();                                                 // 33
    virtual std::string SaveMatchRecording(const std::string& outPath);       // 34
    virtual int32_t GetLocalQdotCount();                                      // 35
    virtual int GetActiveGroup();                                             // 36
    virtual bool IsSinglePlayerAid();                                         // 37
    virtual int CountFreeze();                                                // 38
    virtual void ToggleFreeze();                                              // 39
    virtual std::vector<GroupStats> BuildResultTable();                       // 40
    virtual void ApplyOptionChange(Primitive* control);                       // 41
    virtual void WriteOptions(xmlNode* node);                                 // 42
    virtual void ReadOptions(xmlNode* node, xmlNode* defaults);               // 43
    virtual std::unique_ptr<PrimContainer> BuildOptionsPanel(LayoutEngine* layout); // 44
    virtual void BuildCommandList();                                          // 45
    virtual std::string GetObjectiveText();                                   // 46
    // Default slots other subsystems call.
    virtual void OnFlimbCreated(int32_t flimbId);                             // 47
    virtual void OnFlimbTypeChange(int32_t flimbId, int newType, int oldType); // 48
    // The group filter of the selection keys' pick (255: all groups).
    virtual int SelectionFilter();                                            // 49
    // File types: 0 single player, 1 multiplayer, 2 FlimbMaster.
    virtual bool AcceptsFileType(int fileType);                               // 50
    // Adds the mode's state to the world state hash; modes add their own fields.
    virtual void HashState(ModeStateHasher& hasher) const;                    // 51
    // Whether an element of the option block is one of this mode's options.
    virtual bool IsOptionKey(const std::string& key) const;                   // 52
    // Multiverse: whether a level's sabotage flimbs are copied into the other universes.
    virtual bool CopiesFlimbsAcrossUniverses() const { return false; }        // 53

    // Non-virtual operations.
    bool RunCommand(const std::string& name, bool pressed);
    GameModifier* FindModifier(int id) const;
    bool AllModifiersReady() const;
    // Sets the global match result from the mode's code as the local group sees it,
    // then runs the base GameOver.
    void PublishResult();
    const std::string& GetObjectiveTextCached();
    // The freeze penalty in seconds: the freeze count.
    int FreezePenaltySeconds() const { return freezeCount; }
    // The mode state hash (HashState over a fresh hasher).
    uint64_t StateHash() const;

    int32_t modeIndex = kNoModeIndex;
    std::array<std::string, 3> statLabels;
    std::string objectiveText;
    std::vector<ModeCommand> commands;
    std::vector<std::unique_ptr<GameModifier>> modifiers;
    std::array<std::unique_ptr<GameModeStatsWidget>, 4> hudStats;
    int32_t trackedGroup = -1;
    int32_t qdotTotal = 0;
    std::array<int32_t, 8> qdotCounts{};
    uint8_t freezeCount = 0;
    int32_t resultCode = kResultRunning;
    int32_t loseStreak = 0;
    bool loseCheckFinished = false;
    bool doppelHintShown = false;
    int32_t winningGroup = kNoGroup;

protected:
    // The base GameOver's steps (run after the mode set the global result).
    void BaseGameOver();
    // The base end test of a match with several human players (also co-operative modes).
    bool MultiplayerEndTest();
    // The options panel with the rows every mode has (captions 250 wide, no margins).
    ModeOptionsPanel BeginOptionsPanel();
    static MatchWorld& World();
    static MatchEffects& Effects();
};
