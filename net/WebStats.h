#pragma once
// The game's client of its web statistics service: it reports the start and the end of each
// level or match, asks for a level's record figures and the player's rank, checks site
// accounts and fetches the promotional picture. Each exchange is one HTTP POST of a `pb`
// message in the multipart field "data", run on a worker thread of its own; answers come
// back through two tables under one lock, which the game polls. Every operation is called
// on the main thread and returns at once.
//
// The service's address and the promotional pictures' folder are base URLs (build
// settings); an empty one means nothing is sent there.
#include "net/StatsSnapshot.h"

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>

struct WebStatsUrls {
    std::string stats; // folder of the service: "gamestart", "gameover" ... are appended
    std::string promo; // folder of the promotional pictures
};
// The base URLs the game was built with (CMake: FLIMBS_STATS_URL, FLIMBS_PROMO_URL).
WebStatsUrls BuiltWebStatsUrls();

// The promotional picture: local game path and remote file name.
constexpr const char* kPromoPicturePath = "Ads\\demo-ad-01.jpg";
constexpr const char* kPromoPictureName = "demo-ad-01.jpg";
// Answers larger than this are aborted and dropped; so is a larger picture.
constexpr size_t kMaxAnswerBytes = size_t(1) << 20;
constexpr size_t kMaxPictureBytes = size_t(8) << 20;

class WebStats {
public:
    explicit WebStats(WebStatsUrls urls);
    // Shuts down (see Shutdown).
    ~WebStats();
    WebStats(const WebStats&) = delete;
    WebStats& operator=(const WebStats&) = delete;

    void SetBaseUrls(WebStatsUrls urls);
    const WebStatsUrls& BaseUrls() const { return urls_; }
    // The start-up line naming the base URLs that are not set (none when both are).
    void LogConfiguration() const;

    // gamestart: the match and its players; in a single-player match the platform stat
    // "puzzle_sessions" goes up by one. The forms given only the level path take their record
    // from the session (TakeStatsSnapshot); this one first starts a new default match GUID.
    void SendGameStart(const std::string& levelPath);
    void SendGameStart(const std::string& levelPath, const StatsSnapshot& match);
    // gameover: the players' results and figures; a winner's leaderboard score is posted.
    void SendGameOver(const std::string& levelPath);
    void SendGameOver(const std::string& levelPath, const StatsSnapshot& match);
    // querystat: forgets the level's stored answer and asks again.
    void QueryLevelStats(const std::string& levelPath);
    void QueryLevelStats(const std::string& levelPath, const StatsSnapshot& match);
    // True when an answer for the level's file title is stored; copies it into `out`.
    bool GetLevelStats(const std::string& levelPath, LevelStatsResult* out) const;

    // validate: nothing when the account has an answer or a check under way.
    void ValidateAccount(const std::string& userName, const std::string& password);
    // The stored flag; false while there is no answer.
    bool IsAccountValid(const std::string& userName, const std::string& password) const;
    // ValidateAccount for every occupied player slot.
    void ValidateAllPlayers();
    void ValidateAllPlayers(const StatsSnapshot& match);

    // checkpromo: sends the local picture's CRC (0 without one); when the service says a
    // new picture exists it is downloaded and replaces the local one once complete.
    void CheckPromo();

    // Aborts the transfers under way and joins every worker; later requests are dropped.
    // Returns quickly even while a server never answers.
    void Shutdown();
    // Waits until no worker runs; false when `limitMs` passed first.
    bool WaitIdle(int limitMs) const;

    // The answer handlers the workers run (the fuzz target feeds them too): each stores
    // what parses and logs a refusal for the rest. The promotion handler says whether to
    // fetch the picture.
    void HandleQueryAnswer(const std::string& title, const std::string& body);
    void HandleValidateAnswer(const std::string& accountKey, const std::string& body);
    bool HandlePromoAnswer(const std::string& body);

private:
    friend struct WebStatsTransfers;
    struct Job;
    struct Transfer;
    struct Worker {
        std::thread thread;
        bool done = false;
    };
    using Completion = std::function<void(bool ok)>;

    // Starts a worker that posts and ignores the answer.
    void PostAsync(const std::string& url, std::string body);
    // Starts a worker that posts and hands the answer to the job's handler.
    void QueryAsync(std::unique_ptr<Job> job);
    void DownloadAsync(const std::string& localPath, const std::string& url, Completion completion);
    bool StartWorker(std::unique_ptr<Job> job, const char* failureFormat);
    void RunJob(Job& job);
    void RunDownload(Job& job);

    // One blocking POST of the body in the form field "data". With a target the answer is
    // collected there (AppendReply). True when the transfer completed with a 2xx status
    // within the size limit; anything else is logged.
    bool HttpPost(const std::string& body, const std::string& url, Transfer* target);
    // The write function of answers: appends under the lock; refuses past the limit.
    static size_t AppendReply(char* bytes, size_t size, size_t count, void* target);

    std::string ServiceUrl(const char* operation) const;

    WebStatsUrls urls_;
    mutable std::mutex mutex_;
    mutable std::condition_variable idle_;
    // Guarded by mutex_:
    std::map<std::string, LevelStatsResult> levelStats_;
    std::map<std::string, bool> accounts_;
    std::set<std::string> validating_;
    std::set<int> sockets_;
    std::list<Worker> workers_;
    // Set under mutex_, read by the transfers' callbacks.
    std::atomic<bool> stopping_{false};
};

// The game's one client.
WebStats& GlobalWebStats();
