#pragma once
#include <string>

// What the shell and the game ask of the in-game HUD. Most of the HUD is not part of the
// game yet: those calls do nothing (or log) until it is.

// The shell: the console's start and its view's toggle, the global popup's step and the
// HUD's shutdown.
void StartConsole();      // "loading console..": lines are stored from now on; the HUD's
                          // key actions get their handlers
void ToggleConsole();     // the shell action "toggleconsole"
void CloseConsole();      // the shell action "closeconsole": closes an open console view
void UpdateGlobalPopup(); // the open global popup, when there is one
void ShutdownHud();       // the console stops and its view goes

// The in-game HUD ("FLIMBS_HUD") of a level. What the simulation asks of the HUD goes through
// its hooks (game/GameHooks.h), which the HUD fills (hud/HudGameHooks.cpp).
// A level was loaded for play: the in-game HUD ("FLIMBS_HUD", with the game view) opens in
// place of one already open. Nothing without a graphics device (headless runs and tests
// that have none).
void OpenHudForLevel();
// Closes the in-game HUD when it is open (the session ends).
void CloseHudForLevel();

// The key actions of the HUD (the key binding table's handlers): pressed is non-zero on
// key down and 0 on key up. Each does nothing while its window is not open, which until
// the HUD window exists is always.
void HudChatModeKey(int pressed);
void HudSuperNovaKey(int pressed);
void HudShowFlimbCountsKey(int pressed);
void HudMiniMapKey(int pressed);
void HudChatHistoryKey(int pressed);
void HudLoadCheckpointKey(int pressed);
void HudSaveCheckpointKey(int pressed);
void HudStampKey(int pressed);
void HudDecorationKey(int pressed);
void HudFreezeTimeKey(int pressed);
// The actions of the HUD's Quantum Time box, other-view button, history strip and hints.
void HudShowFutureKey(int pressed);
void HudShowFMViewKey(int pressed);
void HudShowHintKey(int pressed);
void HudNextHistoryKey(int pressed);
void HudPrevHistoryKey(int pressed);
void HudPinFlimbKey(int pressed);
