#pragma once
// What the match rules do beyond the world: chat lines and local notices, requests to the
// game server, sounds and music, the match recording, the HUD's pop-ups and the
// end-of-match screen, and the statistics upload. The game's adapter reaches the session,
// the HUD and the statistics client; tests install a recorder (SetMatchEffects).
#include "modes/GameStat.h"

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
// Tests install their own; null goes back to the game's adapter. Not owned.
void SetMatchEffects(MatchEffects* effects);
