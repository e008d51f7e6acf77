#pragma once
// Where the network layer reaches out to: the world server, the STUN server, the LAN
// announcement group, the port-forwarding help page. The defaults are the game's; the
// console variables "worldserver" and "stunserver" (host names, empty until configured)
// set the two hosts, and tests change any field directly.
#include <string>
#include <vector>

struct NetSettings {
    std::string worldServerHost; // empty: no world server configured
    int worldServerPort = 51334;
    std::string stunServerHost; // empty: no STUN server
    int stunServerPort = 3478;
    std::string lanGroup = "225.243.152.198";
    int lanPort = 53997;
    std::string portForwardingHelpUrl = "https://flimbs.example.org/help/port-forwarding";
    // Addresses ICE agents gather on besides the machine's own (the loopback address, which
    // ICE leaves out by itself, for tests). When any is given only these are used.
    std::vector<std::string> iceLocalAddresses;
    // Whether ICE agents ask the router for a port mapping (UPnP).
    bool iceUpnp = true;
};

NetSettings& GetNetSettings();
