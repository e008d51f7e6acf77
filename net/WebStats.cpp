#include "net/WebStats.h"

#include "app/AtomicFile.h"
#include "app/FileManager.h"
#include "app/Log.h"
#include "app/SteamStats.h"
#include "app/UserFolders.h"
#include "net/StatsReport.h"

#include <curl/curl.h>

#include <chrono>
#include <cstdio>
#include <sys/socket.h>
#include <system_error>
#include <unistd.h>

namespace {

constexpr long kConnectTimeoutSeconds = 10;
constexpr long kTransferTimeoutSeconds = 20;
constexpr long kMaxRedirects = 10;

std::string AccountKey(const std::string& userName, const std::string& password)
{
    return userName + "\n" + password;
}

} // namespace

// A request: made by the operation on the main thread, owned by its worker.
struct WebStats::Job {
    enum class Kind { Post, Query, Validate, Promo, Download };
    Kind kind = Kind::Post;
    std::string url;
    std::string body;       // the serialised message (may hold NUL bytes)
    std::string key;        // level title, account key or local host path
    std::string pictureUrl; // promotion: where a new picture is fetched from ("" none)
    Completion completion;  // download: run at the end with the outcome
};

// What a transfer writes to: the answer text (under the client's lock) or a file.
struct WebStats::Transfer {
    WebStats* client = nullptr;
    std::string reply;
    std::FILE* file = nullptr;
    size_t limit = kMaxAnswerBytes;
    size_t received = 0;
    bool oversized = false;
    bool writeFailed = false;
};

// libcurl's callbacks, with the exact signatures it calls.
struct WebStatsTransfers {
    static size_t Discard(char*, size_t size, size_t count, void* target)
    {
        auto* transfer = static_cast<WebStats::Transfer*>(target);
        return transfer->client->stopping_ ? 0 : size * count;
    }

    static size_t WriteFile(char* bytes, size_t size, size_t count, void* target)
    {
        auto* transfer = static_cast<WebStats::Transfer*>(target);
        const size_t length = size * count;
        if (transfer->client->stopping_)
            return 0;
        if (transfer->received + length > transfer->limit) {
            transfer->oversized = true;
            return 0;
        }
        if (std::fwrite(bytes, 1, length, transfer->file) != length) {
            transfer->writeFailed = true;
            return 0;
        }
        transfer->received += length;
        return length;
    }

    static int Progress(void* client, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
    {
        return static_cast<WebStats*>(client)->stopping_ ? 1 : 0;
    }

    // Sockets are registered so that Shutdown can wake a transfer that waits on one.
    static curl_socket_t OpenSocket(void* clientData, curlsocktype, curl_sockaddr* address)
    {
        auto* client = static_cast<WebStats*>(clientData);
        std::lock_guard lock(client->mutex_);
        if (client->stopping_)
            return CURL_SOCKET_BAD;
        const int fd = ::socket(address->family, address->socktype | SOCK_CLOEXEC, address->protocol);
        if (fd < 0)
            return CURL_SOCKET_BAD;
        client->sockets_.insert(fd);
        return fd;
    }

    static int CloseSocket(void* clientData, curl_socket_t fd)
    {
        auto* client = static_cast<WebStats*>(clientData);
        std::lock_guard lock(client->mutex_);
        client->sockets_.erase(fd);
        return ::close(fd);
    }

    static void SetCommonOptions(WebStats& client, CURL* handle, const std::string& url, char* errorBuffer,
                                 WebStats::Transfer& transfer)
    {
        curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
        curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, errorBuffer);
        curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
        curl_easy_setopt(handle, CURLOPT_TIMEOUT, kTransferTimeoutSeconds);
        curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
        curl_easy_setopt(handle, CURLOPT_MAXREDIRS, kMaxRedirects);
        curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
        curl_easy_setopt(handle, CURLOPT_FAILONERROR, 1L);
        curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(handle, CURLOPT_FORBID_REUSE, 1L);
        curl_easy_setopt(handle, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(transfer.limit));
        curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
        curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, Progress);
        curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &client);
        curl_easy_setopt(handle, CURLOPT_OPENSOCKETFUNCTION, OpenSocket);
        curl_easy_setopt(handle, CURLOPT_OPENSOCKETDATA, &client);
        curl_easy_setopt(handle, CURLOPT_CLOSESOCKETFUNCTION, CloseSocket);
        curl_easy_setopt(handle, CURLOPT_CLOSESOCKETDATA, &client);
        curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
    }

    // Logs what went wrong; true for a complete 2xx answer within the limit.
    static bool Finish(CURL* handle, CURLcode code, const char* errorBuffer, const WebStats::Transfer& transfer,
                       const std::string& url)
    {
        if (transfer.oversized)
            WriteLog("Statistics answer refused: more than %zu bytes from %s\n", transfer.limit, url.c_str());
        if (code != CURLE_OK) {
            WriteLog("Curl Error: %s\n", errorBuffer[0] ? errorBuffer : curl_easy_strerror(code));
            return false;
        }
        long status = 0;
        curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
        if (status < 200 || status > 299) {
            WriteLog("Statistics answer refused: HTTP status %ld from %s\n", status, url.c_str());
            return false;
        }
        return true;
    }
};

WebStats::WebStats(WebStatsUrls urls) : urls_(std::move(urls)) {}

WebStats::~WebStats()
{
    Shutdown();
}

void WebStats::SetBaseUrls(WebStatsUrls urls)
{
    urls_ = std::move(urls);
}

void WebStats::LogConfiguration() const
{
    if (urls_.stats.empty() && urls_.promo.empty())
        WriteLog("Web statistics: no service or picture address configured; nothing is reported\n");
    else if (urls_.stats.empty())
        WriteLog("Web statistics: no service address configured; nothing is reported\n");
    else if (urls_.promo.empty())
        WriteLog("Web statistics: no picture address configured; no promotional picture is fetched\n");
}

std::string WebStats::ServiceUrl(const char* operation) const
{
    std::string url = urls_.stats;
    if (!url.empty() && url.back() != '/')
        url += '/';
    return url + operation;
}

// ---- Operations (main thread) ---------------------------------------------------------

void WebStats::SendGameStart(const std::string& levelPath)
{
    RenewDefaultMatchGuid();
    SendGameStart(levelPath, TakeStatsSnapshot(levelPath));
}

void WebStats::SendGameStart(const std::string& levelPath, const StatsSnapshot& match)
{
    const pb::ServerUpdate report = BuildGameStartReport(match, levelPath);
    if (!urls_.stats.empty()) {
        if (report.IsInitialized())
            PostAsync(ServiceUrl("gamestart"), report.SerializeAsString());
        else
            WriteLog("Statistics report not sent: the match has no id\n");
    }
    if (!match.multiplayer)
        SteamStats::AddToStat("puzzle_sessions");
}

void WebStats::SendGameOver(const std::string& levelPath)
{
    SendGameOver(levelPath, TakeStatsSnapshot(levelPath));
}

void WebStats::SendGameOver(const std::string& levelPath, const StatsSnapshot& match)
{
    const GameOverReport report = BuildGameOverReport(match, levelPath);
    if (!urls_.stats.empty()) {
        if (report.body.IsInitialized())
            PostAsync(ServiceUrl("gameover"), report.body.SerializeAsString());
        else
            WriteLog("Statistics report not sent: the match has no id\n");
    }
    if (report.leaderboard)
        SteamStats::PostLeaderboardScore(report.leaderboard->board, report.leaderboard->score);
}

void WebStats::QueryLevelStats(const std::string& levelPath)
{
    QueryLevelStats(levelPath, TakeStatsSnapshot(levelPath));
}

void WebStats::QueryLevelStats(const std::string& levelPath, const StatsSnapshot& match)
{
    if (urls_.stats.empty())
        return;
    const std::string title = LevelStatsTitle(levelPath);
    {
        std::lock_guard lock(mutex_);
        levelStats_.erase(title);
    }
    auto job = std::make_unique<Job>();
    job->kind = Job::Kind::Query;
    job->url = ServiceUrl("querystat");
    job->body = BuildStatsRequest(match, levelPath).SerializeAsString();
    job->key = title;
    StartWorker(std::move(job), "Thread query error %d\n");
}

bool WebStats::GetLevelStats(const std::string& levelPath, LevelStatsResult* out) const
{
    std::lock_guard lock(mutex_);
    const auto found = levelStats_.find(LevelStatsTitle(levelPath));
    if (found == levelStats_.end())
        return false;
    if (out)
        *out = found->second;
    return true;
}

void WebStats::ValidateAccount(const std::string& userName, const std::string& password)
{
    if (urls_.stats.empty())
        return;
    const std::string key = AccountKey(userName, password);
    {
        std::lock_guard lock(mutex_);
        // An account is asked once: not again after an answer, nor while a check runs.
        if (accounts_.count(key) || !validating_.insert(key).second)
            return;
    }
    auto job = std::make_unique<Job>();
    job->kind = Job::Kind::Validate;
    job->url = ServiceUrl("validate");
    job->body = BuildValidateRequest(userName, password).SerializeAsString();
    job->key = key;
    if (!StartWorker(std::move(job), "Thread query error %d\n")) {
        std::lock_guard lock(mutex_);
        validating_.erase(key);
    }
}

bool WebStats::IsAccountValid(const std::string& userName, const std::string& password) const
{
    std::lock_guard lock(mutex_);
    const auto found = accounts_.find(AccountKey(userName, password));
    return found != accounts_.end() && found->second;
}

void WebStats::ValidateAllPlayers()
{
    ValidateAllPlayers(TakeStatsSnapshot(std::string()));
}

void WebStats::ValidateAllPlayers(const StatsSnapshot& match)
{
    for (const StatsPlayer& player : match.players)
        ValidateAccount(player.userName, player.password);
}

void WebStats::CheckPromo()
{
    if (urls_.stats.empty())
        return;
    uint32_t crc = 0;
    {
        FileHandle picture = FileHandle::FromString(kPromoPicturePath);
        if (picture.IsOpen())
            crc = picture.Crc();
    }
    auto job = std::make_unique<Job>();
    job->kind = Job::Kind::Promo;
    job->url = ServiceUrl("checkpromo");
    job->body = BuildPromoRequest(crc).SerializeAsString();
    job->key = GetUserPath(kPromoPicturePath);
    if (!urls_.promo.empty())
        job->pictureUrl = urls_.promo + (urls_.promo.back() == '/' ? "" : "/") + kPromoPictureName;
    StartWorker(std::move(job), "Thread query error %d\n");
}

// ---- Answers ----------------------------------------------------------------------------

void WebStats::HandleQueryAnswer(const std::string& title, const std::string& body)
{
    std::optional<LevelStatsResult> result = ReadStatsReply(body);
    if (!result) {
        WriteLog("Statistics answer refused: no level statistics for %s\n", title.c_str());
        return;
    }
    std::lock_guard lock(mutex_);
    levelStats_[title] = std::move(*result);
}

void WebStats::HandleValidateAnswer(const std::string& accountKey, const std::string& body)
{
    const std::optional<bool> valid = ReadValidateReply(body);
    if (!valid) {
        WriteLog("Statistics answer refused: no account answer\n");
        return;
    }
    std::lock_guard lock(mutex_);
    accounts_[accountKey] = *valid;
}

bool WebStats::HandlePromoAnswer(const std::string& body)
{
    const std::optional<bool> fetch = ReadPromoReply(body);
    if (!fetch) {
        WriteLog("Statistics answer refused: no promotion answer\n");
        return false;
    }
    return *fetch;
}

// ---- Workers ----------------------------------------------------------------------------

void WebStats::PostAsync(const std::string& url, std::string body)
{
    auto job = std::make_unique<Job>();
    job->kind = Job::Kind::Post;
    job->url = url;
    job->body = std::move(body);
    StartWorker(std::move(job), "Thread post error %d\n");
}

void WebStats::DownloadAsync(const std::string& localPath, const std::string& url, Completion completion)
{
    auto job = std::make_unique<Job>();
    job->kind = Job::Kind::Download;
    job->url = url;
    job->key = localPath;
    job->completion = std::move(completion);
    StartWorker(std::move(job), "Thread query error %d\n");
}

bool WebStats::StartWorker(std::unique_ptr<Job> job, const char* failureFormat)
{
    std::list<Worker> finished;
    bool started = false;
    {
        std::lock_guard lock(mutex_);
        for (auto it = workers_.begin(); it != workers_.end();) {
            const auto next = std::next(it);
            if (it->done)
                finished.splice(finished.end(), workers_, it);
            it = next;
        }
        if (!stopping_) {
            Worker& worker = workers_.emplace_back();
            try {
                worker.thread = std::thread([this, &worker, owned = std::move(job)]() mutable {
                    RunJob(*owned);
                    owned.reset();
                    {
                        std::lock_guard done(mutex_);
                        worker.done = true;
                    }
                    idle_.notify_all();
                });
                started = true;
            } catch (const std::system_error& error) {
                WriteLog(failureFormat, error.code().value());
                workers_.pop_back();
            }
        }
    }
    for (Worker& worker : finished)
        worker.thread.join();
    return started;
}

void WebStats::RunJob(Job& job)
{
    if (job.kind == Job::Kind::Download) {
        RunDownload(job);
        return;
    }
    Transfer transfer;
    transfer.client = this;
    const bool answered = HttpPost(job.body, job.url, job.kind == Job::Kind::Post ? nullptr : &transfer);
    switch (job.kind) {
    case Job::Kind::Query:
        if (answered)
            HandleQueryAnswer(job.key, transfer.reply);
        break;
    case Job::Kind::Validate:
        if (answered)
            HandleValidateAnswer(job.key, transfer.reply);
        {
            std::lock_guard lock(mutex_);
            validating_.erase(job.key);
        }
        break;
    case Job::Kind::Promo:
        if (answered && HandlePromoAnswer(transfer.reply) && !job.pictureUrl.empty())
            DownloadAsync(job.key, job.pictureUrl, nullptr);
        break;
    default: break;
    }
}

bool WebStats::HttpPost(const std::string& body, const std::string& url, Transfer* target)
{
    CURL* handle = curl_easy_init();
    if (!handle) {
        WriteLog("Failed to init curl\n");
        return false;
    }
    curl_mime* form = curl_mime_init(handle);
    curl_mimepart* part = curl_mime_addpart(form);
    curl_mime_name(part, "data");
    curl_mime_data(part, body.data(), body.size());
    // The body goes at once; no waiting for the server's "100 Continue".
    curl_slist* headers = curl_slist_append(nullptr, "Expect:");

    char errorBuffer[CURL_ERROR_SIZE] = "";
    Transfer discard;
    discard.client = this;
    Transfer& transfer = target ? *target : discard;
    WebStatsTransfers::SetCommonOptions(*this, handle, url, errorBuffer, transfer);
    curl_easy_setopt(handle, CURLOPT_MIMEPOST, form);
    curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers);
    if (target)
        curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &WebStats::AppendReply);
    else
        curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &WebStatsTransfers::Discard);

    const CURLcode code = curl_easy_perform(handle);
    const bool ok = WebStatsTransfers::Finish(handle, code, errorBuffer, transfer, url);
    curl_easy_cleanup(handle);
    curl_mime_free(form);
    curl_slist_free_all(headers);
    return ok;
}

size_t WebStats::AppendReply(char* bytes, size_t size, size_t count, void* target)
{
    auto* transfer = static_cast<Transfer*>(target);
    const size_t length = size * count;
    std::lock_guard lock(transfer->client->mutex_);
    if (transfer->client->stopping_)
        return 0;
    if (transfer->reply.size() + length > transfer->limit) {
        transfer->oversized = true;
        return 0;
    }
    transfer->reply.append(bytes, length);
    return length;
}

void WebStats::RunDownload(Job& job)
{
    // The picture goes to a temporary beside it and replaces it only when complete.
    AtomicFileSave save(job.key);
    std::FILE* file = save.IsOpen() ? std::fopen(save.TemporaryPath().c_str(), "wb") : nullptr;
    if (!file) {
        WriteLog("Failed to open download local file %s\n", job.key.c_str());
        if (job.completion)
            job.completion(false);
        return;
    }
    bool ok = false;
    if (CURL* handle = curl_easy_init()) {
        char errorBuffer[CURL_ERROR_SIZE] = "";
        Transfer transfer;
        transfer.client = this;
        transfer.file = file;
        transfer.limit = kMaxPictureBytes;
        WebStatsTransfers::SetCommonOptions(*this, handle, job.url, errorBuffer, transfer);
        curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, &WebStatsTransfers::WriteFile);
        const CURLcode code = curl_easy_perform(handle);
        ok = WebStatsTransfers::Finish(handle, code, errorBuffer, transfer, job.url) && !transfer.writeFailed;
        curl_easy_cleanup(handle);
    } else {
        WriteLog("Failed to init curl\n");
    }
    ok = std::fclose(file) == 0 && ok;
    if (ok)
        ok = save.Commit();
    else
        save.Abort();
    if (job.completion)
        job.completion(ok);
}

// ---- Shutdown ---------------------------------------------------------------------------

void WebStats::Shutdown()
{
    std::list<Worker> running;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        // Wakes every transfer waiting on a socket; the callbacks then abort it.
        for (const int fd : sockets_)
            ::shutdown(fd, SHUT_RDWR);
        running.splice(running.end(), workers_);
    }
    for (Worker& worker : running)
        if (worker.thread.joinable())
            worker.thread.join();
}

bool WebStats::WaitIdle(int limitMs) const
{
    std::unique_lock lock(mutex_);
    return idle_.wait_for(lock, std::chrono::milliseconds(limitMs), [this] {
        for (const Worker& worker : workers_)
            if (!worker.done)
                return false;
        return true;
    });
}

WebStats& GlobalWebStats()
{
    static WebStats stats(BuiltWebStatsUrls());
    return stats;
}
