#pragma once
// Writes "Cache\Settings\global_config.xml" from the game window and the display as they
// are now (the main menu's first update, "Quit the game", the options' "Okay").
bool WriteGlobalConfigNow();
