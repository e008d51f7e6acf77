#include "net/LanRecord.h"

#include "app/XmlUtil.h"
#include "net/LanMulticast.h"

std::string BuildLanRecord(const LanServerRecord& r)
{
    XmlDocument doc = XmlNewDocument("flimbs-lan-broadcast");
    xmlNode* root = XmlRoot(doc.get());
    XmlSetAttrText(root, "serverID", r.serverId);
    XmlSetAttrText(root, "server_name", r.serverName);
    XmlSetAttrText(root, "level_guid", r.levelGuid);
    XmlSetAttrText(root, "level_title", r.levelTitle);
    XmlSetAttrInt(root, "gameMode", r.gameMode);
    XmlSetAttrInt(root, "players", r.players);
    XmlSetAttrInt(root, "max_players", r.maxPlayers);
    XmlSetAttrInt(root, "server_state", r.serverState);
    XmlSetAttrInt(root, "server_port", r.serverPort);
    XmlSetAttrInt(root, "game_version", r.gameVersion);
    XmlSetAttrText(root, "ss_client_id", r.ssClientId);
    return XmlDocumentText(doc.get());
}

void UpdateLanSender(LanMulticastSender& sender, uint32_t elapsedMs, const LanServerRecord& record)
{
    if (!sender.enabled || !sender.IsOpen())
        return;
    sender.elapsedMs += elapsedMs;
    if (sender.elapsedMs < sender.intervalMs)
        return;
    sender.elapsedMs = 0;
    const std::string text = BuildLanRecord(record);
    sender.Send(text.data(), static_cast<int>(text.size()));
}
