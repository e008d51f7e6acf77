#pragma once
// The shell's fixed key bindings and what its key actions do.
//
// Escape is the player's "back" key: screens take it first (the menu backdrop goes back a
// screen, windows close). What no screen takes only closes an open console view; Escape
// never opens the developer console, which would surprise a player at the main menu or in a
// game. The console opens and closes on the key under Escape, "GRAVE".

// Binds the fixed keys in their order and installs the shell action hooks; a key that
// cannot be bound is logged.
void BindShellKeys();
