#include "modes/MatchEffects.h"

#include "app/Log.h"
#include "game/GameHooks.h"

namespace {

// Without the session's adapter (a headless program that has no session): lines go to the
// log, nothing is sent, played, saved or shown.
class HeadlessEffects final : public MatchEffects {
public:
    void SendChat(const std::string& text) override { WriteLog("[mode] %s\n", text.c_str()); }
    void SendChatLine(const std::string& text) override { WriteLog("[mode] %s\n", text.c_str()); }
    void PostNotice(const std::string& text) override { WriteLog("[notice] %s\n", text.c_str()); }

    bool HasGameClient() const override { return false; }
    void SendGameModeState(const std::string&) override {}
    void SendUpdateGroup(int) override {}
    void SendModifierState(int, int32_t) override {}
    void SendNetBash(const NetBashRequest&) override {}
    void SendUpdateFlimbType(int32_t, int, int, int32_t) override {}
    void SendHighlight(int32_t) override {}
    void SendTeamChange(int) override {}
    void SendBattleSkill(int) override {}
    void SendSetHostVariable(int, int32_t) override {}

    int ServerState() const override { return 0; }
    void FreezeServer() override {}
    void ThawServer() override {}

    void PlayEffect(int) override {}
    void PlayEffectAt(int, float, float) override {}
    void PlayMusic(const std::string&) override {}

    std::string SavePlayback(const std::string&) override { return {}; }
    void ClearPlaybackSlots() override {}
    bool LoadPlayback(const std::string&) override { return false; }
    std::string SavePlaybackAs(const std::string&) override { return {}; }
    void LoadCheckpoint(bool, int) override {}
    void RefreshHudCheckpoints() override {}
    void ShowDamageLabel(int32_t, const std::string&) override {}

    bool IsHudOpen() const override { return false; }
    void CloseHudPopups() override {}
    void AttachModifier(GameModifier*) override {}
    void ShowEndOfMatchScreen(std::vector<GroupStats>) override {}
    void QueueEndOfLevelPopups(const std::vector<EndOfLevelPopup>& popups) override
    {
        for (const EndOfLevelPopup& popup : popups)
            WriteLog("End of level pop-up %d: %s\n", int(popup.kind), popup.text.c_str());
    }
    void UploadResult(const std::string&) override {}
};

MatchEffects* g_installedEffects = nullptr;

} // namespace

MatchEffects& CurrentMatchEffects()
{
    static HeadlessEffects headless;
    if (g_installedEffects)
        return *g_installedEffects;
    if (MatchEffects* game = CurrentGameHooks().matchEffects)
        return *game;
    return headless;
}

void SetMatchEffects(MatchEffects* effects)
{
    g_installedEffects = effects;
}
