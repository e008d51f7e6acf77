#pragma once
// What the HUD's widgets read of the match and the session beyond the world state, and what
// they ask of their neighbours (the front end, the level editor, the session's playback,
// the prompts of the game modes, the minimap, the cutscenes, the statistics reply, sound,
// message boxes and the browser). The base class answers from what the game has now (the
// controller, the current game mode, the player's profile, the sound manager) and reaches
// the screens above through their hooks (hud/HudHooks.h); each operation of a neighbour
// that is not part of the game yet logs a line and does nothing ("seam"). Tests install a
// subclass of their own (SetHudGame).
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class AnimSurface;
class PrimContainer;
class Primitive;

// The level's texts and intro picture (the level's global settings).
struct LevelPresentation {
    std::string title;
    std::string description;
    std::string objective;
    std::string picture;
};

// The FlimbMaster of a Multiverse level: name, picture and the outcome texts and pictures.
struct FlimbMasterRecord {
    std::string name;
    std::string image;
    // win small, win large, lose small, lose large.
    std::string texts[4];
    std::string images[4];
};

// The end-of-match expression of a game type and outcome: its title and its picture's
// name pattern ("%s" takes the label of the local player's group).
struct ExpressionRow {
    std::string title;
    std::string picturePattern;
};

// The statistics service's answer for a level: the player's rank, the world records by
// statistic kind and the verdict on them.
struct StatsReply {
    int rank = 0;
    struct Record {
        int kind = 0;
        int32_t value = 0;
    };
    std::vector<Record> records;
    bool newRecord = false;
    bool tiedRecord = false;
};

// Who said a chat line.
struct ChatSpeaker {
    bool isPlayer = false;
    std::string name;
    int group = 0;
    AnimSurface* avatar = nullptr; // not owned; null when the player has none
};

// An unlocked bonus item: its id and its file (a decoration's name, a stamp's image).
struct UnlockedItem {
    std::string id;
    std::string path;
};

// A player of the match as the HUD's typing notice reads it.
struct HudPlayer {
    int id = 0;
    std::string name;
    bool typing = false;
};

// A level offered by the level chooser of the level-change window.
class LevelChooserView {
public:
    virtual ~LevelChooserView() = default;
    virtual Primitive* Panel() = 0;
    // The selected level's file name, empty when none is selected.
    virtual std::string SelectedLevel() const = 0;
};

class HudGame {
public:
    virtual ~HudGame() = default;

    // ---- The match and the session.
    virtual int RunState() const;            // 0 none, 1 running, 2 paused
    virtual bool IsMultiplayer() const;      // the session kind is multiplayer
    virtual bool IsAdmin() const;            // the local player is the match admin
    virtual bool LocalIsSpectator() const;
    virtual int LocalGroup() const;
    virtual int LocalPlayerId() const;
    virtual bool EditorTestPlay() const;     // the level runs from the level editor
    virtual bool PlaybackShown() const;
    virtual bool SessionPaused() const;      // the session's pause flag
    virtual int GameType() const;            // 1 and 6: single player with world records
    virtual int ResultDetail() const;        // the Multiverse detail of the result
    virtual int GameSpeed() const;           // host variable 16: milliseconds per update
    virtual int ServerState() const;         // 4: frozen
    virtual int ModeIndex() const;           // 7: no game mode
    virtual int LevelKind() const;           // the game controller's level kind
    virtual int LocalTeam() const;           // 99: none
    // The players of the match (the local one included), in player-id order.
    virtual std::vector<HudPlayer> Players() const;
    // The gravity direction of a group (0 .. 3), 4 when it has none.
    virtual int GroupGravity(int group) const;
    virtual int SessionKind() const;         // 2: a playback
    virtual uint32_t UpdateCounter() const;
    // The game controller's other-view switch (Multiverse matches).
    virtual int OtherViewSwitch() const;
    virtual std::string EndOfMatchText() const;
    virtual LevelPresentation Level() const;
    // The level's file name (".flevel" kept when asked).
    virtual std::string LevelName(bool keepExtension) const;
    virtual std::string SolutionPath() const; // empty without a stored solution
    virtual std::optional<FlimbMasterRecord> CurrentFlimbMaster() const;
    // The current boss's shield emblem; empty without a boss.
    virtual std::string BossShieldImage() const;
    virtual ExpressionRow PickExpression(int gameType, int detail) const;
    // The statistics reply for the level once it has arrived.
    virtual std::optional<StatsReply> LevelStatsReply(const std::string& level);
    virtual ChatSpeaker Speaker(int speakerId) const;
    // The Quantum Time state: 0 off, 1 armed, 2 in use.
    virtual int QuantumTimeState() const;
    virtual void SetQuantumTimeState(int state);
    // 2 -> 0: the companion values cleared and the type-change requests told.
    virtual void EndQuantumTime();

    // ---- The player's profile and input.
    virtual std::string ProfileSetting(const std::string& tag) const;
    virtual std::vector<std::string> Checkpoints(const std::string& level) const;
    // The player's unlocked bonus items of a kind ("Decoration", "Stamp", "Level").
    virtual std::vector<UnlockedItem> UnlockedItems(const std::string& kind) const;
    // The playback file (a file name) of the level's last recorded session.
    virtual std::string LastSessionPlayback(const std::string& level) const;
    virtual bool KeyHeld(int scanCode) const;
    virtual void SetCursorPosition(int x, int y);
    virtual void CursorPosition(int& x, int& y) const;

    // ---- Neighbours.
    // Starts the loaded level's match (the game server's start); false without a session.
    virtual bool StartSinglePlayerLevel();
    virtual void VisitPlanet();
    virtual void LoadLevelIntoEditor(const std::string& levelPath);
    // Opens a playback session on the file; throws std::exception when it cannot.
    virtual void StartPlayback(const std::string& path);
    // "Show Solution": the level's session gives way to a playback session of the stored
    // solution. A solution that cannot be played is refused with a message box and the level
    // goes on.
    virtual void ShowSolution(const std::string& path);
    virtual void ReloadFlimbMasterList();
    virtual void ShowOptions(std::function<void()> onReturn);
    virtual void OpenAdminPlayersPanel();
    // Whether the lobby's admin players panel can be opened (its screen fills the hook).
    virtual bool AdminPlayersPanelAvailable() const;
    virtual void LoadCheckpointFile(const std::string& file);
    // Toggles the editor's test mode; the new state.
    virtual bool ToggleEditorTestMode();
    virtual void ShowOtherUniverseView(bool pressed, int second);
    virtual void PlayOutroVideo();
    virtual std::unique_ptr<PrimContainer> MakeSuperNovaPrompt();
    virtual std::unique_ptr<PrimContainer> MakeCheckpointPrompt(bool showCancel, bool saveMode);
    virtual std::unique_ptr<PrimContainer> MakeMinimap();
    virtual std::unique_ptr<LevelChooserView> MakeLevelChooser(const std::string& category);
    // The image path of the level's preview, empty when it cannot be made.
    virtual std::string CreateLevelPreview(const std::string& levelFile);
    // The game controller's notice: a line in the HUD message log with sound effect 12.
    virtual void PostNotice(const std::string& text);
    // Saves the match recording; false without a session.
    virtual bool SaveRecording();

    // ---- Sound, message boxes, the browser.
    virtual void PlayEffect(int effect, float volume);
    virtual void PlayMusic(const std::string& name, bool loop, float volume);
    virtual void StopMusic();
    virtual void ShowMessageBox(const std::string& title, const std::string& text);
    virtual bool OpenUrl(const std::string& url);
};

// The installed one, else the game's.
HudGame& CurrentHudGame();
// Not owned; null goes back to the game's.
void SetHudGame(HudGame* game);
