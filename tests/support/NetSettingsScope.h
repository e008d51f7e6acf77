#pragma once
// Network settings for one test: loopback only, no UPnP, no STUN, no world server; the
// previous settings come back when the scope ends.
#include "net/NetSettings.h"

class NetSettingsScope {
public:
    NetSettingsScope() : saved_(GetNetSettings())
    {
        NetSettings& settings = GetNetSettings();
        settings.worldServerHost.clear();
        settings.stunServerHost.clear();
        settings.iceLocalAddresses = {"127.0.0.1"};
        settings.iceUpnp = false;
    }
    ~NetSettingsScope() { GetNetSettings() = saved_; }
    NetSettingsScope(const NetSettingsScope&) = delete;
    NetSettingsScope& operator=(const NetSettingsScope&) = delete;

private:
    NetSettings saved_;
};
