#pragma once
// The record a hosting game announces on the LAN every second: one XML element
// "flimbs-lan-broadcast" whose attributes describe the match.
#include <cstdint>
#include <string>

class LanMulticastSender;

struct LanServerRecord {
    std::string serverId;
    std::string serverName;
    std::string levelGuid;
    std::string levelTitle;
    int gameMode = 0;
    int players = 0;
    int maxPlayers = 0;
    int serverState = 0;
    int serverPort = 0;
    int gameVersion = 124;
    std::string ssClientId;
};

// The record's text.
std::string BuildLanRecord(const LanServerRecord& record);
// Adds the elapsed time to the sender's clock; once its interval has passed, writes the
// record and sends it to the group (and starts counting again).
void UpdateLanSender(LanMulticastSender& sender, uint32_t elapsedMs, const LanServerRecord& record);
