#pragma once
// Joining a multiplayer server from the command line.

// Opens the server search on the port. False when it could not be opened.
bool ConnectToServer(int port);

// The match's maximum player count, set by the lobby (16 until it sets one); the game
// server refuses connections beyond it.
extern int maxPlayers;

// Opens the multiplayer menu "multiplayer_menu" over the menu backdrop; false (logged) when
// it could not be opened.
bool OpenMultiplayerMenu(int a, int b);
