#pragma once
// The session's console variables as its code reads them. The variables and commands
// themselves are registered in SessionConsole.cpp (the server's commands are offered only
// while a game server exists).
#include <string>

// "lag": milliseconds per network clock pulse, kept within [kMinLagMs, kMaxLagMs]: at most
// 100 pulses a second, and at least one a second (the playback controls' slowest pace).
constexpr int kMinLagMs = 10;
constexpr int kMaxLagMs = 1000;
int LagSetting();
// Sets "lag"; with announce, a running server broadcasts the new pace (SET_HOST_VARIABLE 16).
void SetLagSetting(int ms, bool announce = true);
// "serverPORT" (registered by the global configuration) and "connectPORT".
int ServerPortSetting();
int ConnectPortSetting();
std::string ConnectAddressSetting();
bool PublicServerSetting();
bool AutoPauseSetting();
bool StatsMatchSetting();
// "debug_mode": the command log lines of the client and the server.
bool SessionVerbose();
// "god" or "demigod".
bool GodModeSetting();
std::string UserNameSetting();
std::string PasswordSetting();
int LoadQuickSetting();
void SetLoadQuickSetting(int value);
// The match's maximum player count, set by the lobby (16 until it sets one); the game
// server refuses connections beyond it.
extern int maxPlayers;
int MaxPlayersSetting();
void SetMaxPlayersSetting(int players);
// The in-match name lock: "username" and "password" refuse changes while it is on.
void SetNameLock(bool locked);
// "username"'s filter: letters, digits, blank, '@', '_', '.', apostrophe and '-', at most
// 24 characters; an empty result becomes "PlayerX".
std::string FilterUserName(const std::string& name);
