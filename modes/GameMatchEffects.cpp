// The game's MatchEffects. Sound and music go to the sound manager, the modifiers onto the
// HUD window, the level's result to the statistics client, chat, requests, the server's
// freeze and the recording to the game session; the HUD's pop-ups and the end-of-match
// screen wait for the HUD (each marked "seam") and write a log line meanwhile.
#include "modes/MatchEffects.h"

#include "app/Log.h"
#include "gui/PrimContainer.h"
#include "gui/WindowList.h"
#include "media/SoundManager.h"
#include "modes/GameModifier.h"
#include "net/WebStats.h"
#include "session/GameClient.h"
#include "session/GameServer.h"

namespace {

constexpr int kNoticeEffect = 12;

class GameEffectsAdapter final : public MatchEffects {
public:
    void SendChat(const std::string& text) override
    {
        if (GameClient* client = CurrentClient())
            client->SendChat(text, -2);
        else
            WriteLog("[mode] %s\n", text.c_str());
    }
    void SendChatLine(const std::string& text) override
    {
        if (GameClient* client = CurrentClient())
            client->SendChat(text, -1);
        else
            WriteLog("[mode] %s\n", text.c_str());
    }
    // Seam: the HUD message log (MessageLog::Add with the system speaker).
    void PostNotice(const std::string& text) override
    {
        WriteLog("[notice] %s\n", text.c_str());
        PlayEffect(kNoticeEffect);
    }

    bool HasGameClient() const override { return CurrentClient() != nullptr; }
    void SendGameModeState(const std::string& xml) override
    {
        if (GameClient* client = CurrentClient())
            client->SendGameModeState(xml);
    }

    int ServerState() const override { return CurrentServer() ? CurrentServer()->State() : 0; }
    void FreezeServer() override
    {
        if (GameServer* server = CurrentServer())
            server->FreezeTime();
    }
    void ThawServer() override
    {
        if (GameServer* server = CurrentServer())
            server->Resume();
    }

    void PlayEffect(int effect) override { soundManager.PlayEffect(effect, 1.0f); }
    // Seam: GameController::PlayEffectAt hears the point when it is in view; at the
    // listener until the game view exists.
    void PlayEffectAt(int effect, float, float) override { soundManager.PlayEffect(effect, 1.0f); }
    void PlayMusic(const std::string& file) override { soundManager.PlayMusic(file, false, false, 1.0f); }

    std::string SavePlayback(const std::string& outPath) override
    {
        if (!CurrentClient())
            return {};
        const std::string path = GameClient::PlaybackPath(outPath, outPath.find('\\') != std::string::npos);
        return !path.empty() && GameClient::SavePlayback(path, true) ? path : std::string();
    }

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
