#include "multiplayer/MultiplayerServices.h"

#include "app/Log.h"

bool ConnectToServer(int port)
{
    // The server search window is not part of this build yet.
    WriteLog("Cannot connect on port %d: no multiplayer front end available\n", port);
    return false;
}


bool OpenMultiplayerMenu(int, int)
{
    WriteLog("Cannot open the multiplayer menu: no multiplayer front end available\n");
    return false;
}
