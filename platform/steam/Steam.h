#pragma once
// The storefront platform's calls, kept in a local store: stats, achievements, leaderboard
// scores and cloud files live as files under a folder the caller names (the user folder).
// Init succeeds unless FLIMBS_STEAM_FAIL=1 is set in the environment (tests of failure).
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform::steam {

bool Init(const std::string& storeFolder);
// Writes pending stats and closes the store; safe when Init never ran.
void Shutdown();
bool IsInitialised();

// Callbacks queued by the calls below run here, on the caller's thread, in queue order.
void RunCallbacks();
void QueueCallback(std::function<void()> callback);

// Set by the game whenever it changed a stat; the main loop then stores them.
extern bool statsChanged;

bool GetStat(const std::string& name, int32_t& value);
bool SetStat(const std::string& name, int32_t value);
bool GetStat(const std::string& name, float& value);
bool SetStat(const std::string& name, float value);
// Writes the stats and achievements; queues the stored callback with the result.
bool StoreStats(std::function<void(bool ok)> onStored = {});

bool SetAchievement(const std::string& name);
bool ClearAchievement(const std::string& name);
bool GetAchievement(const std::string& name, bool& achieved);

struct LeaderboardEntry {
    std::string board;
    int32_t score = 0;
};
// Keeps the better (higher) score unless `forceUpdate`; the callback gets the kept score.
bool UploadScore(const std::string& board, int32_t score, bool forceUpdate,
                 std::function<void(bool ok, int32_t kept)> onUploaded = {});
bool GetScore(const std::string& board, int32_t& score);

// Cloud files: plain names only (no folders, no "..").
bool FileWrite(const std::string& name, const std::string& data);
bool FileRead(const std::string& name, std::string& data);
bool FileExists(const std::string& name);
bool FileDelete(const std::string& name);
std::vector<std::string> ListFiles();

} // namespace platform::steam
