#pragma once
// Joining a multiplayer server from the command line.

// Opens the server search on the port. False when it could not be opened.
bool ConnectToServer(int port);

// Set by the lobby: every group takes part in the match even when nobody plays it. Off at
// program start; read by the game modes.
extern bool allGroupsActive;

// Opens the multiplayer menu "multiplayer_menu" over the menu backdrop; false (logged) when
// it could not be opened.
bool OpenMultiplayerMenu(int a, int b);

// The admin changed: the lobby ("pregame_menu") and the end-of-match screen
// ("MultiplayerEndOfMatchMenu") are rebuilt when open; nothing while neither exists.
void RefreshAdminScreens();
