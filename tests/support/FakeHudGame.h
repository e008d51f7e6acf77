#pragma once
// A HudGame for tests: every answer is a field the test sets, every neighbour's operation
// is recorded as a line in `calls` ("music boss_intro 1 0.50", "effect 19", "url <url>",
// "message Error|Error in playback!", "playback <path>", "planet", "editor <level>",
// "options", "players", "checkpoint-file <name>", "other-view 1 0", "outro", "notice <text>",
// "start-level", "save-recording", "stop-music", "reload-fm", "cursor <x> <y>"). Installs
// itself while it lives.
#include "app/StringUtil.h"
#include "hud/HudGame.h"

#include <functional>
#include <map>
#include <set>
#include <stdexcept>

class FakeHudGame : public HudGame {
public:
    FakeHudGame() { SetHudGame(this); }
    ~FakeHudGame() override { SetHudGame(nullptr); }
    FakeHudGame(const FakeHudGame&) = delete;
    FakeHudGame& operator=(const FakeHudGame&) = delete;

    int RunState() const override { return runState; }
    bool IsMultiplayer() const override { return multiplayer; }
    bool IsAdmin() const override { return admin; }
    bool LocalIsSpectator() const override { return spectator; }
    int LocalGroup() const override { return localGroup; }
    int LocalPlayerId() const override { return localPlayerId; }
    bool EditorTestPlay() const override { return editorTest; }
    bool PlaybackShown() const override { return playbackShown; }
    bool SessionPaused() const override { return sessionPaused; }
    int GameType() const override { return gameType; }
    int ResultDetail() const override { return resultDetail; }
    int GameSpeed() const override { return gameSpeed; }
    int ServerState() const override { return serverState; }
    int ModeIndex() const override { return modeIndex; }
    int LevelKind() const override { return levelKind; }
    int LocalTeam() const override { return localTeam; }
    std::vector<HudPlayer> Players() const override { return players; }
    int GroupGravity(int group) const override
    {
        const auto it = gravity.find(group);
        return it == gravity.end() ? 4 : it->second;
    }
    int SessionKind() const override { return sessionKind; }
    uint32_t UpdateCounter() const override { return updateCounter; }
    int OtherViewSwitch() const override { return otherView; }
    std::string EndOfMatchText() const override { return endOfMatchText; }
    LevelPresentation Level() const override { return level; }
    std::string LevelName(bool keepExtension) const override
    {
        return keepExtension ? levelFile : GetFileTitle(levelFile, true);
    }
    std::string SolutionPath() const override { return solutionPath; }
    std::optional<FlimbMasterRecord> CurrentFlimbMaster() const override { return flimbMaster; }
    std::string BossShieldImage() const override { return bossShield; }
    ExpressionRow PickExpression(int, int) const override { return expression; }
    std::optional<StatsReply> LevelStatsReply(const std::string&) override
    {
        ++statsPolls;
        return statsReply;
    }
    ChatSpeaker Speaker(int id) const override
    {
        const auto it = speakers.find(id);
        return it == speakers.end() ? ChatSpeaker{} : it->second;
    }
    int QuantumTimeState() const override { return quantumState; }
    void SetQuantumTimeState(int state) override { quantumState = state; }
    void EndQuantumTime() override
    {
        quantumState = 0;
        calls.push_back("quantum-end");
    }

    std::string ProfileSetting(const std::string& tag) const override
    {
        const auto it = settings.find(tag);
        return it == settings.end() ? std::string() : it->second;
    }
    std::vector<std::string> Checkpoints(const std::string&) const override { return checkpoints; }
    std::string LastSessionPlayback(const std::string&) const override { return lastPlayback; }
    std::vector<UnlockedItem> UnlockedItems(const std::string& kind) const override
    {
        const auto it = unlocked.find(kind);
        return it == unlocked.end() ? std::vector<UnlockedItem>{} : it->second;
    }
    bool KeyHeld(int code) const override { return heldKeys.count(code) != 0; }
    void SetCursorPosition(int x, int y) override
    {
        cursorX = x, cursorY = y;
        calls.push_back(StringPrintf("cursor %d %d", x, y));
    }
    void CursorPosition(int& x, int& y) const override { x = cursorX, y = cursorY; }

    bool StartSinglePlayerLevel() override
    {
        calls.push_back("start-level");
        return true;
    }
    void VisitPlanet() override { calls.push_back("planet"); }
    void LoadLevelIntoEditor(const std::string& level) override { calls.push_back("editor " + level); }
    void StartPlayback(const std::string& path) override
    {
        calls.push_back("playback " + path);
        if (playbackFails)
            throw std::runtime_error("cannot open " + path);
    }
    void ShowSolution(const std::string& path) override { calls.push_back("solution " + path); }
    void ReloadFlimbMasterList() override { calls.push_back("reload-fm"); }
    void ShowOptions(std::function<void()> onReturn) override
    {
        calls.push_back("options");
        optionsReturn = std::move(onReturn);
    }
    void OpenAdminPlayersPanel() override { calls.push_back("players"); }
    bool AdminPlayersPanelAvailable() const override { return playersPanel; }
    void LoadCheckpointFile(const std::string& file) override { calls.push_back("checkpoint-file " + file); }
    bool ToggleEditorTestMode() override
    {
        testMode = !testMode;
        return testMode;
    }
    void ShowOtherUniverseView(bool pressed, int second) override
    {
        calls.push_back(StringPrintf("other-view %d %d", pressed ? 1 : 0, second));
    }
    void PlayOutroVideo() override { calls.push_back("outro"); }
    std::unique_ptr<PrimContainer> MakeSuperNovaPrompt() override { return makeSuperNova ? makeSuperNova() : nullptr; }
    std::unique_ptr<PrimContainer> MakeCheckpointPrompt(bool showCancel, bool saveMode) override
    {
        calls.push_back(StringPrintf("checkpoint-prompt %d %d", showCancel ? 1 : 0, saveMode ? 1 : 0));
        return makeCheckpoint ? makeCheckpoint() : nullptr;
    }
    std::unique_ptr<PrimContainer> MakeMinimap() override { return makeMinimap ? makeMinimap() : nullptr; }
    std::unique_ptr<LevelChooserView> MakeLevelChooser(const std::string& category) override
    {
        calls.push_back("chooser " + category);
        return makeChooser ? makeChooser() : nullptr;
    }
    std::string CreateLevelPreview(const std::string&) override { return levelPreview; }
    void PostNotice(const std::string& text) override { calls.push_back("notice " + text); }
    bool SaveRecording() override
    {
        calls.push_back("save-recording");
        return true;
    }
    void PlayEffect(int effect, float) override { calls.push_back(StringPrintf("effect %d", effect)); }
    void PlayMusic(const std::string& name, bool loop, float volume) override
    {
        calls.push_back(StringPrintf("music %s %d %.2f", name.c_str(), loop ? 1 : 0, volume));
    }
    void StopMusic() override { calls.push_back("stop-music"); }
    void ShowMessageBox(const std::string& title, const std::string& text) override
    {
        calls.push_back("message " + title + "|" + text);
    }
    bool OpenUrl(const std::string& url) override
    {
        calls.push_back("url " + url);
        return urlOpens;
    }

    // True when a recorded call equals the line.
    bool Called(const std::string& line) const
    {
        for (const std::string& call : calls)
            if (call == line)
                return true;
        return false;
    }

    int runState = 1;
    bool multiplayer = false;
    bool admin = false;
    bool spectator = false;
    int localGroup = 0;
    int localPlayerId = 0;
    bool editorTest = false;
    bool playbackShown = false;
    bool sessionPaused = false;
    int gameType = 1;
    int resultDetail = 0;
    int gameSpeed = 75;
    int serverState = 0;
    int modeIndex = 0;
    int levelKind = 0;
    int localTeam = 0;
    bool playersPanel = true;
    std::vector<HudPlayer> players;
    std::map<int, int> gravity;
    int sessionKind = 0;
    uint32_t updateCounter = 0;
    int otherView = 0;
    std::string endOfMatchText;
    LevelPresentation level;
    std::string levelFile = "dm_test.flevel";
    std::string solutionPath;
    std::optional<FlimbMasterRecord> flimbMaster;
    std::string bossShield;
    ExpressionRow expression{"Well done!", "happy_%s.png"};
    std::optional<StatsReply> statsReply;
    int statsPolls = 0;
    std::map<int, ChatSpeaker> speakers;
    int quantumState = 0;
    std::map<std::string, std::string> settings;
    std::vector<std::string> checkpoints;
    std::string lastPlayback;
    std::map<std::string, std::vector<UnlockedItem>> unlocked;
    std::set<int> heldKeys;
    int cursorX = 0, cursorY = 0;
    bool playbackFails = false;
    bool urlOpens = true;
    bool testMode = false;
    std::function<void()> optionsReturn;
    std::function<std::unique_ptr<PrimContainer>()> makeSuperNova;
    std::function<std::unique_ptr<PrimContainer>()> makeCheckpoint;
    std::function<std::unique_ptr<PrimContainer>()> makeMinimap;
    std::function<std::unique_ptr<LevelChooserView>()> makeChooser;
    std::string levelPreview;
    std::vector<std::string> calls;
};
