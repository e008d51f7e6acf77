#pragma once
// The landscape's keys: the debugging keys it takes when its children and the game mode
// leave a key alone, and the two keys that move the selection to the next flimb left or
// right. (The landscape panel routes its keys here.)
#include <cstdint>

// DirectInput codes of the debugging keys.
// The sound played where a selection moves away from.
constexpr int kFlimbSelectEffect = 13;

// A key event that none of the landscape's children took: while the game runs or is
// paused the game mode's key hook sees it first; while it runs a key press acts:
//   Insert (with "god" or "demigod" and "debug_mode", the game view open): the game server
//     makes a flimb at the mouse point for the local group, or for group 0-3 while key 1-4
//     is held, with variant 1-3 while key 5-7 is held;
//   F11 (with "god", the game view open): a debugging particle at the mouse point.
// state: 0 released, 1 pressed, 2 repeated. True when the key was used.
class IInputDevice;
// `device` names the key for the mode's hook (the keyboard when null).
bool LandscapeOnKey(int key, int state, const IInputDevice* device = nullptr);

// "LeftFlimb" / "RightFlimb": on a press, while the game is not paused and a flimb is
// selected, selects the nearest flimb left (right) of it within 200 pixels and 25 above.
void SelectFlimbLeft(bool down);
void SelectFlimbRight(bool down);
