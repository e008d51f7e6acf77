// The game's MatchEffects. Sound and music go to the sound manager, the modifiers onto the
// HUD window, the end-of-level pop-ups into the HUD's queue (HudServices.h) and the level's
// result to the statistics client; chat, requests, the server's freeze, the recording and
// the end-of-match screen wait for the session (each marked "seam") and write a log line
// meanwhile.
#include "modes/MatchEffects.h"

#include "app/GzipFile.h"
#include "app/Log.h"
#include "gui/PrimContainer.h"
#include "gui/WindowList.h"
#include "hud/HudServices.h"
#include "media/SoundManager.h"
#include "modes/GameModifier.h"
#include "net/WebStats.h"
#include "session/SessionServices.h"

namespace {

constexpr int kNoticeEffect = 12;
constexpr uint32_t kPlaybackMagic = 0xC704E509u;

class GameEffectsAdapter final : public MatchEffects {
public:
    // Seam: GameClient::SendChat with the speaker -2.
    void SendChat(const std::string& text) override { WriteLog("[mode] %s\n", text.c_str()); }
    // Seam: GameClient::SendChatLine.
    void SendChatLine(const std::string& text) override { WriteLog("[mode] %s\n", text.c_str()); }
    // Seam: the HUD message log (MessageLog::Add with the system speaker).
    void PostNotice(const std::string& text) override
    {
        WriteLog("[notice] %s\n", text.c_str());
        PlayEffect(kNoticeEffect);
    }

    // Seam: the game client exists once the session lands.
    bool HasGameClient() const override { return false; }
    void SendGameModeState(const std::string&) override {}
    // Seam: GameClient::SendUpdateGroup, SendModifierState, SendNetBash, SendTeamChange,
    // the BATTLESKILL request and SendSetHostVariable.
    void SendUpdateGroup(int group) override { WriteLog("[mode] request UPATE_GROUP %d\n", group); }
    void SendModifierState(int type, int32_t flimbId) override
    {
        WriteLog("[mode] request UPATE_MODIFIER %d flimb %d\n", type, flimbId);
    }
    void SendNetBash(const NetBashRequest& bash) override
    {
        WriteLog("[mode] request NETBASH %s at %d,%d\n", bash.brush.c_str(), bash.x, bash.y);
    }
    void SendUpdateFlimbType(int32_t flimbId, int type, int subKind, int32_t argument) override
    {
        ::SendUpdateFlimbType(int16_t(flimbId), uint8_t(type), uint8_t(subKind), argument);
    }
    void SendHighlight(int32_t flimbId) override { ::SendHighlight(int16_t(flimbId)); }
    void SendTeamChange(int group) override { WriteLog("[mode] request TEAMCHANGE %d\n", group); }
    void SendBattleSkill(int difficulty) override { WriteLog("[mode] request BATTLESKILL %d\n", difficulty); }
    void SendSetHostVariable(int variable, int32_t value) override
    {
        WriteLog("[mode] request SET_HOST_VARIABLE %d = %d\n", variable, value);
    }

    // Seam: the game server's state, its freeze and FREEZETIME.
    int ServerState() const override { return 0; }
    void FreezeServer() override {}
    void ThawServer() override {}

    void PlayEffect(int effect) override { soundManager.PlayEffect(effect, 1.0f); }
    // Seam: GameController::PlayEffectAt hears the point when it is in view; at the
    // listener until the game view exists.
    void PlayEffectAt(int effect, float, float) override { soundManager.PlayEffect(effect, 1.0f); }
    void PlayMusic(const std::string& file) override { soundManager.PlayMusic(file, false, false, 1.0f); }

    // Seam: GameClient::SavePlayback.
    std::string SavePlayback(const std::string&) override { return {}; }
    // Seam: the game client's playback slots. A file that is no playback is refused with
    // the loader's message; a sound one is logged until the slots exist.
    void ClearPlaybackSlots() override { WriteLog("[mode] playback slots cleared\n"); }
    bool LoadPlayback(const std::string& path) override
    {
        GzipFile file;
        file.compressed = true;
        uint8_t magic[4] = {};
        if (!file.Open("rb", path) || file.Read(magic, 4) != 4 ||
            (magic[0] | magic[1] << 8 | magic[2] << 16 | uint32_t(magic[3]) << 24) != kPlaybackMagic) {
            WriteLog("Playback file [%s] is damaged or missing\n", path.c_str());
            return false;
        }
        WriteLog("[mode] playback [%s] not loaded: no playback slots\n", path.c_str());
        return false;
    }
    std::string SavePlaybackAs(const std::string& path) override
    {
        WriteLog("Failed to save to %s. Couldn't open file.\n", path.c_str());
        return {};
    }
    // Seam: GameController::LoadCheckpoint and the HUD's checkpoint display.
    void LoadCheckpoint(bool automatic, int slot) override
    {
        WriteLog("[mode] load checkpoint %s%d\n", automatic ? "auto-" : "", slot);
    }
    void RefreshHudCheckpoints() override {}
    // Seam: the flimb's floating damage label.
    void ShowDamageLabel(int32_t flimbId, const std::string& text) override
    {
        WriteLog("[mode] flimb %d: %s\n", flimbId, text.c_str());
    }

    bool IsHudOpen() const override { return FindOpenWindow("FLIMBS_HUD") != nullptr; }
    void CloseHudPopups() override { HudClosePopups(); }
    // Seam: the HUD's main container; the HUD window itself until the HUD is built.
    void AttachModifier(GameModifier* modifier) override
    {
        auto* hud = dynamic_cast<PrimContainer*>(FindOpenWindow("FLIMBS_HUD"));
        if (!hud || !modifier)
            return;
        modifier->deleteWhenClosed = 0;
        hud->AddChild(modifier);
    }
    // Seam: MultiplayerEndOfMatchMenu.
    void ShowEndOfMatchScreen(std::vector<GroupStats> table) override
    {
        WriteLog("End of match: %d result rows\n", int(table.size()));
        PlayEffect(19);
    }
    // The HUD shows them one after another; without the HUD they go to the log.
    void QueueEndOfLevelPopups(const std::vector<EndOfLevelPopup>& popups) override
    {
        if (HudQueueEndOfLevelPopups(popups))
            return;
        for (const EndOfLevelPopup& popup : popups)
            WriteLog("End of level pop-up %d: %s\n", int(popup.kind), popup.text.c_str());
    }
    void UploadResult(const std::string& levelPath) override
    {
        GlobalWebStats().SendGameOver(levelPath);
        GlobalWebStats().QueryLevelStats(levelPath);
    }
};

MatchEffects* g_installedEffects = nullptr;

} // namespace

MatchEffects& CurrentMatchEffects()
{
    static GameEffectsAdapter adapter;
    return g_installedEffects ? *g_installedEffects : adapter;
}

void SetMatchEffects(MatchEffects* effects)
{
    g_installedEffects = effects;
}
