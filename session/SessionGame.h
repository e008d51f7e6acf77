#pragma once
// What the game session does to the game state beyond the world's own operations: level
// files (their paths, information and loading), the level's life (reset, match start and
// end), and the flimb, trap and terrain orders the executor applies. The game's adapter
// uses the real operations where they exist and does the least where their subsystem is
// still to come (each such answer is marked "seam"); tests install a stand-in.
#include <array>
#include <cstdint>
#include <string>

struct Flimb;
class Trap;
struct NetBashArgs;

// What the session reads of a level file.
struct SessionLevelInfo {
    std::string name;       // the name the level was asked by ("kpt_Caves.flevel")
    std::string path;       // its game path
    std::string title;      // the title shown to players
    int kind = 0;           // 0 single player, 1 multiplayer, 2 and 3 editing only
    int modeIndex = 0;      // the game mode the level names
    uint32_t crc = 0;       // CRC-32 of the file
    std::array<uint8_t, 8> groupsInUse{};
};

// CREATE_FLIMB's fields after x, y and the kind.
struct SpawnArgs {
    int32_t x = 0, y = 0;
    uint8_t kind = 0;
    uint8_t flags = 0;
    uint8_t b20 = 0, b21 = 0, b22 = 0;
    uint16_t u24 = 0, u26 = 0;
    uint8_t b28 = 0;
};

class SessionGameState {
public:
    virtual ~SessionGameState() = default;

    // ---- Level files ---------------------------------------------------------------------
    // The game path of a level name (a name without a folder lies in Level\).
    virtual std::string MakeLevelPath(const std::string& name);
    // Fills the information of the named level; false when its file cannot be read.
    virtual bool ResolveLevel(const std::string& name, SessionLevelInfo& info);
    // Why the last ResolveLevel of this state failed ("Level\\x.flevel not found", "... is
    // damaged: <reason>", "... is outside the game's folders"); empty after a success.
    const std::string& LevelProblem() const { return levelProblem_; }
    // GAMEDATA: loads the level into the game; a NETRESULT code (2 loaded, 4 the local file
    // is not the server's, 8 bad format, 0 missing).
    virtual int LoadLevelForGameData(const std::string& name, uint32_t crc);
    // The level loaded last (empty name before any).
    virtual const SessionLevelInfo& LoadedLevel() const { return loaded_; }
    // The game controller's play kind: 1 for levels whose groups players fill.
    virtual int PlayKind() const { return loaded_.kind == 1 ? 1 : 0; }
    // Whether the loaded level has a Start trap of the group.
    virtual bool GroupHasStartTrap(uint8_t group) const;
    // The level runs from the level editor.
    virtual bool EditorTest() const { return false; }
    // The game state's debug switch (the "create" command).
    virtual bool DebugSwitch() const { return false; }

    // ---- The level's life ----------------------------------------------------------------
    // Traps, flimbs, the update counter, the landscape, the particles and the controller's
    // level data: all back to nothing.
    virtual void ResetLevel();
    // STARTGAME: the match starts (the level's game mode is made and started).
    virtual void StartMatch();
    // GAMEOVER: the game mode's end of match.
    virtual void EndMatch();
    // The level's own start routine (after a catch-up of a kind-1 level).
    virtual void StartLevel() {}
    virtual void StartLevelMusic(float /*volume*/) {}

    // ---- Orders ---------------------------------------------------------------------------
    virtual Flimb* SpawnFlimb(const SpawnArgs& args);
    // Whether the flimb can take the type now.
    virtual bool CanTakeType(const Flimb& flimb, uint8_t type);
    // Gives the flimb the type at once.
    virtual void ApplyType(Flimb& flimb, uint8_t type);
    // Movement orders: stop (255), turn (bit 2, with bit 4 to face), walk (bits 0 and 1).
    virtual void OrderMovement(Flimb& flimb, uint8_t order);
    // A group order (UPDATE_FLIMB_TYPE with sub-kind 'B').
    virtual void OrderGroup(uint8_t group);
    virtual void HighlightFlimb(Flimb& flimb, int player, bool on);
    virtual void SetDecoration(Flimb& flimb, const std::string& name);
    // Bashes the landscape with a brush file (rotation in degrees): the record's integers
    // are the point, its further arguments the bash mode, the tint and the materials it
    // affects, its flag centres the brush.
    virtual void BashBrushFile(const NetBashArgs& args, float degrees);
    // The trap takes over its state from a "trap-state" document; false when unreadable.
    virtual bool LoadTrapState(Trap& trap, const std::string& xml);
    // The trap's state as a "trap-state" document.
    virtual std::string TrapStateXml(const Trap& trap);
    // UPDATE_MORPH_COUNT: the groups' action counts from a "game-manager-state" document.
    virtual void ReadMorphCounts(const std::string& xml);
    virtual int HighPriorityParticles() { return 0; }

protected:
    SessionLevelInfo loaded_;
    std::string levelProblem_;
};

SessionGameState& SessionGame();
// Tests install their own; null restores the game's adapter. Not owned.
void SetSessionGame(SessionGameState* game);
