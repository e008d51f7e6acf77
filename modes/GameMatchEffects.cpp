// The game's MatchEffects. Sound and music go to the sound manager, the modifiers onto the
// HUD window and the level's result to the statistics client; chat, requests, the server's
// freeze, the recording, the HUD's pop-ups and the end-of-match screen wait for the session
// and the HUD (each marked "seam") and write a log line meanwhile.
#include "modes/MatchEffects.h"

#include "app/Log.h"
#include "gui/PrimContainer.h"
#include "gui/WindowList.h"
#include "media/SoundManager.h"
#include "modes/GameModifier.h"
#include "net/WebStats.h"

namespace {

constexpr int kNoticeEffect = 12;

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

    bool IsHudOpen() const override { return FindOpenWindow("FLIMBS_HUD") != nullptr; }
    // Seam: the HUD's two pop-up layers.
    void CloseHudPopups() override {}
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
    // Seam: the HUD's end-of-level pop-ups.
    void QueueEndOfLevelPopups(const std::vector<EndOfLevelPopup>& popups) override
    {
        for (const EndOfLevelPopup& popup : popups)
            WriteLog("End of level pop-up %d: %s\n", int(popup.kind), popup.text.c_str());
        if (!popups.empty())
            PlayEffect(19);
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
