#pragma once
// What the world and the controller ask of the in-game HUD ("FLIMBS_HUD"). Until the HUD
// exists each of these does nothing.
struct Flimb;

// The recent-flimbs strip takes an ordered flimb.
void HudAddToHistoryStrip(Flimb* flimb);
// The HUD is told the new selection.
void HudNoteSelection(Flimb* flimb);
// Hides the game view's action belt.
void HudHideBelt();
// The belt-lock key: the belt stays open while set.
void HudSetBeltLock(bool locked);
// The score key over the "ScoreButton" panel; false when there is no such panel.
bool HudPressScoreButton(bool down);
