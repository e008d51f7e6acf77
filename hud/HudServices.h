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
// Fills what the session asks of the HUD (session/SessionHooks.h: the in-game HUD of a
// level, the playback viewer's controls) and the HUD's part of the simulation's hooks
// (InstallHudGameHooks). Run once at start-up.
void InstallHudHooks();
// The HUD's part of the simulation's hooks (game/GameHooks.h): the history strip, the action
// belt, the score button, the end-of-level pop-ups, the stamp tool and the HUD's refresh.
void InstallHudGameHooks();

// The in-game HUD ("FLIMBS_HUD") of a level. What the simulation asks of the HUD goes through
// its hooks (game/GameHooks.h), which the HUD fills (hud/HudGameHooks.cpp).
// A level was loaded for play: the in-game HUD ("FLIMBS_HUD", with the game view) opens in
// place of one already open. Nothing without a graphics device (headless runs and tests
// that have none).
void OpenHudForLevel();
// Closes the in-game HUD when it is open (the session ends).
void CloseHudForLevel();

