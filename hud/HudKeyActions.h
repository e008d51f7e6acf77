#pragma once
// The HUD's key actions, handler(pressed) with pressed non-zero on key down and 0 on key up:
// ChatMode, ShowScores, SuperNova, ShowFlimbCounts, MiniMap, ChatHistory, LoadCheckpoint,
// SaveCheckpoint, Stamp, Decoration, FreezeTime, ShowFuture (the Quantum Time box), ShowFMView
// (the next universe of a Multiverse match), NextHistory, PrevHistory and PinFlimb (the history
// strip). Each does nothing when its window is not open.
#include <string>
#include <vector>

namespace HudKeyActions {
void ChatMode(int pressed);
void ShowScores(int pressed);
void SuperNova(int pressed);
void ShowFlimbCounts(int pressed);
void MiniMap(int pressed);
void ChatHistory(int pressed);
void LoadCheckpoint(int pressed);
void SaveCheckpoint(int pressed);
void Stamp(int pressed);
void Decoration(int pressed);
void FreezeTime(int pressed);
void ShowFuture(int pressed);
void ShowFMView(int pressed);
void NextHistory(int pressed);
void PrevHistory(int pressed);
void PinFlimb(int pressed);
// The sixteen action names.
const std::vector<std::string>& Names();
} // namespace HudKeyActions

// Gives the bindable actions of those names their handlers (the binding store calls them).
void RegisterHudKeyActions();
