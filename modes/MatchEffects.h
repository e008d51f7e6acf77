#pragma once
// What the match rules do beyond the world: chat lines and local notices, requests to the
// game server, sounds and music, the match recording, the HUD's pop-ups and the
// end-of-match screen, and the statistics upload. The game's adapter, which the session
// puts into the simulation's hooks (game/GameHooks.h), reaches the session, the HUD and the
// statistics client; tests install a recorder (SetMatchEffects).
#include "modes/GameStat.h"

#include <cstdint>
#include <string>
#include <vector>

class GameModifier;

// One end-of-level pop-up, in the order they are shown.
struct EndOfLevelPopup {
    enum class Kind { MatchResult, FlimbMasterUnlocked, BonusItemUnlocked, FinalVideo };
    Kind kind = Kind::MatchResult;
    std::string text; // the outcome message, the FlimbMaster's or the bonus item's name
    std::string path = {};    // the FlimbMaster's picture, the bonus item's file
    std::string type = {};    // a bonus item's type word: "Decoration", "Stamp" or "Level"
    std::string message = {}; // a bonus item's award message
};

// A NETBASH request: a brush image stamped into the landscape on every peer.
struct NetBashRequest {
    std::string brush;        // game path of the brush image
    int32_t x = 0, y = 0;     // world point
    float scaleX = 1.0f, scaleY = 1.0f;
    float rotation = 0.0f;    // radians
    uint32_t mode = 1;        // the bash mode (the statue modifier: 2 for its third statue)
    uint32_t colour = 0;      // ARGB
};

class MatchEffects {
public:
    virtual ~MatchEffects() = default;

    // A chat line to every player with the speaker -2 (an announcement).
    virtual void SendChat(const std::string& text) = 0;
    // A chat line of the local player to every player.
    virtual void SendChatLine(const std::string& text) = 0;
    // A system notice in the local HUD message log, with sound effect 12.
    virtual void PostNotice(const std::string& text) = 0;

    // Requests of the game client; nothing happens without one.
    virtual bool HasGameClient() const = 0;
    // GAME_MODE_OPTIONS with the "game-mode-state" document.
    virtual void SendGameModeState(const std::string& xml) = 0;
    // UPATE_GROUP: the group goes SuperNova (-1: the local player's group).
    virtual void SendUpdateGroup(int group) = 0;
    // UPATE_MODIFIER: the modifier of that type acts on the flimb on every peer.
    virtual void SendModifierState(int modifierType, int32_t flimbId) = 0;
    virtual void SendNetBash(const NetBashRequest& bash) = 0;
    // UPDATE_FLIMB_TYPE: flimb id, new type, sub-kind byte, 32-bit argument.
    virtual void SendUpdateFlimbType(int32_t flimbId, int type, int subKind, int32_t argument) = 0;
    // HIGHLIGHT of the local player (-1: none).
    virtual void SendHighlight(int32_t flimbId) = 0;
    // TEAMCHANGE of the local player to the group.
    virtual void SendTeamChange(int group) = 0;
    // BATTLESKILL with the difficulty (0 Easy, 1 Medium, 2 Hard).
    virtual void SendBattleSkill(int difficulty) = 0;
    // SET_HOST_VARIABLE (18: pause 1, resume 0).
    virtual void SendSetHostVariable(int variable, int32_t value) = 0;

    // The game server's freeze: state 4, the state before it kept to go back to.
    virtual int ServerState() const = 0;
    // Enters state 4 and broadcasts FREEZETIME.
    virtual void FreezeServer() = 0;
    // Goes back to the state before the freeze.
    virtual void ThawServer() = 0;

    virtual void PlayEffect(int effect) = 0;
    // A sound at a world point (heard when the point is in view).
    virtual void PlayEffectAt(int effect, float x, float y) = 0;
    // A music track of Sounds\Music, once, at full volume.
    virtual void PlayMusic(const std::string& file) = 0;

    // Saves the match recording; the path it was saved under, empty on failure.
    virtual std::string SavePlayback(const std::string& outPath) = 0;
    // The game client's playback slots: all emptied; a recording loaded into the first
    // free one (false when the loader refused it and reported why); what slot 0 holds
    // saved under a path (the path, empty on failure).
    virtual void ClearPlaybackSlots() = 0;
    virtual bool LoadPlayback(const std::string& path) = 0;
    virtual std::string SavePlaybackAs(const std::string& path) = 0;
    // Restarts the level from a checkpoint (the automatic one, or a player's slot 0 .. 3).
    virtual void LoadCheckpoint(bool automatic, int slot) = 0;
    // The HUD's checkpoint display after a checkpoint was saved.
    virtual void RefreshHudCheckpoints() = 0;
    // The floating damage text over a flimb, red; replaces its previous one.
    virtual void ShowDamageLabel(int32_t flimbId, const std::string& text) = 0;

    virtual bool IsHudOpen() const = 0;
    // The HUD's two pop-up layers close their children.
    virtual void CloseHudPopups() = 0;
    // Lays a modifier over the HUD's main container (the mode keeps owning it).
    virtual void AttachModifier(GameModifier* modifier) = 0;
    // The multiplayer end-of-match screen over the HUD, with sound effect 19.
    virtual void ShowEndOfMatchScreen(std::vector<GroupStats> table) = 0;
    // The pop-ups shown one after another over the HUD, the first with sound effect 19.
    virtual void QueueEndOfLevelPopups(const std::vector<EndOfLevelPopup>& popups) = 0;
    // Reports the level's result to the statistics service and asks for its records.
    virtual void UploadResult(const std::string& levelPath) = 0;
};

MatchEffects& CurrentMatchEffects();
// Tests install their own; null goes back to the game's adapter (without one, a headless
// stand-in that only logs). Not owned.
void SetMatchEffects(MatchEffects* effects);
