#pragma once
#include <cstdint>
#include <string>

// What the shell and the game ask of the in-game HUD. Most of the HUD is not part of the
// game yet: those calls do nothing (or log) until it is.

// The shell: the console's start and its view's toggle, the global popup's step and the
// HUD's shutdown.
void StartConsole();      // "loading console..": lines are stored from now on
void ToggleConsole();     // the shell action "toggleconsole"
void UpdateGlobalPopup(); // the open global popup, when there is one
void ShutdownHud();       // the console stops and its view goes

// What the world and the controller ask of the in-game HUD ("FLIMBS_HUD"); each does
// nothing until the HUD exists.
struct Flimb;

// The recent-flimbs strip takes an ordered flimb.
void HudAddToHistoryStrip(Flimb* flimb);
// The HUD is told the new selection.
void HudNoteSelection(Flimb* flimb);
// Opens the HUD's action belt on the flimb (the game view: a press while a flimb is
// selected); hides it; whether it is open.
void HudOpenBelt(const Flimb* flimb);
void HudHideBelt();
bool HudBeltOpen();
// The belt's icon of one of its twelve slots (null until the HUD has a belt).
class AnimSurface;
AnimSurface* HudBeltSlotIcon(int slot);
// The game view's stamp tool overlay (StampUI) of that name: a hidden, empty panel until
// the HUD builds the tool bar.
class Primitive;
Primitive* HudMakeStampUI(const std::string& name);
// A press on the landscape while the window "FLIMBS_HUD" or "PlaybackVCR" is open: the
// HUD's "MinimapCheckBox" is told (nothing until the HUD has one).
void HudLandscapePressed();
// The belt-lock key: the belt stays open while set.
void HudSetBeltLock(bool locked);
// The score key over the "ScoreButton" panel; false when there is no such panel.
bool HudPressScoreButton(bool down);

// Shows a line in the chat in an ARGB colour. Until the HUD's chat exists the line goes to
// the log.
void PostChatLine(const std::string& text, uint32_t argb);
