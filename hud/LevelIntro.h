#pragma once
// The level intro pop-up: the level's title, picture, description and objective, the game
// mode's pre-game controls and the "START" button, faded in over the HUD when a level is
// about to be played. Nothing happens while the HUD window "FLIMBS_HUD" is not open. True
// when the pop-up was opened.
bool ShowLevelIntro();

class Button;
class Primitive;
// The "START" button's action: the level's match starts; the button is disabled, the pop-up
// fades out over 400 ms and closes, and the FlimbMaster display covers its emblem.
void StartLevelFromIntro(Primitive* parent, Button* button);

// Presses the open intro's "START" as a player's click does (headless tools and tests that
// play a level). False when no intro waits.
bool PressLevelIntroStart();
