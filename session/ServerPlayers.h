#pragma once
// What the game server's parts share: the match's players as the game controller holds
// them.
#include <array>
#include <cstdint>
#include <string>

struct PlayerRecord;

namespace server {

// The player with that number, or null.
PlayerRecord* FindPlayer(int id);
// Players who are no spectators.
int CountParticipants();
// The group a joining player gets: the first group of the level without a player (any
// group when the level marks none), or -1 when all are taken.
int ChooseFreeGroup();
std::string HexGuid(const std::array<uint8_t, 16>& guid);

constexpr int kEffectNotice = 12;
constexpr int kEffectBadRequest = 37;
constexpr int kEffectJoined = 26;
constexpr int kEffectRefused = 23;

} // namespace server
