#pragma once
// Joining a multiplayer server from the command line.

// Opens the server search on the port. False when it could not be opened.
bool ConnectToServer(int port);


// Opens the multiplayer menu "multiplayer_menu" over the menu backdrop; false (logged) when
// it could not be opened.
bool OpenMultiplayerMenu(int a, int b);
