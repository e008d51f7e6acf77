#pragma once
// The HUD's key actions, handler(pressed) with pressed non-zero on key down and 0 on key up:
// ChatMode, ShowScores, SuperNova, ShowFlimbCounts, MiniMap, ChatHistory, LoadCheckpoint,
// SaveCheckpoint, Stamp, Decoration and FreezeTime. Each does nothing when its window is not
// open.
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
// The eleven action names.
const std::vector<std::string>& Names();
} // namespace HudKeyActions

// Gives the bindable actions of those names their handlers (the binding store calls them).
void RegisterHudKeyActions();
