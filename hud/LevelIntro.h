#pragma once
// The level intro pop-up: the level's title, picture, description and objective, the game
// mode's pre-game controls and the "START" button, faded in over the HUD when a level is
// about to be played. Nothing happens while the HUD window "FLIMBS_HUD" is not open.
void ShowLevelIntro();
