#pragma once
#include <cstdint>
#include <string>
#include <vector>

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
// Fills what the session asks of the HUD (session/SessionHooks.h): the in-game HUD of a
// level, the recent-flimbs strip and the playback viewer's controls. Run once at start-up.
void InstallHudHooks();

// What the world and the controller ask of the in-game HUD ("FLIMBS_HUD"); each does
// nothing until the HUD exists.
struct Flimb;

// A level was loaded for play: the in-game HUD ("FLIMBS_HUD", with the game view) opens in
// place of one already open. Nothing without a graphics device (headless runs and tests
// that have none).
void OpenHudForLevel();
// Closes the in-game HUD when it is open (the session ends).
void CloseHudForLevel();

// The recent-flimbs strip takes an ordered flimb.
void HudAddToHistoryStrip(Flimb* flimb);
// The HUD is told the new selection.
void HudNoteSelection(Flimb* flimb);
// Opens the HUD's action belt on the flimb (the game view: a press while a flimb is
// selected); hides it; whether it is open.
void HudOpenBelt(const Flimb* flimb);
void HudHideBelt();
bool HudBeltOpen();
// The belt's icon of the slot that orders an action code (the order types; 132 the Gulp
// variant); null without a belt or such a slot.
class AnimSurface;
const AnimSurface* HudBeltIconForAction(int action);
// A press on the landscape while the window "FLIMBS_HUD" or "PlaybackVCR" is open: the
// HUD's "MinimapCheckBox" is told (nothing until the HUD has one).
void HudLandscapePressed();
// The belt-lock key: the belt stays open while set.
void HudSetBeltLock(bool locked);
// The score key over the "ScoreButton" panel; false when there is no such panel.
bool HudPressScoreButton(bool down);

// The end-of-level pop-ups a finished single-player match queues: shown over the HUD one
// after another (the first with sound effect 19), each opening when the one before it
// closes. False (nothing shown) without the HUD window.
struct EndOfLevelPopup;
bool HudQueueEndOfLevelPopups(const std::vector<EndOfLevelPopup>& popups);
// The HUD's two pop-up layers close their children.
void HudClosePopups();

// Shows a line in the chat (the game's message log, as a system line) and in the log.
void PostChatLine(const std::string& text, uint32_t argb);
