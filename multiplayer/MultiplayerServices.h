#pragma once
// Joining a multiplayer server from the command line.

// Opens the server search on the port. False when it could not be opened.
bool ConnectToServer(int port);
