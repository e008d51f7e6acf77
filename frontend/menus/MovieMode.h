#pragma once
// The change handler of the console variable "moviemode": fixed 60 Hz steps of the game
// clock with the recording (1) or playback (2) of mouse and keyboard input, video capture
// (2, 3), or back to real time (any other value). 1 and 2 first leave any running game for
// the front end.
class ConsoleParam;

void MovieModeChanged(ConsoleParam& moviemode);
