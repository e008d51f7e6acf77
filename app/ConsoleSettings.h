#pragma once
// The console variables of the player's settings and account that no subsystem owns on
// its own: the options and the profile read and assign them; the subsystems that act on
// them read them by name. Each is registered here once.
class ConsoleParam;

// "moviemode" (int, "0"): the front end installs its change handler.
ConsoleParam& MovieModeParam();
