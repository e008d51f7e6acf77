// The game's MatchEffects, installed into the simulation's hooks by the session. Sound and
// music go to the sound manager, notices into the game's message log, damage labels over
// their flimbs, the modifiers onto the HUD window, the end-of-level pop-ups into the HUD's
// queue (through the simulation's hooks), checkpoints to the game controller, the level's
// result to the statistics client, and chat, requests, the server's freeze, the recording
// and the playback slots to the game session; the multiplayer end-of-match screen waits for
// the multiplayer screens (marked "seam") and writes a log line meanwhile.
#include "session/GameMatchEffects.h"

#include "app/GameException.h"
#include "app/Log.h"
#include "game/GameHooks.h"
#include "app/SimMath.h"
#include "game/GameController.h"
#include "gui/GuiClock.h"
#include "gui/Label.h"
#include "gui/PrimContainer.h"
#include "gui/WindowList.h"
#include "media/SoundManager.h"
#include "modes/GameModifier.h"
#include "modes/MatchEffects.h"
#include "net/WebStats.h"
#include "session/GameClient.h"
#include "session/GameServer.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"

namespace {

constexpr int kNoticeEffect = 12;

// A flimb's damage text: red over the flimb for a second, fading over the last 750 ms; then
// it closes, and the flimb lets it go.
class DamageLabel final : public Label {
public:
    static constexpr uint32_t kLifeMs = 1000;
    static constexpr uint32_t kFadeMs = 750;

    explicit DamageLabel(const std::string& text) : Label(0, 0xFFFF0000, kLabelCentre, text), born_(GuiNow())
    {
        SetScale(0.8f);
        FitToText();
        hAlign = kAlignHCentre;
        vAlign = kAlignBottom;
    }
    void Draw() override
    {
        const uint32_t age = GuiNow() - born_;
        if (age >= kLifeMs) {
            active = 0;
            return;
        }
        const uint32_t left = kLifeMs - age;
        if (left < kFadeMs)
            alpha = static_cast<uint8_t>(alpha * left / kFadeMs);
        Label::Draw();
    }

private:
    uint32_t born_;
};

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
    // The local player's own line in the message log the HUD shows.
    void PostNotice(const std::string& text) override
    {
        Controller().messages.Add(text, -1);
        PlayEffect(kNoticeEffect);
    }

    bool HasGameClient() const override { return CurrentClient() != nullptr; }
    void SendGameModeState(const std::string& xml) override
    {
        if (GameClient* client = CurrentClient())
            client->SendGameModeState(xml);
    }
    void SendUpdateGroup(int group) override
    {
        if (GameClient* client = CurrentClient())
            client->SendUpdateGroup(group);
    }
    void SendModifierState(int type, int32_t flimbId) override
    {
        if (GameClient* client = CurrentClient())
            client->SendModifierState(uint8_t(type), int16_t(flimbId));
    }
    void SendNetBash(const NetBashRequest& bash) override
    {
        GameClient* client = CurrentClient();
        if (!client)
            return;
        NetBashArgs args;
        args.brushFile = bash.brush;
        args.a = bash.x;
        args.b = bash.y;
        args.scaleX = bash.scaleX;
        args.scaleY = bash.scaleY;
        args.rotation = bash.rotation;
        args.c = bash.mode;
        args.d = bash.colour;
        args.e = 0xFFFFFFFFu; // every material
        args.flag = 1;        // centred on the point
        client->SendNetBash(args);
    }
    void SendUpdateFlimbType(int32_t flimbId, int type, int subKind, int32_t argument) override
    {
        ::SendUpdateFlimbType(int16_t(flimbId), uint8_t(type), uint8_t(subKind), argument);
    }
    void SendHighlight(int32_t flimbId) override { ::SendHighlight(int16_t(flimbId)); }
    void SendTeamChange(int group) override
    {
        const uint8_t local = LocalPlayerNumber();
        if (GameClient* client = CurrentClient(); client && local < 16)
            client->SendTeamChange(local, uint8_t(group));
    }
    // BATTLESKILL is no client request: the hosting game's server announces it itself.
    void SendBattleSkill(int difficulty) override
    {
        if (GameServer* server = CurrentServer())
            server->Broadcast(MakeBattleSkill(uint32_t(difficulty)));
        else
            WriteLog("[mode] BATTLESKILL %d needs the hosting game\n", difficulty);
    }
    void SendSetHostVariable(int variable, int32_t value) override
    {
        if (GameClient* client = CurrentClient())
            client->SendSetHostVariable(uint32_t(variable), uint32_t(value));
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
    void PlayEffectAt(int effect, float x, float y) override
    {
        Controller().PlayEffectAt(effect, RoundToInt(x), RoundToInt(y));
    }
    void PlayMusic(const std::string& file) override { soundManager.PlayMusic(file, false, false, 1.0f); }

    std::string SavePlayback(const std::string& outPath) override
    {
        if (!CurrentClient())
            return {};
        const std::string path = GameClient::PlaybackPath(outPath, outPath.find('\\') != std::string::npos);
        return !path.empty() && GameClient::SavePlayback(path, true) ? path : std::string();
    }
    void ClearPlaybackSlots() override { GameClient::ClearPlaybackSlots(); }
    bool LoadPlayback(const std::string& path) override
    {
        try {
            GameClient::LoadPlayback(path);
            return true;
        } catch (const GameException& failure) {
            WriteLog("%s\n", failure.what());
            return false;
        }
    }
    std::string SavePlaybackAs(const std::string& path) override
    {
        const bool full = path.find('\\') != std::string::npos;
        return GameClient::SavePlaybackAs(path, full) ? GameClient::PlaybackPath(path, full) : std::string();
    }
    void LoadCheckpoint(bool automatic, int slot) override { Controller().LoadCheckpoint(!automatic, slot); }
    void RefreshHudCheckpoints() override { HudRefresh(); }
    // The text floats over the flimb as its tag, in red, replacing the one before.
    void ShowDamageLabel(int32_t flimbId, const std::string& text) override
    {
        Flimb* flimb = FindFlimbById(flimbId);
        if (!flimb)
            return;
        auto* label = new DamageLabel(text);
        DestroyFlimbTag(*flimb);
        flimb->tag = label;
        flimb->PlaceTag();
    }

    bool IsHudOpen() const override { return FindOpenWindow("FLIMBS_HUD") != nullptr; }
    void CloseHudPopups() override { HudClosePopups(); }
    // The HUD window is its main container.
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

} // namespace

MatchEffects& GameMatchEffects()
{
    static GameEffectsAdapter adapter;
    return adapter;
}
