#pragma once
// The actions of the HUD's controls (each takes the control that was used), the placing of
// a pop-up over the HUD, and the restart and level-change requests several of them share.
// Every effect on the match goes out as a request of the game client.
#include <memory>

class MessageLog;
class Primitive;
class PrimContainer;

// Anchored at its centre with margin 32 at x = 500 and the vertical centre of the HUD's
// game view; into the HUD's upper layer (upper) or lower layer, then shown. Returns the
// window (null, and the window deleted, without a HUD).
PrimContainer* PositionOverHud(std::unique_ptr<PrimContainer> window, bool upper);
// The mode's SaveProgress, then GAMEDATA with the level's file name: the server reloads
// the same level for everyone.
void RestartLevel();
// A LevelChangeWindow over the HUD (upper layer).
void ShowLevelChangeWindow();

// Camera: turn the game view so that gravity points down, up, left or right (500 ms).
void OrientCameraDown(Primitive* control);
void OrientCameraUp(Primitive* control);
void OrientCameraLeft(Primitive* control);
void OrientCameraRight(Primitive* control);
// "Auto-align camera with flimb": the box's state into "follow_selected".
void AutoAlignToggled(Primitive* control);
void ZoomIn(Primitive* control);
void ZoomOut(Primitive* control);
void ZoomNominal(Primitive* control);
// View option boxes.
void ShowFlimbCountsToggled(Primitive* control);
void HideOwnTeamToggled(Primitive* control);
void HideOtherTeamsToggled(Primitive* control);
// "Show mini map": fades the minimap window in (made on first use) or out.
void MiniMapToggled(Primitive* control);
// "Go SuperNova!": one SuperNova prompt slid in over the HUD.
void GoSuperNova(Primitive* control);
// "Set checkpoint": a save-mode checkpoint prompt and a pause request.
void SetCheckpoint(Primitive* control);
// "Show other FlimbMaster view": the other universe in a Multiverse match.
void ShowOtherView(Primitive* control);
// "Restore checkpoint": the only checkpoint loads, several open the prompt, none posts
// "No checkpoints have been saved for this puzzle.".
void RestoreCheckpoint(Primitive* control);
// A morph button of the HUD's belt: the selected flimb is ordered to take its type.
void OnMorphButton(Primitive* control);
// "Gulp Up" on the belt row: the keyboard focus back to the game view.
void FocusGameView(Primitive* control);
// The match's message log that the chat windows show.
MessageLog& HudMessageLog();
