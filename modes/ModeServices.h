#pragma once
// What the rest of the game asks of the game modes: the bonus items a player can earn,
// read from "Data\bonus_items.xml" at start-up, and the current game mode's operations
// (each gives the answer of "no game mode" until the modes exist).
#include <string>
#include <vector>

struct BonusItem {
    std::string type;
    int minQdots = 0;
    int minPoints = 0;
    int minFragments = 0;
    std::string levelBeaten;
    std::string description;
    std::string awardMessage;
    std::string filePath;
};

// Throws GameException "Invalid bonus item file" when the file is missing or malformed.
void LoadBonusItems();
const std::vector<BonusItem>& BonusItems();

struct Flimb;

// True while a game mode exists.
bool ModeExists();
// Whether the local player may command the flimb (true without a mode).
bool ModeAcceptsCommands(const Flimb& flimb);
// Whether the flimb may be selected (true without a mode).
bool ModeMaySelect(const Flimb& flimb);
// The mode is told of a flimb the world removes.
void ModeFlimbDied(Flimb& flimb);
// The mode's per-update step.
void ModeUpdate();
// Set once any game mode has started a match; nothing clears it.
bool ModeMatchStarted();
// The mode's key hook: true when the mode used the key (never without a mode).
bool ModeKeyHook(int key, int state);
